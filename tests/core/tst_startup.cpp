// Start-up: the per-user folder tree, pruning of old files and the
// single-instance rule between real processes.
#include "Globals.h"
#include "Startup.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>

namespace {

void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified = QDateTime())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.flush();  // a write on close would set the time again
    if (modified.isValid())
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

// ---- child processes ------------------------------------------------------
// "--run-first": a start whose main window reports itself and then waits to
// be killed. "--run-second": a start that expects to find another instance;
// it reports the notice it was shown and closes it like a user would.
int childMain(int argc, char** argv, const QString& mode)
{
    if (mode == QLatin1String("--run-first")) {
        return RunApplication(
            argc, argv,
            [] {
                std::printf("FIRST\n");
                std::fflush(stdout);
                auto* window = new QWidget;
                window->resize(100, 100);
                return window;
            },
            [] {
                std::printf("SECOND\n");
                std::fflush(stdout);
            });
    }
    return RunApplication(
        argc, argv,
        [] {
            std::printf("FIRST\n");
            std::fflush(stdout);
            QTimer::singleShot(0, [] { qApp->exit(0); });
            return new QWidget;
        },
        [] {
            std::printf("SECOND\n");
            std::fflush(stdout);
            QTimer::singleShot(200, [] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    std::printf("NOTICE %s\n", modal->metaObject()->className());
                    std::fflush(stdout);
                    modal->close();
                }
            });
            ShowAlreadyRunningNotice();
        });
}

