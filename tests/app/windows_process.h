// Child processes for the Windows tests: started with their own environment, optionally with
// another token, their output collected.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessel::testing {

// A program built beside the tests, as a Windows path (the build gives host paths).
std::wstring WindowsPath(const char* host_path);

// This process's environment with `changes` applied (an empty value removes the variable).
std::wstring EnvironmentBlock(const std::map<std::wstring, std::wstring>& changes);

// This process's token without administrator rights (the limited token that an
// administrator's elevated token is linked to); null where the system gives none.
HANDLE LimitedToken();

class WindowsProcess {
  public:
    // Starts `program` with `arguments`, in `environment`, as `token` (null: as this process).
    // Standard output and error are collected when `capture` is set.
    WindowsProcess(const std::wstring& program, const std::vector<std::wstring>& arguments,
                   const std::wstring& environment, HANDLE token, bool capture);
    ~WindowsProcess();
    WindowsProcess(const WindowsProcess&) = delete;
    WindowsProcess& operator=(const WindowsProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD start_error() const { return start_error_; }
    HANDLE handle() const { return process_; }
    // Waits up to `ms` for the end; the exit code, or nothing when it still runs.
    std::optional<DWORD> Wait(DWORD ms);
    // After Wait: what the program wrote.
    const std::string& output() const { return output_; }
    const std::string& error() const { return error_; }

  private:
    HANDLE process_ = nullptr;
    DWORD start_error_ = 0;
    HANDLE output_read_ = nullptr;
    HANDLE error_read_ = nullptr;
    HANDLE readers_[2] = {nullptr, nullptr};
    std::string output_;
    std::string error_;
};

}  // namespace tessel::testing
