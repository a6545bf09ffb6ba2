// End-to-end acceptance: the program as built, on a virtual X server, with
// a device bench and a HOME of its own, used as a person would use it. The
// test clicks and types with xdotool; it learns where the widgets are, and
// what they show, from the observer plugin loaded into the program
// (E2eProbe.cpp), and what reached the device from the bench's tool. Each
// step leaves a screenshot in the shots folder beside the test.
//
// Bench: the default one, the 8 kHz receiver with its wireless mouse (model
// 1) and a model-2 mouse on a cable, so that the list shows both (a receiver
// beside a cabled mouse of its own model is not listed).
#include "BenchIni.h"
#include "ProbeClient.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#include <functional>

namespace {

const QString AppPath = QStringLiteral(E2E_APP);
const QString ToolPath = QStringLiteral(E2E_TOOL);
const QString PluginRoot = QStringLiteral(E2E_PLUGIN_ROOT);
const QString ShotsDir = QStringLiteral(E2E_SHOTS);

// The image bytes of the lighting (see DeviceImage.h).
constexpr int LightModeAt = 67;
constexpr int LightRAt = 68;
constexpr int LightBrightnessAt = 72;
constexpr int LightOnAt = 73;
constexpr int ImageSize = 10428;

// ASan builds are slow to start and to tear down.
constexpr int StepTimeoutMs = 30000;

bool waitFor(const std::function<bool()>& condition, int timeoutMs = StepTimeoutMs)
{
    return testsupport::WaitFor(condition, timeoutMs);
}

// The program's per-user folder (the test runner sets XDG_DATA_HOME).
QString userFolder()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Corvane Dizadi Mouse");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class Acceptance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void deviceListShowsTheBenchDevices();
    void clickingTheReceiverOpensPagesFilledFromTheDevice();
    void aKeyFunctionReachesTheDeviceFlash();
    void aLightingChangeReachesTheDeviceFlash();
    void aDpiChangeReachesTheDeviceFlash();
    void aReportRateChangeReachesTheDeviceFlash();
    void theSettingsPageReachesTheReceiver();
    void aMacroIsMadeRecordedAndSaved();
    void unpluggingTheDeviceReturnsToTheList();
    void closingAndRestartingKeepsTheSettings();
    void exportResetAndImportBack();
    void aSecondStartShowsTheNoticeAndExits();
    void aFailedReceiverUpdateIsRepairedFromTheList();
    void cleanupTestCase();

private:
    // ---- the program ----
    QProcess* start();
    bool finishes(QProcess* process, int timeoutMs = StepTimeoutMs);
    // ---- the observer ----
    QJsonArray ask(QProcess* process, const QString& request);
    // The widgets of that object name (a regular expression) below a widget
    // of class `inside` (anywhere when empty).
    QList<QJsonObject> widgets(QProcess* process, const QString& name, const QString& inside = QString());
    QJsonObject widget(QProcess* process, const QString& name, const QString& inside = QString());
    QList<QJsonObject> visibleDeviceButtons(QProcess* process);
    bool pagesShown(QProcess* process);
    // Waits until the modal apply-and-wait dialog of a link pass has gone.
    bool applyDialogGone(QProcess* process);
    // Gives the open file dialog a path (typed into its name field) and
    // takes it with Return.
    bool chooseFile(QProcess* process, const QString& path);
    // ---- the user ----
    bool xdotool(const QStringList& args);
    bool click(const QJsonObject& widget);
    void shot(const QString& name);
    // ---- the bench ----
    QString tool(const QStringList& args);
    QByteArray deviceImage(const QString& device);
    QString cacheFile() const;
    // A key of the bench device id in bench.ini.
    QString benchField(const QString& id, const QString& key) const;

    QString m_xdotool;
    QString m_import;
    QString m_probeDir;
    QString m_receiverButton;  // object name of the receiver's card
    QProcess* m_first = nullptr;
    QProcess* m_second = nullptr;
    int m_shots = 0;
};

// ---- helpers -------------------------------------------------------------

QProcess* Acceptance::start()
{
    auto* process = new QProcess(this);
    process->setProcessEnvironment(testsupport::ProbeEnvironment(PluginRoot, m_probeDir));
    // The program's own output (and any sanitizer report) goes to the log.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(AppPath, QStringList());
    if (!process->waitForStarted(10000))
        return process;
    // Ready once its observer answers.
    waitFor([&] { return !ask(process, QStringLiteral("windows")).isEmpty(); });
    return process;
}

bool Acceptance::finishes(QProcess* process, int timeoutMs)
{
    if (!process)
        return false;
    if (process->state() != QProcess::NotRunning && !process->waitForFinished(timeoutMs))
        return false;
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

QJsonArray Acceptance::ask(QProcess* process, const QString& request)
{
    return testsupport::AskProbe(m_probeDir, process, request);
}

QList<QJsonObject> Acceptance::widgets(QProcess* process, const QString& name, const QString& inside)
{
    QList<QJsonObject> out;
    for (const QJsonValue& v : ask(process, QStringLiteral("widgets ") + name)) {
        const QJsonObject o = v.toObject();
        const QStringList ancestors = o.value(QStringLiteral("ancestors")).toString().split(QLatin1Char('/'));
        if (inside.isEmpty() || ancestors.contains(inside) || o.value(QStringLiteral("window")).toString() == inside)
            out.append(o);
    }
    return out;
}

QJsonObject Acceptance::widget(QProcess* process, const QString& name, const QString& inside)
{
    const QList<QJsonObject> found = widgets(process, name, inside);
    // A visible one first: a page keeps hidden twins of some controls.
    for (const QJsonObject& o : found) {
        if (o.value(QStringLiteral("visible")).toBool())
            return o;
    }
    return found.value(0);
}

QList<QJsonObject> Acceptance::visibleDeviceButtons(QProcess* process)
{
    QList<QJsonObject> out;
    for (const QJsonObject& o : widgets(process, QStringLiteral("btn[0-9]+"), QStringLiteral("DialogChange"))) {
        if (o.value(QStringLiteral("visible")).toBool())
            out.append(o);
    }
    return out;
}

bool Acceptance::pagesShown(QProcess* process)
{
    return widget(process, QStringLiteral("ButtonMain"), QStringLiteral("Dialog")).value(QStringLiteral("visible")).toBool();
}

bool Acceptance::applyDialogGone(QProcess* process)
{
    return waitFor([&] {
        for (const QJsonValue& w : ask(process, QStringLiteral("windows"))) {
            if (w.toObject().value(QStringLiteral("class")).toString() == QLatin1String("UpDataParam"))
                return false;
        }
        return true;
    });
}

bool Acceptance::chooseFile(QProcess* process, const QString& path)
{
    if (!waitFor([&] { return widget(process, QStringLiteral("fileNameEdit")).value(QStringLiteral("visible")).toBool(); }))
        return false;
    shot(QStringLiteral("file-dialog"));
    return click(widget(process, QStringLiteral("fileNameEdit")))
           && xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), path})
           && xdotool({QStringLiteral("key"), QStringLiteral("Return")});
}

