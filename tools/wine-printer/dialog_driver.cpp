// tessel-dialog-driver: runs tessel.exe's main dialog as a user would, for the end-to-end checks
// under Wine. Starts the program, waits for its dialog, presses the start button, waits for the
// end display (the result text shown) and prints the texts it shows, one per line:
//   result: <result text>
//   message: <main message>
//   image: shown|hidden
//   question: <text>      for each message dialog that opens on the way (left unanswered)
// then closes the dialog. Exit status 0 when an end display was read, 1 when none came within
// the bound, 2 on a usage or start error.
//
// usage: tessel-dialog-driver TESSEL_EXE BOUND_SECONDS
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "ui/win32/resource.h"

namespace {

constexpr DWORD kLookMs = 100;

struct Search {
    DWORD process_id;
    int control_id;  // a child that the wanted window holds
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process_id && IsWindowVisible(window) &&
        GetDlgItem(window, search->control_id) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level window of `process_id` that holds the control `control_id`.
HWND WindowWith(DWORD process_id, int control_id) {
    Search search{process_id, control_id, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A control's text, read through the window manager (the dialog runs in another process).
std::wstring TextOf(HWND control) {
    wchar_t buffer[2048] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, sizeof buffer / sizeof buffer[0],
                        reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &copied);
    return std::wstring(buffer, wcsnlen(buffer, sizeof buffer / sizeof buffer[0]));
}

void PrintLine(const char* label, const std::wstring& text) {
    std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(
                         CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                         nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                        static_cast<int>(utf8.size()), nullptr, nullptr);
    for (char& c : utf8) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    std::printf("%s: %s\n", label, utf8.c_str());
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessel-dialog-driver TESSEL_EXE BOUND_SECONDS\n");
        return 2;
    }
    const DWORD bound_ms = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) * 1000;
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start the program: error %lu\n", GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);

    int status = 1;
    HWND dialog = nullptr;
    const ULONGLONG start = GetTickCount64();
    auto within = [&] { return GetTickCount64() - start < bound_ms; };
    while (within() && dialog == nullptr &&
           WaitForSingleObject(process.hProcess, kLookMs) == WAIT_TIMEOUT) {
        dialog = WindowWith(process.dwProcessId, IDC_BUTTON_START);
    }
    if (dialog == nullptr) {
        std::fprintf(stderr, "no main dialog\n");
    } else {
        HWND start_button = GetDlgItem(dialog, IDC_BUTTON_START);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_START, BN_CLICKED),
                     reinterpret_cast<LPARAM>(start_button));
        HWND result = GetDlgItem(dialog, IDC_RESULT_TEXT);
        HWND last_question = nullptr;
        while (within() && WaitForSingleObject(process.hProcess, kLookMs) == WAIT_TIMEOUT) {
            // A message dialog on the way is reported once and left open: the run then has no
            // end display within the bound, which the caller sees.
            HWND question = WindowWith(process.dwProcessId, IDC_MESSAGE_TEXT);
            if (question != nullptr && question != last_question) {
                PrintLine("question", TextOf(GetDlgItem(question, IDC_MESSAGE_TEXT)));
                last_question = question;
            }
            if (result != nullptr && IsWindowVisible(result) && !TextOf(result).empty()) {
                PrintLine("result", TextOf(result));
                PrintLine("message", TextOf(GetDlgItem(dialog, IDC_MAIN_MESSAGE)));
                PrintLine("image", IsWindowVisible(GetDlgItem(dialog, IDC_RESULT_IMAGE))
                                       ? L"shown"
                                       : L"hidden");
                status = 0;
                break;
            }
        }
        if (status != 0) {
            std::fprintf(stderr, "no end display within %ls s\n", argv[2]);
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    if (WaitForSingleObject(process.hProcess, 10'000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10'000);
    }
    CloseHandle(process.hProcess);
    return status;
}
