// Crash dumps: a child process that dies of a fault leaves a dump named by
// the time in the Exception folder (created again when it was removed) and
// still dies by the signal.
#include "CrashDump.h"
#include "FilePlaces.h"
#include "Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

QString exceptionFolder()
{
    return UserDir() + QStringLiteral("/Exception");
}

}  // namespace

// Named frames in the dump: these have external linkage (exported by
// -rdynamic) and are never inlined.
__attribute__((noinline)) void crashWithFault()
{
    // A real invalid access (not null, so that no sanitizer check fires
    // before the hardware fault does).
    volatile int* bad = reinterpret_cast<volatile int*>(static_cast<quintptr>(0x10));
    *bad = 1;
}

volatile int g_afterRaise = 0;

__attribute__((noinline)) void crashWithRaise()
{
    std::raise(SIGSEGV);
    g_afterRaise = 1;  // keeps this frame on the stack (no tail call)
}

int childMain(const char* how)
{
    // The folder goes away after the handler was installed: the handler
    // must make it again.
    CrashDumpHandler handler;
    handler.Install(exceptionFolder());
    ::alarm(20);  // a child stuck in its handler ends by SIGALRM

    if (qstrcmp(how, "raise-keep") == 0)
        crashWithRaise();
    QDir(exceptionFolder()).removeRecursively();
    if (qstrcmp(how, "fault") == 0)
        crashWithFault();
    else if (qstrcmp(how, "raise") == 0)
        crashWithRaise();
    else if (qstrcmp(how, "abort") == 0)
        std::abort();
    else if (qstrcmp(how, "fpe") == 0)
        std::raise(SIGFPE);
    return 3;  // not reached
}

namespace {

// Runs this executable as a child; returns the wait status.
int runChild(const char* how)
{
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    char* argv[] = {const_cast<char*>(self.constData()), const_cast<char*>("--crash"), const_cast<char*>(how), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, self.constData(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return status;
}

QString onlyDump(QString* name = nullptr)
{
    const QStringList dumps = QDir(exceptionFolder()).entryList({QStringLiteral("*.dmp")}, QDir::Files);
    if (dumps.size() != 1)
        return QString();
    if (name)
        *name = dumps.first();
    QFile file(exceptionFolder() + QLatin1Char('/') + dumps.first());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readAll());
}

}  // namespace

class CrashDumpTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(exceptionFolder()).removeRecursively();
    }

    void segmentationFault()
    {
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const int status = runChild("fault");
        const QDateTime after = QDateTime::currentDateTime().addSecs(1);
        QVERIFY2(WIFSIGNALED(status), "the child must die by the signal");
        QCOMPARE(WTERMSIG(status), SIGSEGV);

        QString name;
        const QString dump = onlyDump(&name);
        QVERIFY2(!dump.isEmpty(), "exactly one dump expected");
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}_\\d{2}_\\d{2}_\\d{2}_\\d{2}_\\d{2}\\.dmp$")).match(name).hasMatch());
        const QDateTime stamp = QDateTime::fromString(name.left(19), QStringLiteral("yyyy_MM_dd_hh_mm_ss"));
        QVERIFY2(stamp >= before.addMSecs(-before.time().msec()) && stamp <= after, qPrintable(name));

        QVERIFY(dump.contains(QStringLiteral("signal 11 (SIGSEGV)")));
        QVERIFY(dump.contains(QStringLiteral("fault address 0x10\n")));
        QVERIFY(dump.contains(QStringLiteral("\nthread ")));
        const int trace = dump.indexOf(QStringLiteral("backtrace:\n"));
        const int maps = dump.indexOf(QStringLiteral("memory map:\n"));
        QVERIFY(trace > 0 && maps > trace);
        const QString frames = dump.mid(trace, maps - trace);
        QVERIFY2(frames.contains(QStringLiteral("crashWithFault")), qPrintable(frames));
        QVERIFY2(frames.contains(QStringLiteral("childMain")), qPrintable(frames));
        QVERIFY(dump.mid(maps).contains(QStringLiteral("[stack]")));
    }

    void raisedSignalAndAbort()
    {
        int status = runChild("raise");
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGSEGV);
        QString dump = onlyDump();
        QVERIFY(dump.contains(QStringLiteral("(SIGSEGV)")));
        QVERIFY(dump.contains(QStringLiteral("crashWithRaise")));

        QDir(exceptionFolder()).removeRecursively();
        status = runChild("abort");
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGABRT);
        dump = onlyDump();
        QVERIFY(dump.contains(QStringLiteral("signal 6 (SIGABRT)")));

        QDir(exceptionFolder()).removeRecursively();
        status = runChild("fpe");
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGFPE);
        QVERIFY(onlyDump().contains(QStringLiteral("(SIGFPE)")));
    }

    void existingDumpOfTheSameNameIsReplaced()
    {
        // Files named for the next seconds, full of filler: the dump that
        // takes one of the names replaces the old content instead of
        // appending to it.
        QDir().mkpath(exceptionFolder());
        const QDateTime now = QDateTime::currentDateTime();
        QStringList names;
        for (int s = -1; s < 30; ++s) {
            const QString name = now.addSecs(s).toString(QStringLiteral("yyyy_MM_dd_hh_mm_ss")) + QStringLiteral(".dmp");
            QFile file(exceptionFolder() + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(200000, 'F'));
            names << name;
        }
        const int status = runChild("raise-keep");
        QVERIFY(WIFSIGNALED(status));
        int dumps = 0;
        for (const QString& name : names) {
            QFile file(exceptionFolder() + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray content = file.readAll();
            if (content.startsWith("signal ")) {
                ++dumps;
                QVERIFY(!content.contains("FFFFFFFF"));
            }
        }
        QCOMPARE(dumps, 1);
    }

    // Names for the next seconds taken by a link (to a file of the test's,
    // live or dangling), a folder or a FIFO: the child still dies by its
    // signal, without waiting, and writes through none of them.
    void noDumpWhereNoFileIs_data()
    {
        QTest::addColumn<QString>("form");
        for (const QString& form : testsupport::PlaceForms)
            QTest::newRow(qPrintable(form)) << form;
    }
    void noDumpWhereNoFileIs()
    {
        QFETCH(QString, form);
        QVERIFY(QDir().mkpath(exceptionFolder()));
        const QString target = UserDir() + QStringLiteral("/target");
        const QDateTime now = QDateTime::currentDateTime();
        QStringList paths;
        for (int s = -1; s < 30; ++s) {
            paths << exceptionFolder() + now.addSecs(s).toString(QStringLiteral("/yyyy_MM_dd_hh_mm_ss")) + ".dmp";
            QVERIFY(testsupport::PutInPlace(form, paths.last(), target));
        }
        const QString place = testsupport::PlaceAt(paths.first());
        const int status = runChild("raise-keep");
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV);
        for (const QString& path : paths)
            QCOMPARE(testsupport::PlaceAt(path), place);
        QCOMPARE(testsupport::TargetAfter(target), QByteArray("keep"));
    }
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--crash") == 0)
        return childMain(argv[2]);
    QCoreApplication app(argc, argv);
    CrashDumpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashdump.moc"
