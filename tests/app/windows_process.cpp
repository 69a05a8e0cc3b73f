#include "windows_process.h"

#include <cwctype>

namespace tessel::testing {
namespace {

struct Reader {
    HANDLE pipe;
    std::string* text;
};

DWORD WINAPI ReadAll(void* argument) {
    auto* reader = static_cast<Reader*>(argument);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reader->pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        reader->text->append(buffer, got);
    }
    delete reader;
    return 0;
}

std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    for (wchar_t c : argument) {
        if (c == L'"') {
            quoted += L'\\';
        }
        quoted += c;
    }
    return quoted + L"\"";
}

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return s;
}

}  // namespace

std::wstring WindowsPath(const char* host_path) {
    std::wstring path = L"Z:";
    for (const char* p = host_path; *p != '\0'; ++p) {
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    }
    return path;
}

std::wstring EnvironmentBlock(const std::map<std::wstring, std::wstring>& changes) {
    std::map<std::wstring, std::wstring> by_name;  // upper-case name -> "name=value"
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        const std::size_t equals = text.find(L'=', 1);
        if (equals != std::wstring::npos) {
            by_name[Upper(text.substr(0, equals))] = text;
        }
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& [name, value] : changes) {
        if (value.empty()) {
            by_name.erase(Upper(name));
        } else {
            by_name[Upper(name)] = name + L"=" + value;
        }
    }
    std::wstring block;
    for (const auto& [name, entry] : by_name) {
        block += entry;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

HANDLE LimitedToken() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return nullptr;
    }
    TOKEN_LINKED_TOKEN linked = {};
    DWORD size = 0;
    const BOOL ok = GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &size);
    CloseHandle(token);
    if (!ok) {
        return nullptr;
    }
    TOKEN_ELEVATION elevation = {};
    if (!GetTokenInformation(linked.LinkedToken, TokenElevation, &elevation, sizeof elevation,
                             &size) ||
        elevation.TokenIsElevated != 0) {
        CloseHandle(linked.LinkedToken);
        return nullptr;
    }
    HANDLE primary = nullptr;
    DuplicateTokenEx(linked.LinkedToken, TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation,
                     TokenPrimary, &primary);
    CloseHandle(linked.LinkedToken);
    return primary;
}

WindowsProcess::WindowsProcess(const std::wstring& program,
                               const std::vector<std::wstring>& arguments,
                               const std::wstring& environment, HANDLE token, bool capture) {
    std::wstring command_line = Quoted(program);
    for (const std::wstring& argument : arguments) {
        command_line += L" " + Quoted(argument);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    HANDLE output_write = nullptr;
    HANDLE error_write = nullptr;
    if (capture) {
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        CreatePipe(&output_read_, &output_write, &inheritable, 0);
        CreatePipe(&error_read_, &error_write, &inheritable, 0);
        SetHandleInformation(output_read_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(error_read_, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output_write;
        startup.hStdError = error_write;
    }
    PROCESS_INFORMATION info = {};
    std::wstring environment_copy = environment;
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT;
    const BOOL ok =
        token != nullptr
            ? CreateProcessAsUserW(token, program.c_str(), command_line.data(), nullptr, nullptr,
                                   capture, flags, environment_copy.data(), nullptr, &startup,
                                   &info)
            : CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, capture, flags,
                             environment_copy.data(), nullptr, &startup, &info);
    start_error_ = ok ? 0 : GetLastError();
    if (capture) {
        CloseHandle(output_write);
        CloseHandle(error_write);
        readers_[0] =
            CreateThread(nullptr, 0, &ReadAll, new Reader{output_read_, &output_}, 0, nullptr);
        readers_[1] =
            CreateThread(nullptr, 0, &ReadAll, new Reader{error_read_, &error_}, 0, nullptr);
    }
    if (ok) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
    }
}

WindowsProcess::~WindowsProcess() {
    if (process_ != nullptr) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, INFINITE);
        }
        CloseHandle(process_);
    }
    for (HANDLE reader : readers_) {
        if (reader != nullptr) {
            WaitForSingleObject(reader, INFINITE);
            CloseHandle(reader);
        }
    }
    for (HANDLE pipe : {output_read_, error_read_}) {
        if (pipe != nullptr) {
            CloseHandle(pipe);
        }
    }
}

std::optional<DWORD> WindowsProcess::Wait(DWORD ms) {
    if (process_ == nullptr || WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    // The program's end closes the pipes' write ends: the readers finish with all its output.
    for (HANDLE& reader : readers_) {
        if (reader != nullptr) {
            WaitForSingleObject(reader, INFINITE);
            CloseHandle(reader);
            reader = nullptr;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace tessel::testing
