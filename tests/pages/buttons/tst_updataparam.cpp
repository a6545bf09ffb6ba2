// The apply-and-wait dialog: reading a settings file, and what its timer
// slot does in wait, import and plain mode (signal order, flags, cache);
// imports at the bench that the device cannot use.
#include "../../core/LinkTestSupport.h"

#include "BenchFlash.h"
#include "DeviceCache.h"
#include "Globals.h"
#include "ImageCheck.h"
#include "InportFail.h"
#include "SettingsFile.h"
#include "MacroSettings.h"
#include "PostMsg.h"
#include "UpDataParam.h"
#include "UserFixture.h"

#include <QApplication>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <sys/stat.h>

using namespace linktest;

namespace {
QByteArray settingsFile(const QByteArray& tag, const QByteArray& sensor, const QByteArray& image)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << tag << sensor << image;
    return out;
}

QByteArray padded(const QByteArray& text, int size = 12)
{
    QByteArray out = text.left(size);
    if (out.size() < size)
        out.append(QByteArray(size - out.size(), '\0'));
    return out;
}

QByteArray imageBytes(const FlashDataMap& image)
{
    return QByteArray(reinterpret_cast<const char*>(&image), sizeof image);
}

// Records the order of the signals the dialog sends.
class Order : public QObject
{
    Q_OBJECT
public:
    QStringList seen;
    Order()
    {
        PostMsg* hub = PostMsg::GetInstance();
        connect(hub, &PostMsg::SigUpDataLightUIA, this, [this](FlashDataMap) { seen << "LightUIA"; });
        connect(hub, &PostMsg::SigUpDataSensorUIB, this, [this](FlashDataMap) { seen << "SensorUIB"; });
        connect(hub, &PostMsg::SigUpDataButtonUIC, this, [this](FlashDataMap) { seen << "ButtonUIC"; });
        connect(hub, &PostMsg::SigFormB, this, [this] { seen << "FormB"; });
        connect(hub, &PostMsg::SigSetver, this, [this](int v) { seen << QStringLiteral("Setver%1").arg(v); });
        connect(hub, &PostMsg::SigMouseOffLineo, this, [this](int v) { seen << QStringLiteral("Offline%1").arg(v); });
    }
};

