// The real main dialog under Windows (Wine), driven as the upgrade drives it: display calls from
// a worker thread. Every display is checked through the window system against the view a model
// of its own gives for the same calls: visible controls, texts, places, styles, fonts, the
// progress bar, the result image, the buttons, the Close item and the hidden printer list.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "discovery/printer_list.h"
#include "language_state.h"
#include "platform/clock.h"
#include "ui/main_display_model.h"
#include "ui/ui_text.h"
#include "ui/win32/dialog.h"
#include "ui/win32/resource.h"
#include "ui/win32/tessel_dlg.h"

namespace tessel::ui::win32 {
namespace {

constexpr int kWaitMs = 20'000;  // for a window to come up or go; each look is 10 ms apart

bool WaitFor(const std::function<bool()>& done) {
    for (int waited = 0; waited < kWaitMs; waited += 10) {
        if (done()) {
            return true;
        }
        Sleep(10);
    }
    return done();
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// `control`'s rectangle in its dialog's client pixels, as text to compare.
std::string ClientPlace(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return Describe(rect);
}

std::u16string FontFace(HWND control, LONG* weight = nullptr) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    if (weight != nullptr) {
        *weight = font.lfWeight;
    }
    const std::wstring face(font.lfFaceName);
    return std::u16string(face.begin(), face.end());
}

std::u16string CloseItemText(HWND dialog) {
    wchar_t text[256] = {};
    GetMenuStringW(GetSystemMenu(dialog, FALSE), SC_CLOSE, text, 256, MF_BYCOMMAND);
    const std::wstring wide(text);
    return std::u16string(wide.begin(), wide.end());
}

bool HasCloseItem(HWND dialog) {
    return GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND) !=
           static_cast<UINT>(-1);
}

// The main dialog run modally on a UI thread of its own; the test thread is the worker.
class OpenMainDialog {
  public:
    OpenMainDialog(platform::Clock& clock, std::uint16_t langid) {
        thread_ = std::thread([this, &clock, langid] {
            thread_id_ = GetCurrentThreadId();
            CTesselDlg dialog(clock, langid);
            dialog.DoModal(nullptr);
            done_ = true;
        });
        WaitFor([this] {
            const DWORD thread = thread_id_;
            if (thread != 0) {
                EnumThreadWindows(
                    thread,
                    [](HWND window, LPARAM found) -> BOOL {
                        if (IsWindowVisible(window)) {
                            *reinterpret_cast<HWND*>(found) = window;
                            return FALSE;
                        }
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(&hwnd_));
            }
            return hwnd_ != nullptr || done_;
        });
        display_ = upgrade::g_pMainDlg;
    }
    ~OpenMainDialog() {
        if (!done_ && hwnd_ != nullptr) {
            display_->SetWorkerRunning(false);
            PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
        }
        thread_.join();
    }

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    upgrade::UpgradeDisplay& display() const { return *display_; }
    bool Closed() const { return done_; }
    bool WaitClosed() const {
        return WaitFor([this] { return done_.load(); });
    }

  private:
    std::thread thread_;
    std::atomic<DWORD> thread_id_{0};
    std::atomic<bool> done_{false};
    HWND hwnd_ = nullptr;
    upgrade::UpgradeDisplay* display_ = nullptr;
};

LONG Alignment(TextAlign align) {
    return align == TextAlign::kCenter ? SS_CENTER : align == TextAlign::kRight ? SS_RIGHT : 0;
}

void ExpectText(HWND dialog, int id, const char* name, const TextControlView& view, LONG style,
                const std::u16string& face) {
    SCOPED_TRACE(name);
    HWND control = GetDlgItem(dialog, id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(IsWindowVisible(control) != FALSE, view.visible);
    if (!view.visible) {
        return;
    }
    EXPECT_EQ(WindowText(control), view.text);
    EXPECT_EQ(ClientPlace(dialog, control), Describe(PlaceRect(dialog, view.place)));
    // An edit control takes its border out of the style and draws it itself.
    EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & ~WS_BORDER,
              (style | WS_VISIBLE | Alignment(view.align)) & ~WS_BORDER);
    EXPECT_EQ(GetWindowLongW(control, GWL_EXSTYLE), view.rtl_reading ? WS_EX_RTLREADING : 0);
    LONG weight = 0;
    EXPECT_EQ(FontFace(control, &weight), face);
    EXPECT_EQ(weight, view.font == FontKind::kBold ? FW_BOLD : FW_NORMAL);
}

void ExpectButton(HWND dialog, int id, const ButtonView& view) {
    HWND button = GetDlgItem(dialog, id);
    EXPECT_EQ(IsWindowVisible(button) != FALSE, view.visible) << id;
    if (view.visible) {
        EXPECT_EQ(WindowText(button), view.label);
        EXPECT_EQ(IsWindowEnabled(button) != FALSE, view.enabled) << id;
        EXPECT_EQ(ClientPlace(dialog, button), Describe(PlaceRect(dialog, view.place)));
    }
}

// Everything the window shows of `view`.
void ExpectShows(HWND dialog, const MainDisplayView& view) {
    EXPECT_EQ(WindowText(dialog), view.title);
    EXPECT_EQ((GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0, view.rtl_reading);
    ExpectText(dialog, IDC_TIPS_BOX, "tips", view.tips, 0x40811844, view.font_face);
    ExpectText(dialog, IDC_INSTRUCTION_TEXT, "instruction", view.instruction, 0x40000000,
               view.font_face);
    ExpectText(dialog, IDC_STATUS_LINE, "status line", view.status_line, 0x40000000,
               view.font_face);
    ExpectText(dialog, IDC_MAIN_MESSAGE, "message", view.message, 0x40000000, view.font_face);
    ExpectText(dialog, IDC_RESULT_TEXT, "result text", view.result_text, 0x40000000,
               view.font_face);

    HWND progress = GetDlgItem(dialog, IDC_PROGRESS);
    EXPECT_EQ(IsWindowVisible(progress) != FALSE, view.progress.visible);
    EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), view.progress.position);
    PBRANGE range = {};
    SendMessageW(progress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, view.progress.minimum);
    EXPECT_EQ(range.iHigh, view.progress.maximum);
    EXPECT_EQ(GetWindowLongW(progress, GWL_STYLE) & ~WS_VISIBLE, 0x40000001);
    EXPECT_EQ(GetWindowLongW(progress, GWL_EXSTYLE), view.progress.mirrored ? WS_EX_LAYOUTRTL : 0);
    if (view.progress.visible) {
        EXPECT_EQ(ClientPlace(dialog, progress), Describe(PlaceRect(dialog, view.progress.place)));
    }

