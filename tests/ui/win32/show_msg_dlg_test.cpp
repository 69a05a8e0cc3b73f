// The real message dialog under Windows (Wine): what it shows is what the view asks for, in
// every layout and in a right-to-left language, and every way of closing it gives an answer
// the layout offers.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "language_state.h"
#include "ui/message_dialog_model.h"
#include "ui/ui_text.h"
#include "ui/win32/dialog.h"
#include "ui/win32/resource.h"
#include "ui/win32/show_msg_dlg.h"

namespace tessel::ui::win32 {
namespace {

// Waits this long for the dialog to come up; each look is 10 ms apart.
constexpr int kDialogWaitMs = 20'000;

// The rectangle of `control` in its dialog's client pixels.
RECT ClientRect(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH logical = {};
    GetObjectW(brush, sizeof logical, &logical);
    return logical.lbColor;
}

// The dialog shown by CShowMsgDlg::Show on a thread of its own, as the upgrade worker shows it.
class OpenDialog {
  public:
    explicit OpenDialog(const MessageDialogView& view) {
        thread_ = std::thread([this, view] {
            thread_id_ = GetCurrentThreadId();
            answer_ = CShowMsgDlg::Show(view, nullptr);
            done_ = true;
        });
        for (int waited = 0; waited < kDialogWaitMs && hwnd_ == nullptr && !done_; waited += 10) {
            Sleep(10);
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
        }
    }
    ~OpenDialog() {
        if (!done_ && hwnd_ != nullptr) {
            PostMessageW(hwnd_, WM_COMMAND, IDCANCEL, 0);
        }
        thread_.join();
    }

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

    // The answer once the dialog has closed; nothing when it is still open after the wait.
    std::optional<std::int32_t> Answer() {
        for (int waited = 0; waited < kDialogWaitMs && !done_; waited += 10) {
            Sleep(10);
        }
        if (!done_) {
            return std::nullopt;
        }
        return answer_;
    }

