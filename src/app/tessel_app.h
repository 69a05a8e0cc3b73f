// tessel.exe, the Windows application: one instance at a time, running the main dialog.
#pragma once

#include <windows.h>

namespace tessel::app {

// The named mutex that the running instance holds for its whole life; null in a second
// instance and before start-up.
extern HANDLE g_hInstanceMutex;

class CTesselApp {
  public:
    // Prepares the common controls and GDI+, makes sure this is the only instance (a second
    // one brings the first one's window forward and ends), and runs the main dialog. Always
    // false: the process ends when it returns.
    bool InitInstance();
    // Shuts GDI+ down. The process's exit code.
    int ExitInstance();

  private:
    ULONG_PTR gdiplus_token_ = 0;
    bool gdiplus_started_ = false;
};

// Restores and shows the window titled `title`, when there is one.
void BringWindowForward(const wchar_t* title);

}  // namespace tessel::app
