// The main display, decided once for every front end. The model implements the display
// operations that the upgrade logic calls and holds everything the main window shows: which
// display is up (start, progress, success, failure, not ready), which controls are visible,
// their texts, alignment and places in the current language, the title, the progress value,
// the state of the start and exit buttons and of the Close item, and the progress animation.
// A front end (the Win32 and Qt dialogs, the command-line view) only renders snapshots; it
// reaches the model through an UpgradeSession (ui/upgrade_session.h), which brings every
// change to its UI thread and drives the animation.
//
// Threads. The worker calls the display operations on its own thread while the front end
// renders and drives the animation on its UI thread. All state sits behind one mutex;
// Snapshot() gives a consistent copy, and the change listener is told after every change
// (on the thread that made it, with no lock held) so the session can render it.
// Each operation has taken effect in the model when it returns.
//
// The animation. After ShowUpgradeState(9, 0) the bar advances by one step every 2,800 ms of
// the model's Clock and, after the 100th step, the failure display comes up by itself unless
// ShowUpgradeState(9, 100) stopped it first or a worker still runs (see below). The model keeps the
// time itself: a tick is due at start + k * 2,800 ms, and every call into the model first applies
// the ticks that are due. The session calls AdvanceAnimation() from the front end's timer, set from
// NextAnimationTickMs(); tests advance a virtual clock and call it. Late polling never loses
// or reorders ticks.
//
// While a worker runs (SetWorkerRunning(true)) or the printer burns (SetFlashBurnInProgress
// (true)), the animation does not turn into the failure display: the bar stands at 99 until
// the worker's own end display. The failure display tells the user to restart the printer,
// which during a slow transfer would cut the firmware off and during the burn would corrupt
// the printer's flash; the worker's own time limits end every stalled run. Only an animation
// that runs with no worker gives up on its own after its 100th tick. When the animation already
// gave up before the burn began, the burn's start brings the progress display back, held at
// 99.
//
// Quitting. Closing the window while a worker runs would leave the worker writing to a dead
// display and the printer half upgraded: RequestQuit() refuses while the worker is running
// (SetWorkerRunning), and front ends honour it for every way out (exit button, Escape, Close
// item, window manager, Ctrl+C).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/printer_list.h"
#include "platform/clock.h"
#include "ui/display_fonts.h"
#include "ui/display_geometry.h"
#include "ui/message_dialog_model.h"
#include "upgrade/upgrade_display.h"

namespace tessel::ui {

inline constexpr std::uint32_t kAnimationTickMs = 2800;
inline constexpr int kAnimationTicks = 100;
inline constexpr int kProgressMinimum = 1;
inline constexpr int kProgressMaximum = 100;

// Resources of the main display.
inline constexpr int kIconApplication = 128;
inline constexpr int kBitmapWarning = 175;  // 97 x 90 pixels
inline constexpr int kBitmapSuccess = 176;  // 98 x 93 pixels
// Template size of the main dialog, in its dialog units; ground colour (0xRRGGBB) of the
// window and of every control but the tips box, which keeps the system's edit colours.
inline constexpr int kMainDialogWidthDu = 268;
inline constexpr int kMainDialogHeightDu = 228;
inline constexpr std::uint32_t kBackgroundRgb = 0xECEDEC;  // RGB(236, 237, 236)

enum class MainScreen {
    kStart,     // tips, instructions and the start button
    kBlank,     // the start screen was hidden but no display shown yet
    kProgress,  // status line, progress bar, notice
    kSuccess,
    kFailure,
    kNotReady,
};

enum class ResultImage { kNone, kWarning, kSuccess };

struct TextControlView {
    bool visible = false;
    std::u16string text;
    // Counts every time the model set the text; a front end pushes the text into its control
    // only when this changed (the progress display sets its texts only when they differ, so
    // repeated progress steps do not redraw them).
    std::uint32_t text_serial = 0;
    Place place;
    TextAlign align = TextAlign::kLeft;
    bool rtl_reading = false;
    FontKind font = FontKind::kNormal;

    friend bool operator==(const TextControlView&, const TextControlView&) = default;
};

struct ButtonView {
    bool visible = false;
    bool enabled = true;
    std::u16string label;
    Place place;

    friend bool operator==(const ButtonView&, const ButtonView&) = default;
};

struct ProgressView {
    bool visible = false;
    int minimum = kProgressMinimum;
    int maximum = kProgressMaximum;
    int position = kProgressMinimum;  // kept within minimum..maximum
    bool mirrored = false;            // fills from the right (Hebrew)
    Place place;

    friend bool operator==(const ProgressView&, const ProgressView&) = default;
};

struct ImageView {
    bool visible = false;
    ResultImage image = ResultImage::kNone;
    Place place;  // origin in dialog units; the size is the bitmap's own

    friend bool operator==(const ImageView&, const ImageView&) = default;
};

// The window's hidden printer list: the rows of the worker's last refresh, in its order, and
// the selected row. Never shown; a window that keeps it as a control fills it from here.
using discovery::PrinterListView;

struct MainDisplayView {
    std::uint64_t revision = 0;  // rises with every change
    MainScreen screen = MainScreen::kStart;
    std::u16string title;
    std::u16string font_face;  // text 19
    bool rtl_reading = false;  // the window reads right to left (Hebrew)

