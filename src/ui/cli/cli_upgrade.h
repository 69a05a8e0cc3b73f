// `tessel-cli upgrade`: one upgrade on the upgrade session that every front end uses, its
// display drawn on the console by the main thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/console.h"
#include "ui/cli/cli_options.h"

namespace tessel::ui::cli {

// Runs one upgrade on the installed services and returns its exit status. The display runs on
// `clock` (the services' clock), its texts in the language `langid`. The yes/no question is
// answered by `answer`, else asked when standard input is a terminal, else answered No.
// With `confirm`, a success is followed by ConfirmNewVersion (ui/cli/cli_confirm.h), whose
// warnings have exit statuses of their own. With `json`, standard output gets the run as JSON lines (ui/cli/json_progress.h) instead.
// With `printer` (--printer), the run works on the printer it names only: when a discovery
// pass finds none or several, the run ends before it starts, with that choice's exit status.
int RunUpgrade(PresetAnswer answer, platform::Console& console, platform::Clock& clock,
               std::uint16_t langid, bool json = false, bool confirm = false,
               const std::optional<std::string>& printer = std::nullopt);

// What an interrupt (Ctrl+C, a termination request) does: while an upgrade runs it is refused
// with a notice, because the printer would be left half upgraded; while the run's question
// waits for an answer it leaves the question unanswered (which declines); otherwise it ends
// the process with kExitInterrupted. Give it to Console::TakeInterrupts.
void OnInterrupt(platform::Console& console);

// The notice before an upgrade without administrator rights: the run goes on, but the step
// after the transfer that marks the printer for a fresh driver installation will fail.
std::string NoAdministratorRightsNotice();

}  // namespace tessel::ui::cli
