// Renders every display of the Linux window offscreen into PNG files:
//   render_qt <out-dir>
// writes <out-dir>/<language>-<display>.png for the start, progress, success, failure and not
// ready displays and the version check's notice (OK) and question (Yes/No) in all eight
// languages. The displays are reached through the session's display calls, as the upgrade
// reaches them; the two message dialogs are asked from a worker thread over the progress
// display, and the picture is the dialog alone.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/services.h"
#include "ui/qt/qt_widgets.h"
#include "ui/ui_text.h"

using namespace tessel;
using namespace tessel::ui;

namespace {

struct Language {
    const char* name;
    std::uint16_t langid;
};
constexpr Language kLanguages[] = {{"en", 0x0409}, {"zh-CN", 0x0804}, {"zh-TW", 0x0404},
                                   {"ja", 0x0411}, {"ru", 0x0419},    {"tr", 0x041F},
                                   {"it", 0x0410}, {"he", 0x040D}};

struct Shot {
    const char* name;
    std::function<void(UpgradeSession&)> show;
};

void Progress(UpgradeSession& s) {
    s.EnableStartControls(false);
    s.ShowUpgradeState(upgrade::kStateProgress, 37);
    s.EnableCloseItem(false);
}

const Shot kDisplays[] = {
    {"start", [](UpgradeSession&) {}},
    {"progress", Progress},
    {"success",
     [](UpgradeSession& s) {
         Progress(s);
         s.ShowUpgradeState(upgrade::kStateProgress, upgrade::kProgressSucceeded);
     }},
    {"failure",
     [](UpgradeSession& s) {
         Progress(s);
         s.ShowUpgradeState(upgrade::kStateFailed, 0);
     }},
    {"notready",
     [](UpgradeSession& s) {
         Progress(s);
         s.ShowUpgradeState(upgrade::kStateNotReady, 0);
     }},
    // The printer did not even open: the system's reason under the message.
    {"notready-reason",
     [](UpgradeSession& s) {
         Progress(s);
         s.ShowOpenFailure(platform::OpenFailure::kPermissionDenied);
         s.ShowUpgradeState(upgrade::kStateNotReady, 0);
     }},
};

// Lets the widgets lay out and paint.
void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

bool Save(QWidget& widget, const QString& path) {
    Settle();
    if (!widget.grab().save(path, "PNG")) {
        std::fprintf(stderr, "render_qt: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The version check's message dialog, asked by a worker over the progress display.
bool SaveMessage(qt::MainWindow& window, bool notice, const QString& path) {
    Progress(window.session());
    std::atomic<bool> answered{false};
    std::thread asker([&window, &answered, notice] {
        window.session().ShowMessageDialog(
            GetUiText(notice ? kTextNewerFirmware : kTextSameFirmware),
            notice ? upgrade::kLayoutOk : upgrade::kLayoutYesNo);
        answered = true;
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (window.message_dialog() == nullptr && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    bool saved = false;
    if (qt::MessageDialog* dialog = window.message_dialog()) {
        saved = Save(*dialog, path);
        dialog->reject();
    } else {
        std::fprintf(stderr, "render_qt: the message dialog did not come up\n");
        window.session().DismissMessageDialog();
    }
    // The worker's closing of the dialog is rendered on this thread before it returns.
    while (!answered) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    asker.join();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_qt <out-dir>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    int written = 0;
    for (const Language& language : kLanguages) {
        const auto path = [&](const char* display) {
            return out.filePath(QStringLiteral("%1-%2.png").arg(language.name, display));
        };
        for (const Shot& display : kDisplays) {
            g_wPrimaryLang = g_wSubLang = 0;
            qt::MainWindow window(*platform::Current().clock, language.langid);
            window.show();
            display.show(window.session());
            if (!Save(window, path(display.name))) {
                return 1;
            }
            ++written;
        }
        for (const bool notice : {true, false}) {
            g_wPrimaryLang = g_wSubLang = 0;
            qt::MainWindow window(*platform::Current().clock, language.langid);
            window.show();
            if (!SaveMessage(window, notice, path(notice ? "notice" : "question"))) {
                return 1;
            }
            ++written;
        }
    }
    std::printf("%d screenshots in %s\n", written, qPrintable(out.absolutePath()));
    return 0;
}