    TextControlView tips;         // multi-line, read-only, scrolls; the system's edit colours
    TextControlView instruction;  // takes the keyboard focus
    TextControlView status_line;
    TextControlView message;
    TextControlView result_text;
    ProgressView progress;
    ImageView result_image;
    ButtonView start_button;
    ButtonView exit_button;

    bool close_item_present = true;  // the system menu holds its Close item
    std::u16string close_item_text;

    PrinterListView printer_list;

    bool animation_running = false;
    int tick_counter = 0;
    bool flash_burn_in_progress = false;
    bool worker_running = false;
    upgrade::PhaseReport phase;  // the last one the worker reported
    // Why the run ended, when it ended on the failure or the not-ready display and the worker
    // could tell. The windows keep their displays; front ends with room for it say it.
    std::optional<upgrade::RunCause> cause;

    // The message dialog while the worker waits for its answer.
    std::optional<MessageDialogView> message_dialog;

    friend bool operator==(const MainDisplayView&, const MainDisplayView&) = default;
};

// The view's text controls, in the order a window creates and renders them. The windows and
// the change list loop over this table: a new text control is a member of the view above and
// a row here (and its control's kind in each window's own table).
inline constexpr std::array<TextControlView MainDisplayView::*, 5> kTextControls = {
    &MainDisplayView::tips, &MainDisplayView::instruction, &MainDisplayView::status_line,
    &MainDisplayView::message, &MainDisplayView::result_text};

// The row of `control` in kTextControls.
constexpr std::size_t TextControlIndex(TextControlView MainDisplayView::*control) {
    for (std::size_t i = 0; i < kTextControls.size(); ++i) {
        if (kTextControls[i] == control) {
            return i;
        }
    }
    return kTextControls.size();
}

class MainDisplayModel final : public upgrade::UpgradeDisplay {
  public:
    // The animation runs on `clock` (NowMs), which must outlive the model.
    explicit MainDisplayModel(platform::Clock& clock);
    ~MainDisplayModel() override;
    MainDisplayModel(const MainDisplayModel&) = delete;
    MainDisplayModel& operator=(const MainDisplayModel&) = delete;

    // Builds the start screen: publishes the model in g_pMainDlg, sets the UI language from
    // `langid` (SetUiLanguage) and lays the controls out for it. `system_close_text` is the
    // text of the system menu's Close item where the front end has one; empty gives text 20.
    // Call once, on the UI thread, before any worker can start.
    void Initialise(std::uint16_t langid, std::u16string_view system_close_text = {});

    // Called when the view changes, after the change, with the new revision. Install before
    // the worker starts; the listener may call Snapshot() but must not block on the UI thread.
    using ChangeListener = std::function<void(std::uint64_t revision)>;
    void SetChangeListener(ChangeListener listener);

    // Answers ShowMessageDialog on the calling (worker) thread; while it runs, the snapshot
    // carries the open dialog. Without a handler the dialog counts as dismissed
    // (DismissedAnswer: OK for the notice, No for the question).
    void SetMessageDialogHandler(MessageDialogHandler handler);

    MainDisplayView Snapshot() const;

    // Applies the animation ticks that are due by the clock's time.
    void AdvanceAnimation();
    // When the next tick is due (on the clock's NowMs scale), or nothing when none runs.
    std::optional<std::int64_t> NextAnimationTickMs() const;

    // The printer list after a refresh (worker thread); copied into the view.
    void ShowPrinterList(const PrinterListView& list);

    // A request to end the front end (exit button, Escape, Close item, window manager).
    // True when the front end may end now; false while a worker runs.
    bool RequestQuit();

    // UpgradeDisplay
    void ShowUpgradeState(std::int32_t state, std::int32_t value) override;
    std::int32_t ShowMessageDialog(std::u16string_view text, std::int32_t layout) override;
    void EnableCloseItem(bool enable) override;
    void EnableStartControls(bool enable) override;
    void SetFlashBurnInProgress(bool burning) override;
    void SetWorkerRunning(bool running) override;
    void ShowPhase(const upgrade::PhaseReport& report) override;
    void ShowOpenFailure(platform::OpenFailure why) override;
    void ShowRunCause(const upgrade::RunCause& cause) override;

  private:
    class Change;  // one locked section that tells the listener afterwards if the view changed

    // All below run with mutex_ held.
    void ApplyDueTicksLocked();
    void TickLocked();
    void ShowUpgradeStateLocked(std::int32_t state, std::int32_t value);
    void EnableCloseItemLocked(bool enable);
    // Sets the text (and counts the setting) even when it is the same, as a window would.
    static void SetText(TextControlView& control, std::u16string text);

    platform::Clock& clock_;
    mutable std::mutex mutex_;
    MainDisplayView view_;
    std::uint16_t primary_lang_ = 0;
    TextAlign created_align_ = TextAlign::kLeft;
    // Why this run's status check could not open the printer; the not-ready display says it.
    platform::OpenFailure open_failure_ = platform::OpenFailure::kNone;

    // Animation time: ticks are due at animation_start_ms_ + k * kAnimationTickMs.
    std::int64_t animation_start_ms_ = 0;
    std::int64_t ticks_elapsed_ = 0;

    ChangeListener listener_;
    MessageDialogHandler message_handler_;
};

}  // namespace tessel::ui
