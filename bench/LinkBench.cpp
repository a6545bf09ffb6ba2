// In-process measurements of the device link and the device list, timed
// with QElapsedTimer around the program's own code, on the simulated device
// bench ($HIDUSB_BENCH, made afresh by bench/run.sh):
//   click   device click -> all pages filled from the full read (the fixed
//           150 ms wait before the link thread starts reported apart)
//   writer  one device writer call until the change is in the device flash
//   parse   the dump -> image codec; fills: the four page fills; report:
//           full-read report -> all pages filled
//   list    search + rebuild of the device list, and the rebuild alone, with
//           1, 3 and 12 attached devices
// Output: one line per measurement, "row|<what>|<median>|<unit>|<runs>",
// read by bench/run.sh.
//   bench_link HIDUSB_BENCH_TOOL
#include "BenchFlash.h"
#include "DeviceImage.h"
#include "DeviceWriters.h"
#include "Dialog.h"
#include "DialogChange.h"
#include "DialogMain.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "MacroSettings.h"
#include "PostMsg.h"
#include "Startup.h"
#include "UpDataParam.h"
#include "Worker.h"
#include "mytoolButtonEnter.h"
#include "ui_Dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStackedWidget>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

QString tool;

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void row(const char* what, const std::vector<double>& values, const char* unit)
{
    std::printf("row|%s|%.3f|%s|%zu\n", what, median(values), unit, values.size());
    std::fflush(stdout);
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "bench_link: %s\n", what);
    std::fflush(nullptr);
    _exit(1);
}

// Processes events until pred holds; false after timeoutMs.
bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

void pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QString benchTool(const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        fail(qPrintable(QStringLiteral("hidusb-bench ") + args.join(QLatin1Char(' ')) + QStringLiteral(" failed")));
    return QString::fromUtf8(p.readAllStandardOutput());
}

double msSince(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// ---- the pieces of the window ------------------------------------------------

DialogMain* window = nullptr;
std::atomic<int> formsSeen{0};
// When the last page fill (SigForm) was delivered: set by its slot.
std::atomic<qint64> firstFormNs{0};
QElapsedTimer epoch;

DialogChange* list() { return window->DeviceListPage(); }

// The button of the first listed device of kind byte `type`.
mytoolButtonEnter* buttonOfKind(int type)
{
    const QList<mytoolButtonEnter*> buttons = list()->DeviceButtons();
    for (mytoolButtonEnter* b : buttons) {
        const int index = mytoolButtonEnter::DeviceIndexFromName(b->objectName());
        if (index >= 0 && index < DeviceList.size() && DeviceList.at(index).type == type)
            return b;
    }
    return nullptr;
}

void backToList()
{
    window->PageContainer()->Form()->UpArrow->click();
    if (!waitUntil([] { return !window->PagesShown() && !list()->DeviceButtons().isEmpty(); }))
        fail("the device list did not come back");
    pump(300);
}

// ---- measurements --------------------------------------------------------------

void measureClick(int runs)
{
    std::vector<double> total, fixedWait, afterWait, applyClosed;
    for (int i = 0; i < runs; ++i) {
        if (!waitUntil([] { return buttonOfKind(5) != nullptr; })) {
            for (const DeviceAllInfo& d : DeviceList)
                std::fprintf(stderr, "listed: %s type %d\n", qPrintable(d.path), int(d.type));
            fail("no receiver in the device list");
        }
        mytoolButtonEnter* button = buttonOfKind(5);
        const int before = formsSeen.load();
        const qint64 clickNs = epoch.nsecsElapsed();
        // The click's handler ends by starting the link thread, after the
        // fixed wait of 150 ms that gives the pages time to show.
        button->click();
        const qint64 linkStartNs = epoch.nsecsElapsed();
        // The pages are filled while the apply-and-wait dialog runs its own
        // fixed 2500 ms; the time of the fill is taken where it happens.
        if (!waitUntil([before] { return formsSeen.load() > before; }))
            fail("the pages were not filled after a click");
        const qint64 filledNs = firstFormNs.load();
        total.push_back(double(filledNs - clickNs) / 1e6);
        fixedWait.push_back(double(linkStartNs - clickNs) / 1e6);
        afterWait.push_back(double(filledNs - linkStartNs) / 1e6);
        if (!waitUntil([] { return !window->PageContainer()->ApplyDialog()->isVisible(); }))
            fail("the apply-and-wait dialog stays");
        applyClosed.push_back(double(epoch.nsecsElapsed() - clickNs) / 1e6);
        if (i + 1 < runs)
            backToList();
    }
    row("click_total_ms", total, "ms");
    row("click_until_link_thread_ms", fixedWait, "ms");
    row("click_after_link_thread_ms", afterWait, "ms");
    row("click_until_apply_closed_ms", applyClosed, "ms");
}

void measureWriter(int runs)
{
    std::vector<double> us;
    uint8_t last = 0;
    for (int i = 0; i < runs; ++i) {
        const uint8_t r = uint8_t(i * 37 + 1);
        QElapsedTimer t;
        t.start();
        const bool ok = SetLightColor(r, uint8_t(255 - r), 7);
        const double elapsed = double(t.nsecsElapsed()) / 1e3;
        if (!ok)
            fail("the writer did not reach the device");
        us.push_back(elapsed);
        last = r;
    }
    // The device's memory holds the last value.
    const QString shown = benchTool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("lighting")});
    if (!shown.contains(QStringLiteral("colour %1,%2,7").arg(last).arg(255 - last)))
        fail("the last writer call is not in the device flash");
    row("writer_us", us, "us");
}