bool Acceptance::xdotool(const QStringList& args)
{
    QProcess p;
    p.start(m_xdotool, args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool Acceptance::click(const QJsonObject& w)
{
    if (!w.value(QStringLiteral("visible")).toBool())
        return false;
    const int x = w.value(QStringLiteral("x")).toInt() + w.value(QStringLiteral("w")).toInt() / 2;
    const int y = w.value(QStringLiteral("y")).toInt() + w.value(QStringLiteral("h")).toInt() / 2;
    // Move, let the widget see the pointer come in (hover looks), then click.
    if (!xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(x), QString::number(y)}))
        return false;
    QTest::qWait(150);
    return xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

void Acceptance::shot(const QString& name)
{
    // Let the last change reach the screen first.
    QTest::qWait(400);
    const QString path = ShotsDir + QStringLiteral("/%1-%2.png").arg(++m_shots, 2, 10, QLatin1Char('0')).arg(name);
    QProcess p;
    p.start(m_import, {QStringLiteral("-window"), QStringLiteral("root"), path});
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        qWarning("no screenshot %s", qPrintable(path));
}

QString Acceptance::tool(const QStringList& args)
{
    QProcess p;
    p.start(ToolPath, args);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("hidusb-bench %s: %s", qPrintable(args.join(QLatin1Char(' '))), p.readAllStandardError().constData());
        return QStringLiteral("(failed)");
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QByteArray Acceptance::deviceImage(const QString& device)
{
    const QString path = QDir::temp().filePath(QStringLiteral("e2e-image-%1.bin").arg(QCoreApplication::applicationPid()));
    tool({QStringLiteral("export"), device, path});
    const QByteArray image = readFile(path);
    QFile::remove(path);
    return image;
}

QString Acceptance::cacheFile() const
{
    // Device_CID<cid>_MID<mid>.bin of the receiver's mouse: CID 24, MID 1.
    return userFolder() + QStringLiteral("/Device_Info/Device_CID18_MID01.bin");
}

QString Acceptance::benchField(const QString& id, const QString& key) const
{
    const QString ini = QString::fromUtf8(readFile(qEnvironmentVariable("HIDUSB_BENCH") + QStringLiteral("/bench.ini")));
    return testsupport::BenchIniField(ini, id, key);
}

// ---- the steps -------------------------------------------------------------

void Acceptance::initTestCase()
{
    if (qgetenv("QT_QPA_PLATFORM") != "xcb" || qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (xvfb-run was not found)");
    m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    m_import = QStandardPaths::findExecutable(QStringLiteral("import"));
    if (m_xdotool.isEmpty() || m_import.isEmpty())
        QSKIP("needs xdotool and ImageMagick's import");
    QVERIFY(QFileInfo(AppPath).isExecutable());
    QVERIFY(QFileInfo(PluginRoot + QStringLiteral("/generic")).isDir());

    QDir(ShotsDir).removeRecursively();
    QVERIFY(QDir().mkpath(ShotsDir));
    m_probeDir = QDir::homePath() + QStringLiteral("/probe");
    QVERIFY(QDir().mkpath(m_probeDir));

    // The bench, with a lighting the program does not start with by itself.
    tool({QStringLiteral("init"), QStringLiteral("--force")});
    QByteArray image = deviceImage(QStringLiteral("rx8k"));
    QCOMPARE(image.size(), ImageSize);
    image[LightModeAt] = 1;  // colour flow
    image[LightRAt] = 12;
    image[LightRAt + 1] = 34;
    image[LightRAt + 2] = 56;
    image[LightBrightnessAt] = 4;
    image[LightOnAt] = 1;
    const QString imagePath = QDir::homePath() + QStringLiteral("/start-image.bin");
    QFile out(imagePath);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(image) == image.size());
    out.close();
    tool({QStringLiteral("import"), QStringLiteral("rx8k"), imagePath});
    QVERIFY(tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("lighting")})
                .contains(QLatin1String("light: mode 1 colour 12,34,56")));
    // The library's calls are written to calls.log from now on.
    tool({QStringLiteral("option"), QStringLiteral("trace=on")});
}

void Acceptance::deviceListShowsTheBenchDevices()
{
    m_first = start();
    QVERIFY2(m_first->state() == QProcess::Running, "the program did not start");
    QVERIFY2(waitFor([&] { return visibleDeviceButtons(m_first).size() == 2; }), "the list does not show two devices");
    shot(QStringLiteral("device-list"));

    // One card is the receiver (wireless mark), the other the mouse on its
    // cable (USB mark); each card index has its mark.
    QString receiver, cabled;
    for (const QJsonObject& mark : widgets(m_first, QStringLiteral("UsbWifi[0-9]+"), QStringLiteral("DialogChange"))) {
        const QString index = mark.value(QStringLiteral("name")).toString().mid(7);
        const QString sheet = mark.value(QStringLiteral("styleSheet")).toString();
        if (sheet.contains(QLatin1String("OnLineWifi.png")))
            receiver = QStringLiteral("btn") + index;
        else if (sheet.contains(QLatin1String("OnLineUsb.png")))
            cabled = QStringLiteral("btn") + index;
    }
    QVERIFY2(!receiver.isEmpty(), "no card shows the receiver");
    QVERIFY2(!cabled.isEmpty(), "no card shows the mouse on its cable");
    QVERIFY(receiver != cabled);
    m_receiverButton = receiver;
    QVERIFY(!pagesShown(m_first));
    // The list follows the bench's changes through the library's notice.
    const QString calls = QString::fromUtf8(readFile(qEnvironmentVariable("HIDUSB_BENCH") + QStringLiteral("/calls.log")));
    QVERIFY(calls.contains(QLatin1String("StartUsbChanged 600")));
    QVERIFY(!calls.contains(QLatin1String("UsbServerC_Start")));
}

