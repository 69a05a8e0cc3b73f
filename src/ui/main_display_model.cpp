#include "ui/main_display_model.h"

#include <algorithm>
#include <utility>

#include "ui/tool_text.h"
#include "ui/ui_text.h"

namespace tessel::ui {
namespace {

// Places of the created controls (pixels, by their edges).
constexpr Place kTipsCreated = PixelEdges(30, 20, 430, 170);
constexpr Place kInstructionCreated = PixelEdges(30, 180, 430, 330);
constexpr Place kStatusLinePlace = PixelEdges(30, 30, 430, 60);
constexpr Place kProgressPlace = PixelEdges(30, 60, 430, 85);
constexpr Place kMessageCreated = PixelEdges(30, 110, 430, 230);
constexpr Place kResultTextPlace = PixelEdges(30, 120, 430, 150);
// Where the final displays move the message text.
constexpr Place kMessageMoved = Pixels(30, 180, 410, 100);
// The template's controls (dialog units).
constexpr Place kStartButtonTemplate = DialogUnits(178, 207, 50, 14);
constexpr Place kExitButtonTemplate = DialogUnits(34, 207, 50, 14);
constexpr Place kResultImageTemplate = DialogUnits(102, 9, 13, 12);

struct StartScreenLayout {
    Place tips;
    Place instruction;
    Place start_button;
};

// The start screen's places by primary language: longer texts and button labels get more
// room; Chinese keeps the places the controls were created with.
StartScreenLayout LayoutFor(std::uint16_t primary_lang) {
    switch (primary_lang) {
        case kLangChinese:
            return {kTipsCreated, kInstructionCreated, kStartButtonTemplate};
        case kLangItalian:
            return {Pixels(30, 20, 400, 180), Pixels(30, 200, 400, 150), Pixels(270, 362, 140, 25)};
        case kLangTurkish:
        case kLangHebrew:
            return {Pixels(30, 20, 400, 180), Pixels(30, 200, 400, 150), Pixels(280, 362, 130, 25)};
        case kLangRussian:
            return {Pixels(30, 20, 410, 180), Pixels(30, 200, 400, 150), Pixels(280, 362, 130, 25)};
        default:
            return {Pixels(30, 20, 400, 170), Pixels(30, 200, 400, 150), Pixels(290, 362, 120, 25)};
    }
}

}  // namespace

// One locked section of the model: takes the lock, brings the animation up to the clock's
// time, and on leaving tells the listener (with the lock released) when the view changed.
class MainDisplayModel::Change {
  public:
    explicit Change(MainDisplayModel& model)
        : model_(model), lock_(model.mutex_), before_(model.view_) {
        model_.ApplyDueTicksLocked();
    }
    ~Change() {
        if (model_.view_ == before_) {
            return;
        }
        const std::uint64_t revision = ++model_.view_.revision;
        ChangeListener listener = model_.listener_;
        lock_.unlock();
        if (listener) {
            listener(revision);
        }
    }
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;