void measureFullRead(int runs)
{
    const FlashDataMap image = SnapshotFlashData();
    hidusb::Dump dump{};
    if (!hidusb::EncodeDump(image, dump))
        fail("the image does not encode");

    std::vector<double> parse;
    for (int i = 0; i < runs * 10; ++i) {
        FlashDataMap out;
        QElapsedTimer t;
        t.start();
        const bool ok = ProtocolDataParser(dump.data(), &out);
        parse.push_back(double(t.nsecsElapsed()) / 1e3);
        if (!ok)
            fail("the dump does not parse");
    }
    row("parse_us", parse, "us");

    std::vector<double> fills;
    PostMsg* hub = PostMsg::GetInstance();
    // Two images that differ in what every page shows, in turn, so that
    // each fill changes its widgets.
    FlashDataMap other = image;
    other.reportRate = image.reportRate == 1 ? 8 : 1;
    other.dpiStage = uint8_t((image.dpiStage + 1) % qMax<int>(1, image.dpiStageCount));
    other.lightMode = uint8_t(image.lightMode % 6 + 1);
    other.lightR = uint8_t(image.lightR ^ 0x55);
    other.lightBrightness = uint8_t(image.lightBrightness % 9 + 1);
    other.debounce = uint8_t(image.debounce == 4 ? 8 : 4);
    other.sleepTime = uint8_t(image.sleepTime == 6 ? 30 : 6);
    other.keys[0] = image.keys[0].value1 == 1 ? KeyFunction{1, 2, 0} : KeyFunction{1, 1, 0};
    for (int i = 0; i < runs; ++i) {
        const FlashDataMap copy = i % 2 ? image : other;
        QElapsedTimer t;
        t.start();
        hub->PostUpDataLightUIButton(copy);
        hub->PostUpDataLightLight(copy);
        hub->PostUpDataLightSensor(copy);
        hub->PostForm();
        fills.push_back(msSince(t));
        pump(20);
    }
    row("four_fills_ms", fills, "ms");
    hidusb::Dump otherDump{};
    if (!hidusb::EncodeDump(other, otherDump))
        fail("the second image does not encode");

    // The report as the library delivers it: on a thread of its own, the
    // pages on the GUI thread take their copies while it waits.
    std::vector<double> report;
    for (int i = 0; i < runs; ++i) {
        const int before = formsSeen.load();
        unsigned char header[8] = {0x5A, 8, 0, 0, 0, uint8_t(DeviceDumpSize & 0xFF), uint8_t(DeviceDumpSize >> 8), 0};
        std::vector<unsigned char> data(dump.begin(), dump.end());
        if (i % 2 == 0)
            std::copy(otherDump.begin(), otherDump.end(), data.begin());
        const qint64 startNs = epoch.nsecsElapsed();
        std::thread sender([&] { Worker::OnProtocolData(header, 8, data.data(), (unsigned int)data.size()); });
        const bool filled = waitUntil([before] { return formsSeen.load() > before; });
        sender.join();
        if (!filled)
            fail("the full report did not fill the pages");
        report.push_back(double(firstFormNs.load() - startNs) / 1e6);
        // The reads it asks for are answered; let them pass.
        pump(300);
    }
    row("report_to_filled_ms", report, "ms");
}

