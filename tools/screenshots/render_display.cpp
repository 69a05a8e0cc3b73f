// Renders the main dialog in one language and one display and saves the window as a BMP:
//   render_display <langid, hex>
//                  <start|progress|success|failure|notready|notready-reason|notice|question>
//                  <out.bmp>
// The displays are reached as the upgrade reaches them, through the display calls of a worker.
// "notice" and "question" are the two message dialogs the version check asks (the OK notice of
// a newer printer firmware, the Yes/No question of the same firmware); the picture is the
// message dialog alone, asked from a worker thread over the progress display.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "ui/ui_text.h"
#include "ui/win32/tessel_dlg.h"
#include "upgrade/upgrade_display.h"

namespace {

bool IsMessage(const std::string& name) {
    return name == "notice" || name == "question";
}

bool Drive(tessel::upgrade::UpgradeDisplay& display, const std::string& name) {
    if (name == "start") {
        return true;
    }
    display.EnableStartControls(false);
    display.ShowUpgradeState(2, 37);
    if (name == "progress" || IsMessage(name)) {
        display.EnableCloseItem(false);
        return true;
    }
    if (name == "success") {
        display.ShowUpgradeState(2, 100);
    } else if (name == "failure") {
        display.ShowUpgradeState(1, 0);
    } else if (name == "notready") {
        display.ShowUpgradeState(5, 0);
    } else if (name == "notready-reason") {
        // The printer did not even open: the system's reason under the message.
        display.ShowOpenFailure(tessel::platform::OpenFailure::kPermissionDenied);
        display.ShowUpgradeState(5, 0);
    } else {
        return false;
    }
    return true;
}

bool SaveWindow(HWND window, const char* path) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = ((width * 3 + 3) / 4) * 4;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

// The first visible window of `thread` other than `except`, waited for up to 20 s.
HWND WaitForWindow(DWORD thread, HWND except) {
    struct Search {
        HWND except;
        HWND found;
    } search{except, nullptr};
    for (int waited = 0; waited < 20'000 && search.found == nullptr; waited += 10) {
        Sleep(10);
        if (thread != 0) {
            EnumThreadWindows(
                thread,
                [](HWND candidate, LPARAM context) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(context);
                    if (candidate != s->except && IsWindowVisible(candidate)) {
                        s->found = candidate;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
        }
    }
    return search.found;
}

bool Capture(HWND window, const char* path) {
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Sleep(500);  // the window paints
    return SaveWindow(window, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: render_display <langid hex> "
                     "<start|progress|success|failure|notready|notice|question> <out.bmp>\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const auto langid = static_cast<std::uint16_t>(std::strtoul(argv[1], nullptr, 16));

    std::atomic<DWORD> ui_thread{0};
    std::thread ui([&] {
        ui_thread = GetCurrentThreadId();
        tessel::ui::win32::CTesselDlg dialog(tessel::platform::SystemClock(), langid);
        dialog.DoModal(nullptr);
    });
    while (ui_thread == 0) {
        Sleep(10);
    }
    HWND window = WaitForWindow(ui_thread, nullptr);
    int result = 1;
    if (window == nullptr) {
        std::fprintf(stderr, "render_display: the dialog did not come up\n");
    } else if (!Drive(*tessel::upgrade::g_pMainDlg, argv[2])) {
        std::fprintf(stderr, "render_display: no display named %s\n", argv[2]);
    } else if (!IsMessage(argv[2])) {
        result = Capture(window, argv[3]) ? 0 : 1;
    } else {
        // The worker's question blocks its thread until the dialog is answered.
        const bool notice = std::strcmp(argv[2], "notice") == 0;
        std::thread asker([notice] {
            tessel::upgrade::g_pMainDlg->ShowMessageDialog(
                tessel::ui::GetUiText(notice ? tessel::ui::kTextNewerFirmware
                                             : tessel::ui::kTextSameFirmware),
                notice ? tessel::upgrade::kLayoutOk : tessel::upgrade::kLayoutYesNo);
        });
        HWND message = WaitForWindow(ui_thread, window);
        if (message == nullptr) {
            std::fprintf(stderr, "render_display: the message dialog did not come up\n");
        } else {
            result = Capture(message, argv[3]) ? 0 : 1;
            PostMessageW(message, WM_COMMAND, IDCANCEL, 0);
        }
        asker.join();
    }
    if (window != nullptr) {
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
    ui.join();
    return result;
}