void Acceptance::clickingTheReceiverOpensPagesFilledFromTheDevice()
{
    QVERIFY(!m_receiverButton.isEmpty());
    QVERIFY(click(widget(m_first, m_receiverButton, QStringLiteral("DialogChange"))));
    QVERIFY2(waitFor([&] { return pagesShown(m_first); }), "the pages did not open");

    // The lighting page holds the device's lighting (it is filled while
    // hidden): mode 1, colour 12,34,56, brightness 4 shown as 5.
    const bool filled = waitFor([&] {
        return widget(m_first, QStringLiteral("LightMod")).value(QStringLiteral("currentIndex")).toInt() == 1
               && widget(m_first, QStringLiteral("RSpinBox")).value(QStringLiteral("value")).toInt() == 12
               && widget(m_first, QStringLiteral("GSpinBox")).value(QStringLiteral("value")).toInt() == 34
               && widget(m_first, QStringLiteral("BSpinBox")).value(QStringLiteral("value")).toInt() == 56
               && widget(m_first, QStringLiteral("horizontalLight")).value(QStringLiteral("value")).toInt() == 5;
    });
    shot(QStringLiteral("pages-opening"));
    QVERIFY2(filled, "the lighting page does not show the device's lighting");

    // The apply-and-wait dialog goes by itself.
    QVERIFY(applyDialogGone(m_first));
    shot(QStringLiteral("pages-filled"));

    // The link was opened to the receiver and read the whole image, and the
    // image kept for offline use is the device's own.
    const QString calls = QString::fromUtf8(readFile(qEnvironmentVariable("HIDUSB_BENCH") + QStringLiteral("/calls.log")));
    QVERIFY(calls.contains(QLatin1String("UsbServerC_Start hidbench/rx8k")));
    QVERIFY(calls.contains(QLatin1String("UsbServer_ReadAllFlashData")));
    QVERIFY(waitFor([&] { return QFileInfo::exists(cacheFile()); }));
    QCOMPARE(readFile(cacheFile()).mid(4), deviceImage(QStringLiteral("rx8k")));
}

void Acceptance::aKeyFunctionReachesTheDeviceFlash()
{
    const auto keys = [&] { return tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("keys")}); };
    const auto visible = [&](const QString& name) {
        return widget(m_first, name).value(QStringLiteral("visible")).toBool();
    };
    QVERIFY(click(widget(m_first, QStringLiteral("ButtonMain"), QStringLiteral("Dialog"))));
    QVERIFY2(waitFor([&] { return visible(QStringLiteral("BackKey")); }), "the button page is not shown");
    QCOMPARE(widget(m_first, QStringLiteral("BackKey")).value(QStringLiteral("text")).toString(),
             QStringLiteral("Middle button"));
    shot(QStringLiteral("button-page"));

    // The third key (the middle button) becomes volume down: menu, the
    // multimedia list, the entry.
    QVERIFY(click(widget(m_first, QStringLiteral("BackKey"))));
    QVERIFY2(waitFor([&] { return visible(QStringLiteral("DPI_12")); }), "the function menu did not open");
    QVERIFY(widget(m_first, QStringLiteral("MidKey")).value(QStringLiteral("checked")).toBool());
    // The multimedia entry lies below the list's end: the wheel brings it in.
    const auto inList = [&](const QString& name) {
        const QJsonObject entry = widget(m_first, name);
        const QJsonObject list = widget(m_first, QStringLiteral("scrollArea_4"));
        const int top = list.value(QStringLiteral("y")).toInt();
        const int y = entry.value(QStringLiteral("y")).toInt();
        return y >= top && y + entry.value(QStringLiteral("h")).toInt() <= top + list.value(QStringLiteral("h")).toInt();
    };
    const QJsonObject list = widget(m_first, QStringLiteral("scrollArea_4"));
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"),
                     QString::number(list.value(QStringLiteral("x")).toInt() + list.value(QStringLiteral("w")).toInt() / 2),
                     QString::number(list.value(QStringLiteral("y")).toInt() + list.value(QStringLiteral("h")).toInt() / 2)}));
    for (int turn = 0; turn < 10 && !inList(QStringLiteral("DPI_12")); ++turn) {
        QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("5")}));
        QTest::qWait(150);
    }
    QVERIFY2(inList(QStringLiteral("DPI_12")), "the wheel does not bring the multimedia entry into the list");
    QVERIFY(click(widget(m_first, QStringLiteral("DPI_12"))));
    QVERIFY2(waitFor([&] { return visible(QStringLiteral("VolumeDown_4")); }), "the multimedia list is not shown");
    shot(QStringLiteral("key-menu"));
    QVERIFY(click(widget(m_first, QStringLiteral("VolumeDown_4"))));
    QVERIFY2(waitFor([&] {
                 return keys().contains(QLatin1String("key 3: 5,0,0 key events"))
                        && tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("key-events")})
                               .contains(QLatin1String("key-events 3: 2 events: press consumer 0x00EA"));
             }),
             qPrintable(QStringLiteral("the device did not get volume down on key 3: ") + keys()));
    QVERIFY(waitFor([&] {
        return widget(m_first, QStringLiteral("BackKey")).value(QStringLiteral("text")).toString()
                   == QLatin1String("Volume down")
               && !visible(QStringLiteral("DPI_12"));
    }));
    shot(QStringLiteral("key-assigned"));

    // The only left click stays: the first key refuses another function.
    QVERIFY(click(widget(m_first, QStringLiteral("FireKey"))));
    QVERIFY(waitFor([&] { return inList(QStringLiteral("RightKey_3")); }));
    QVERIFY(click(widget(m_first, QStringLiteral("RightKey_3"))));
    QVERIFY2(waitFor([&] { return visible(QStringLiteral("LeftButtonOnly")); }), "no notice for the last left click");
    shot(QStringLiteral("last-left-click"));
    QVERIFY(click(widget(m_first, QStringLiteral("CloseButton"), QStringLiteral("LeftButtonOnly"))));
    QVERIFY(waitFor([&] { return !visible(QStringLiteral("LeftButtonOnly")); }));
    QVERIFY(keys().contains(QLatin1String("key 1: 1,1,0 mouse button left")));
}

