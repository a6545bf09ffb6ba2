// Crash dumps: when the process dies of a fault (SIGSEGV, SIGBUS, SIGILL,
// SIGFPE) or aborts (SIGABRT, which std::terminate and qFatal end in), a
// text dump "<yyyy_MM_dd_hh_mm_ss>.dmp" is written into the per-user
// Exception folder: the signal, the fault address, the thread, a backtrace
// and the memory map. Then the signal's default action ends the process,
// without any dialog.
#pragma once

#include <QString>

class CrashDumpHandler
{
public:
    CrashDumpHandler() = default;

    // Installs the handlers for the rest of the process's life; dumps go
    // into exceptionFolder (the per-user "Exception" folder), which the
    // handler creates again when it was removed. Installing again only
    // points the handler at the folder given.
    void Install(const QString& exceptionFolder);

    // The file name a dump written at the given local time gets.
    static QString DumpFileName(int year, int month, int day, int hour, int minute, int second);
};
