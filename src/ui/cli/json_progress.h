// `tessel-cli upgrade --json`: the run as a stream of JSON objects, one per line, for scripts
// that upgrade many machines. Each object has an "event":
//   {"event":"phase","phase":"sending_firmware","bytes_sent":…,"bytes_total":…,
//    "bytes_per_second":…,"seconds_left":…}     (the byte fields in the sending phases,
//                                                seconds_left when it can be told)
//   {"event":"progress","value":37}             the bar's position, while the bar shows
//   {"event":"display","display":"progress"}    start, progress, success, failure, not_ready
//   {"event":"dialog","layout":"ok"|"yes_no","text":"…","answer":"ok"|"yes"|"no"}
//   {"event":"cause","reason":"stopped_taking_data","phase":"sending_firmware",
//    "bytes_sent":…,"bytes_total":…,"text":"…"}   after a failure or not-ready display: why
//                                                 (with "status" for a status that does not
//                                                 allow an upgrade, "system_error" when the
//                                                 system gave one)
//   {"event":"exit","status":0}                 the last line
// Texts are UTF-8 in the user's language.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/cli/cli_confirm.h"
#include "ui/main_display_model.h"

namespace tessel::ui::cli {

class JsonProgress {
  public:
    // The lines for what changed since the last snapshot drawn (older snapshots give none).
    std::string Render(const ui::MainDisplayView& view);
    // The line for a dialog and the answer given to it.
    static std::string Dialog(const ui::MessageDialogView& dialog, std::int32_t answer);
    // The last line.
    static std::string Exit(int status);
    // A phase's line, and the confirmation's after a success:
    //   {"event":"confirmation","outcome":"confirmed"|"other_version"|"not_back","version":"…"}
    static std::string PhaseLine(const upgrade::PhaseReport& phase);
    static std::string ConfirmationLine(const Confirmation& confirmation);
    static std::string CauseLine(const upgrade::RunCause& cause);

    static const char* PhaseName(upgrade::UpgradePhase phase);

  private:
    bool started_ = false;
    std::uint64_t revision_ = 0;
    ui::MainScreen screen_ = ui::MainScreen::kStart;
    upgrade::PhaseReport phase_;
    std::optional<int> progress_;
    bool cause_shown_ = false;
};

}  // namespace tessel::ui::cli