void Acceptance::aLightingChangeReachesTheDeviceFlash()
{
    QVERIFY(click(widget(m_first, QStringLiteral("LightsButton"), QStringLiteral("Dialog"))));
    QVERIFY2(waitFor([&] { return widget(m_first, QStringLiteral("LightMod")).value(QStringLiteral("visible")).toBool(); }),
             "the lighting page is not shown");
    shot(QStringLiteral("lighting-page"));

    // The mode list: open it, one entry down (single-colour breathing).
    QVERIFY(click(widget(m_first, QStringLiteral("LightMod"))));
    QTest::qWait(500);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"), QStringLiteral("Down"),
                     QStringLiteral("Return")}));
    QVERIFY2(waitFor([&] {
                 return tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("lighting")})
                     .contains(QLatin1String("light: mode 2 colour 12,34,56"));
             }),
             qPrintable(QStringLiteral("the device did not get mode 2: ")
                        + tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("lighting")})));
    QCOMPARE(widget(m_first, QStringLiteral("LightMod")).value(QStringLiteral("currentIndex")).toInt(), 2);

    // Mode 2 shows the colours: the third preset is green.
    QVERIFY(waitFor([&] {
        return widget(m_first, QStringLiteral("toolButtonColorC")).value(QStringLiteral("visible")).toBool();
    }));
    QVERIFY(click(widget(m_first, QStringLiteral("toolButtonColorC"))));
    QVERIFY2(waitFor([&] {
                 return tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("lighting")})
                     .contains(QLatin1String("light: mode 2 colour 0,255,0"));
             }),
             qPrintable(QStringLiteral("the device did not get the green preset: ")
                        + tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("lighting")})));
    QCOMPARE(widget(m_first, QStringLiteral("GSpinBox")).value(QStringLiteral("value")).toInt(), 255);
    shot(QStringLiteral("lighting-changed"));
}

void Acceptance::aDpiChangeReachesTheDeviceFlash()
{
    const auto dpi = [&] { return tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("dpi")}); };
    QVERIFY(click(widget(m_first, QStringLiteral("SensorButton"), QStringLiteral("Dialog"))));
    // The device's stages: six, the second one current at 800 DPI.
    QVERIFY2(waitFor([&] {
                 const QJsonObject second = widget(m_first, QStringLiteral("BrightRedButton"));
                 return second.value(QStringLiteral("visible")).toBool() && second.value(QStringLiteral("checked")).toBool()
                        && second.value(QStringLiteral("text")).toString() == QLatin1String("800")
                        && !widget(m_first, QStringLiteral("LightBlueButton")).value(QStringLiteral("visible")).toBool();
             }),
             "the sensor page does not show the device's DPI stages");
    shot(QStringLiteral("sensor-page"));

    // The fifth stage becomes the current one, then one step up: 3200 -> 3250.
    QVERIFY(click(widget(m_first, QStringLiteral("GreenButton"))));
    QVERIFY2(waitFor([&] { return dpi().contains(QLatin1String("dpi-current: 5")); }),
             qPrintable(QStringLiteral("the device did not get stage 5: ") + dpi()));
    QVERIFY(click(widget(m_first, QStringLiteral("AddLevelA"))));
    QVERIFY2(waitFor([&] { return dpi().contains(QLatin1String("dpi 5: 3250 ")); }),
             qPrintable(QStringLiteral("the device did not get 3250 DPI: ") + dpi()));
    QCOMPARE(widget(m_first, QStringLiteral("GreenButton")).value(QStringLiteral("text")).toString(),
             QStringLiteral("3250"));
    shot(QStringLiteral("sensor-changed"));
}

void Acceptance::aReportRateChangeReachesTheDeviceFlash()
{
    const auto rate = [&] { return tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("rate")}); };
    // The 8 kHz receiver carries every rate; the device runs at 1000 Hz.
    const QJsonObject button = widget(m_first, QStringLiteral("Button2000HZ"), QStringLiteral("Sensor"));
    QVERIFY2(button.value(QStringLiteral("visible")).toBool(), "the sensor page shows no 2000 Hz button");
    QVERIFY(widget(m_first, QStringLiteral("Button8000HZ"), QStringLiteral("Sensor")).value(QStringLiteral("visible")).toBool());
    QVERIFY(widget(m_first, QStringLiteral("Button1000HZ"), QStringLiteral("Sensor")).value(QStringLiteral("checked")).toBool());
    QVERIFY(rate().contains(QLatin1String("report-rate: 1000 Hz")));

    QVERIFY(click(button));
    QVERIFY2(waitFor([&] { return rate().contains(QLatin1String("report-rate: 2000 Hz")); }),
             qPrintable(QStringLiteral("the device did not get 2000 Hz: ") + rate()));
    QCOMPARE(quint8(deviceImage(QStringLiteral("rx8k")).at(0)), quint8(16));
    QVERIFY(widget(m_first, QStringLiteral("Button2000HZ"), QStringLiteral("Sensor")).value(QStringLiteral("checked")).toBool());
    shot(QStringLiteral("report-rate-changed"));
}

