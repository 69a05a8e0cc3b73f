#include "ui/qt/qt_widgets.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextLayout>
#include <cstdlib>

#include "ui/main_display_model.h"
#include "ui/message_dialog_model.h"

namespace tessel::ui::qt {
namespace {

QColor Rgb(std::uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

void PaintGround(QWidget* widget, std::uint32_t rgb) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Rgb(rgb));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

Qt::Alignment AlignmentOf(TextAlign align) {
    switch (align) {
        case TextAlign::kCenter:
            return Qt::AlignHCenter | Qt::AlignTop;
        case TextAlign::kRight:
            return Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignTop;
        case TextAlign::kLeft:
            break;
    }
    // Absolute: a right-to-left control keeps the side the view names.
    return Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignTop;
}

QPixmap ImageOf(ResultImage image) {
    switch (image) {
        case ResultImage::kWarning:
            return QPixmap(QStringLiteral(":/ui-images/warning_large.bmp"));
        case ResultImage::kSuccess:
            return QPixmap(QStringLiteral(":/ui-images/success.bmp"));
        case ResultImage::kNone:
            break;
    }
    return {};
}

// The widget of each text of the view, row for row with kTextControls: its object name, and
// whether it is a read-only box that scrolls (the system's edit colours) or a static text.
struct TextWidgetKind {
    const char* name;
    bool box;
};
constexpr std::array<TextWidgetKind, kTextControls.size()> kTextWidgetKinds = {{
    {"tips", true},
    {"instruction", false},
    {"status_line", false},
    {"message", false},
    {"result_text", false},
}};

// Places a widget where the view puts it, in its parent's coordinates. Qt mirrors only what its
// layouts place, never a geometry set here, so a place lands where the view names it in a
// right-to-left dialog too.
void PlaceAt(QWidget* widget, const QRect& rect) {
    widget->setGeometry(rect);
}

}  // namespace

QString ToQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString DisplayText(const std::u16string& text) {
    // The texts break their lines as Windows does; Qt's controls want a line feed alone.
    return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QFont QFontFor(FontKind kind, const std::u16string& face) {
    const FontSpec spec = FontFor(kind, face);
    QFont font(ToQString(spec.face));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(static_cast<QFont::Weight>(spec.weight));
    const int height = spec.LogicalHeight(kReferenceDpi);
    if (height < 0) {
        font.setPixelSize(-height);  // a character height: the em
        return font;
    }
    // A cell height: the largest em whose ascent and descent fit in it.
    for (int em = height; em > 1; --em) {
        font.setPixelSize(em);
        if (QFontMetrics(font).height() <= height) {
            break;
        }
    }
    return font;
}

DialogMetrics TemplateMetrics() {
    const QFontMetrics metrics(QFontFor(FontKind::kTemplate, {}));
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogMetrics{MulDivRound(letters, 1, 52), metrics.height(), kReferenceDpi};
}

QRect ToQRect(const Place& place, const DialogMetrics& metrics) {
    const PixelRect rect = ToPixels(place, metrics);
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

// ---- static text ----

void StaticText::setReadingDirection(Qt::LayoutDirection direction) {
    direction_ = direction;
    setLayoutDirection(direction);
    update();
}

void StaticText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int line_height = QFontMetrics(font()).height();
    QTextOption option(alignment() & (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(direction_);
    int y = 0;
    for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
        if (y >= height()) {
            break;
        }
        QTextLayout layout(paragraph, font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            line.setPosition(QPointF(0, y));
            y += line_height;
        }
        layout.endLayout();
        layout.draw(&painter, QPointF(0, 0));
    }
}

// ---- the message dialog ----

MessageDialog::MessageDialog(const MessageDialogView& view, QWidget* parent)
    : QDialog(parent), view_(view) {
    const DialogMetrics metrics = TemplateMetrics();
    setWindowTitle(ToQString(view.caption));
    setFixedSize(
        ToQRect(DialogUnits(0, 0, kMessageDialogWidthDu, kMessageDialogHeightDu), metrics).size());
    PaintGround(this, kMessageBackgroundRgb);
    const QFont font = QFontFor(FontKind::kTemplate, {});
    setFont(font);
    if (view.rtl_reading) {
        setLayoutDirection(Qt::RightToLeft);
    }

    icon_ = new QLabel(this);
    icon_->setPixmap(QPixmap(QStringLiteral(":/ui-images/warning_small.bmp")));
    icon_->adjustSize();
    icon_->move(ToQRect(view.icon_place, metrics).topLeft());

    text_ = new StaticText(this);
    text_->setText(DisplayText(view.text));
    text_->setAlignment(AlignmentOf(view.text_align));
    text_->setReadingDirection(view.rtl_reading ? Qt::RightToLeft : Qt::LeftToRight);
    PlaceAt(text_, ToQRect(view.text_place, metrics));

    for (std::size_t i = 0; i < view.buttons.size(); ++i) {
        const MessageButtonView& button_view = view.buttons[i];
        auto* button = new QPushButton(ToQString(button_view.label), this);
        PlaceAt(button, ToQRect(button_view.place, metrics));
        button->setVisible(button_view.visible);
        button->setAutoDefault(false);
        button->setDefault(button_view.visible && button_view.is_default);
        const std::int32_t answer = button_view.answer;
        connect(button, &QPushButton::clicked, this, [this, answer] { Answer(answer); });
        buttons_[i] = button;
    }
}

QPushButton* MessageDialog::button(std::int32_t answer) const {
    for (std::size_t i = 0; i < view_.buttons.size(); ++i) {
        if (view_.buttons[i].answer == answer && view_.buttons[i].visible) {
            return buttons_[i];
        }
    }
    return nullptr;
}

void MessageDialog::Answer(std::int32_t answer) {
    if (!answer_) {
        answer_ = SanitizeAnswer(view_.layout, answer);
    }
    accept();
}

void MessageDialog::done(int result) {
    // Escape and closing reject without an answer: the dismissal.
    if (!answer_) {
        answer_ = view_.dismissed_answer;
    }
    QDialog::done(result);
    if (on_answer) {
        const auto tell = std::move(on_answer);
        on_answer = nullptr;
        tell(*answer_);
    }
}

// ---- the main window ----

MainWindow::MainWindow(platform::Clock& clock, std::uint16_t langid) : metrics_(TemplateMetrics()) {
    setFixedSize(
        ToQRect(DialogUnits(0, 0, kMainDialogWidthDu, kMainDialogHeightDu), metrics_).size());
    PaintGround(this, kBackgroundRgb);
    setWindowIcon(QIcon(QStringLiteral(":/ui-images/tessel.ico")));
    setFont(QFontFor(FontKind::kTemplate, {}));

    for (std::size_t i = 0; i < texts_.size(); ++i) {
        const TextWidgetKind& kind = kTextWidgetKinds[i];
        if (kind.box) {
            auto* box = new QTextEdit(this);
            box->setReadOnly(true);
            texts_[i] = box;
        } else {
            texts_[i] = new StaticText(this);
        }
        texts_[i]->setObjectName(QString::fromLatin1(kind.name));
        texts_[i]->hide();
    }
    instruction()->setFocusPolicy(Qt::StrongFocus);
    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);
    progress_->hide();
    result_image_ = new QLabel(this);
    result_image_->hide();
    start_button_ = new QPushButton(this);
    exit_button_ = new QPushButton(this);
    start_button_->hide();
    exit_button_->hide();

    connect(start_button_, &QPushButton::clicked, this, [this] { session_->Start(); });
    connect(exit_button_, &QPushButton::clicked, this, [this] { close(); });

    SessionFrontEnd& front_end = *this;
    session_ = std::make_unique<UpgradeSession>(clock, loop_, front_end);
    session_->Initialise(langid);
    // The window opens with the focus on the instruction text, the start button one Tab away.
    if (!instruction()->isHidden()) {
        instruction()->setFocus();
    }
}

MainWindow::~MainWindow() {
    if (dialog_ != nullptr) {
        dialog_->on_answer = nullptr;
    }
    session_.reset();  // releases the worker's waits and waits for it
}

void MainWindow::Render(const MainDisplayView&, const MainDisplayView& current,
                        const ViewChanges& changes) {
    bool fonts_changed = false;
    if (changes.window) {
        setWindowTitle(ToQString(current.title));
        if (current.font_face != font_face_ || normal_font_ == QFont()) {
            font_face_ = current.font_face;
            normal_font_ = QFontFor(FontKind::kNormal, font_face_);
            bold_font_ = QFontFor(FontKind::kBold, font_face_);
            fonts_changed = true;
        }
    }
    for (std::size_t i = 0; i < kTextControls.size(); ++i) {
        ShowText(texts_[i], current.*kTextControls[i], changes.texts[i].state || fonts_changed,
                 changes.texts[i].text);
    }
    if (changes.progress) {
        const ProgressView& view = current.progress;
        progress_->setRange(view.minimum, view.maximum);
        progress_->setValue(view.position);
        progress_->setInvertedAppearance(view.mirrored);
        PlaceAt(progress_, ToQRect(view.place, metrics_));
        progress_->setVisible(view.visible);
    }
    if (changes.result_image) {
        const ImageView& view = current.result_image;
        const QPixmap image = ImageOf(view.image);
        result_image_->setPixmap(image);
        result_image_->resize(image.size());
        result_image_->move(ToQRect(view.place, metrics_).topLeft());
        result_image_->setVisible(view.visible && !image.isNull());
    }
    if (changes.start_button) {
        ShowButton(start_button_, current.start_button);
    }
    if (changes.exit_button) {
        ShowButton(exit_button_, current.exit_button);
    }
}

QWidget* MainWindow::TextWidget(TextControlView MainDisplayView::*control) const {
    return texts_.at(TextControlIndex(control));
}

QTextEdit* MainWindow::tips() const {
    return static_cast<QTextEdit*>(TextWidget(&MainDisplayView::tips));
}

StaticText* MainWindow::instruction() const {
    return static_cast<StaticText*>(TextWidget(&MainDisplayView::instruction));
}

StaticText* MainWindow::status_line() const {
    return static_cast<StaticText*>(TextWidget(&MainDisplayView::status_line));
}

StaticText* MainWindow::message() const {
    return static_cast<StaticText*>(TextWidget(&MainDisplayView::message));
}

StaticText* MainWindow::result_text() const {
    return static_cast<StaticText*>(TextWidget(&MainDisplayView::result_text));
}

void MainWindow::ShowText(QWidget* widget, const TextControlView& view, bool state, bool text) {
    const Qt::LayoutDirection direction = view.rtl_reading ? Qt::RightToLeft : Qt::LeftToRight;
    auto* edit = qobject_cast<QTextEdit*>(widget);
    if (text) {
        if (edit != nullptr) {
            edit->setPlainText(DisplayText(view.text));
        } else {
            static_cast<StaticText*>(widget)->setText(DisplayText(view.text));
        }
    }
    if (state) {
        widget->setFont(view.font == FontKind::kBold ? bold_font_ : normal_font_);
        if (edit != nullptr) {
            edit->setLayoutDirection(direction);
        } else {
            static_cast<StaticText*>(widget)->setAlignment(AlignmentOf(view.align));
            static_cast<StaticText*>(widget)->setReadingDirection(direction);
        }
        PlaceAt(widget, ToQRect(view.place, metrics_));
        widget->setVisible(view.visible);
    }
    if (edit != nullptr && (text || state)) {
        // Every paragraph in the control's direction and alignment, lines a font height apart,
        // as the system's edit control shows them.
        QTextBlockFormat format;
        format.setAlignment(AlignmentOf(view.align) &
                            (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute));
        format.setLayoutDirection(direction);
        format.setLineHeight(QFontMetrics(edit->font()).height(), QTextBlockFormat::FixedHeight);
        QTextCursor all(edit->document());
        all.select(QTextCursor::Document);
        all.mergeBlockFormat(format);
    }
}

void MainWindow::ShowButton(QPushButton* button, const ButtonView& view) {
    button->setText(ToQString(view.label));
    PlaceAt(button, ToQRect(view.place, metrics_));
    button->setEnabled(view.enabled);
    button->setVisible(view.visible);
}

std::optional<std::int32_t> MainWindow::AskMessageDialog(const MessageDialogView& view) {
    // Window-modal and opened without a nested loop: the GUI thread goes on running, the
    // worker waits for the answer.
    dialog_ = new MessageDialog(view, this);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->on_answer = [this](std::int32_t answer) {
        dialog_ = nullptr;
        session_->AnswerMessageDialog(answer);
    };
    dialog_->open();
    return std::nullopt;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Every way out asks the session: refused while an upgrade runs.
    if (session_ != nullptr && session_->RequestQuit()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace tessel::ui::qt
