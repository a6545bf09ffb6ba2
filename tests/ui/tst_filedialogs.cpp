// The save dialog of the exports: the name typed gets the suffix the import's
// open dialog lists, and the dialog asks about replacing the file that will
// be written, not the one typed.
#include "FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class FileDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void saveName_data()
    {
        QTest::addColumn<QStringList>("typed");  // one name per press of Save
        QTest::addColumn<QString>("written");    // below the home folder
        QTest::addColumn<bool>("asked");         // whether to replace a file
        // (The rule itself: WithFileSuffix, tested with the picked files.)
        QTest::newRow("no suffix") << QStringList{"mine"} << "mine.ini" << false;
        QTest::newRow("a file of that name") << QStringList{"taken"} << "taken.ini" << true;
        QTest::newRow("a folder is gone into") << QStringList{"folder", "inside"} << "folder/inside.ini" << false;
    }

    void saveName()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, written);
        QFETCH(bool, asked);
        const QDir home = QDir::home();
        QVERIFY(home.mkpath(QStringLiteral("folder")));
        QFile taken(home.filePath(QStringLiteral("taken.ini")));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.close();

        bool question = false;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                question = true;
                box->button(QMessageBox::Yes)->click();
            } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && !typed.isEmpty()) {
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed.takeFirst());
                // As Save does, after this tick: the replace question runs
                // its own loop, and this timer must be free to answer it.
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        answer.start(20);
        const QString path = AskSaveFileName(nullptr, QStringLiteral("ini"));
        QCOMPARE(path, home.filePath(written));
        QCOMPARE(question, asked);
        QVERIFY(typed.isEmpty());
    }

    void cancelled()
    {
        QTimer::singleShot(50, [] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        QCOMPARE(AskSaveFileName(nullptr, QStringLiteral("bin")), QString());
    }
};

QTEST_MAIN(FileDialogsTest)
#include "tst_filedialogs.moc"