// Benches whose devices the list shows one button each: receivers only (a
// receiver beside its model's mouse on a cable is not listed, the mouse
// stands for it) and never two of one model and kind (that is a duplicate
// notice). Models: MID 1 and 2 of the model table, 7 of none.
void makeBench(int attached)
{
    benchTool({QStringLiteral("init"), QStringLiteral("--force")});
    benchTool({QStringLiteral("remove"), QStringLiteral("mouse2")});
    const char* const extra[][2] = {{"rx4k", "1"}, {"rx8k", "2"}, {"rx2k", "1"}, {"rx1k", "1"},
                                    {"rx4k", "2"}, {"rx2k", "2"}, {"rx1k", "2"}, {"rx8k", "7"},
                                    {"rx4k", "7"}, {"rx2k", "7"}, {"rx1k", "7"}};
    for (int i = 0; i + 1 < attached; ++i)
        benchTool({QStringLiteral("add"), QLatin1String(extra[i][0]), QStringLiteral("id=extra%1").arg(i),
                   QStringLiteral("mid=") + QLatin1String(extra[i][1])});
}

void measureList(int runs)
{
    std::vector<std::pair<int, double>> searchMedians;
    for (int attached : {1, 3, 12}) {
        makeBench(attached);
        // The library's watcher sees the change and the list follows it.
        if (!waitUntil([attached] { return DeviceList.size() == attached && list()->DeviceButtons().size() == attached; },
                       15000))
            fail(qPrintable(QStringLiteral("the list does not show %1 devices (it shows %2)")
                                .arg(attached)
                                .arg(DeviceList.size())));
        pump(800);
        std::vector<double> search, rebuild;
        for (int i = 0; i < runs; ++i) {
            const int before = list()->SearchesRun();
            QElapsedTimer t;
            t.start();
            DialogChange::OnUsbChanged();
            if (!waitUntil([before] { return list()->SearchesRun() > before; }))
                fail("no search after a USB change");
            search.push_back(msSince(t));
            pump(30);
            QElapsedTimer r;
            r.start();
            list()->BuildDevicePages();
            rebuild.push_back(msSince(r));
            pump(30);
            if (list()->DeviceButtons().size() != attached)
                fail("the rebuilt list lost devices");
        }
        const QByteArray a = QByteArray::number(attached);
        row(("list_search_rebuild_" + a + "_ms").constData(), search, "ms");
        row(("list_rebuild_" + a + "_ms").constData(), rebuild, "ms");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s HIDUSB_BENCH_TOOL\n", argv[0]);
        return 2;
    }
    tool = QString::fromLocal8Bit(argv[1]);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    PrepareUserFolders(UserDir());
    MacroSettings::GetInstance()->Reload();
    makeBench(1);
    epoch.start();

    window = new DialogMain;
    window->show();
    QObject::connect(PostMsg::GetInstance(), &PostMsg::SigForm, [] {
        firstFormNs = epoch.nsecsElapsed();
        ++formsSeen;
    });
    if (!WorkerThread)
        fail("no device link");
    if (!waitUntil([] { return !list()->DeviceButtons().isEmpty(); }))
        fail("the device list shows no device");

    measureClick(9);
    measureWriter(200);
    measureFullRead(21);
    backToList();
    measureList(15);
    std::fflush(nullptr);
    _exit(0);
}
