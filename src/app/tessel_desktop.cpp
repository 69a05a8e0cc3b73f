// tessel: the Linux desktop application, the main window over the upgrade session.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/desktop_instance.h"
#include "app/startup.h"
#include "payloads/build_info.h"
#include "platform/clock.h"
#include "platform/services.h"
#include "platform/text.h"
#include "ui/cli/cli_options.h"
#include "ui/qt/qt_widgets.h"
#include "ui/ui_locale.h"
#include "ui/ui_text.h"

using namespace tessel;

int main(int argc, char** argv) {
    QApplication application(argc, argv);

    app::DesktopInstance instance(app::DesktopInstanceName());
    if (!instance.primary()) {
        return EXIT_SUCCESS;  // the first copy came forward
    }

    const app::TimeScaleChoice time_scale =
        app::ChooseTimeScale(std::getenv("TESSEL_TIME_SCALE"), payloads::kPayloadsAreStandIns);
    if (!time_scale.notice.empty()) {
        std::fputs(time_scale.notice.c_str(), stderr);
    }
    if (time_scale.error) {
        return ui::cli::kExitUsage;
    }
    const app::Startup startup(time_scale.scale, "tessel");

    const std::uint16_t langid = ui::UiLanguageFromEnvironment(
        [](const char* name) -> const char* { return std::getenv(name); });
    ui::qt::MainWindow window(platform::Clk(), langid);
    instance.OnActivate([&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.show();
    return QApplication::exec();
}
