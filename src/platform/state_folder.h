// Where the tool keeps what it writes for its user between runs (the logs of its runs).
#pragma once

#include <filesystem>

namespace tessel::platform {

// The tool's own folder for state: Linux `$XDG_STATE_HOME/tessel` (an absolute
// XDG_STATE_HOME), otherwise `$HOME/.local/state/tessel`; Windows `%LOCALAPPDATA%\Tessel`.
// Empty when the environment names no such place. The folder need not exist.
std::filesystem::path ToolStateFolder();

}  // namespace tessel::platform
