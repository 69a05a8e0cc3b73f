#include "app/tessel_app.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <string>

#include "app/single_instance.h"
#include "app/startup.h"
#include "platform/services.h"
#include "platform/text.h"
#include "ui/ui_text.h"
#include "ui/win32/tessel_dlg.h"

namespace tessel::app {

HANDLE g_hInstanceMutex = nullptr;

void BringWindowForward(const wchar_t* title) {
    HWND window = FindWindowW(nullptr, title);
    if (window == nullptr) {
        return;
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    placement.showCmd = SW_SHOWNORMAL;
    if (!SetWindowPlacement(window, &placement)) {
        // Wine does not place another process's window; this is the same request.
        ShowWindow(window, SW_SHOWNORMAL);
    }
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

bool CTesselApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    // Nothing draws with GDI+; a failed start changes nothing.
    const Gdiplus::GdiplusStartupInput gdiplus_input;
    gdiplus_started_ =
        Gdiplus::GdiplusStartup(&gdiplus_token_, &gdiplus_input, nullptr) == Gdiplus::Ok;

    const std::u16string key16 = SingleInstanceKey();
    const std::wstring key(key16.begin(), key16.end());
    g_hInstanceMutex = CreateMutexW(nullptr, TRUE, key.c_str());
    if (g_hInstanceMutex == nullptr) {
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        BringWindowForward(key.c_str());
        CloseHandle(g_hInstanceMutex);
        g_hInstanceMutex = nullptr;
        return false;
    }

    // The system clock: tessel.exe never runs on a compressed one.
    const Startup startup(std::nullopt, "tessel.exe");
    ui::win32::CTesselDlg dialog(platform::Clk());
    dialog.DoModal(nullptr);
    return false;
}

int CTesselApp::ExitInstance() {
    if (gdiplus_started_) {
        Gdiplus::GdiplusShutdown(gdiplus_token_);
        gdiplus_started_ = false;
    }
    return 0;
}

}  // namespace tessel::app

namespace {
tessel::app::CTesselApp theApp;
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    theApp.InitInstance();
    return theApp.ExitInstance();
}
