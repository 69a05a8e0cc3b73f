// After the success display, `tessel-cli upgrade` waits for the printer to come back from its
// restart and asks it for its version: the one place where the tool hears from the printer
// that the new firmware runs. Until then "success" only means that every byte was written and
// the burn's time has passed.
#pragma once

#include <cstdint>
#include <string>

namespace tessel::ui::cli {

// How long the printer may take to come back, in seconds on the clock, counted from the
// success display. A printer restarts within about a minute of the end of its burn, which
// the success display may precede.
inline constexpr std::int64_t kConfirmBoundSeconds = 240;
// How often discovery looks for it meanwhile.
inline constexpr std::uint32_t kConfirmPollMs = 5'000;

enum class ConfirmOutcome {
    kConfirmed,     // it reports the carried version
    kOtherVersion,  // it reports another version
    kNotBack,       // it was not back, or did not answer, within kConfirmBoundSeconds
};

struct Confirmation {
    ConfirmOutcome outcome = ConfirmOutcome::kNotBack;
    std::string version;  // what it reported (printable ASCII), when it did
};

// Waits for the printer that was upgraded (the selected row's printer, known by its serial
// number or its port) on the installed services and clock, and reads its version.
Confirmation ConfirmNewVersion();

// The carried firmware's version as the printer reports it, "3.3.3.8".
std::string CarriedVersionText();

// The line that says the outcome, for the console.
std::string ConfirmationText(const Confirmation& confirmation);

}  // namespace tessel::ui::cli
