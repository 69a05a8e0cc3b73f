// Measures how long programs take from their start to their first painted window:
//   startup_probe <runs> <program.exe>...
// Starts the programs in turn, `runs` times each, interleaved so that both see the same
// machine. A run ends when a visible top-level window of the new process shows text on the
// screen (enough dark pixels in its client area); the program is then closed with WM_CLOSE.
// Prints each program's median, minimum and maximum in milliseconds, and the ratio of each
// median to the first program's.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD process;
    HWND found;
};

HWND VisibleWindowOf(DWORD process) {
    Search search{process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->process && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Text on the screen: the client area is mostly light (its background is painted; what lies
// under a window that has not painted yet, such as a bare X server's black root, is not) and
// holds at least `enough` dark pixels.
bool ShowsText(HWND window, int enough) {
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) {
        return false;
    }
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int width = client.right;
    const int height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::size_t dark = 0;
    std::size_t light = 0;
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
        if (pixels[i] < 96 && pixels[i + 1] < 96 && pixels[i + 2] < 96) {
            ++dark;
        } else if (pixels[i] > 160 && pixels[i + 1] > 160 && pixels[i + 2] > 160) {
            ++light;
        }
    }
    return dark >= static_cast<std::size_t>(enough) && light * 2 >= pixels.size() / 4;
}

// Milliseconds from the start of `program` to its first painted window; negative on failure.
double MeasureOnce(const std::wstring& program) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Both programs end before the next starts: a window still on the screen would be taken
    // for the new one's.
    std::wstring command = L"\"" + program + L"\"";
    LARGE_INTEGER frequency, begin, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "startup_probe: cannot start %ls (error %lu)\n", program.c_str(),
                     GetLastError());
        return -1;
    }
    double elapsed = -1;
    HWND window = nullptr;
    for (int polls = 0; polls < 30'000; ++polls) {
        window = VisibleWindowOf(process.dwProcessId);
        if (window != nullptr && ShowsText(window, 40)) {
            QueryPerformanceCounter(&now);
            elapsed = static_cast<double>(now.QuadPart - begin.QuadPart) * 1000.0 /
                      static_cast<double>(frequency.QuadPart);
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "startup_probe: %ls ended before it showed a window\n",
                         program.c_str());
            break;
        }
    }
    if (window != nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 10'000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10'000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_probe <runs> <program.exe>...\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    std::vector<std::wstring> programs(argv + 2, argv + argc);
    std::vector<std::vector<double>> times(programs.size());
    for (std::size_t p = 0; p < programs.size(); ++p) {
        MeasureOnce(programs[p]);  // warm-up: the first start of each loads its files
    }
    for (int run = 0; run < runs; ++run) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const double ms = MeasureOnce(programs[p]);
            if (ms < 0) {
                return 1;
            }
            times[p].push_back(ms);
        }
    }
    const double baseline = Median(times[0]);
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const double median = Median(times[p]);
        std::printf("%-40ls median %7.1f ms  min %7.1f  max %7.1f  ratio %.2f\n",
                    programs[p].substr(programs[p].find_last_of(L"\\/") + 1).c_str(), median,
                    *std::min_element(times[p].begin(), times[p].end()),
                    *std::max_element(times[p].begin(), times[p].end()), median / baseline);
    }
    return 0;
}