void Acceptance::theSettingsPageReachesTheReceiver()
{
    // The settings page button of the container (the page has the same name).
    QJsonObject pageButton;
    for (const QJsonObject& o : widgets(m_first, QStringLiteral("FormSetting"), QStringLiteral("Dialog"))) {
        if (o.value(QStringLiteral("class")).toString() == QLatin1String("QToolButton"))
            pageButton = o;
    }
    QVERIFY(click(pageButton));
    // The 8 kHz receiver's model offers long range: the block is shown.
    QVERIFY2(waitFor([&] { return widget(m_first, QStringLiteral("checkBox_2")).value(QStringLiteral("visible")).toBool(); }),
             "the settings page does not show the long-range switch");
    shot(QStringLiteral("settings-english"));
    QCOMPARE(widget(m_first, QStringLiteral("label_8")).value(QStringLiteral("text")).toString(), QStringLiteral("Pairing"));

    QCOMPARE(benchField(QStringLiteral("rx8k"), QStringLiteral("long_range")), QStringLiteral("0"));
    QVERIFY(click(widget(m_first, QStringLiteral("checkBox_2"))));
    QVERIFY2(waitFor([&] { return benchField(QStringLiteral("rx8k"), QStringLiteral("long_range")) == QLatin1String("1"); }),
             "the receiver did not get long-range mode");
    QVERIFY(widget(m_first, QStringLiteral("checkBox_2")).value(QStringLiteral("checked")).toBool());
    QVERIFY(QString::fromUtf8(readFile(qEnvironmentVariable("HIDUSB_BENCH") + QStringLiteral("/calls.log")))
                .contains(QLatin1String("UsbFinderC_SetLongRangeMode hidbench/rx8k 1 ok")));
    // Changed at the receiver itself, the page follows.
    QCOMPARE(tool({QStringLiteral("long-range"), QStringLiteral("rx8k"), QStringLiteral("off")}),
             QStringLiteral("long-range: 0\n"));
    QVERIFY2(waitFor([&] { return !widget(m_first, QStringLiteral("checkBox_2")).value(QStringLiteral("checked")).toBool(); }),
             "the settings page still shows long range on");
    QCOMPARE(tool({QStringLiteral("long-range"), QStringLiteral("rx8k"), QStringLiteral("on")}),
             QStringLiteral("long-range: 1\n"));
    QVERIFY2(waitFor([&] { return widget(m_first, QStringLiteral("checkBox_2")).value(QStringLiteral("checked")).toBool(); }),
             "the settings page still shows long range off");

    // The language box: simplified Chinese, every text of the page follows.
    QVERIFY(click(widget(m_first, QStringLiteral("comboBox"), QStringLiteral("FormSetting"))));
    QTest::qWait(500);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"), QStringLiteral("Down"),
                     QStringLiteral("Return")}));
    QVERIFY2(waitFor([&] {
                 return widget(m_first, QStringLiteral("label_8")).value(QStringLiteral("text")).toString()
                        == QStringLiteral("配对工具");
             }),
             "the settings page did not change to Chinese");
    shot(QStringLiteral("settings-chinese"));

    // The pairing dialog from the page, in Chinese, then closed again.
    QVERIFY(click(widget(m_first, QStringLiteral("pushButton_2"))));
    QVERIFY(waitFor([&] { return widget(m_first, QStringLiteral("MatchButton")).value(QStringLiteral("visible")).toBool(); }));
    QCOMPARE(widget(m_first, QStringLiteral("MatchButton")).value(QStringLiteral("text")).toString(), QStringLiteral("开始配对"));
    shot(QStringLiteral("pairing-chinese"));
    QVERIFY(click(widget(m_first, QStringLiteral("CloseButton"), QStringLiteral("Match"))));
    QVERIFY(waitFor([&] { return !widget(m_first, QStringLiteral("MatchButton")).value(QStringLiteral("visible")).toBool(); }));

    // Back to English for the steps that follow.
    QVERIFY(click(widget(m_first, QStringLiteral("comboBox"), QStringLiteral("FormSetting"))));
    QTest::qWait(500);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"), QStringLiteral("Up"),
                     QStringLiteral("Return")}));
    QVERIFY(waitFor([&] {
        return widget(m_first, QStringLiteral("label_8")).value(QStringLiteral("text")).toString() == QLatin1String("Pairing");
    }));
    // The pages follow the device again after the pairing dialog's own link.
    QVERIFY(applyDialogGone(m_first));
}

