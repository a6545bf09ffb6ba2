#include "CrashDump.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Everything the handler touches is prepared at install time: the handler
// itself only calls async-signal-safe functions (open, write, mkdir, ...)
// plus backtrace(), which was warmed up so that it allocates nothing.
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

char g_folder[4096];            // the Exception folder, 8-bit path
// Local time minus UTC in seconds, taken at install: the handler cannot ask
// the time zone database (not async-signal-safe).
volatile long g_utcOffset = 0;
bool g_installed = false;
alignas(16) char g_altStack[256 * 1024];

// ---- async-signal-safe formatting -------------------------------------
struct Out {
    char buf[512];
    size_t len = 0;
    void add(const char* s)
    {
        while (*s && len < sizeof buf - 1)
            buf[len++] = *s++;
    }
    void addUnsigned(unsigned long long v, int width = 0, int base = 10)
    {
        char tmp[32];
        int n = 0;
        do {
            const int digit = static_cast<int>(v % base);
            tmp[n++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
            v /= base;
        } while (v && n < 32);
        while (n < width && n < 32)
            tmp[n++] = '0';
        while (n > 0 && len < sizeof buf - 1)
            buf[len++] = tmp[--n];
    }
    void flush(int fd)
    {
        size_t done = 0;
        while (done < len) {
            const ssize_t w = ::write(fd, buf + done, len - done);
            if (w <= 0)
                break;
            done += static_cast<size_t>(w);
        }
        len = 0;
    }
};

const char* signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
    }
}

// Civil date from days since 1970-01-01 (proleptic Gregorian).
void civilFromDays(long long z, int& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yy + (m <= 2 ? 1 : 0));
}

void copyFile(const char* path, int out)
{
    const int in = ::open(path, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return;
    char buf[4096];
    for (;;) {
        const ssize_t r = ::read(in, buf, sizeof buf);
        if (r <= 0)
            break;
        ssize_t done = 0;
        while (done < r) {
            const ssize_t w = ::write(out, buf + done, static_cast<size_t>(r - done));
            if (w <= 0)
                break;
            done += w;
        }
    }
    ::close(in);
}

// mkdir -p with async-signal-safe calls only.
void makeFolders(const char* path)
{
    char partial[sizeof g_folder];
    size_t i = 0;
    for (; path[i] && i < sizeof partial - 1; ++i) {
        if (path[i] == '/' && i > 0) {
            partial[i] = '\0';
            ::mkdir(partial, 0700);
        }
        partial[i] = path[i];
    }
    partial[i] = '\0';
    ::mkdir(partial, 0700);
}

void onFatalSignal(int sig, siginfo_t* info, void*)
{
    const int savedErrno = errno;
    makeFolders(g_folder);  // made again when it was removed meanwhile

    int year;
    unsigned month, day;
    const long long local = static_cast<long long>(::time(nullptr)) + g_utcOffset;
    long long days = local / 86400;
    long long secs = local % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    civilFromDays(days, year, month, day);

    Out name;
    name.add(g_folder);
    name.add("/");
    name.addUnsigned(static_cast<unsigned>(year), 4);
    name.add("_");
    name.addUnsigned(month, 2);
    name.add("_");
    name.addUnsigned(day, 2);
    name.add("_");
    name.addUnsigned(static_cast<unsigned long long>(secs / 3600), 2);
    name.add("_");
    name.addUnsigned(static_cast<unsigned long long>(secs / 60 % 60), 2);
    name.add("_");
    name.addUnsigned(static_cast<unsigned long long>(secs % 60), 2);
    name.add(".dmp");
    name.buf[name.len] = '\0';

    // Only into a regular file of its own: a link in the dump's place is not
    // followed (O_NOFOLLOW), a FIFO does not block (O_NONBLOCK) and neither
    // it nor a device is written (fstat).
    int fd = ::open(name.buf, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    struct stat opened;
    if (fd >= 0 && (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode))) {
        ::close(fd);
        fd = -1;
    }
    if (fd >= 0) {
        Out line;
        line.add("signal ");
        line.addUnsigned(static_cast<unsigned>(sig));
        line.add(" (");
        line.add(signalName(sig));
        line.add(")\n");
        if (info && info->si_code > 0) {
            line.add("fault address 0x");
            line.addUnsigned(reinterpret_cast<unsigned long long>(info->si_addr), 0, 16);
        } else {
            line.add("sent by process ");
            line.addUnsigned(static_cast<unsigned long long>(info ? info->si_pid : 0));
        }
        line.add("\nprocess ");
        line.addUnsigned(static_cast<unsigned long long>(::getpid()));
        line.add("\nthread ");
        line.addUnsigned(static_cast<unsigned long long>(::syscall(SYS_gettid)));
        line.add("\n\nbacktrace:\n");
        line.flush(fd);

        void* frames[128];
        const int count = ::backtrace(frames, 128);
        ::backtrace_symbols_fd(frames, count, fd);

        line.add("\nmemory map:\n");
        line.flush(fd);
        copyFile("/proc/self/maps", fd);
        ::fsync(fd);
        ::close(fd);
    }

    // Default action and the same signal again: the process ends by it.
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    errno = savedErrno;
    // A fault re-executes the faulting instruction on return; a signal that
    // was sent (raise, abort) must be sent again. It is blocked until the
    // handler returns, then delivered with the default action.
    if (!info || info->si_code <= 0 || sig == SIGABRT)
        ::raise(sig);
}

long currentUtcOffset()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.offsetFromUtc();
}

}  // namespace

QString CrashDumpHandler::DumpFileName(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second)).toString(QStringLiteral("yyyy_MM_dd_hh_mm_ss"))
           + QStringLiteral(".dmp");
}

void CrashDumpHandler::Install(const QString& exceptionFolder)
{
    const QByteArray path = QFile::encodeName(exceptionFolder);
    const size_t n = std::min(static_cast<size_t>(path.size()), sizeof g_folder - 1);
    std::memcpy(g_folder, path.constData(), n);
    g_folder[n] = '\0';
    g_utcOffset = currentUtcOffset();
    if (g_installed)
        return;
    g_installed = true;

    // Load the unwinder now: the first backtrace() call may allocate.
    void* warm[4];
    ::backtrace(warm, 4);

    stack_t stack;
    std::memset(&stack, 0, sizeof stack);
    stack.ss_sp = g_altStack;
    stack.ss_size = sizeof g_altStack;
    ::sigaltstack(&stack, nullptr);

    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}
