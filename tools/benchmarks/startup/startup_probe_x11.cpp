// Measures how long programs take from their start to their first painted window on an X
// server:
//   startup-probe-x11 <runs> <program>...
// Starts the programs in turn, `runs` times each, interleaved so that all see the same machine.
// A run ends when a mapped top-level window of the new process (_NET_WM_PID) shows text (enough
// dark pixels on a mostly light ground); the program is then asked to close (WM_DELETE_WINDOW).
// Prints each program's median, minimum and maximum in milliseconds, and the ratio of each
// median to the first program's.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long PidOf(Display* display, Window window) {
    const Atom pid_atom = XInternAtom(display, "_NET_WM_PID", True);
    if (pid_atom == None) {
        return -1;
    }
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pid_atom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data) == Success &&
        data != nullptr) {
        if (format == 32 && items == 1) {
            pid = *reinterpret_cast<long*>(data);
        }
        XFree(data);
    }
    return pid;
}

// The mapped top-level window of `pid`, or None.
Window WindowOf(Display* display, pid_t pid) {
    Window root_return = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = None;
    if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children,
                    &count)) {
        return None;
    }
    for (unsigned int i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && PidOf(display, children[i]) == pid) {
            found = children[i];
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;  // a window that went away between the query and the look
}

bool ShowsText(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.width <= 0 ||
        attributes.height <= 0) {
        return false;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    long dark = 0;
    long light = 0;
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const unsigned long r = (pixel >> 16) & 0xFF;
            const unsigned long g = (pixel >> 8) & 0xFF;
            const unsigned long b = pixel & 0xFF;
            if (r < 96 && g < 96 && b < 96) {
                ++dark;
            } else if (r > 160 && g > 160 && b > 160) {
                ++light;
            }
        }
    }
    XDestroyImage(image);
    return dark >= 200 && light * 2 >= static_cast<long>(attributes.width) * attributes.height;
}

void AskToClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// Milliseconds to the first painted window, or a negative number when none came in 30 s.
double OneRun(Display* display, const char* program) {
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    double ms = -1;
    Window window = None;
    while (Clock::now() - start < std::chrono::seconds(30)) {
        if (window == None) {
            window = WindowOf(display, pid);
        }
        if (window != None && ShowsText(display, window)) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    if (window != None) {
        AskToClose(display, window);
    }
    for (int i = 0; i < 200; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return ms;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup-probe-x11 <runs> <program>...\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "startup-probe-x11: no X display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    const int runs = std::atoi(argv[1]);
    std::vector<std::vector<double>> times(static_cast<std::size_t>(argc - 2));
    for (int run = 0; run < runs; ++run) {
        for (int p = 2; p < argc; ++p) {
            const double ms = OneRun(display, argv[p]);
            if (ms < 0) {
                std::fprintf(stderr, "startup-probe-x11: %s showed no painted window\n", argv[p]);
                return 1;
            }
            times[static_cast<std::size_t>(p - 2)].push_back(ms);
        }
    }
    double baseline = 0;
    for (int p = 2; p < argc; ++p) {
        std::vector<double>& t = times[static_cast<std::size_t>(p - 2)];
        std::sort(t.begin(), t.end());
        const double median = (t[(t.size() - 1) / 2] + t[t.size() / 2]) / 2;
        if (p == 2) {
            baseline = median;
        }
        std::printf("%-50s median %7.1f ms  min %7.1f  max %7.1f  x%.2f\n", argv[p], median,
                    t.front(), t.back(), median / baseline);
    }
    XCloseDisplay(display);
    return 0;
}
