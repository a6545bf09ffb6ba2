// Where the program keeps its data and where it runs from: the per-user
// folder under XDG_DATA_HOME, the one-time move of the older AppData
// folder, and the installed command found from the executable.
#include "FileOverride.h"
#include "FilePlaces.h"
#include "Globals.h"
#include "Installation.h"
#include "MacroRows.h"
#include "UserDirMove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// An older per-user tree: a macro, a cached device image and Macro.ini.
void writeOldTree(const QString& root)
{
    QVERIFY(testsupport::WriteFile(root + "/Macro.ini", "[Language]\nLanguage=3\n"));
    QVERIFY(testsupport::WriteFile(root + "/usersetting/MacroPage/Sniper.ini", "0\n"));
    QVERIFY(testsupport::WriteFile(root + "/Device_Info/Device_CID18_MID01.bin", "cached image"));
}

void checkMovedTree(const QString& root)
{
    QCOMPARE(readFile(root + "/Macro.ini"), QByteArray("[Language]\nLanguage=3\n"));
    QCOMPARE(readFile(root + "/Device_Info/Device_CID18_MID01.bin"), QByteArray("cached image"));
}

const QString Home = QDir::homePath();
const QString OldDir = Home + "/AppData/Local/Corvane Dizadi Mouse";
const QString NewDir = Home + "/.local/share/Corvane Dizadi Mouse";

}  // namespace

class InstallationTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(QDir(Home + "/AppData").removeRecursively());
        QVERIFY(QDir(Home + "/.local/share").removeRecursively());
        qputenv("XDG_DATA_HOME", QFile::encodeName(Home + "/.local/share"));
        SetUserDirOverride(QString());
    }

    void userDirFollowsXdgDataHome_data()
    {
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("folder");
        QTest::newRow("set") << "/srv/data/" << "/srv/data/Corvane Dizadi Mouse";
        QTest::newRow("empty") << "" << NewDir;
        QTest::newRow("relative, so invalid") << "data" << NewDir;
    }
    void userDirFollowsXdgDataHome()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, folder);
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
        QCOMPARE(UserDir(), folder);
    }

    void oldTreeIsMovedOnce_data()
    {
        QTest::addColumn<bool>("more");     // AppData holds more than the old tree
        QTest::addColumn<bool>("blocked");  // a file where the data folder's parent goes: no move
        QTest::newRow("AppData emptied goes") << false << false;
        QTest::newRow("AppData with more stays") << true << false;
        QTest::newRow("failed move keeps the old tree") << false << true;
    }
    void oldTreeIsMovedOnce()
    {
        QFETCH(bool, more);
        QFETCH(bool, blocked);
        writeOldTree(OldDir);
        if (more)
            QVERIFY(testsupport::WriteFile(Home + "/AppData/Roaming/other.txt", "not ours"));
        if (blocked) {
            QVERIFY(testsupport::WriteFile(Home + "/blocked", ""));
            qputenv("XDG_DATA_HOME", QFile::encodeName(Home + "/blocked/share"));
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not be moved .*cannot create"));
        }
        MoveOldUserDir();
        QCOMPARE(UserDir(), blocked ? OldDir : NewDir);
        checkMovedTree(UserDir());
        QCOMPARE(keys::ListMacros(), QStringList{"Sniper"});
        QCOMPARE(readFile(Home + "/AppData/Roaming/other.txt"), QByteArray(more ? "not ours" : "(missing)"));
        QCOMPARE(QFileInfo::exists(Home + "/AppData/Local"), blocked);
        QCOMPARE(QFileInfo::exists(Home + "/AppData"), more || blocked);
        if (blocked)
            return;

        // An old folder made again later is not moved over the new one.
        QVERIFY(testsupport::WriteFile(OldDir + "/Macro.ini", "[Language]\nLanguage=5\n"));
        MoveOldUserDir();
        QCOMPARE(UserDir(), NewDir);
        checkMovedTree(UserDir());
        QCOMPARE(readFile(OldDir + "/Macro.ini"), QByteArray("[Language]\nLanguage=5\n"));
    }

    // The copy to another file system: whole or not at all. Rows: what
    // stands in the old tree, and what happens just before the copy would
    // take the new folder's place.
    void moveAcrossFileSystems_data()
    {
        QTest::addColumn<QString>("unreadable");  // made unreadable, for root too
        QTest::addColumn<QString>("beforePlacing");
        QTest::addColumn<QString>("warning");  // why the old tree stays; none: moved
        QTest::newRow("copied") << "" << "lock" << "";
        QTest::newRow("unreadable folder") << "/usersetting/MacroPage" << "lock" << "cannot list .*MacroPage";
        QTest::newRow("unreadable file") << "/Macro.ini" << "lock" << "cannot copy .*Macro.ini";
        QTest::newRow("copy not locked") << "" << "no lock" << "could not be locked";
        QTest::newRow("moved by another start meanwhile") << "" << "moved" << "";
    }
    void moveAcrossFileSystems()
    {
        QFETCH(QString, unreadable);
        QFETCH(QString, beforePlacing);
        QFETCH(QString, warning);
        // /dev/shm is a memory file system of its own where there is one.
        struct stat home = {}, shm = {};
        if (::stat("/dev/shm", &shm) != 0 || ::stat(QFile::encodeName(Home).constData(), &home) != 0
            || home.st_dev == shm.st_dev)
            QSKIP("needs /dev/shm on another file system than the home folder");
        QTemporaryDir other(QStringLiteral("/dev/shm/dizadi-userdir-XXXXXX"));
        QVERIFY(other.isValid());
        writeOldTree(OldDir);
        QVERIFY(QFile::link("MacroPage/Sniper.ini", OldDir + "/usersetting/current"));
        const QDateTime old = QDateTime::currentDateTime().addDays(-9);
        QVERIFY(testsupport::WriteFile(OldDir + "/Log/old.log", "x", old));
        QCOMPARE(::mkfifo(QFile::encodeName(OldDir + "/Log.fifo").constData(), 0600), 0);
        // Without the power to pass permission checks, mode 000 stops root too.
        QVERIFY(unreadable.isEmpty() || QFile::setPermissions(OldDir + unreadable, QFileDevice::Permissions()));
        QVERIFY(testsupport::SetFileOverride(false));
        const auto restore = qScopeGuard([unreadable] {
            testsupport::SetFileOverride(true);
            QFile::setPermissions(OldDir + unreadable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));

        const QString newDir = other.path() + "/share/Corvane Dizadi Mouse";
        const QString used = MoveUserDir(OldDir, newDir, [&](const QString& copy) {
            if (beforePlacing == "moved") {
                QDir(OldDir).removeRecursively();
                writeOldTree(newDir);
            }
            return beforePlacing == "lock" && QFileInfo(copy + "/Macro.ini").isFile();
        });
        QCOMPARE(used, warning.isEmpty() ? newDir : OldDir);
        if (unreadable.isEmpty())
            checkMovedTree(used);
        QCOMPARE(QFileInfo::exists(OldDir), !warning.isEmpty());
        // No copy left half-way.
        QCOMPARE(QDir(other.path() + "/share").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 warning.isEmpty() ? QStringList{"Corvane Dizadi Mouse"} : QStringList());
        if (beforePlacing == "lock" && warning.isEmpty()) {
            // A link keeps its text, so it still leads inside the tree; a FIFO holds no data.
            QCOMPARE(QFileInfo(newDir + "/usersetting/current").symLinkTarget(),
                     newDir + "/usersetting/MacroPage/Sniper.ini");
            QVERIFY(!QFileInfo::exists(newDir + "/Log.fifo"));
            // An old file keeps its age, and so its place in the pruning.
            QCOMPARE(QFileInfo(newDir + "/Log/old.log").lastModified(), old);
        }
    }

    // A link as the old folder was placed by the user: it stays, and is used
    // where it is, whatever it leads to.
    void oldFolderLinkStays_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("relative") << "../../Data/Mouse";
        QTest::newRow("absolute") << Home + "/Data/Mouse";
        QTest::newRow("dangling") << "../../Data/Gone";
    }
    void oldFolderLinkStays()
    {
        QFETCH(QString, target);
        writeOldTree(Home + "/Data/Mouse");
        QVERIFY(QDir().mkpath(Home + "/AppData/Local") && QFile::link(target, OldDir));
        QCOMPARE(UserDirBeforeMove(OldDir, NewDir), OldDir);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is a link to .*used where it is"));
        MoveOldUserDir();
        QCOMPARE(UserDir(), OldDir);
        QCOMPARE(QFileInfo(OldDir).symLinkTarget(), QDir::cleanPath(QDir(Home + "/AppData/Local").absoluteFilePath(target)));
        QVERIFY(!QFileInfo::exists(NewDir) && !QFileInfo(NewDir).isSymLink());
        checkMovedTree(Home + "/Data/Mouse");
    }

    void installedCommand_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("link");  // the command "bin/cdm" links to this, none when empty
        QTest::addColumn<QString>("command");
        QTest::newRow("build folder") << "build/dist/Prog" << "" << "";
        QTest::newRow("installed") << "lib/cdm/Prog" << "../lib/cdm/Prog" << "bin/cdm";
        QTest::newRow("command missing") << "lib/cdm/Prog" << "" << "";
        QTest::newRow("command leads elsewhere") << "lib/cdm/Prog" << "../lib/other/Prog" << "";
    }
    void installedCommand()
    {
        QFETCH(QString, executable);
        QFETCH(QString, link);
        QFETCH(QString, command);
        QTemporaryDir prefix;
        QVERIFY(testsupport::WriteFile(prefix.filePath(executable), "program"));
        QVERIFY(testsupport::WriteFile(prefix.filePath("lib/other/Prog"), "another program"));
        if (!link.isEmpty())
            QVERIFY(QDir().mkpath(prefix.filePath("bin")) && QFile::link(link, prefix.filePath("bin/cdm")));
        QCOMPARE(InstalledCommand(prefix.filePath(executable)), command.isEmpty() ? QString() : prefix.filePath(command));
    }

    void cleanupTestCase() { SetUserDirOverride(QString()); }
};

QTEST_GUILESS_MAIN(InstallationTest)
#include "tst_installation.moc"