  private:
    std::thread thread_;
    std::atomic<DWORD> thread_id_{0};
    std::atomic<bool> done_{false};
    std::int32_t answer_ = 0;
    HWND hwnd_ = nullptr;
};

enum class Close { kEscape, kAltF4, kOk, kYes, kNo };

void CloseWith(OpenDialog& dialog, Close how) {
    switch (how) {
        case Close::kEscape:
            PostMessageW(dialog.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
            break;
        case Close::kAltF4:
            PostMessageW(dialog.hwnd(), WM_SYSKEYDOWN, VK_F4, 1 | (KF_ALTDOWN << 16));
            break;
        case Close::kOk:
            PostMessageW(dialog.Item(IDOK), BM_CLICK, 0, 0);
            break;
        case Close::kYes:
            PostMessageW(dialog.Item(IDC_BUTTON_YES), BM_CLICK, 0, 0);
            break;
        case Close::kNo:
            PostMessageW(dialog.Item(IDC_BUTTON_NO), BM_CLICK, 0, 0);
            break;
    }
}

class MessageDialogWin32 : public testing::LanguageStateTest {};

TEST_F(MessageDialogWin32, ShowsWhatTheViewAsksAndAnswersWithTheButtonOrTheDismissal) {
    const struct {
        std::uint16_t langid;
        int text;
        std::int32_t layout;
        Close close;
        std::int32_t answer;
    } cases[] = {
        {0x0409, kTextNoPrinter, upgrade::kLayoutOk, Close::kEscape, upgrade::kAnswerOk},
        {0x0409, kTextSameFirmware, upgrade::kLayoutYesNo, Close::kEscape, upgrade::kAnswerNo},
        {0x0409, kTextSameFirmware, upgrade::kLayoutYesNo, Close::kYes, upgrade::kAnswerYes},
        {0x0411, kTextSameFirmware, upgrade::kLayoutYesNo, Close::kAltF4, upgrade::kAnswerNo},
        {0x0804, kTextSameFirmware, upgrade::kLayoutYesNo, Close::kNo, upgrade::kAnswerNo},
        {0x040D, kTextNewerFirmware, upgrade::kLayoutOk, Close::kOk, upgrade::kAnswerOk},
        {0x0419, kTextPortBusy, upgrade::kLayoutOk, Close::kAltF4, upgrade::kAnswerOk},
    };
    for (const auto& c : cases) {
        SetUiLanguage(c.langid);
        const MessageDialogView view = BuildMessageDialog(GetUiText(c.text), c.layout);
        SCOPED_TRACE(::testing::Message()
                     << std::hex << "langid " << c.langid << std::dec << " layout " << c.layout);
        OpenDialog dialog(view);
        ASSERT_NE(dialog.hwnd(), nullptr) << "the dialog did not come up";

        EXPECT_EQ(WindowText(dialog.hwnd()), u"");
        HWND text = dialog.Item(IDC_MESSAGE_TEXT);
        EXPECT_EQ(WindowText(text), view.text);
        EXPECT_TRUE(
            SameRect(ClientRect(dialog.hwnd(), text), PlaceRect(dialog.hwnd(), view.text_place)))
            << Describe(ClientRect(dialog.hwnd(), text));
        for (const MessageButtonView& button : view.buttons) {
            HWND control = dialog.Item(CShowMsgDlg::ButtonControl(button.answer));
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(IsWindowVisible(control) != FALSE, button.visible) << button.answer;
            EXPECT_EQ(WindowText(control), button.label) << button.answer;
            EXPECT_TRUE(SameRect(ClientRect(dialog.hwnd(), control),
                                 PlaceRect(dialog.hwnd(), button.place)))
                << button.answer << ": " << Describe(ClientRect(dialog.hwnd(), control));
        }

        const LONG text_style = GetWindowLongW(text, GWL_STYLE);
        const LONG text_ex_style = GetWindowLongW(text, GWL_EXSTYLE);
        const LONG dialog_ex_style = GetWindowLongW(dialog.hwnd(), GWL_EXSTYLE);
        if (view.rtl_reading) {
            EXPECT_EQ(text_style & SS_TYPEMASK, SS_RIGHT);
            EXPECT_NE(text_ex_style & WS_EX_RTLREADING, 0);
            EXPECT_NE(dialog_ex_style & WS_EX_RTLREADING, 0);
        } else {
            EXPECT_EQ(text_style & SS_TYPEMASK, SS_LEFT);
            EXPECT_EQ(text_ex_style & WS_EX_RTLREADING, 0);
            EXPECT_EQ(dialog_ex_style & WS_EX_RTLREADING, 0);
        }

        CloseWith(dialog, c.close);
        EXPECT_EQ(dialog.Answer(), std::optional<std::int32_t>(c.answer));
    }
}

TEST_F(MessageDialogWin32, WhiteGroundAndTheSmallWarningSignAtItsOwnSize) {
    SetUiLanguage(0x0409);
    const MessageDialogView view = BuildMessageDialog(GetUiText(kTextPortBusy), upgrade::kLayoutOk);
    OpenDialog dialog(view);
    ASSERT_NE(dialog.hwnd(), nullptr);

    HDC dc = GetDC(dialog.hwnd());
    HWND text = dialog.Item(IDC_MESSAGE_TEXT);
    const auto brush = [&](UINT message, HWND control) {
        return reinterpret_cast<HBRUSH>(SendMessageW(dialog.hwnd(), message,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(control)));
    };
    EXPECT_EQ(BrushColour(brush(WM_CTLCOLORDLG, dialog.hwnd())), RGB(255, 255, 255));
    EXPECT_EQ(BrushColour(brush(WM_CTLCOLORBTN, dialog.Item(IDOK))), RGB(255, 255, 255));
    EXPECT_EQ(BrushColour(brush(WM_CTLCOLORSTATIC, text)), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    ReleaseDC(dialog.hwnd(), dc);

    HWND icon = nullptr;
    for (HWND child = GetWindow(dialog.hwnd(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            icon = child;
        }
    }
    ASSERT_NE(icon, nullptr);
    auto* image = reinterpret_cast<HBITMAP>(SendMessageW(icon, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(image, nullptr);
    BITMAP bitmap = {};
    GetObjectW(image, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 45);
    EXPECT_EQ(bitmap.bmHeight, 40);
    const RECT at = ClientRect(dialog.hwnd(), icon);
    const RECT place = PlaceRect(dialog.hwnd(), view.icon_place);
    EXPECT_EQ(at.left, place.left);
    EXPECT_EQ(at.top, place.top);

    CloseWith(dialog, Close::kOk);
    EXPECT_EQ(dialog.Answer(), std::optional<std::int32_t>(upgrade::kAnswerOk));
}

}  // namespace
}  // namespace tessel::ui::win32
