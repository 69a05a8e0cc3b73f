#include "app/startup.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "app/windows_version.h"
#include "platform/text.h"
#include "ui/tool_text.h"
#include "ui/ui_text.h"

namespace tessel::app {

TimeScaleChoice ChooseTimeScale(const char* value, bool payloads_are_stand_ins) {
    TimeScaleChoice choice;
    if (value == nullptr || *value == '\0') {
        return choice;
    }
    if (!payloads_are_stand_ins) {
        choice.notice = "tessel-cli: " +
                        ui::ToolTextUtf8(ui::ToolText::kTimeScaleIgnored, {"TESSEL_TIME_SCALE"}) +
                        "\n";
        return choice;
    }
    errno = 0;
    char* end = nullptr;
    const double scale = std::strtod(value, &end);
    if (errno != 0 || end == value || *end != '\0' || !std::isfinite(scale) || scale <= 0.0 ||
        scale > 1.0) {
        choice.error = true;
        choice.notice =
            "tessel-cli: " +
            ui::ToolTextUtf8(ui::ToolText::kTimeScaleWrong, {"TESSEL_TIME_SCALE", value}) + "\n";
        return choice;
    }
    choice.scale = scale;
    return choice;
}

ScopedTimeScale::ScopedTimeScale(std::optional<double> scale) {
    platform::Services services = platform::Current();
    if (scale) {
        scaled_.emplace(*services.clock, *scale);
        services.clock = &*scaled_;
    }
    installed_.emplace(services);
}

Startup::Startup(std::optional<double> scale, std::string_view program,
                 const std::optional<platform::OsVersionRecord>& os)
    : clock_(scale) {
    if (!program.empty()) {
        // Every debugger line of this run from here on also goes to its log.
        log_.emplace("Tessel " + platform::Utf16ToUtf8(ui::g_strFwVersion) + ", " +
                     std::string(program));
    }
    // Whether the end of an upgrade also marks the printer's device by its name.
    DetectWindowsVersion(os);
}

std::filesystem::path Startup::log_path() const {
    return log_ ? log_->path() : std::filesystem::path();
}

}  // namespace tessel::app
