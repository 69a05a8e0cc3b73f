#include <windows.h>

#include <string>

#include "platform/state_folder.h"

namespace tessel::platform {

std::filesystem::path ToolStateFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(),
                                           static_cast<DWORD>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length);
        length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(),
                                         static_cast<DWORD>(folder.size()));
    }
    if (length == 0 || length >= folder.size()) {
        return {};
    }
    folder.resize(length);
    return std::filesystem::path(folder) / L"Tessel";
}

}  // namespace tessel::platform
