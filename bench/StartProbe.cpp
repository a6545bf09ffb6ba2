// Start-up and idle probe, loaded into a whole process with LD_PRELOAD (the
// program as built, or the floor window), so that both are measured the
// same way.
//
// Environment:
//   DIZADI_BENCH_T0    CLOCK_MONOTONIC in ns, taken by the driver just
//                      before it started the process
//   DIZADI_BENCH_SHOWN "devices": shown is the first paint of a device
//                      button of the device list; "window": the first
//                      paint of any top-level window
//   DIZADI_BENCH_IDLE_MS  idle time after shown before RSS is read
//   DIZADI_BENCH_WATCH_MS when set: after the RSS, the process is left
//                      alone this long and its wakeups and CPU time are
//                      counted (idle on the first screen)
//   DIZADI_BENCH_OPEN  "1" (with "devices" and a watch): then the first
//                      listed device is opened, the list shown again, the
//                      device opened once more, and the idle pages are
//                      watched as the list was
//   DIZADI_BENCH_OUT   file the result line is appended to, key=value pairs:
//                      "shown_ms window_ms rss_kb" (window_ms: the first
//                      paint of any top-level window), with a watch
//                      "idle_wakeups idle_cpu_ms" (per minute), with the
//                      opening "open1_ms open2_ms pages_rss_kb
//                      pages_wakeups pages_cpu_ms"; open: click on the device
//                      to the first paint of the pages
// The process then ends at once (_exit(0)): the measurement is done.
//
// Wakeups: the voluntary context switches of all the process's threads,
// ended ones included (each time a thread blocks, it later wakes). Between
// the start and the end of a watch the probe itself runs nothing.
#include <QApplication>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

