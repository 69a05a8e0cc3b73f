#include <cstdlib>

#include "platform/state_folder.h"

namespace tessel::platform {

std::filesystem::path ToolStateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::filesystem::path(state) / "tessel";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::filesystem::path(home) / ".local" / "state" / "tessel";
    }
    return {};
}

}  // namespace tessel::platform