void Acceptance::aMacroIsMadeRecordedAndSaved()
{
    const QString file =
        userFolder() + QStringLiteral("/usersetting/MacroPage/e2emacro.ini");
    QVERIFY(click(widget(m_first, QStringLiteral("MacroButton"), QStringLiteral("Dialog"))));
    QVERIFY2(waitFor([&] { return widget(m_first, QStringLiteral("NewHong"), QStringLiteral("Macro")).value(QStringLiteral("visible")).toBool(); }),
             "the macro page is not shown");
    shot(QStringLiteral("macro-page"));

    // A new macro: its name typed into the name prompt.
    QVERIFY(click(widget(m_first, QStringLiteral("NewHong"), QStringLiteral("Macro"))));
    QJsonObject ok;
    QVERIFY2(waitFor([&] {
                 ok = widget(m_first, QStringLiteral("NewHong"), QStringLiteral("QuestionDialog"));
                 return ok.value(QStringLiteral("visible")).toBool();
             }),
             "no name prompt");
    QVERIFY(xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("e2emacro")}));
    QVERIFY(waitFor([&] {
        return widget(m_first, QStringLiteral("lineEdit"), QStringLiteral("QuestionDialog")).value(QStringLiteral("text")).toString()
               == QLatin1String("e2emacro");
    }));
    shot(QStringLiteral("macro-name"));
    QVERIFY(click(ok));
    QVERIFY2(waitFor([&] {
                 const QJsonObject list = widget(m_first, QStringLiteral("listWidgetHong"));
                 return list.value(QStringLiteral("items")).toArray().contains(QStringLiteral("e2emacro"))
                        && list.value(QStringLiteral("currentRow")).toInt() >= 0 && QFileInfo::exists(file);
             }),
             "the new macro is not listed, selected and kept in its file");

    // Recording: two keys typed on the keyboard.
    QVERIFY(click(widget(m_first, QStringLiteral("StartRecord"), QStringLiteral("Macro"))));
    QVERIFY(waitFor([&] { return widget(m_first, QStringLiteral("StopRecord")).value(QStringLiteral("visible")).toBool(); }));
    QVERIFY(!widget(m_first, QStringLiteral("SensorButton"), QStringLiteral("Dialog")).value(QStringLiteral("enabled")).toBool());
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("150"), QStringLiteral("a"), QStringLiteral("b")}));
    const QJsonArray recorded = {QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("B")};
    QVERIFY2(waitFor([&] { return widget(m_first, QStringLiteral("listWidgetKey")).value(QStringLiteral("count")).toInt() == 7; }),
             "the typed keys are not recorded");
    shot(QStringLiteral("macro-recording"));
    // Stop stands where Start stood: the pointer leaves it first, so that it
    // moves again for the click.
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("5"), QStringLiteral("5")}));
    QVERIFY(click(widget(m_first, QStringLiteral("StopRecord"), QStringLiteral("Macro"))));
    QVERIFY(waitFor([&] { return widget(m_first, QStringLiteral("StartRecord")).value(QStringLiteral("visible")).toBool(); }));
    QVERIFY(widget(m_first, QStringLiteral("SensorButton"), QStringLiteral("Dialog")).value(QStringLiteral("enabled")).toBool());
    const QJsonArray rows = widget(m_first, QStringLiteral("listWidgetKey")).value(QStringLiteral("items")).toArray();
    for (int i = 0; i < 4; ++i)
        QCOMPARE(rows.at(2 * i), recorded.at(i));

    // A left click from the event choice, after the last row.
    QVERIFY(click(widget(m_first, QStringLiteral("ChooseEvent"))));
    QTest::qWait(500);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"), QStringLiteral("Down"),
                     QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    QVERIFY2(waitFor([&] { return widget(m_first, QStringLiteral("listWidgetKey")).value(QStringLiteral("count")).toInt() == 11; }),
             "no left button rows were inserted");

    // Saved: the repeat line and one line per row.
    QVERIFY(widget(m_first, QStringLiteral("Save"), QStringLiteral("Macro")).value(QStringLiteral("enabled")).toBool());
    QVERIFY(click(widget(m_first, QStringLiteral("Save"), QStringLiteral("Macro"))));
    const QRegularExpression saved(QStringLiteral("^1\\n0x04 1 0\\n\\d+ms\\n0x04 1 1\\n\\d+ms\\n0x05 1 0\\n\\d+ms\\n0x05 1 1\\n"
                                                  "10ms\\n0x01 4 0\\n10ms\\n0x01 4 1\\n$"));
    QVERIFY2(waitFor([&] { return saved.match(QString::fromLatin1(readFile(file))).hasMatch(); }),
             readFile(file).constData());
    QVERIFY(!widget(m_first, QStringLiteral("Save"), QStringLiteral("Macro")).value(QStringLiteral("enabled")).toBool());
    shot(QStringLiteral("macro-saved"));
}

void Acceptance::unpluggingTheDeviceReturnsToTheList()
{
    QVERIFY(pagesShown(m_first));
    tool({QStringLiteral("unplug"), QStringLiteral("rx8k")});
    QVERIFY2(waitFor([&] { return !pagesShown(m_first) && visibleDeviceButtons(m_first).size() == 1; }),
             "the program did not go back to a list of the one device left");
    shot(QStringLiteral("unplugged-back-to-list"));
    QVERIFY(QString::fromUtf8(readFile(qEnvironmentVariable("HIDUSB_BENCH") + QStringLiteral("/calls.log")))
                .contains(QLatin1String("UsbServer_Exit")));
}

void Acceptance::closingAndRestartingKeepsTheSettings()
{
    tool({QStringLiteral("plug"), QStringLiteral("rx8k")});
    QVERIFY2(waitFor([&] { return visibleDeviceButtons(m_first).size() == 2; }), "the replugged receiver is not listed");
    shot(QStringLiteral("replugged"));

    // The list's own close button ends the program.
    QVERIFY(click(widget(m_first, QStringLiteral("CloseButton"), QStringLiteral("DialogChange"))));
    QVERIFY2(finishes(m_first), "the program did not end with exit code 0 after its close button");
    shot(QStringLiteral("closed"));

    m_first = start();
    QVERIFY2(m_first->state() == QProcess::Running, "the program did not start again");
    QVERIFY(waitFor([&] { return visibleDeviceButtons(m_first).size() == 2; }));
    shot(QStringLiteral("restarted-list"));
    QVERIFY(click(widget(m_first, m_receiverButton, QStringLiteral("DialogChange"))));
    QVERIFY(waitFor([&] { return pagesShown(m_first); }));
    const bool kept = waitFor([&] {
        return widget(m_first, QStringLiteral("LightMod")).value(QStringLiteral("currentIndex")).toInt() == 2
               && widget(m_first, QStringLiteral("RSpinBox")).value(QStringLiteral("value")).toInt() == 0
               && widget(m_first, QStringLiteral("GSpinBox")).value(QStringLiteral("value")).toInt() == 255
               && widget(m_first, QStringLiteral("BSpinBox")).value(QStringLiteral("value")).toInt() == 0;
    });
    QVERIFY(applyDialogGone(m_first));
    QVERIFY(click(widget(m_first, QStringLiteral("LightsButton"), QStringLiteral("Dialog"))));
    QVERIFY(waitFor([&] { return widget(m_first, QStringLiteral("LightMod")).value(QStringLiteral("visible")).toBool(); }));
    shot(QStringLiteral("restarted-lighting"));
    QVERIFY2(kept, "after a restart the lighting page does not show the changed lighting");
    QVERIFY(tool({QStringLiteral("show"), QStringLiteral("rx8k"), QStringLiteral("lighting")})
                .contains(QLatin1String("light: mode 2 colour 0,255,0")));
    // The image kept for offline use has it too.
    QVERIFY(waitFor([&] {
        const QByteArray cached = readFile(cacheFile());
        return cached.size() == 4 + ImageSize && quint8(cached.at(4 + LightModeAt)) == 2
               && quint8(cached.at(4 + LightRAt + 1)) == 255;
    }));
}