// The file "settings.bin" of dir with content; empty when it cannot be written.
QString writeFile(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.filePath(QStringLiteral("settings.bin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return QString();
    return path;
}

void setFlags(bool value)
{
    LightUiUpdated = value;
    SensorUiUpdated = value;
    ButtonUiUpdated = value;
}
}  // namespace

class UpDataParamTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        CurrentDeviceInfo.driveIndex = 0;  // Drive1: sensor AX72, 8 stages
    }

    void readSettingsFile_data()
    {
        FlashDataMap good = hidusb::ModelDefaultImage(1);
        good.lightR = 77;
        FlashDataMap tooMany = good;
        tooMany.dpiStageCount = 9;
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        QTest::newRow("accepted") << settingsFile(padded("Durod"), padded("AX72"), imageBytes(good)) << 0;
        QTest::newRow("longer image") << settingsFile(padded("Durod"), padded("AX72"), imageBytes(good) + "extra") << 0;
        QTest::newRow("other tag") << settingsFile(padded("Macro"), padded("AX72"), imageBytes(good)) << 1;
        QTest::newRow("empty file") << QByteArray() << 1;
        QTest::newRow("truncated tag") << QByteArray::fromHex("0000000c4475") << 1;
        QTest::newRow("other sensor") << settingsFile(padded("Durod"), padded("IX90"), imageBytes(good)) << 2;
        QTest::newRow("sensor cut, no zero") << settingsFile(padded("Durod"), padded("AX72LONGNAME"), imageBytes(good)) << 2;
        QTest::newRow("too many stages") << settingsFile(padded("Durod"), padded("AX72"), imageBytes(tooMany)) << 2;
        QTest::newRow("short image") << settingsFile(padded("Durod"), padded("AX72"), imageBytes(good).left(48)) << 1;
        const QByteArray file = settingsFile(padded("Durod"), padded("AX72"), imageBytes(good));
        QTest::newRow("at the cap") << file + QByteArray(int(SettingsFileMaxBytes) - file.size(), '\0') << 0;
        QTest::newRow("past the cap") << file + QByteArray(int(SettingsFileMaxBytes) + 1 - file.size(), '\0') << 1;
    }

    void readSettingsFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        QTemporaryDir dir;
        const QString path = writeFile(dir, content);
        QVERIFY(!path.isEmpty());
        FlashDataMap image{};
        QCOMPARE(UpDataParam::ReadParamFile(path, &image), result);
        if (result == 0)
            QCOMPARE(image.lightR, uchar(77));
        // The parser of the bytes agrees with the file reader.
        QCOMPARE(UpDataParam::ParseParamFile(content, QStringLiteral("AX72"), ModelImageLimits(0), &image), result);
    }

    void ownExportOfALongSensorName_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("result");
        QTest::newRow("the same model") << "SENSOR_THIRTEEN" << 0;
        QTest::newRow("same first 12 bytes") << "SENSOR_THIRTY" << 0;
        QTest::newRow("another model") << "SENSOR_THIRD" << 2;
    }

    void ownExportOfALongSensorName()
    {
        // The export keeps 12 bytes of a longer name and no zero byte.
        QFETCH(QString, model);
        QFETCH(int, result);
        const FlashDataMap image = hidusb::ModelDefaultImage(1);
        FlashDataMap read{};
        QCOMPARE(UpDataParam::ParseParamFile(EncodeSettingsFile(QStringLiteral("SENSOR_THIRTEEN"), image), model,
                                             ImageLimits{}, &read),
                 result);
        QCOMPARE(sameImage(read, image), result == 0);
    }

    void missingFileIsBad()
    {
        FlashDataMap image{};
        QCOMPARE(UpDataParam::ReadParamFile(QStringLiteral("/nonexistent/x.bin"), &image), 1);
    }

    void fifoIsABadFileAtOnce()
    {
        // Nothing writes into it: opening it for reading must not wait.
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("settings.bin"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        FlashDataMap image{};
        QCOMPARE(UpDataParam::ReadParamFile(fifo, &image), 1);
        QCOMPARE(UpDataParam::ReadParamFile(dir.path(), &image), 1);
    }

    void waitMode()
    {
        UpDataParam dialog;
        dialog.pollInterval = 5;
        dialog.settleDelay = 5;
        dialog.waitMode = true;
        dialog.importMode = true;  // wait mode wins
        Order order;
        setFlags(true);
        dialog.onTimeupDestroy();
        QCOMPARE(order.seen, QStringList{"Setver4"});
        QVERIFY(LightUiUpdated && SensorUiUpdated && ButtonUiUpdated);  // left as they are

        order.seen.clear();
        setFlags(false);
        dialog.onTimeupDestroy();
        QCOMPARE(order.seen, (QStringList{"Setver4", "Offline0"}));
    }

    void plainModeOnline()
    {
        UpDataParam dialog;
        dialog.pollInterval = 5;
        Order order;
        OnlineAtEnd = true;
        DeviceOnline = true;
        ImageBelongsToDevice = true;
        DeviceInfoFile = QStringLiteral("Device_CID18_MID05.bin");
        CurrentConfigPath = DeviceInfoFile;
        QFile::remove(DeviceInfoFilePath(DeviceInfoFile));
        {
            QMutexLocker lock(&FlashDataMutex);
            CurrentFlashData = FlashDataMap{};
            CurrentFlashData.lightB = 99;
        }
        // Without the refill: the timeout notice, and no image is kept.
        setFlags(false);
        dialog.onTimeupDestroy();
        QCOMPARE(order.seen, (QStringList{"Setver4", "Offline1"}));
        QVERIFY(!QFileInfo::exists(DeviceInfoFilePath(DeviceInfoFile)));

        // The pages refill while it waits: the flags are consumed. The
        // timer coming again meanwhile does not run the slot inside itself.
        order.seen.clear();
        QObject watch;
        QTimer::singleShot(20, &watch, [&] {
            dialog.onTimeupDestroy();
            setFlags(true);
        });
        dialog.onTimeupDestroy();
        QCOMPARE(order.seen, QStringList{"Setver4"});
        QVERIFY(!LightUiUpdated && !SensorUiUpdated && !ButtonUiUpdated);
        // No cache yet: the device's image is kept for offline use.
        FlashDataMap cached{};
        QVERIFY(ReadDeviceInfoFile(DeviceInfoFile, cached));
        QCOMPARE(cached.lightB, uchar(99));
        OnlineAtEnd = false;
        DeviceOnline = false;
    }

    void plainModeOffline()
    {
        UpDataParam dialog;
        Order order;
        OnlineAtEnd = false;
        DeviceInfoFile = QStringLiteral("Device_CID18_MID06.bin");
        FlashDataMap image{};
        image.debounce = 4;
        QVERIFY(WriteDeviceInfoFile(DeviceInfoFile, image));
        FlashDataMap got{};
        QObject guard;
        connect(PostMsg::GetInstance(), &PostMsg::SigUpDataButtonUIC, &guard, [&](FlashDataMap m) { got = m; });
        dialog.onTimeupDestroy();
        QCOMPARE(order.seen, (QStringList{"Setver4", "LightUIA", "SensorUIB", "ButtonUIC", "FormB", "Offline0"}));
        QCOMPARE(got.debounce, uchar(4));

        // No readable cache: only the notice.
        order.seen.clear();
        DeviceInfoFile = QStringLiteral("Device_CID18_MID07.bin");
        dialog.onTimeupDestroy();
        QCOMPARE(order.seen, (QStringList{"Setver4", "Offline0"}));
    }

    // Imports against the simulated mouse behind the receiver: applied only
    // while it answers and once it took the image.
    void importMode_data()
    {
        QTest::addColumn<QString>("device");  // bench command before the slot runs
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("notice");
        QTest::newRow("applied") << "" << 0 << QStringList{"Setver4", "LightUIA", "SensorUIB", "ButtonUIC", "FormB"}
                                 << QString();
        QTest::newRow("other sensor") << "other sensor" << 2 << QStringList{"Setver4"} << QStringLiteral("InportFail");
        QTest::newRow("device gone") << "offline" << 4 << QStringList{"Setver4", "Offline0"} << QString();
        QTest::newRow("device refuses") << "refuse-writes" << 3 << QStringList{"Setver4"} << QStringLiteral("InportFail");
    }

    void importMode()
    {
        QFETCH(QString, device);
        QFETCH(int, result);
        QFETCH(QStringList, sent);
        QFETCH(QString, notice);
        FlashDataMap factory{};
        QVERIFY(openReceiverLink(&factory));
        QVERIFY(startFromDeviceImage(QStringLiteral("mouse1"), factory));
        FlashDataMap image = factory;
        image.lightG = 55;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings.bin"));
        const QString sensor = device == QLatin1String("other sensor") ? QStringLiteral("IX90") : QStringLiteral("AX72");
        QVERIFY(WriteSettingsFile(path, sensor, image));
        bool ok = true;
        if (device == QLatin1String("offline"))
            bench({QStringLiteral("offline"), QStringLiteral("mouse1")}, &ok);
        else if (device == QLatin1String("refuse-writes"))
            bench({QStringLiteral("fault"), QStringLiteral("mouse1"), device, QStringLiteral("on")}, &ok);
        QVERIFY(ok);
        clearCallsLog();

        UpDataParam dialog;
        dialog.pollInterval = 1;
        dialog.importMode = true;
        dialog.path = path;
        Order order;
        QString shown;
        int resultWhenShown = -1;
        QObject row;  // the watch ends with the row
        QTimer::singleShot(100, &row, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            shown = modal ? QString::fromLatin1(modal->metaObject()->className()) : QString();
            resultWhenShown = LastImportResult;
            if (modal)
                modal->close();
        });
        dialog.onTimeupDestroy();
        QCOMPARE(order.seen, sent);
        QCOMPARE(LastImportResult.load(), result);
        QCOMPARE(shown, notice);
        if (!notice.isEmpty())
            QCOMPARE(resultWhenShown, result);
        QVERIFY(!dialog.importMode);
        // Memory and device hold the file's image only when it was applied.
        const FlashDataMap expected = result == 0 ? image : factory;
        QVERIFY(sameImage(SnapshotFlashData(), expected));
        QVERIFY(sameImage(deviceImage(QStringLiteral("mouse1")), expected));
        QCOMPARE(imageSends(), result == 0 || result == 3 ? 1 : 0);
        UsbServer_Exit();
    }

    void importAtTheBench_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("result");
        QTest::newRow("accepted") << 6 << 3 << 0;
        QTest::newRow("report rate 255") << 0 << 255 << 2;
        QTest::newRow("no stages") << 1 << 0 << 2;
        QTest::newRow("nine stages") << 1 << 9 << 2;
        QTest::newRow("current 6 of 6") << 2 << 6 << 2;
        QTest::newRow("lift-off 255") << 5 << 255 << 2;
        QTest::newRow("debounce 255") << 6 << 255 << 2;
        QTest::newRow("sleep 255") << 8 << 255 << 2;
        QTest::newRow("light mode 255") << 67 << 255 << 2;
        QTest::newRow("key FF FF FF") << -1 << 255 << 2;
    }

    void importAtTheBench()
    {
        // What the device cannot use is refused with the mismatch text and
        // never reaches it; a good file does.
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(int, result);
        FlashDataMap base{};
        QVERIFY(openReceiverLink(&base));
        QVERIFY(startFromDeviceImage(QStringLiteral("mouse1"), base));
        clearCallsLog();
        FlashDataMap image = base;
        if (offset >= 0)
            FlashBytes(image)[offset] = uint8_t(value);
        else
            image.keys[1] = KeyFunction{255, 255, 255};
        QTemporaryDir dir;
        UpDataParam dialog;
        dialog.pollInterval = 1;
        dialog.importMode = true;
        dialog.path = writeFile(dir, settingsFile(padded("Durod"), padded("AX72"), imageBytes(image)));
        QVERIFY(!dialog.path.isEmpty());
        QString notice;
        QTimer closer;  // ends with the test function: a good file shows no notice
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (auto* label = modal->findChild<QLabel*>(QStringLiteral("label")))
                    notice = label->text();
                modal->close();
            }
        });
        closer.start(20);
        dialog.onTimeupDestroy();
        QCOMPARE(LastImportResult.load(), result);
        const bool sent = !callsLog({QStringLiteral("ProtocolDataUpdate")}).isEmpty();
        const FlashDataMap device = deviceImage(QStringLiteral("mouse1"));
        if (result == 0) {
            QVERIFY(sent);
            QCOMPARE(std::memcmp(&device, &image, sizeof image), 0);
        } else {
            QCOMPARE(notice, QStringLiteral("These settings do not match this device"));
            QVERIFY(!sent);
            QCOMPARE(std::memcmp(&device, &base, sizeof base), 0);
            const FlashDataMap memory = SnapshotFlashData();
            QCOMPARE(std::memcmp(&memory, &base, sizeof base), 0);
        }
        UsbServer_Exit();
    }

    void messagesByImport()
    {
        ImportRunning = 0;
        {
            UpDataParam dialog;
            QCOMPARE(dialog.LabelText(), QStringLiteral("Please wait, we are updating the settings"));
        }
        ImportRunning = 1;
        {
            UpDataParam dialog;
            QCOMPARE(dialog.LabelText(), QStringLiteral("Please wait, importing the settings file"));
        }
        ImportRunning = 0;
    }

    void timerClosesTheDialog()
    {
        UpDataParam dialog;
        dialog.pollInterval = 1;
        OnlineAtEnd = false;
        DeviceInfoFile.clear();
        dialog.StartTimer();
        QVERIFY(dialog.Timer()->isSingleShot());
        QCOMPARE(dialog.Timer()->interval(), 2500);
        QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        dialog.exec();  // returns when the slot has closed it
        QCOMPARE(offline.count(), 1);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(UpDataParamTest)
#include "tst_updataparam.moc"