  private:
    MainDisplayModel& model_;
    std::unique_lock<std::mutex> lock_;
    const MainDisplayView before_;
};

MainDisplayModel::MainDisplayModel(platform::Clock& clock) : clock_(clock) {}

MainDisplayModel::~MainDisplayModel() {
    // The worker reaches the display through g_pMainDlg: never leave it pointing at nothing.
    if (upgrade::g_pMainDlg == this) {
        upgrade::g_pMainDlg = nullptr;
    }
}

void MainDisplayModel::Initialise(std::uint16_t langid, std::u16string_view system_close_text) {
    Change change(*this);
    upgrade::g_pMainDlg = this;
    SetUiLanguage(langid);
    primary_lang_ = g_wPrimaryLang;
    const bool rtl = UiLanguageIsRightToLeft();
    created_align_ = rtl ? TextAlign::kRight : TextAlign::kLeft;

    MainDisplayView& v = view_;
    v.screen = MainScreen::kStart;
    v.rtl_reading = rtl;
    v.font_face = GetUiText(kTextFontFace);
    v.close_item_text =
        system_close_text.empty() ? GetUiText(kTextCloseItem) : std::u16string(system_close_text);
    // The Hebrew title carries its own version marker.
    v.title = rtl ? GetUiText(kTextTitle) : VersionedTitle(GetUiText(kTextTitle));
    v.close_item_present = true;

    const StartScreenLayout layout = LayoutFor(primary_lang_);
    v.start_button = {true, true, GetUiText(kTextStart), layout.start_button};
    v.exit_button = {false, true, GetUiText(kTextExit), kExitButtonTemplate};

    v.tips = {};
    SetText(v.tips, GetUiText(kTextTips) + std::u16string(kSupportedSeriesList));
    v.tips.visible = true;
    v.tips.place = layout.tips;
    v.tips.align = created_align_;
    v.tips.rtl_reading = rtl;

    v.instruction = {};
    SetText(v.instruction, GetUiText(kTextInstructions));
    v.instruction.visible = true;
    v.instruction.place = layout.instruction;
    v.instruction.align = created_align_;
    v.instruction.rtl_reading = rtl;

    v.status_line = {};
    v.status_line.place = kStatusLinePlace;
    v.status_line.align = TextAlign::kCenter;
    v.status_line.rtl_reading = rtl;

    v.progress = {};
    v.progress.place = kProgressPlace;
    v.progress.mirrored = rtl;

    v.message = {};
    v.message.place = kMessageCreated;
    v.message.align = created_align_;
    v.message.rtl_reading = rtl;

    v.result_text = {};
    v.result_text.place = kResultTextPlace;
    v.result_text.align = TextAlign::kCenter;
    v.result_text.rtl_reading = rtl;
    v.result_text.font = FontKind::kBold;

    v.result_image = {false, ResultImage::kNone, kResultImageTemplate};
}

void MainDisplayModel::SetChangeListener(ChangeListener listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void MainDisplayModel::SetMessageDialogHandler(MessageDialogHandler handler) {
    std::lock_guard lock(mutex_);
    message_handler_ = std::move(handler);
}

MainDisplayView MainDisplayModel::Snapshot() const {
    std::lock_guard lock(mutex_);
    return view_;
}

void MainDisplayModel::AdvanceAnimation() {
    Change change(*this);
}

std::optional<std::int64_t> MainDisplayModel::NextAnimationTickMs() const {
    std::lock_guard lock(mutex_);
    if (!view_.animation_running) {
        return std::nullopt;
    }
    return animation_start_ms_ + (ticks_elapsed_ + 1) * std::int64_t{kAnimationTickMs};
}

bool MainDisplayModel::RequestQuit() {
    std::lock_guard lock(mutex_);
    return !view_.worker_running;
}

void MainDisplayModel::ShowUpgradeState(std::int32_t state, std::int32_t value) {
    Change change(*this);
    ShowUpgradeStateLocked(state, value);
}

std::int32_t MainDisplayModel::ShowMessageDialog(std::u16string_view text, std::int32_t layout) {
    const MessageDialogView dialog = BuildMessageDialog(text, layout);
    MessageDialogHandler handler;
    {
        Change change(*this);
        view_.message_dialog = dialog;
        handler = message_handler_;
    }
    // The handler blocks until the user answers; the UI keeps rendering and ticking meanwhile.
    const std::int32_t answer =
        SanitizeAnswer(dialog.layout, handler ? handler(dialog) : dialog.dismissed_answer);
    {
        Change change(*this);
        view_.message_dialog.reset();
    }
    return answer;
}

void MainDisplayModel::EnableCloseItem(bool enable) {
    Change change(*this);
    EnableCloseItemLocked(enable);
}

void MainDisplayModel::EnableStartControls(bool enable) {
    Change change(*this);
    view_.start_button.enabled = enable;
    view_.exit_button.enabled = enable;
}

void MainDisplayModel::SetFlashBurnInProgress(bool burning) {
    // Ticks that fell due before the burn began are applied unguarded first (Change does).
    Change change(*this);
    view_.flash_burn_in_progress = burning;
    if (burning && view_.screen == MainScreen::kFailure) {
        // The animation ran out while the image was still being sent, but the image arrived
        // whole and the printer now burns it. The failure display asks the user to restart
        // the printer, which would corrupt its flash: back to the progress display, held at
        // 99, with the controls of a running upgrade, until the worker's own end display.
        view_.tick_counter = kAnimationTicks - 1;
        ShowUpgradeStateLocked(upgrade::kStateProgress, kAnimationTicks - 1);
        view_.message.place = kMessageCreated;
        view_.message.align = created_align_;
        view_.exit_button.visible = false;
        view_.exit_button.enabled = false;
        EnableCloseItemLocked(false);
    }
}

void MainDisplayModel::ShowPrinterList(const PrinterListView& list) {
    Change change(*this);
    view_.printer_list = list;
}

void MainDisplayModel::ShowPhase(const upgrade::PhaseReport& report) {
    Change change(*this);
    view_.phase = report;
}

void MainDisplayModel::ShowOpenFailure(platform::OpenFailure why) {
    Change change(*this);
    open_failure_ = why;
}

void MainDisplayModel::ShowRunCause(const upgrade::RunCause& cause) {
    Change change(*this);
    view_.cause = cause;
}

void MainDisplayModel::SetWorkerRunning(bool running) {
    Change change(*this);
    view_.worker_running = running;
    if (running) {
        open_failure_ = platform::OpenFailure::kNone;  // a new run's own
        view_.cause.reset();
    }
}

void MainDisplayModel::ApplyDueTicksLocked() {
    if (!view_.animation_running) {
        return;
    }
    const std::int64_t elapsed = clock_.NowMs() - animation_start_ms_;
    const std::int64_t due = elapsed > 0 ? elapsed / kAnimationTickMs : 0;
    while (view_.animation_running && ticks_elapsed_ < due) {
        if ((view_.worker_running || view_.flash_burn_in_progress) &&
            view_.tick_counter + 1 >= kAnimationTicks) {
            // Held at 99 while the worker still runs or the printer burns: let the held ticks
            // pass without effect. The worker's own limits end a stalled run with its own end
            // display; the failure display, which tells the user to restart the printer, must
            // not come up while the firmware may still be on its way or burning.
            ticks_elapsed_ = due;
            break;
        }
        ++ticks_elapsed_;
        TickLocked();
    }
}

void MainDisplayModel::TickLocked() {
    ++view_.tick_counter;
    if (view_.tick_counter >= kAnimationTicks) {
        // No worker runs any more and none stopped the animation: it gives up on its own.
        view_.tick_counter = 0;
        view_.animation_running = false;
        ShowUpgradeStateLocked(upgrade::kStateFailed, 0);
    } else {
        ShowUpgradeStateLocked(upgrade::kStateProgress, view_.tick_counter);
    }
}

void MainDisplayModel::ShowUpgradeStateLocked(std::int32_t state, std::int32_t value) {
    MainDisplayView& v = view_;
    // Whatever comes, the start screen is gone for good.
    v.tips.visible = false;
    v.instruction.visible = false;
    v.start_button.visible = false;
    if (v.screen == MainScreen::kStart) {
        v.screen = MainScreen::kBlank;
    }

    if (state == upgrade::kStateFailed) {
        v.screen = MainScreen::kFailure;
        v.status_line.visible = false;
        v.progress.visible = false;
        v.message.align = TextAlign::kCenter;
        v.message.place = kMessageMoved;
        SetText(v.message, GetUiText(kTextFailureMessage));
        SetText(v.result_text, GetUiText(kTextFailed));
        v.result_image.image = ResultImage::kWarning;
        v.message.visible = true;
        v.result_text.visible = true;
        v.result_image.visible = true;
        v.exit_button.enabled = true;
        v.exit_button.visible = true;
        EnableCloseItemLocked(true);
    } else if (state == upgrade::kStateProgress && value == 100) {
        v.screen = MainScreen::kSuccess;
        v.progress.position = kProgressMaximum;
        v.status_line.visible = false;
        v.progress.visible = false;
        v.result_image.image = ResultImage::kSuccess;
        SetText(v.result_text, GetUiText(kTextSucceeded));
        v.message.align = TextAlign::kCenter;
        v.message.place = kMessageMoved;
        SetText(v.message, GetUiText(kTextNewDriver));
        v.exit_button.enabled = true;
        v.exit_button.label = GetUiText(kTextComplete);
        v.exit_button.visible = true;
        EnableCloseItemLocked(true);
        v.message.visible = true;
        v.result_text.visible = true;
        v.result_image.visible = true;
    } else if (state == upgrade::kStateProgress) {
        v.screen = MainScreen::kProgress;
        v.progress.position = std::clamp(value, kProgressMinimum, kProgressMaximum);
        v.result_text.visible = false;
        v.result_image.visible = false;
        // Only when they differ: each tick would otherwise redraw both texts.
        std::u16string status = GetUiText(kTextUpgrading);
        if (v.status_line.text != status) {
            SetText(v.status_line, std::move(status));
        }
        std::u16string notice = GetUiText(kTextProgressNotice);
        if (v.message.text != notice) {
            SetText(v.message, std::move(notice));
        }
        v.status_line.visible = true;
        v.message.visible = true;
        v.progress.visible = true;
    } else if (state == upgrade::kStateNotReady) {
        v.screen = MainScreen::kNotReady;
        v.status_line.visible = false;
        v.result_text.visible = false;
        v.progress.visible = false;
        v.result_image.visible = false;
        // Centred where it stands: at its created place unless an earlier end display moved it.
        v.message.align = TextAlign::kCenter;
        // The system's reason when the printer could not even be opened, under the message.
        const std::u16string why = OpenFailureText(open_failure_);
        SetText(v.message, why.empty() ? GetUiText(kTextNotReadyMessage)
                                       : GetUiText(kTextNotReadyMessage) + u"\r\n\r\n" +
                                             GetToolText(ToolText::kOpenFailedNotice, {why}));
        v.message.visible = true;
        v.exit_button.enabled = true;
        v.exit_button.visible = true;
        EnableCloseItemLocked(true);
    } else if (state == upgrade::kStateAnimation && value == 0) {
        v.tick_counter = 0;
        v.animation_running = true;
        animation_start_ms_ = clock_.NowMs();
        ticks_elapsed_ = 0;
    } else if (state == upgrade::kStateAnimation && value == 100) {
        v.animation_running = false;
    }
}

void MainDisplayModel::EnableCloseItemLocked(bool enable) {
    // The front end brings its system menu in line with this flag, appending or deleting the
    // item only when the flag changed, so asking for the current state changes nothing.
    view_.close_item_present = enable;
}

void MainDisplayModel::SetText(TextControlView& control, std::u16string text) {
    control.text = std::move(text);
    ++control.text_serial;
}

}  // namespace tessel::ui