void Acceptance::exportResetAndImportBack()
{
    const auto show = [&](const QString& what) { return tool({QStringLiteral("show"), QStringLiteral("rx8k"), what}); };
    const auto caption = [&] { return widget(m_first, QStringLiteral("BackKey")).value(QStringLiteral("text")).toString(); };
    QVERIFY(click(widget(m_first, QStringLiteral("ButtonMain"), QStringLiteral("Dialog"))));
    QVERIFY(waitFor([&] { return widget(m_first, QStringLiteral("OutputData")).value(QStringLiteral("visible")).toBool(); }));
    QCOMPARE(caption(), QStringLiteral("Volume down"));

    // Export: the settings file of the device's present settings.
    const QString file = QDir::homePath() + QStringLiteral("/mouse-settings.bin");
    QVERIFY(click(widget(m_first, QStringLiteral("OutputData"))));
    QVERIFY2(chooseFile(m_first, file), "the export's file dialog did not take a name");
    QVERIFY2(waitFor([&] { return QFileInfo(file).size() == 10464; }), "no settings file of 10464 bytes");
    QCOMPARE(readFile(file).left(16), QByteArray::fromHex("0000000c") + QByteArray("Durod") + QByteArray(7, '\0'));
    QCOMPARE(readFile(file).mid(36), deviceImage(QStringLiteral("rx8k")));

    // Reset, confirmed: the device holds its model's defaults, the page
    // shows them.
    QVERIFY(click(widget(m_first, QStringLiteral("Reset"))));
    QVERIFY2(waitFor([&] { return widget(m_first, QStringLiteral("OK"), QStringLiteral("ContainReset")).value(QStringLiteral("visible")).toBool(); }),
             "the reset asks nothing");
    shot(QStringLiteral("reset-question"));
    QVERIFY(click(widget(m_first, QStringLiteral("OK"), QStringLiteral("ContainReset"))));
    QVERIFY2(waitFor([&] {
                 return show(QStringLiteral("keys")).contains(QLatin1String("key 3: 1,4,0 mouse button middle"))
                        && show(QStringLiteral("lighting")).contains(QLatin1String("light: mode 1 colour 255,128,0"));
             }),
             qPrintable(QStringLiteral("the device was not reset: ") + tool({QStringLiteral("show"), QStringLiteral("rx8k")})));
    QVERIFY(applyDialogGone(m_first));
    QVERIFY2(waitFor([&] { return caption() == QLatin1String("Middle button"); }), "the page does not show the defaults");
    shot(QStringLiteral("reset-done"));

    // Import of the export: the settings are back in the device and on the page.
    QVERIFY(click(widget(m_first, QStringLiteral("ImportData"))));
    QVERIFY2(chooseFile(m_first, file), "the import's file dialog did not take the name");
    QVERIFY2(waitFor([&] {
                 return show(QStringLiteral("keys")).contains(QLatin1String("key 3: 5,0,0 key events"))
                        && show(QStringLiteral("lighting")).contains(QLatin1String("light: mode 2 colour 0,255,0"));
             }),
             qPrintable(QStringLiteral("the import did not reach the device: ") + tool({QStringLiteral("show"), QStringLiteral("rx8k")})));
    shot(QStringLiteral("importing"));
    QVERIFY(applyDialogGone(m_first));
    QVERIFY(waitFor([&] { return caption() == QLatin1String("Volume down"); }));
    QCOMPARE(deviceImage(QStringLiteral("rx8k")), readFile(file).mid(36));
    shot(QStringLiteral("imported"));
}

void Acceptance::aSecondStartShowsTheNoticeAndExits()
{
    QVERIFY(m_first && m_first->state() == QProcess::Running);
    m_second = start();
    QVERIFY2(m_second->state() == QProcess::Running, "the second start ended before it showed anything");
    QJsonObject ok;
    QVERIFY2(waitFor([&] {
                 ok = widget(m_second, QStringLiteral("NewHong"), QStringLiteral("ExeIsRun"));
                 return ok.value(QStringLiteral("visible")).toBool();
             }),
             "the second start shows no notice");
    // It is the only window of the second process: no main window there.
    const QJsonArray windows = ask(m_second, QStringLiteral("windows"));
    QCOMPARE(windows.size(), 1);
    QCOMPARE(windows.at(0).toObject().value(QStringLiteral("class")).toString(), QStringLiteral("ExeIsRun"));
    shot(QStringLiteral("second-start-notice"));

    QVERIFY(click(ok));
    QVERIFY2(finishes(m_second), "the second start did not end with exit code 0");
    QCOMPARE(m_first->state(), QProcess::Running);
    shot(QStringLiteral("second-start-gone"));

    // The first one closes from its pages too, with exit code 0.
    QVERIFY(click(widget(m_first, QStringLiteral("CloseButton"), QStringLiteral("Dialog"))));
    QVERIFY2(finishes(m_first), "the program did not end with exit code 0 after the pages' close button");
}