long statusField(const char* path, const char* field)
{
    FILE* f = std::fopen(path, "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, n) == 0) {
            value = std::strtol(line + n, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

long rssKb() { return statusField("/proc/self/status", "VmRSS:"); }

// Counted by the kernel for the whole process: every thread's, those that
// have ended included (idle pool threads end during a watch, and a sum over
// the threads alive at its end would lose theirs).
long voluntarySwitches()
{
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return -1;
    return usage.ru_nvcsw;
}

bool insideClass(const QObject* o, const char* className)
{
    for (; o; o = o->parent()) {
        if (o->inherits(className))
            return true;
    }
    return false;
}

// The device list's button of the first listed device ("btn<N>", lowest N).
QToolButton* firstDeviceButton()
{
    QToolButton* best = nullptr;
    int bestIndex = 1 << 30;
    for (QWidget* w : QApplication::allWidgets()) {
        if (!w->inherits("mytoolButtonEnter") || !w->isVisible() || !insideClass(w, "DialogChange"))
            continue;
        bool ok = false;
        const int index = w->objectName().mid(3).toInt(&ok);
        if (ok && index < bestIndex) {
            bestIndex = index;
            best = static_cast<QToolButton*>(w);
        }
    }
    return best;
}

// The pages' "back to the list" arrow.
QToolButton* backArrow()
{
    for (QWidget* w : QApplication::allWidgets()) {
        if (w->objectName() == QLatin1String("UpArrow") && w->isVisible() && insideClass(w, "Dialog"))
            return static_cast<QToolButton*>(w);
    }
    return nullptr;
}

bool dialogOpen()
{
    if (QApplication::activeModalWidget())
        return true;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->inherits("QDialog") && !w->inherits("DialogMain"))
            return true;
    }
    return false;
}

class Probe : public QObject
{
public:
    enum class Phase { Starting, Idle, Opening, Returning };

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        const auto* widget = static_cast<QWidget*>(watched);
        switch (m_phase) {
        case Phase::Starting: {
            if (m_windowMs < 0 && widget->isWindow())
                m_windowMs = nowMs() - t0();
            const bool shown = m_devices ? (widget->inherits("mytoolButtonEnter") && insideClass(widget, "DialogChange"))
                                         : widget->isWindow();
            if (!shown)
                return false;
            m_phase = Phase::Idle;
            add("shown_ms", nowMs() - t0());
            add("window_ms", m_windowMs);
            const int idle = qEnvironmentVariableIntValue("DIZADI_BENCH_IDLE_MS");
            QTimer::singleShot(idle > 0 ? idle : 3000, [this] { afterStart(); });
            break;
        }
        case Phase::Opening:
            if (insideClass(widget, "Dialog")) {
                m_phase = Phase::Idle;
                add(m_opens == 0 ? "open1_ms" : "open2_ms", nowMs() - m_clickMs);
                ++m_opens;
                // The apply-and-wait dialog comes with the first read and
                // runs its fixed time; then the pages settle.
                waitFor([] { return dialogOpen(); }, 0, [this] {
                    waitFor([] { return !dialogOpen(); }, 2000, [this] { afterOpen(); });
                }, 0, 5000);
            }
            break;
        case Phase::Returning:
            break;
        case Phase::Idle:
            break;
        }
        return false;
    }

    void afterStart()
    {
        add("rss_kb", double(rssKb()));
        const int watch = qEnvironmentVariableIntValue("DIZADI_BENCH_WATCH_MS");
        if (watch <= 0)
            return finish();
        this->watch(watch, "idle", [this] {
            if (m_devices && qgetenv("DIZADI_BENCH_OPEN") == "1")
                openDevice();
            else
                finish();
        });
    }

    void openDevice()
    {
        QToolButton* button = firstDeviceButton();
        if (!button)
            return fail("no device button");
        m_phase = Phase::Opening;
        m_clickMs = nowMs();
        button->click();
    }

    void afterOpen()
    {
        if (m_opens == 1) {
            QToolButton* back = backArrow();
            if (!back)
                return fail("no way back to the list");
            m_phase = Phase::Returning;
            back->click();
            // The list searches its devices again; then it settles.
            waitFor([] { return firstDeviceButton() != nullptr; }, 1500, [this] { openDevice(); });
            return;
        }
        add("pages_rss_kb", double(rssKb()));
        const int watch = qEnvironmentVariableIntValue("DIZADI_BENCH_WATCH_MS");
        this->watch(watch, "pages", [this] { finish(); });
    }

    // Counts wakeups and CPU time over ms milliseconds in which the probe
    // does nothing; then next.
    void watch(int ms, const std::string& name, std::function<void()> next)
    {
        const long switches = voluntarySwitches();
        const double cpu = cpuMs();
        const double start = nowMs();
        QTimer::singleShot(ms, [=] {
            const double cpuUsed = cpuMs() - cpu;
            const long now = voluntarySwitches();
            const long woken = now < 0 || switches < 0 ? -1 : now - switches;  // -1: fails the table
            const double minutes = (nowMs() - start) / 60000.0;
            add(name + "_wakeups", double(woken) / minutes);
            add(name + "_cpu_ms", cpuUsed / minutes);
            next();
        });
    }

    // Polls pred every 20 ms (never during a watch); once it holds, waits
    // settleMs more and runs next. Gives up after 60 s, or goes on after
    // giveUpMs when that is set.
    void waitFor(std::function<bool()> pred, int settleMs, std::function<void()> next, int waited = 0,
                 int giveUpMs = 0)
    {
        if (pred() || (giveUpMs > 0 && waited > giveUpMs)) {
            QTimer::singleShot(settleMs, next);
            return;
        }
        if (waited > 60000)
            return fail("timed out");
        QTimer::singleShot(20, [=] { waitFor(pred, settleMs, next, waited + 20, giveUpMs); });
    }

    void add(const std::string& key, double value)
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.2f", value);
        m_line += (m_line.empty() ? "" : " ") + key + "=" + buf;
    }

    void fail(const char* what)
    {
        std::fprintf(stderr, "probe: %s\n", what);
        m_line += " failed=1";
        finish();
    }

    void finish()
    {
        const QByteArray out = qgetenv("DIZADI_BENCH_OUT");
        if (FILE* f = std::fopen(out.constData(), "a")) {
            std::fprintf(f, "%s\n", m_line.c_str());
            std::fclose(f);
        }
        std::fflush(nullptr);
        _exit(0);
    }

    static double t0() { return std::strtod(qgetenv("DIZADI_BENCH_T0").constData(), nullptr) / 1e6; }

    bool m_devices = false;
    Phase m_phase = Phase::Starting;
    double m_windowMs = -1;
    double m_clickMs = 0;
    int m_opens = 0;
    std::string m_line;
};

void installProbe()
{
    if (qEnvironmentVariableIsEmpty("DIZADI_BENCH_T0"))
        return;
    auto* probe = new Probe;
    probe->m_devices = qgetenv("DIZADI_BENCH_SHOWN") == "devices";
    QCoreApplication::instance()->installEventFilter(probe);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
