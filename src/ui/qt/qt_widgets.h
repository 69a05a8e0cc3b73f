// The Qt front end's windows: the main window and the message dialog, painting the views of the
// upgrade session (ui/upgrade_session.h) with the places, fonts and texts the view gives.
#pragma once

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/clock.h"
#include "ui/display_fonts.h"
#include "ui/display_geometry.h"
#include "ui/qt/qt_ui_loop.h"
#include "ui/upgrade_session.h"

namespace tessel::ui::qt {

QString ToQString(const std::u16string& text);
// A text of the view as a control shows it: its lines broken by line feeds.
QString DisplayText(const std::u16string& text);
// The font of `kind` for the language's face; a face the system lacks falls back through
// fontconfig to one that covers the script.
QFont QFontFor(FontKind kind, const std::u16string& face);
// The dialog base units of the templates' font, measured as the dialog manager measures them.
DialogMetrics TemplateMetrics();
QRect ToQRect(const Place& place, const DialogMetrics& metrics);

// A static text as the system's text controls draw it: lines a font height apart, broken at
// line feeds and between words, in the given direction and absolute alignment, clipped to the
// control. It keeps QLabel's text, font and alignment.
class StaticText final : public QLabel {
  public:
    explicit StaticText(QWidget* parent) : QLabel(parent) {}
    // The paragraphs' direction: right-to-left reading makes every line right-to-left.
    void setReadingDirection(Qt::LayoutDirection direction);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Qt::LayoutDirection direction_ = Qt::LeftToRight;
};

// The message dialog: the text, the warning image and the layout's buttons on white. A button
// gives its answer; Escape and closing give the dismissal.
class MessageDialog final : public QDialog {
  public:
    MessageDialog(const MessageDialogView& view, QWidget* parent);
    // The answer once given (a button, Escape or closing).
    std::optional<std::int32_t> answer() const { return answer_; }
    StaticText* text_label() const { return text_; }
    QPushButton* button(std::int32_t answer) const;
    // Called once with the answer when the dialog ends.
    std::function<void(std::int32_t)> on_answer;

  protected:
    void done(int result) override;

  private:
    void Answer(std::int32_t answer);

    MessageDialogView view_;
    StaticText* text_ = nullptr;
    QLabel* icon_ = nullptr;
    std::array<QPushButton*, 3> buttons_{};
    std::optional<std::int32_t> answer_;
};

class MainWindow final : public QWidget, private SessionFrontEnd {
  public:
    // `langid` chooses the language; without it the environment's.
    MainWindow(platform::Clock& clock, std::uint16_t langid);
    ~MainWindow() override;

    UpgradeSession& session() { return *session_; }
    // The open message dialog, or null.
    MessageDialog* message_dialog() const { return dialog_; }

    QTextEdit* tips() const;
    StaticText* instruction() const;
    StaticText* status_line() const;
    StaticText* message() const;
    StaticText* result_text() const;
    QProgressBar* progress() const { return progress_; }
    QLabel* result_image() const { return result_image_; }
    QPushButton* start_button() const { return start_button_; }
    QPushButton* exit_button() const { return exit_button_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Render(const MainDisplayView& previous, const MainDisplayView& current,
                const ViewChanges& changes) override;
    std::optional<std::int32_t> AskMessageDialog(const MessageDialogView& view) override;

    void ShowText(QWidget* widget, const TextControlView& view, bool state, bool text);
    QWidget* TextWidget(TextControlView MainDisplayView::* control) const;
    void ShowButton(QPushButton* button, const ButtonView& view);

    DialogMetrics metrics_;
    QtUiLoop loop_;
    std::u16string font_face_;
    QFont normal_font_;
    QFont bold_font_;
    // One a row of kTextControls: a QTextEdit or a StaticText.
    std::array<QWidget*, kTextControls.size()> texts_{};
    QProgressBar* progress_ = nullptr;
    QLabel* result_image_ = nullptr;
    QPushButton* start_button_ = nullptr;
    QPushButton* exit_button_ = nullptr;
    MessageDialog* dialog_ = nullptr;
    std::unique_ptr<UpgradeSession> session_;
};

}  // namespace tessel::ui::qt
