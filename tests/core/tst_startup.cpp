// Start-up: the per-user folder tree, pruning of old files and the
// single-instance rule between real processes.
#include "FileOverride.h"
#include "FilePlaces.h"
#include "Globals.h"
#include "Startup.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <sys/stat.h>

namespace {

// ---- child processes ------------------------------------------------------
// "--run-first": a start whose main window reports itself and every notice
// shown over it ("NOTICE <class>: <text>", then closes it) and waits to be
// killed. "--run-second": a start whose main window quits at once. Either,
// when it finds another instance, reports the notice it was shown and
// closes it like a user would.
int childMain(int argc, char** argv, const QString& mode)
{
    const auto second = [] {
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
    };
    if (mode == QLatin1String("--run-first")) {
        return RunApplication(
            argc, argv,
            [] {
                std::printf("FIRST\n");
                std::fflush(stdout);
                auto* window = new QWidget;
                window->resize(100, 100);
                auto* poll = new QTimer(window);
                QObject::connect(poll, &QTimer::timeout, [] {
                    if (QWidget* modal = QApplication::activeModalWidget()) {
                        const auto* label = modal->findChild<QLabel*>(QStringLiteral("label"));
                        std::printf("NOTICE %s: %s\n", modal->metaObject()->className(),
                                    label ? qPrintable(label->text()) : "");
                        std::fflush(stdout);
                        modal->close();
                    }
                });
                poll->start(50);
                return window;
            },
            second);
    }
    return RunApplication(
        argc, argv,
        [] {
            std::printf("FIRST\n");
            std::fflush(stdout);
            QTimer::singleShot(0, [] { qApp->exit(0); });
            return new QWidget;
        },
        second);
}

// Reads the output (into *seenSoFar when given) until it holds line.
bool waitForLine(QProcess& process, const QByteArray& line, int ms, QByteArray* seenSoFar = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray own;
    QByteArray& seen = seenSoFar ? *seenSoFar : own;
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

// The lock file a start takes in dir.
QString lockIn(const QString& dir)
{
    return dir + '/' + AppName + ".lock";
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
        QVERIFY(testsupport::WriteFile(root + QStringLiteral("/Macro.ini"), "[Language]\nLanguage=3\n"));
        QVERIFY(testsupport::WriteFile(root + QStringLiteral("/Device_Info/Device_CID18_MID01.bin"), "keep"));
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
        QVERIFY(testsupport::WriteFile(tmp.path() + QStringLiteral("/blocked"), "x"));
        PrepareUserFolders(tmp.path() + QStringLiteral("/blocked"));
        QVERIFY(QFileInfo(tmp.path() + QStringLiteral("/blocked")).isFile());
    }

    void pruning()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.path() + QStringLiteral("/Log");
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(testsupport::WriteFile(dir + "/eight_days.txt", "a", now.addDays(-8)));
        QVERIFY(testsupport::WriteFile(dir + "/thirty_days.dmp", "a", now.addDays(-30)));
        QVERIFY(testsupport::WriteFile(dir + "/seven_days_23h.txt", "a", now.addSecs(-(7 * 86400 + 23 * 3600))));
        QVERIFY(testsupport::WriteFile(dir + "/fresh.txt", "a", now));
        QVERIFY(testsupport::WriteFile(dir + "/future.txt", "a", now.addDays(30)));
        QVERIFY(testsupport::WriteFile(dir + "/.hidden_old", "a", now.addDays(-40)));
        QVERIFY(testsupport::WriteFile(dir + "/sub/inner_old.txt", "a", now.addDays(-40)));

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

        // A folder that does not exist and no fallback: no lock at all, and
        // the program runs rather than refuse.
        SingleInstance nowhere(tmp.path() + QStringLiteral("/missing/deeper"), AppName, QString());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no lock could be taken"));
        QCOMPARE(nowhere.Acquire(), SingleInstance::First);
    }

    // The copy of the folder that a move puts in place is locked before it
    // is: a start that finds it there gives way.
    void lockCopyHoldsTheCopy()
    {
        QTemporaryDir tmp;
        const QString copy = tmp.filePath("copy");
        SingleInstance first(tmp.path(), AppName, QString());
        QCOMPARE(first.Acquire(), SingleInstance::First);
        QVERIFY(QDir().mkpath(copy) && first.LockCopy(copy));
        QCOMPARE(SingleInstance(copy, AppName, QString()).Acquire(), SingleInstance::AlreadyRunning);
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
            QVERIFY(testsupport::WriteFile(path, content));
        {
            SingleInstance first(tmp.path(), AppName);
            QCOMPARE(first.Acquire(), SingleInstance::First);
            SingleInstance second(tmp.path(), AppName);
            QCOMPARE(second.Acquire(), SingleInstance::AlreadyRunning);
        }
        SingleInstance after(tmp.path(), AppName);
        QCOMPARE(after.Acquire(), SingleInstance::First);
    }