    HWND image = GetDlgItem(dialog, IDC_RESULT_IMAGE);
    EXPECT_EQ(IsWindowVisible(image) != FALSE, view.result_image.visible);
    if (view.result_image.visible) {
        RECT rect;
        GetWindowRect(image, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        const RECT at = PlaceRect(dialog, view.result_image.place);
        EXPECT_EQ(rect.left, at.left);
        EXPECT_EQ(rect.top, at.top);
        BITMAP bitmap = {};
        GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(image, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                   sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, view.result_image.image == ResultImage::kSuccess ? 98 : 97);
    }

    ExpectButton(dialog, IDC_BUTTON_START, view.start_button);
    ExpectButton(dialog, IDCANCEL, view.exit_button);

    EXPECT_EQ(HasCloseItem(dialog), view.close_item_present);
    if (view.close_item_present) {
        EXPECT_EQ(CloseItemText(dialog), view.close_item_text);
    }
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_PRINTER_LIST)));
}

class MainDialogWin32 : public testing::LanguageStateTest {};

// The displays of one run, called on the dialog from the test's (worker) thread and on a model
// of the test's own, whose view the window must show after every call.
TEST_F(MainDialogWin32, ShowsEveryDisplayAsTheViewAsksInEachLayout) {
    for (const std::uint16_t langid : {std::uint16_t{0x0409}, std::uint16_t{0x040D}, std::uint16_t{0x0804}}) {
        SCOPED_TRACE(::testing::Message() << std::hex << "langid " << langid);
        OpenMainDialog dialog(platform::SystemClock(), langid);
        ASSERT_NE(dialog.hwnd(), nullptr) << "the dialog did not come up";
        MainDisplayModel expected(platform::SystemClock());
        expected.Initialise(langid, CloseItemText(dialog.hwnd()));
        upgrade::g_pMainDlg = &dialog.display();

        const auto both = [&](const std::function<void(upgrade::UpgradeDisplay&)>& call) {
            call(expected);
            call(dialog.display());  // returns once the window shows it
            ExpectShows(dialog.hwnd(), expected.Snapshot());
        };
        {
            SCOPED_TRACE("start screen");
            ExpectShows(dialog.hwnd(), expected.Snapshot());
        }
        both([](upgrade::UpgradeDisplay& d) {
            d.SetWorkerRunning(true);
            d.EnableStartControls(false);
            d.EnableCloseItem(false);
        });
        {
            SCOPED_TRACE("progress");
            both([](upgrade::UpgradeDisplay& d) { d.ShowUpgradeState(2, 37); });
            EXPECT_EQ(SendMessageW(dialog.Item(IDC_PROGRESS), PBM_GETPOS, 0, 0), 37);
            EXPECT_EQ(WindowText(dialog.Item(IDC_STATUS_LINE)), GetUiText(kTextUpgrading));
            EXPECT_FALSE(HasCloseItem(dialog.hwnd()));
        }
        {
            SCOPED_TRACE("every way out is refused while the worker runs");
            SendMessageW(dialog.hwnd(), WM_COMMAND, IDCANCEL, 0);
            SendMessageW(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
            SendMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
            Sleep(50);
            EXPECT_FALSE(dialog.Closed());
            EXPECT_TRUE(IsWindowVisible(dialog.hwnd()));
        }
        {
            SCOPED_TRACE("not ready");
            both([](upgrade::UpgradeDisplay& d) { d.ShowUpgradeState(5, 0); });
            EXPECT_EQ(WindowText(dialog.Item(IDCANCEL)), GetUiText(kTextExit));
        }
        {
            SCOPED_TRACE("failure");
            both([](upgrade::UpgradeDisplay& d) { d.ShowUpgradeState(1, 0); });
            EXPECT_EQ(WindowText(dialog.Item(IDC_MAIN_MESSAGE)), GetUiText(kTextFailureMessage));
            EXPECT_EQ(WindowText(dialog.Item(IDCANCEL)), GetUiText(kTextExit));
            EXPECT_TRUE(HasCloseItem(dialog.hwnd()));
        }
        {
            SCOPED_TRACE("success");
            both([](upgrade::UpgradeDisplay& d) { d.ShowUpgradeState(2, 100); });
            EXPECT_EQ(WindowText(dialog.Item(IDCANCEL)), GetUiText(kTextComplete));
        }
        {
            SCOPED_TRACE("the hidden printer list follows the worker's list");
            discovery::PrinterList().Reset();
            discovery::PrinterList().Insert(0, u"Zeta");
            discovery::PrinterList().Insert(1, u"Alpha");
            discovery::SelectPrinter(1);  // told to the window, which shows it before this returns
            HWND list = dialog.Item(IDC_PRINTER_LIST);
            ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
            wchar_t row[16] = {};
            SendMessageW(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(row));
            EXPECT_EQ(std::wstring(row), L"Zeta");
            EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);
            discovery::PrinterList().Reset();
        }
        both([](upgrade::UpgradeDisplay& d) { d.SetWorkerRunning(false); });
        SendMessageW(dialog.hwnd(), WM_COMMAND, IDOK, 0);  // Enter does nothing
        EXPECT_FALSE(dialog.Closed());
        PostMessageW(dialog.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_TRUE(dialog.WaitClosed()) << "Escape did not end the dialog once the worker ended";
        expected.SetChangeListener(nullptr);
    }
}

}  // namespace
}  // namespace tessel::ui::win32