bool waitForLine(QProcess& process, const QByteArray& line, int ms)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray seen;
    while (timer.elapsed() < ms) {
        process.waitForReadyRead(100);
        seen += process.readAllStandardOutput();
        if (seen.contains(line))
            return true;
        if (process.state() == QProcess::NotRunning)
            return false;
    }
    return false;
}

}  // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void userFolderTree()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path() + QStringLiteral("/AppData/Local/") + AppDataName;
        PrepareUserFolders(root);
        const QStringList expected = {"/Log", "/Device_Info", "/Exception", "/usersetting", "/usersetting/MainPage",
                                      "/usersetting/MacroPage", "/usersetting/SensorPage"};
        QCOMPARE(UserFolderNames(), expected);
        for (const QString& name : expected)
            QVERIFY2(QFileInfo(root + name).isDir(), qPrintable(name));
        QFileInfo macroIni(root + QStringLiteral("/Macro.ini"));
        QVERIFY(macroIni.isFile());
        QCOMPARE(macroIni.size(), 0);

        // A second run keeps what is there.
        writeFile(root + QStringLiteral("/Macro.ini"), "[Language]\nLanguage=3\n");
        writeFile(root + QStringLiteral("/Device_Info/Device_CID18_MID01.bin"), "keep");
        PrepareUserFolders(root);
        QFile kept(root + QStringLiteral("/Macro.ini"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("[Language]\nLanguage=3\n"));
        QVERIFY(QFileInfo::exists(root + QStringLiteral("/Device_Info/Device_CID18_MID01.bin")));
    }

    void userFolderUnderFile()
    {
        // The root cannot be made (a file stands in the way): nothing throws,
        // nothing is created elsewhere.
        QTemporaryDir tmp;
        writeFile(tmp.path() + QStringLiteral("/blocked"), "x");
        PrepareUserFolders(tmp.path() + QStringLiteral("/blocked"));
        QVERIFY(QFileInfo(tmp.path() + QStringLiteral("/blocked")).isFile());
    }

    void pruning()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.path() + QStringLiteral("/Log");
        const QDateTime now = QDateTime::currentDateTime();
        writeFile(dir + "/eight_days.txt", "a", now.addDays(-8));
        writeFile(dir + "/thirty_days.dmp", "a", now.addDays(-30));
        writeFile(dir + "/seven_days_23h.txt", "a", now.addSecs(-(7 * 86400 + 23 * 3600)));
        writeFile(dir + "/fresh.txt", "a", now);
        writeFile(dir + "/future.txt", "a", now.addDays(30));
        writeFile(dir + "/.hidden_old", "a", now.addDays(-40));
        writeFile(dir + "/sub/inner_old.txt", "a", now.addDays(-40));

        PruneOldFiles(dir, now);
        QVERIFY(!QFileInfo::exists(dir + "/eight_days.txt"));
        QVERIFY(!QFileInfo::exists(dir + "/thirty_days.dmp"));
        QVERIFY(QFileInfo::exists(dir + "/seven_days_23h.txt"));
        QVERIFY(QFileInfo::exists(dir + "/fresh.txt"));
        QVERIFY(QFileInfo::exists(dir + "/future.txt"));
        QVERIFY(QFileInfo::exists(dir + "/.hidden_old"));
        QVERIFY(QFileInfo::exists(dir + "/sub/inner_old.txt"));

        // A missing folder is no error.
        PruneOldFiles(tmp.path() + QStringLiteral("/none"));
    }

    void lockFileDecides()
    {
        QTemporaryDir tmp;
        SingleInstance first(tmp.path(), AppName);
        QCOMPARE(first.Acquire(), SingleInstance::First);
        QCOMPARE(first.LockPath(), tmp.path() + QStringLiteral("/Corvane Dizadi Mouse.lock"));

        // A folder that does not exist: run rather than refuse.
        SingleInstance nowhere(tmp.path() + QStringLiteral("/missing/deeper"), AppName);
        QCOMPARE(nowhere.Acquire(), SingleInstance::First);
    }

    void unreadableLockFilesDoNotBlock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("folder");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("garbage") << QByteArray("not a lock at all\n\n") << false;
        QTest::newRow("binary") << QByteArray::fromHex("00ff10fe7f80") << false;
        QTest::newRow("another host") << QByteArray("4242\nCorvane Dizadi Mouse\nfar-away-host\n") << false;
        QTest::newRow("a folder") << QByteArray() << true;
    }

    void unreadableLockFilesDoNotBlock()
    {
        // Whatever is left at the lock's name, only a live holder blocks.
        QFETCH(QByteArray, content);
        QFETCH(bool, folder);
        QTemporaryDir tmp;
        const QString path = tmp.path() + QStringLiteral("/Corvane Dizadi Mouse.lock");
        if (folder)
            QVERIFY(QDir().mkpath(path));
        else
            writeFile(path, content);
        {
            SingleInstance first(tmp.path(), AppName);
            QCOMPARE(first.Acquire(), SingleInstance::First);
            SingleInstance second(tmp.path(), AppName);
            QCOMPARE(second.Acquire(), SingleInstance::AlreadyRunning);
        }
        SingleInstance after(tmp.path(), AppName);
        QCOMPARE(after.Acquire(), SingleInstance::First);
    }

    void secondProcessExitsWhileFirstRuns()
    {
        const QString self = QCoreApplication::applicationFilePath();
        QProcess first;
        first.start(self, {QStringLiteral("--run-first"), QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(first.waitForStarted());
        QVERIFY2(waitForLine(first, "FIRST", 30000), "first instance did not come up");

        // An old file in the Log folder: a second start prunes it before it
        // gives way to the running instance.
        const QString logDir = UserDir() + QStringLiteral("/Log");
        writeFile(logDir + "/old.log", "x", QDateTime::currentDateTime().addDays(-9));

        QProcess second;
        second.start(self, {QStringLiteral("--run-second"), QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(second.waitForFinished(30000));
        const QByteArray out = second.readAllStandardOutput();
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY2(out.contains("SECOND") && !out.contains("FIRST"), out.constData());
        QVERIFY2(out.contains("NOTICE ExeIsRun"), out.constData());
        QVERIFY(!QFileInfo::exists(logDir + "/old.log"));
        QCOMPARE(first.state(), QProcess::Running);

        // kill -9 leaves the lock file behind; the next start runs anyway.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(QFileInfo::exists(UserDir() + QStringLiteral("/Corvane Dizadi Mouse.lock")));

        QProcess third;
        third.start(self, {QStringLiteral("--run-second"), QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(third.waitForFinished(30000));
        const QByteArray out3 = third.readAllStandardOutput();
        QVERIFY2(out3.contains("FIRST") && !out3.contains("SECOND"), out3.constData());
        QCOMPARE(third.exitStatus(), QProcess::NormalExit);
        QCOMPARE(third.exitCode(), 0);
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && (qstrcmp(argv[1], "--run-first") == 0 || qstrcmp(argv[1], "--run-second") == 0))
        return childMain(argc, argv, QString::fromLatin1(argv[1]));
    QApplication app(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
