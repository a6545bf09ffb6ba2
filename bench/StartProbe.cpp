// Start-up probe, loaded into a whole process with LD_PRELOAD (the program
// as built, or the floor window), so that both are measured the same way.
//
// Environment:
//   DIZADI_BENCH_T0    CLOCK_MONOTONIC in ns, taken by the driver just
//                      before it started the process
//   DIZADI_BENCH_SHOWN "devices": shown is the first paint of a device
//                      button of the device list; "window": the first
//                      paint of any top-level window
//   DIZADI_BENCH_IDLE_MS  idle time after shown before RSS is read
//   DIZADI_BENCH_OUT   file the result line is appended to:
//                      "shown_ms=<ms> rss_kb=<kB> window_ms=<ms>"
//                      (window_ms: the first paint of any top-level window)
// The process then ends at once (_exit(0)): the measurement is done.
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

long rssKb()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kb = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kb;
}

bool insideClass(const QObject* o, const char* className)
{
    for (; o; o = o->parent()) {
        if (o->inherits(className))
            return true;
    }
    return false;
}

class Probe : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_done || event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        const auto* widget = static_cast<QWidget*>(watched);
        if (m_windowMs < 0 && widget->isWindow())
            m_windowMs = nowMs() - t0();
        const bool shown = m_devices ? (widget->inherits("mytoolButtonEnter") && insideClass(widget, "DialogChange"))
                                     : widget->isWindow();
        if (!shown)
            return false;
        m_done = true;
        m_shownMs = nowMs() - t0();
        const int idle = qEnvironmentVariableIntValue("DIZADI_BENCH_IDLE_MS");
        QTimer::singleShot(idle > 0 ? idle : 3000, [this] { finish(); });
        return false;
    }

    void finish()
    {
        const QByteArray out = qgetenv("DIZADI_BENCH_OUT");
        if (FILE* f = std::fopen(out.constData(), "a")) {
            std::fprintf(f, "shown_ms=%.2f rss_kb=%ld window_ms=%.2f\n", m_shownMs, rssKb(), m_windowMs);
            std::fclose(f);
        }
        std::fflush(nullptr);
        _exit(0);
    }

    static double t0() { return std::strtod(qgetenv("DIZADI_BENCH_T0").constData(), nullptr) / 1e6; }

    bool m_devices = false;
    double m_windowMs = -1;
    bool m_done = false;
    double m_shownMs = 0;
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
