#include "upgrade/upgrade_display.h"

namespace tessel::upgrade {

UpgradeDisplay* g_pMainDlg = nullptr;

std::string_view PhaseKey(UpgradePhase phase) {
    switch (phase) {
        case UpgradePhase::kNone:
            return "none";
        case UpgradePhase::kCheckingPrinter:
            return "checking_printer";
        case UpgradePhase::kReadingVersion:
            return "reading_version";
        case UpgradePhase::kSendingLoader:
            return "sending_loader";
        case UpgradePhase::kWaitingForRestart:
            return "waiting_for_restart";
        case UpgradePhase::kSendingFirmware:
            return "sending_firmware";
        case UpgradePhase::kBurning:
            return "burning";
        case UpgradePhase::kConfirming:
            return "confirming";
    }
    return "unknown";
}

std::string_view RunReasonKey(RunReason reason) {
    switch (reason) {
        case RunReason::kNotReadyStatus:
            return "not_ready_status";
        case RunReason::kOpenFailed:
            return "open_failed";
        case RunReason::kNoReply:
            return "no_reply";
        case RunReason::kBadReply:
            return "bad_reply";
        case RunReason::kNoVersion:
            return "no_version";
        case RunReason::kDroppedOffBus:
            return "dropped_off_bus";
        case RunReason::kWriteFailed:
            return "write_failed";
        case RunReason::kStoppedTakingData:
            return "stopped_taking_data";
        case RunReason::kTransferTooLong:
            return "transfer_too_long";
        case RunReason::kPayloadMissing:
            return "payload_missing";
        case RunReason::kNotBackAfterRestart:
            return "not_back_after_restart";
        case RunReason::kNotIdentified:
            return "not_identified";
    }
    return "unknown";
}

}  // namespace tessel::upgrade