namespace tessel::ui::win32 {
namespace {

// The worker's question opens the message dialog over the main window, which it disables, and
// the worker gets the button pressed, or the dismissal for Escape.
TEST_F(MainDialogWin32, AsksTheWorkersQuestionModallyOverTheWindow) {
    OpenMainDialog dialog(platform::SystemClock(), 0x0409);
    ASSERT_NE(dialog.hwnd(), nullptr);
    const struct {
        WPARAM key_or_button;
        std::int32_t answer;
    } cases[] = {{VK_ESCAPE, upgrade::kAnswerNo}, {IDC_BUTTON_YES, upgrade::kAnswerYes}};
    for (const auto& c : cases) {
        std::future<std::int32_t> answer = std::async(std::launch::async, [&] {
            return dialog.display().ShowMessageDialog(GetUiText(kTextSameFirmware),
                                                      upgrade::kLayoutYesNo);
        });
        // The message dialog: a visible window of the UI thread owned by the main window.
        struct Search {
            HWND owner;
            HWND found;
        } search = {dialog.hwnd(), nullptr};
        const DWORD ui_thread = GetWindowThreadProcessId(dialog.hwnd(), nullptr);
        WaitFor([&] {
            EnumThreadWindows(
                ui_thread,
                [](HWND window, LPARAM param) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(param);
                    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == s->owner) {
                        s->found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        });
        HWND message = search.found;
        ASSERT_NE(message, nullptr) << "the message dialog did not come up";
        EXPECT_FALSE(IsWindowEnabled(dialog.hwnd()));
        EXPECT_EQ(WindowText(GetDlgItem(message, IDC_MESSAGE_TEXT)), GetUiText(kTextSameFirmware));
        if (c.key_or_button == VK_ESCAPE) {
            PostMessageW(message, WM_KEYDOWN, VK_ESCAPE, 1);
        } else {
            PostMessageW(GetDlgItem(message, static_cast<int>(c.key_or_button)), BM_CLICK, 0, 0);
        }
        ASSERT_EQ(answer.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
        EXPECT_EQ(answer.get(), c.answer);
        EXPECT_TRUE(IsWindowEnabled(dialog.hwnd()));
    }
}

// The animation runs on the dialog's timer: on a clock a thousand times as fast its hundred
// ticks end in the failure display within a second or two.
TEST_F(MainDialogWin32, TheAnimationTicksOnTheWindowsTimerUntilItGivesUp) {
    platform::ScaledClock fast(platform::SystemClock(), 0.001);
    OpenMainDialog dialog(fast, 0x0409);
    ASSERT_NE(dialog.hwnd(), nullptr);
    dialog.display().ShowUpgradeState(9, 0);
    HWND message = dialog.Item(IDC_MAIN_MESSAGE);
    EXPECT_TRUE(WaitFor([&] {
        return IsWindowVisible(message) && WindowText(message) == GetUiText(kTextFailureMessage);
    })) << "the animation did not reach its failure display";
    EXPECT_FALSE(IsWindowVisible(dialog.Item(IDC_PROGRESS)));
}

}  // namespace
}  // namespace tessel::ui::win32
