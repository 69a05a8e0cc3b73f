// Windows programs: where the DLLs come from. tessel.exe runs with administrator rights and is
// usually started from the folder a browser saved it in, where anybody may have left a DLL.
// Windows takes its known DLLs from the system folder anyway; every other DLL the programs use
// (WINSPOOL.DRV, gdiplus.dll, COMCTL32.dll) is delay-loaded (cmake/TesselWindows.cmake), and the
// hook below loads it from the system folder only, before anything of the program runs.
// Linked into each Windows executable itself: the delay-load helper finds the hook only there.
#include <windows.h>

#include <delayimp.h>

#include <string>

namespace {

// `name` from the system folder, never from the executable's folder or the current one.
HMODULE LoadFromSystemFolder(const char* name) {
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    // A system without the search flags (Windows 7 without update KB2533623): the full path.
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::string path = std::string(folder, length) + "\\" + name;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC WINAPI OnDelayLoad(unsigned notice, PDelayLoadInfo info) {
    if (notice != dliNotePreLoadLibrary) {
        return nullptr;
    }
    HMODULE module = LoadFromSystemFolder(info->szDll);
    if (module == nullptr) {
        // Not in the system folder: fail as a missing DLL does, rather than let the helper
        // search the usual folders.
        const DWORD error = GetLastError();
        info->dwLastError = error != 0 ? error : ERROR_MOD_NOT_FOUND;
        ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
        RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
    }
    return reinterpret_cast<FARPROC>(module);
}

// Every later load of this process, the system's own included, searches the system folder
// only. Before every other static initializer; looked up by name, as systems without update
// KB2533623 lack the function.
struct SystemFolderOnly {
    SystemFolderOnly() {
        using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
        HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
        auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
        if (set_default != nullptr) {
            set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
    }
};
__attribute__((init_priority(101))) const SystemFolderOnly g_system_folder_only;

}  // namespace

extern "C" {
// The delay-load helper's notification hook (mingw-w64's delayimp reads this variable).
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
PfnDliHook __pfnDliNotifyHook2 = OnDelayLoad;
}