    // The lock in the user folder cannot be had: the one in the runtime
    // folder still keeps a second instance out, and a link at the lock's
    // name is never followed.
    void lockFallback_data()
    {
        QTest::addColumn<QString>("setup");
        for (const char* setup : {"read-only folder", "unreadable lock file", "lock links to a file",
                                  "dangling link at the lock", "no folder"})
            QTest::newRow(setup) << QString::fromLatin1(setup);
    }

    void lockFallback()
    {
        QFETCH(QString, setup);
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("user"), runtime = tmp.filePath("run");
        const QString elsewhere = tmp.filePath("elsewhere");
        QVERIFY(QDir().mkpath(runtime) && (setup == "no folder" || QDir().mkpath(folder)));
        if (setup == "read-only folder")
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (setup == "unreadable lock file") {
            QVERIFY(testsupport::WriteFile(lockIn(folder), QByteArray()));
            QVERIFY(QFile::setPermissions(lockIn(folder), QFileDevice::Permissions()));
        }
        if (setup == "lock links to a file")
            QVERIFY(testsupport::WriteFile(elsewhere, "keep"));
        if (setup.contains("link"))
            QVERIFY(QFile::link(elsewhere, lockIn(folder)));

        QVERIFY(testsupport::SetFileOverride(false));
        const auto restore = qScopeGuard([] { testsupport::SetFileOverride(true); });
        SingleInstance first(folder, AppName, runtime), second(folder, AppName, runtime);
        QCOMPARE(first.Acquire(), SingleInstance::First);
        QCOMPARE(first.LockPath(), lockIn(runtime));
        QCOMPARE(second.Acquire(), SingleInstance::AlreadyRunning);
        // The file a link points at is left as it was, and none is made.
        const QFileInfo target(elsewhere);
        QCOMPARE(target.exists() ? int(target.size()) : -1, setup == "lock links to a file" ? 4 : -1);
    }

    void userFolderWritable_data()
    {
        QTest::addColumn<QString>("readOnly");
        QTest::addColumn<bool>("writable");
        QTest::newRow("all writable") << "" << true;
        QTest::newRow("read-only root") << "/" << false;
        QTest::newRow("read-only macro folder") << "/usersetting/MacroPage" << false;
    }

