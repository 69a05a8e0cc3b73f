// The Qt window and message dialog, checked through their widgets against the session's view,
// and whole upgrades in the window against the printer emulator on a compressed clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <chrono>
#include <functional>
#include <iostream>
#include <thread>

#include "app/desktop_instance.h"
#include "emulator.h"
#include "platform/clock.h"
#include "platform/services.h"
#include "platform/text.h"
#include "time_scales.h"
#include "ui/main_display_model.h"
#include "ui/qt/qt_widgets.h"
#include "ui/tool_text.h"
#include "ui/ui_text.h"

namespace tessel::ui::qt {
namespace {

// Both upgrades here send firmware bytes.
constexpr double kTimeScale = tessel::testing::kImageRunScale;
constexpr auto kRunBound = tessel::testing::kStuckRunBound;

// Runs the GUI thread's events until `done` holds or `bound` of real time passed.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

class QtWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { g_wPrimaryLang = g_wSubLang = 0; }
    void TearDown() override { g_wPrimaryLang = g_wSubLang = 0; }

    // The text stands on the side the view names, on the screen, in every paragraph, and reads
    // in the view's direction.
    static void ExpectSide(QWidget* widget, const TextControlView& view) {
        const Qt::Alignment side = view.align == TextAlign::kCenter  ? Qt::AlignHCenter
                                   : view.align == TextAlign::kRight ? Qt::AlignRight
                                                                     : Qt::AlignLeft;
        const Qt::LayoutDirection direction = view.rtl_reading ? Qt::RightToLeft : Qt::LeftToRight;
        const auto on_screen = [](Qt::LayoutDirection d, Qt::Alignment a) {
            return QStyle::visualAlignment(d, a) & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
        };
        if (auto* edit = qobject_cast<QTextEdit*>(widget)) {
            for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next()) {
                SCOPED_TRACE(b.text().toStdString());
                EXPECT_EQ(b.blockFormat().layoutDirection(), direction);
                EXPECT_EQ(on_screen(direction, b.blockFormat().alignment()), side);
            }
        } else {
            EXPECT_EQ(
                on_screen(widget->layoutDirection(), static_cast<QLabel*>(widget)->alignment()),
                side);
        }
    }

