// The display operations through which the upgrade logic reaches the user: what the worker
// needs from a display. The logic never touches a window: ui's main display model and the
// session implement these, and the front ends render the model.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/device_file.h"

namespace tessel::upgrade {

// Display state codes of ShowUpgradeState.
inline constexpr std::int32_t kStateFailed = 1;     // value 0
inline constexpr std::int32_t kStateProgress = 2;   // value 0-99: progress; 100: success
inline constexpr std::int32_t kStateNotReady = 5;   // value 0
inline constexpr std::int32_t kStateAnimation = 9;  // value 0: start; 100: stop

// The values that go with kStateAnimation and kStateProgress.
inline constexpr std::int32_t kAnimationStart = 0;
inline constexpr std::int32_t kAnimationStop = 100;
inline constexpr std::int32_t kProgressSucceeded = 100;

// Message dialog layouts and answers (the values of the Windows message box).
inline constexpr std::int32_t kLayoutOk = 0;     // MB_OK
inline constexpr std::int32_t kLayoutYesNo = 4;  // MB_YESNO
inline constexpr std::int32_t kAnswerOk = 1;     // IDOK
inline constexpr std::int32_t kAnswerYes = 6;    // IDYES
inline constexpr std::int32_t kAnswerNo = 7;     // IDNO

// Where an upgrade stands, beyond what the main display shows: front ends that have room for
// it (the command line) show it beside the bar; the dialogs keep their displays.
enum class UpgradePhase {
    kNone,               // no upgrade has begun
    kCheckingPrinter,    // finding the printer and asking its status
    kReadingVersion,     // asking its firmware version
    kSendingLoader,
    kWaitingForRestart,  // the printer restarts into its loader
    kSendingFirmware,
    kBurning,            // the printer writes the image into its flash: never switch it off
    kConfirming,         // after the upgrade: waiting for the printer to report its version
};

struct PhaseReport {
    UpgradePhase phase = UpgradePhase::kNone;
    std::uint64_t bytes_sent = 0;   // the payload's bytes written so far (sending phases)
    std::uint64_t bytes_total = 0;  // the payload's size (sending phases)
    std::uint64_t bytes_per_second = 0;     // the rate so far, on the clock (sending phases)
    std::optional<std::int64_t> seconds_left;  // on the clock, when it can be told

    friend bool operator==(const PhaseReport&, const PhaseReport&) = default;
};

// The stable name of a phase, for machine-read output and the support log: "sending_firmware".
std::string_view PhaseKey(UpgradePhase phase);

// Why a run ended on the failure or the not-ready display.
enum class RunReason {
    kNotReadyStatus,        // the printer's status does not allow an upgrade
    kOpenFailed,            // its device file did not open
    kNoReply,               // no complete reply to a query within the limit
    kBadReply,              // a reply that is not the query's
    kNoVersion,             // no usable firmware version in the reply
    kDroppedOffBus,         // the printer is gone from the bus
    kWriteFailed,           // a write failed while the printer stayed on the bus
    kStoppedTakingData,     // a write came back short: the printer stopped reading
    kTransferTooLong,       // the payload took longer than the transfer's limit
    kPayloadMissing,        // the carried payload is missing or damaged
    kNotBackAfterRestart,   // the printer was not found again after its restart
    kNotIdentified,         // printers were found after the restart, but not this one
};

// The stable English key of a reason, for machine-read output: "stopped_taking_data".
std::string_view RunReasonKey(RunReason reason);

struct RunCause {
    UpgradePhase phase = UpgradePhase::kNone;  // the phase the run was in
    RunReason reason = RunReason::kNotReadyStatus;
    std::uint64_t bytes_sent = 0;   // of the payload being sent (sending phases)
    std::uint64_t bytes_total = 0;  // the payload's size (sending phases; 0 otherwise)
    std::int32_t status = 0;        // the printer's status (kNotReadyStatus)
    platform::OpenFailure system = platform::OpenFailure::kNone;  // the system's reason, if any

    friend bool operator==(const RunCause&, const RunCause&) = default;
};

class UpgradeDisplay {
  public:
    virtual ~UpgradeDisplay() = default;
    // Switches the main display; has taken effect when it returns.
    virtual void ShowUpgradeState(std::int32_t state, std::int32_t value) = 0;
    // Shows a modal message with the given layout and blocks until the user answers. The
    // answer is always one the layout offers; a dialog closed without a button, or one that
    // nobody can answer, gives OK for kLayoutOk and No for kLayoutYesNo.
    virtual std::int32_t ShowMessageDialog(std::u16string_view text, std::int32_t layout) = 0;
    // Removes (false) or puts back (true) the window's Close item.
    virtual void EnableCloseItem(bool enable) = 0;
    // Enables or disables the start button and the exit button together.
    virtual void EnableStartControls(bool enable) = 0;
    // Told while the printer burns the image into its flash: the progress animation must not
    // turn into the failure display then (it would ask the user to restart the printer). Set
    // it when the burn wait begins, after the whole image was sent, and clear it after the
    // run's end display.
    virtual void SetFlashBurnInProgress(bool burning) = 0;
    // Told when a worker begins (before its thread starts, so a quit request in between is
    // refused too) and as its very last step: the front end must not end while one runs.
    // Displays that cannot end (test recorders) need not care.
    virtual void SetWorkerRunning(bool running) { static_cast<void>(running); }
    // Told as the run moves from phase to phase, and as a phase makes progress. Displays that
    // show no phases need not care.
    virtual void ShowPhase(const PhaseReport& report) { static_cast<void>(report); }
    // Told when the printer's device file did not open for the status check, with the system's
    // reason; the not-ready display that follows says it. Displays that cannot say it need not
    // care.
    virtual void ShowOpenFailure(platform::OpenFailure why) { static_cast<void>(why); }
    // Told before the failure or not-ready display that ends a run, with the run's cause.
    // Displays that cannot say it need not care.
    virtual void ShowRunCause(const RunCause& cause) { static_cast<void>(cause); }
};

// The one main display of the process; set when the main display initialises.
extern UpgradeDisplay* g_pMainDlg;

}  // namespace tessel::upgrade