    void userFolderWritable()
    {
        QFETCH(QString, readOnly);
        QTemporaryDir tmp;
        PrepareUserFolders(tmp.path());
        QVERIFY(readOnly.isEmpty() || QFile::setPermissions(tmp.path() + readOnly, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(testsupport::SetFileOverride(false));
        const auto restore = qScopeGuard([] { testsupport::SetFileOverride(true); });
        QTEST(UserFolderWritable(tmp.path()), "writable");
        // The probes leave nothing behind.
        QCOMPARE(QDir(tmp.path()).entryList({".write-test*"}, QDir::Files | QDir::Hidden), QStringList());
    }

    void readOnlyUserFolderTellsOnceAndKeepsOneInstance()
    {
        const QString root = UserDir();
        PrepareUserFolders(root);
        QFile::remove(lockIn(root));
        QVERIFY(QFile::setPermissions(root, QFile::ReadOwner | QFile::ExeOwner));
        const auto writable = qScopeGuard([root] {
            QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DIZADI_TEST_AS_USER", "1");
        QProcess first, second;
        for (QProcess* process : {&first, &second})
            process->setProcessEnvironment(env);
        const QString self = QCoreApplication::applicationFilePath();
        first.start(self, {"--run-first", "-platform", "offscreen"});
        QByteArray out;
        QVERIFY2(waitForLine(first, "NOTICE ExeIsRun: Settings cannot be saved", 30000, &out), out.constData());

        second.start(self, {"--run-second", "-platform", "offscreen"});
        QVERIFY(second.waitForFinished(30000));
        const QByteArray out2 = second.readAllStandardOutput();
        QVERIFY2(out2.contains("SECOND") && !out2.contains("FIRST"), out2.constData());
        QVERIFY(QFileInfo::exists(lockIn(qEnvironmentVariable("XDG_RUNTIME_DIR"))));

        // Told once: nothing more comes.
        QTest::qWait(1000);
        out += first.readAllStandardOutput();
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(out.count("NOTICE"), 1);
    }

    void secondProcessExitsWhileFirstRuns()
    {
        const QString self = QCoreApplication::applicationFilePath();
        QProcess first;
        first.start(self, {QStringLiteral("--run-first"), QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(first.waitForStarted());
        QVERIFY2(waitForLine(first, "FIRST", 30000), "first instance did not come up");

        // An old file in the Log folder: a second start gives way to the
        // running instance without touching the folder.
        const QString logDir = UserDir() + QStringLiteral("/Log");
        QVERIFY(testsupport::WriteFile(logDir + "/old.log", "x", QDateTime::currentDateTime().addDays(-9)));

        QProcess second;
        second.start(self, {QStringLiteral("--run-second"), QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(second.waitForFinished(30000));
        const QByteArray out = second.readAllStandardOutput();
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY2(out.contains("SECOND") && !out.contains("FIRST"), out.constData());
        QVERIFY2(out.contains("NOTICE ExeIsRun"), out.constData());
        QVERIFY(QFileInfo::exists(logDir + "/old.log"));
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

    // Two starts at the same moment while an older folder is still to be
    // moved: one moves it and runs, the other gives way and touches no
    // folder; so does a third start once the first runs. Rows: a rename,
    // and a copy to another file system from an old folder the user cannot
    // write (the first start then holds the fallback lock).
    void twoStartsDuringTheMove_data()
    {
        QTest::addColumn<bool>("copied");
        QTest::addColumn<int>("rounds");
        QTest::newRow("renamed") << false << 6;
        QTest::newRow("copied from a read-only folder") << true << 2;
    }
    void twoStartsDuringTheMove()
    {
        QFETCH(bool, copied);
        QFETCH(int, rounds);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QTemporaryDir shm(QStringLiteral("/dev/shm/dizadi-startup-XXXXXX"));
        if (copied) {
            struct stat home = {}, other = {};
            if (!shm.isValid() || ::stat(QFile::encodeName(QDir::homePath()).constData(), &home) != 0
                || ::stat(QFile::encodeName(shm.path()).constData(), &other) != 0 || home.st_dev == other.st_dev)
                QSKIP("needs /dev/shm on another file system than the home folder");
            // A second world of the test's own, for the test guard.
            env.insert("DIZADI_TEST_TMP", env.value("DIZADI_TEST_TMP") + ':' + shm.path());
            env.insert("XDG_DATA_HOME", shm.path() + "/share");
            env.insert("DIZADI_TEST_AS_USER", "1");
        }
        const QString appData = QDir::homePath() + "/AppData", oldDir = appData + "/Local/" + AppDataName;
        const QString newDir = copied ? shm.path() + "/share/" + AppDataName : DataHomeUserDir();
        // What a read-only old folder leaves aside, to be removed again.
        const auto unlockRest = [&] {
            QFile::setPermissions(appData + "/Local/." + AppDataName + ".moved",
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        const auto start = [&](QProcess& process, const char* mode) {
            process.setProcessEnvironment(env);
            process.start(QCoreApplication::applicationFilePath(), {mode, "-platform", "offscreen"});
        };
        for (int round = 0; round < rounds; ++round) {
            unlockRest();
            QVERIFY(QDir(appData).removeRecursively() && QDir(newDir).removeRecursively());
            QVERIFY(testsupport::WriteFile(oldDir + "/usersetting/MacroPage/Sniper.ini", "0\n"));
            QVERIFY(!copied || QFile::setPermissions(oldDir, QFile::ReadOwner | QFile::ExeOwner));
            QProcess starts[2];
            for (QProcess& process : starts)
                start(process, "--run-first");
            const auto stop = qScopeGuard([&starts] {
                for (QProcess& process : starts) {
                    process.kill();
                    process.waitForFinished(10000);
                }
            });
            // The one that gives way ends by itself; the other runs until it is killed.
            int second = -1;
            const bool gaveWay = QTest::qWaitFor([&] {
                for (int i = 0; i < 2; ++i)
                    second = starts[i].state() == QProcess::NotRunning ? i : second;
                return second >= 0;
            }, 30000);
            QByteArray out[2] = {starts[0].readAllStandardOutput(), starts[1].readAllStandardOutput()};
            QVERIFY2(gaveWay, (out[0] + "|" + out[1]).constData());
            QVERIFY2(waitForLine(starts[1 - second], "FIRST", 30000, &out[1 - second]), out[1 - second].constData());
            QCOMPARE(starts[second].exitCode(), 0);
            QVERIFY2(out[second].contains("NOTICE ExeIsRun") && !out[second].contains("FIRST"), out[second].constData());
            QVERIFY(QFileInfo(newDir + "/usersetting/MacroPage/Sniper.ini").isFile());
            // The old folder is gone; one the user cannot write leaves what
            // could not be removed aside, out of use.
            QVERIFY(!QFileInfo::exists(copied ? oldDir : appData));

            QProcess third;
            start(third, "--run-second");
            QVERIFY(third.waitForFinished(30000));
            const QByteArray out3 = third.readAllStandardOutput();
            QVERIFY2(out3.contains("NOTICE ExeIsRun") && !out3.contains("FIRST"), out3.constData());
            QCOMPARE(third.exitCode(), 0);
        }
        unlockRest();
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]).startsWith("--run-")) {
        if (qEnvironmentVariableIsSet("DIZADI_TEST_AS_USER") && !testsupport::SetFileOverride(false))
            return 2;
        return childMain(argc, argv, QString::fromLatin1(argv[1]));
    }
    QApplication app(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
