// Start-up of the program (placeholder window until the main window lands).
#include "Globals.h"
#include "PostMsg.h"

#include <QApplication>
#include <QLabel>
#include <QTextCodec>

int main(int argc, char** argv)
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    QApplication app(argc, argv);
    PostMsg::GetInstance();
    QLabel label(AppName);
    label.setWindowTitle(AppName);
    label.resize(400, 200);
    label.show();
    return app.exec();
}
