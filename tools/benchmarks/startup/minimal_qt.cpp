// The baseline of the start-up benchmark: a minimal Qt Widgets window with a text and a button,
// built as tessel is built.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.setFixedSize(469, 399);
    auto* text = new QLabel(QStringLiteral("Please turn on the printer."), &window);
    text->setGeometry(30, 200, 400, 150);
    auto* button = new QPushButton(QStringLiteral("Start to upgrade"), &window);
    button->setGeometry(290, 362, 120, 25);
    window.show();
    return application.exec();
}