void Acceptance::aFailedReceiverUpdateIsRepairedFromTheList()
{
    // A receiver with older firmware beside the mouse of its model on the
    // cable (the list shows the mouse only); its first update fails at 40 %.
    tool({QStringLiteral("init"), QStringLiteral("--force")});
    tool({QStringLiteral("set"), QStringLiteral("mouse2"), QStringLiteral("mid=1"),
          QStringLiteral("firmware_name=CDM_AX72_MOUSE")});
    tool({QStringLiteral("firmware"), QStringLiteral("rx8k"), QStringLiteral("1.4")});
    tool({QStringLiteral("option"), QStringLiteral("upgrade_step_ms=40"), QStringLiteral("trace=on")});
    tool({QStringLiteral("fault"), QStringLiteral("rx8k"), QStringLiteral("upgrade-fail"), QStringLiteral("40")});
    m_first = start();
    QVERIFY2(waitFor([&] { return visibleDeviceButtons(m_first).size() == 1; }), "the list does not show the mouse");
    QVERIFY(click(visibleDeviceButtons(m_first).first()));
    QVERIFY(waitFor([&] { return pagesShown(m_first); }));
    QJsonObject pageButton;
    for (const QJsonObject& o : widgets(m_first, QStringLiteral("FormSetting"), QStringLiteral("Dialog"))) {
        if (o.value(QStringLiteral("class")).toString() == QLatin1String("QToolButton"))
            pageButton = o;
    }
    // The page's first read may still hold the window: click again as a person would.
    bool offered = false;
    for (int attempt = 0; attempt < 3 && !offered; ++attempt) {
        QVERIFY(applyDialogGone(m_first));
        QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("1"), QStringLiteral("1")}));
        QVERIFY(click(pageButton));
        offered = waitFor(
            [&] {
                return widget(m_first, QStringLiteral("label_5"), QStringLiteral("FormSetting")).value(QStringLiteral("text")).toString()
                           == QLatin1String("v1.4")
                       && widget(m_first, QStringLiteral("Receive_2")).value(QStringLiteral("visible")).toBool();
            },
            10000);
    }
    shot(QStringLiteral("update-offered"));
    QVERIFY2(offered, qPrintable(QStringLiteral("the settings page does not offer the receiver's update: ")
                                 + QJsonDocument(widget(m_first, QStringLiteral("label_5"), QStringLiteral("FormSetting"))).toJson(QJsonDocument::Compact)
                                 + QJsonDocument(widget(m_first, QStringLiteral("Receive_2"))).toJson(QJsonDocument::Compact)));

    auto tip = [&] { return widget(m_first, QStringLiteral("ToolText_2"), QStringLiteral("UpDateRepair")).value(QStringLiteral("text")).toString(); };
    QVERIFY(click(widget(m_first, QStringLiteral("Receive_2"))));
    QVERIFY2(waitFor([&] { return tip().startsWith(QLatin1String("Firmware is ready")); }), qPrintable(tip()));
    shot(QStringLiteral("update-dialog-english"));
    QVERIFY(click(widget(m_first, QStringLiteral("NewHong_2"), QStringLiteral("UpDateRepair"))));
    QVERIFY2(waitFor([&] { return tip() == QLatin1String("Update failed. Please try again"); }), qPrintable(tip()));
    shot(QStringLiteral("update-failed-english"));
    QCOMPARE(benchField(QStringLiteral("rx8k"), QStringLiteral("boot")), QStringLiteral("1"));

    // Closed after the failure: the list, with its repair button.
    QVERIFY(click(widget(m_first, QStringLiteral("CloseButton"), QStringLiteral("UpDateRepair"))));
    QVERIFY2(waitFor([&] {
                 return !pagesShown(m_first)
                        && widget(m_first, QStringLiteral("Repair"), QStringLiteral("DialogChange"))
                               .value(QStringLiteral("visible"))
                               .toBool();
             }),
             "the list does not offer the repair");
    tool({QStringLiteral("fault"), QStringLiteral("rx8k"), QStringLiteral("clear")});
    // The list in Chinese, then the repair.
    QVERIFY(click(widget(m_first, QStringLiteral("comboBox"), QStringLiteral("DialogChange"))));
    QTest::qWait(500);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"), QStringLiteral("Down"),
                     QStringLiteral("Return")}));
    shot(QStringLiteral("list-repair-chinese"));
    QVERIFY(click(widget(m_first, QStringLiteral("Repair"), QStringLiteral("DialogChange"))));
    QVERIFY2(waitFor([&] { return tip() == QStringLiteral("固件已就绪，请保持设备连接"); }), qPrintable(tip()));
    shot(QStringLiteral("repair-dialog-chinese"));
    QVERIFY(click(widget(m_first, QStringLiteral("NewHong_2"), QStringLiteral("UpDateRepair"))));
    QVERIFY2(waitFor([&] { return tip() == QStringLiteral("更新完成"); }), qPrintable(tip()));
    shot(QStringLiteral("repair-done-chinese"));
    QCOMPARE(widget(m_first, QStringLiteral("progressBar_2")).value(QStringLiteral("value")).toInt(), 100);
    QCOMPARE(benchField(QStringLiteral("rx8k"), QStringLiteral("boot")), QStringLiteral("0"));
    QCOMPARE(benchField(QStringLiteral("rx8k"), QStringLiteral("firmware")), QStringLiteral("0x0105"));
    QVERIFY(!widget(m_first, QStringLiteral("Repair"), QStringLiteral("DialogChange")).value(QStringLiteral("visible")).toBool());

    // Back to English for a next start; then closed from the list.
    // (The pointer is still on the button: away first, or the move never ends.)
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("1"), QStringLiteral("1")}));
    QVERIFY(click(widget(m_first, QStringLiteral("NewHong_2"), QStringLiteral("UpDateRepair"))));
    QVERIFY(waitFor([&] { return !widget(m_first, QStringLiteral("NewHong_2"), QStringLiteral("UpDateRepair")).value(QStringLiteral("visible")).toBool(); }));
    QVERIFY(click(widget(m_first, QStringLiteral("comboBox"), QStringLiteral("DialogChange"))));
    QTest::qWait(500);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100"), QStringLiteral("Up"),
                     QStringLiteral("Return")}));
    QVERIFY(click(widget(m_first, QStringLiteral("CloseButton"), QStringLiteral("DialogChange"))));
    QVERIFY2(finishes(m_first), "the program did not end with exit code 0");
}

void Acceptance::cleanupTestCase()
{
    for (QProcess* p : {m_second, m_first}) {
        if (p && p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
}

QTEST_GUILESS_MAIN(Acceptance)
#include "tst_acceptance.moc"
