// The exports' save dialog: the name typed gets the suffix the import's open
// dialog lists; the replace question is about the file written, not the one typed.
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
    void withFileSuffix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no suffix") << "/home/u/mine" << "/home/u/mine.ini";
        QTest::newRow("the suffix") << "/home/u/mine.ini" << "/home/u/mine.ini";
        QTest::newRow("the suffix in other case") << "/home/u/Mine.INI" << "/home/u/Mine.INI";
        QTest::newRow("a name with dots") << "/home/u/my.old.macro" << "/home/u/my.old.macro.ini";
        QTest::newRow("the suffix inside the name") << "/home/u/mine.ini.bak" << "/home/u/mine.ini.bak.ini";
        QTest::newRow("the suffix without its dot") << "/home/u/mini" << "/home/u/mini.ini";
        QTest::newRow("a folder with the suffix") << "/home/u.ini/mine" << "/home/u.ini/mine.ini";
        QTest::newRow("nothing chosen") << "" << "";
    }
    void withFileSuffix()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QCOMPARE(WithFileSuffix(typed, QStringLiteral("ini")), written);
    }

    void saveName_data()
    {
        QTest::addColumn<QStringList>("typed");  // one name per press of Save, none: Cancel
        QTest::addColumn<QString>("written");    // below the home folder, none when cancelled
        QTest::addColumn<bool>("asked");         // whether to replace a file
        QTest::newRow("no suffix") << QStringList{"mine"} << "mine.ini" << false;
        QTest::newRow("a file of that name") << QStringList{"taken"} << "taken.ini" << true;
        QTest::newRow("a folder is gone into") << QStringList{"folder", "inside"} << "folder/inside.ini" << false;
        QTest::newRow("cancelled") << QStringList() << QString() << false;
    }

    void saveName()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, written);
        QFETCH(bool, asked);
        const QDir home = QDir::home();
        QVERIFY(home.mkpath(QStringLiteral("folder")));
        QVERIFY(QFile(home.filePath(QStringLiteral("taken.ini"))).open(QIODevice::WriteOnly));

        bool question = false;
        bool ownWidgets = false;  // the dialog whose accept() gives the suffix
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                question = true;
                box->button(QMessageBox::Yes)->click();
            } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && typed.isEmpty()) {
                dialog->reject();
            } else if (dialog) {
                ownWidgets = dialog->testOption(QFileDialog::DontUseNativeDialog);
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed.takeFirst());
                // As Save does, after this tick: the replace question runs
                // its own loop, and this timer must be free to answer it.
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        answer.start(20);
        const QString path = AskSaveFileName(nullptr, QStringLiteral("ini"));
        QCOMPARE(path, written.isEmpty() ? QString() : home.filePath(written));
        QCOMPARE(question, asked);
        QVERIFY(typed.isEmpty());
        QCOMPARE(ownWidgets, !written.isEmpty());
    }
};

QTEST_MAIN(FileDialogsTest)
#include "tst_filedialogs.moc"
