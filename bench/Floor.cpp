// The floor of the start-up benchmark: the least a Qt Widgets program does
// to show a window of the program's size with a few labels and buttons.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.resize(1020, 700);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Devices")));
    for (int i = 0; i < 3; ++i)
        layout->addWidget(new QPushButton(QStringLiteral("Device %1").arg(i + 1)));
    window.show();
    return app.exec();
}