    // Every control shows what the last rendered view says.
    static void ExpectShows(const MainWindow& window, const MainDisplayView& view) {
        const DialogMetrics metrics = TemplateMetrics();
        EXPECT_EQ(window.windowTitle(), ToQString(view.title));
        const struct {
            const char* name;
            QWidget* widget;
            QString text;
            const TextControlView& view;
        } texts[] = {
            {"tips", window.tips(), window.tips()->toPlainText(), view.tips},
            {"instruction", window.instruction(), window.instruction()->text(), view.instruction},
            {"status line", window.status_line(), window.status_line()->text(), view.status_line},
            {"message", window.message(), window.message()->text(), view.message},
            {"result", window.result_text(), window.result_text()->text(), view.result_text},
        };
        for (const auto& t : texts) {
            SCOPED_TRACE(t.name);
            EXPECT_EQ(t.widget->isVisibleTo(&window), t.view.visible);
            if (!t.view.visible) {
                continue;
            }
            EXPECT_EQ(t.text,
                      ToQString(t.view.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            EXPECT_EQ(t.widget->geometry(), ToQRect(t.view.place, metrics));
            EXPECT_EQ(t.widget->font(), QFontFor(t.view.font, view.font_face));
            EXPECT_EQ(t.widget->layoutDirection(),
                      t.view.rtl_reading ? Qt::RightToLeft : Qt::LeftToRight);
            ExpectSide(t.widget, t.view);
        }
        const struct {
            const char* name;
            QPushButton* button;
            const ButtonView& view;
        } buttons[] = {{"start", window.start_button(), view.start_button},
                       {"exit", window.exit_button(), view.exit_button}};
        for (const auto& b : buttons) {
            SCOPED_TRACE(b.name);
            EXPECT_EQ(b.button->isVisibleTo(&window), b.view.visible);
            EXPECT_EQ(b.button->text(), ToQString(b.view.label));
            EXPECT_EQ(b.button->isEnabled(), b.view.enabled);
            EXPECT_EQ(b.button->geometry(), ToQRect(b.view.place, metrics));
        }
        EXPECT_EQ(window.progress()->isVisibleTo(&window), view.progress.visible);
        if (view.progress.visible) {
            EXPECT_EQ(window.progress()->value(), view.progress.position);
            EXPECT_EQ(window.progress()->invertedAppearance(), view.progress.mirrored);
            EXPECT_EQ(window.progress()->geometry(), ToQRect(view.progress.place, metrics));
        }
        EXPECT_EQ(window.result_image()->isVisibleTo(&window), view.result_image.visible);
        if (view.result_image.visible) {
            EXPECT_FALSE(window.result_image()->pixmap().isNull());
            EXPECT_EQ(window.result_image()->pos(),
                      ToQRect(view.result_image.place, metrics).topLeft());
        }
    }
};

TEST_F(QtWindowTest, EachDisplayInEachScriptIsPaintedAsTheViewSays) {
    platform::Clock& clock = *platform::Current().clock;
    const struct {
        const char* name;
        std::function<void(UpgradeSession&)> show;
        MainScreen screen;
    } displays[] = {
        {"start", [](UpgradeSession&) {}, MainScreen::kStart},
        {"progress", [](UpgradeSession& s) { s.ShowUpgradeState(upgrade::kStateProgress, 40); },
         MainScreen::kProgress},
        {"success",
         [](UpgradeSession& s) {
             s.ShowUpgradeState(upgrade::kStateProgress, upgrade::kProgressSucceeded);
         },
         MainScreen::kSuccess},
        {"failure", [](UpgradeSession& s) { s.ShowUpgradeState(upgrade::kStateFailed, 0); },
         MainScreen::kFailure},
        {"not ready", [](UpgradeSession& s) { s.ShowUpgradeState(upgrade::kStateNotReady, 0); },
         MainScreen::kNotReady},
    };
    for (const std::uint16_t langid : {std::uint16_t{0x0409}, std::uint16_t{0x040D},
                                       std::uint16_t{0x0411}, std::uint16_t{0x0804}}) {
        for (const auto& d : displays) {
            SCOPED_TRACE(::testing::Message() << std::hex << langid << " " << d.name);
            g_wPrimaryLang = g_wSubLang = 0;
            MainWindow window(clock, langid);
            window.show();
            d.show(window.session());
            const MainDisplayView view = window.session().Snapshot();
            ASSERT_EQ(view.screen, d.screen);
            ExpectShows(window, view);
        }
    }
}

TEST_F(QtWindowTest, FontsHaveTheViewsCharacterOrCellHeight) {
    // A point size is the em; a cell height holds ascent and descent, so its em is smaller.
    for (const std::u16string face : {u"Arial", u"Times New Roman", u"\u5B8B\u4F53"}) {
        SCOPED_TRACE(ToQString(face).toStdString());
        for (const FontKind kind : {FontKind::kNormal, FontKind::kBold, FontKind::kTemplate}) {
            const FontSpec spec = FontFor(kind, face);
            const QFont font = QFontFor(kind, face);
            const int height = spec.LogicalHeight(kReferenceDpi);
            if (height < 0) {
                EXPECT_EQ(font.pixelSize(), -height);
            } else {
                EXPECT_LE(QFontMetrics(font).height(), height);
                EXPECT_GE(QFontMetrics(font).height(), height - 2);
            }
        }
    }
}

TEST_F(QtWindowTest, MessageDialogLayoutsAndAnswers) {
    const struct {
        std::int32_t layout;
        std::function<void(MessageDialog&)> act;
        std::int32_t answer;
    } cases[] = {
        {upgrade::kLayoutOk, [](MessageDialog& d) { d.button(upgrade::kAnswerOk)->click(); },
         upgrade::kAnswerOk},
        {upgrade::kLayoutOk, [](MessageDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
         upgrade::kAnswerOk},
        {upgrade::kLayoutYesNo, [](MessageDialog& d) { d.button(upgrade::kAnswerYes)->click(); },
         upgrade::kAnswerYes},
        {upgrade::kLayoutYesNo, [](MessageDialog& d) { d.button(upgrade::kAnswerNo)->click(); },
         upgrade::kAnswerNo},
        {upgrade::kLayoutYesNo, [](MessageDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
         upgrade::kAnswerNo},
    };
    for (const std::uint16_t langid : {std::uint16_t{0x0409}, std::uint16_t{0x040D}}) {
        g_wPrimaryLang = g_wSubLang = 0;
        MainWindow window(*platform::Current().clock, langid);
        window.show();
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message()
                         << langid << " layout " << c.layout << " answer " << c.answer);
            std::int32_t answer = -1;
            std::thread worker([&] {
                answer = window.session().ShowMessageDialog(u"Is the printer on?", c.layout);
            });
            // The worker waits; the GUI thread goes on.
            ASSERT_TRUE(PumpUntil([&] { return window.message_dialog() != nullptr; }));
            MessageDialog& dialog = *window.message_dialog();
            const MessageDialogView view = BuildMessageDialog(u"Is the printer on?", c.layout);
            const DialogMetrics metrics = TemplateMetrics();
            EXPECT_EQ(dialog.text_label()->text(), QStringLiteral("Is the printer on?"));
            EXPECT_EQ(dialog.text_label()->geometry(), ToQRect(view.text_place, metrics));
            EXPECT_EQ(dialog.layoutDirection(),
                      view.rtl_reading ? Qt::RightToLeft : Qt::LeftToRight);
            for (const MessageButtonView& b : view.buttons) {
                QPushButton* button = dialog.button(b.answer);
                ASSERT_EQ(button != nullptr, b.visible) << b.answer;
                if (button != nullptr) {
                    EXPECT_EQ(button->text(), ToQString(b.label));
                    EXPECT_EQ(button->geometry(), ToQRect(b.place, metrics));
                    EXPECT_EQ(button->isDefault(), b.is_default);
                }
            }
            c.act(dialog);
            ASSERT_TRUE(PumpUntil([&] { return answer != -1; }));
            worker.join();
            EXPECT_EQ(answer, c.answer);
            EXPECT_EQ(window.message_dialog(), nullptr);
        }
    }
}

class QtUpgradeTest : public QtWindowTest {
  protected:
    void StartPrinters(sim::PrinterConfig printer) {
        sim::EmulatorOptions options;
        options.printers = {std::move(printer)};
        options.time_scale = kTimeScale;
        std::string error;
        emulator_ = sim::Emulator::Start(options, &error);
        ASSERT_TRUE(emulator_) << error;
        setenv("TESSEL_SYSFS_ROOT", emulator_->sysfs_root().c_str(), 1);
        setenv("TESSEL_DEV_ROOT", emulator_->dev_root().c_str(), 1);
        setenv("CUPS_SERVER", "/nonexistent/tessel-cups.sock", 1);
    }
    void TearDown() override {
        unsetenv("TESSEL_SYSFS_ROOT");
        unsetenv("TESSEL_DEV_ROOT");
        QtWindowTest::TearDown();
    }

    // Starts the upgrade with the button, answers every question Yes and every notice OK,
    // and tries to close the window while the worker runs. The end display.
    MainScreen Upgrade() {
        platform::ScaledClock clock(*platform::Current().clock, kTimeScale);
        platform::Services services = platform::Current();
        services.clock = &clock;
        const platform::ScopedServices installed(services);
        MainWindow window(clock, 0x0409);
        window.show();
        QTest::mouseClick(window.start_button(), Qt::LeftButton);
        bool close_tried = false;
        const bool ended = PumpUntil(
            [&] {
                if (MessageDialog* dialog = window.message_dialog()) {
                    QPushButton* yes = dialog->button(upgrade::kAnswerYes);
                    (yes != nullptr ? yes : dialog->button(upgrade::kAnswerOk))->click();
                }
                const MainDisplayView view = window.session().Snapshot();
                if (view.worker_running && !close_tried) {
                    close_tried = true;
                    EXPECT_FALSE(window.close());  // the quit rule: refused while it runs
                    EXPECT_TRUE(window.isVisible());
                }
                return close_tried && !view.worker_running;
            },
            kRunBound);
        EXPECT_TRUE(ended);
        const MainDisplayView view = window.session().Snapshot();
        if (view.cause) {
            std::cerr << "the run's cause: " << platform::Utf16ToUtf8(RunCauseText(*view.cause, 2))
                      << "\n";
        }
        ExpectShows(window, view);
        EXPECT_TRUE(window.close());  // allowed once the worker ended
        return view.screen;
    }
    int ValidPayloads(const std::string& kind) const {
        int n = 0;
        for (const auto& e : emulator_->Events()) {
            n += e["event"] == "payload" && e["kind"] == kind && e["valid"] == true ? 1 : 0;
        }
        return n;
    }

    std::unique_ptr<sim::Emulator> emulator_;
};

TEST_F(QtUpgradeTest, WholeUpgradeEndsOnSuccess) {
    StartPrinters(sim::PrinterConfig{});
    EXPECT_EQ(Upgrade(), MainScreen::kSuccess);
    EXPECT_EQ(ValidPayloads("firmware"), 1);
}

TEST_F(QtUpgradeTest, DisconnectDuringTheFirmwareEndsOnFailure) {
    sim::PrinterConfig cut;
    cut.faults.disconnect_after = 5'000'000;
    cut.faults.disconnect_payload = sim::PayloadSelect::kFirmware;
    StartPrinters(cut);
    EXPECT_EQ(Upgrade(), MainScreen::kFailure);
    EXPECT_EQ(ValidPayloads("firmware"), 0);
}

TEST_F(QtWindowTest, SecondStartBringsTheFirstForwardAndEnds) {
    const QString name = QStringLiteral("tessel-test-%1").arg(QCoreApplication::applicationPid());
    app::DesktopInstance first(name);
    ASSERT_TRUE(first.primary());
    int activations = 0;
    first.OnActivate([&] { ++activations; });
    std::optional<bool> second_primary;
    std::thread second([&] {
        // Another start, as a separate process would make it (its own thread, own sockets).
        second_primary = app::DesktopInstance(name).primary();
    });
    ASSERT_TRUE(PumpUntil([&] { return activations == 1; }));
    second.join();
    EXPECT_EQ(second_primary, std::optional<bool>(false));
}

}  // namespace
}  // namespace tessel::ui::qt

// The application object lives as long as the tests, and no longer: Qt's objects must go before
// the process's exit handlers run.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
