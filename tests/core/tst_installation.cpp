// Where the program keeps its data and where it runs from: the per-user
// folder under XDG_DATA_HOME, the one-time move of the older AppData
// folder, and the installed command found from the executable.
#include "Globals.h"
#include "Installation.h"
#include "MacroRows.h"
#include "UserDirMove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// An older per-user tree: a macro, a cached device image and Macro.ini.
void writeOldTree(const QString& root)
{
    writeFile(root + "/Macro.ini", "[Language]\nLanguage=3\n");
    writeFile(root + "/usersetting/MacroPage/Sniper.ini", "0\n");
    writeFile(root + "/Device_Info/Device_CID18_MID01.bin", "cached image");
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
            writeFile(Home + "/AppData/Roaming/other.txt", "not ours");
        if (blocked) {
            writeFile(Home + "/blocked", "");
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
        writeFile(OldDir + "/Macro.ini", "[Language]\nLanguage=5\n");
        MoveOldUserDir();
        QCOMPARE(UserDir(), NewDir);
        checkMovedTree(UserDir());
        QCOMPARE(readFile(OldDir + "/Macro.ini"), QByteArray("[Language]\nLanguage=5\n"));
    }

    void moveAcrossFileSystemsCopies()
    {
        // /dev/shm is a memory file system of its own where there is one.
        struct stat home = {}, shm = {};
        if (::stat("/dev/shm", &shm) != 0 || ::stat(QFile::encodeName(Home).constData(), &home) != 0
            || home.st_dev == shm.st_dev)
            QSKIP("needs /dev/shm on another file system than the home folder");
        QTemporaryDir other(QStringLiteral("/dev/shm/dizadi-userdir-XXXXXX"));
        QVERIFY(other.isValid());
        writeOldTree(OldDir);
        const QString newDir = other.path() + "/share/Corvane Dizadi Mouse";
        QCOMPARE(MoveUserDir(OldDir, newDir), newDir);
        checkMovedTree(newDir);
        QVERIFY(QFileInfo(newDir + "/usersetting/MacroPage/Sniper.ini").isFile());
        QVERIFY(!QFileInfo::exists(OldDir));
        QCOMPARE(QDir(other.path() + "/share").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Corvane Dizadi Mouse"});  // no copy left half-way
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
        writeFile(prefix.filePath(executable), "program");
        writeFile(prefix.filePath("lib/other/Prog"), "another program");
        if (!link.isEmpty())
            QVERIFY(QDir().mkpath(prefix.filePath("bin")) && QFile::link(link, prefix.filePath("bin/cdm")));
        QCOMPARE(InstalledCommand(prefix.filePath(executable)), command.isEmpty() ? QString() : prefix.filePath(command));
    }

    void cleanupTestCase() { SetUserDirOverride(QString()); }
};

QTEST_GUILESS_MAIN(InstallationTest)
#include "tst_installation.moc"
