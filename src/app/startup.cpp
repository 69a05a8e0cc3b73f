#include "app/startup.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "ui/tool_text.h"

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

}  // namespace tessel::app
