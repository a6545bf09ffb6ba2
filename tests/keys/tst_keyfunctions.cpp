// Giving keys their functions through the real device writers and the
// simulated device library: what reaches the image and the device, what the
// page's cache and captions show, and the offline path.
#include "DeviceWriters.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "KeyFunctions.h"
#include "KeyRecords.h"
#include "PostMsg.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace keys;

namespace {

// The page as the operations see it: entry texts, captions and the order of
// the menu changes.
class PageView : public ButtonPageView
{
public:
    QMap<int, QString> captions;
    QStringList menu;
    QString EntryText(const QString& objectName) const override { return "<" + objectName + ">"; }
    void SetKeyCaption(int key, const QString& caption) override { captions[key] = caption; }
    void ShowNoSubMenu() override { menu << "page_9"; }
    void ClearOptionChecks() override { menu << "clear"; }
    void ShowFunctionList() override { menu << "page_2"; }
};

QByteArray imageBytes()
{
    const FlashDataMap image = SnapshotFlashData();
    return QByteArray(reinterpret_cast<const char*>(&image), sizeof image);
}

void fillImage(uint8_t value)
{
    QMutexLocker lock(&FlashDataMutex);
    std::memset(&CurrentFlashData, value, sizeof CurrentFlashData);
}

void reportCallback(unsigned char*, int, unsigned char*, unsigned int) {}

// Runs the device bench's control tool (built beside the tests).
QByteArray bench(const QStringList& args)
{
    QProcess tool;
    tool.start(QCoreApplication::applicationDirPath() + "/hidusb-bench", args);
    if (!tool.waitForFinished(20000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        qWarning("hidusb-bench %s: %s", qPrintable(args.join(' ')), tool.readAllStandardError().constData());
        return QByteArray();
    }
    return tool.readAllStandardOutput();
}

// The configuration image the device holds now.
QByteArray deviceImage(const QString& device)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("image.bin");
    bench({"export", device, file});
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QByteArray keyBytes(const QByteArray& image, int key)
{
    return image.mid(int(KeyFunctionOffset(key)), 3) + image.mid(int(KeyEventRecordOffset(key)), 52);
}

}  // namespace

class KeyFunctionsTest : public QObject
{
    Q_OBJECT

    QVector<int> keyType, keyValue1, keyValue2;
    QByteArray m_path;  // HID path of the mouse on its cable
    KeyCache cache() { return KeyCache{keyType, keyValue1, keyValue2}; }

    // Opens a link with the mouse and loads its image, as a full read does.
    void connectMouse()
    {
        QVERIFY(UsbServerC_Start(m_path.constData(), m_path.constData(), &reportCallback));
        SetCurrentDevicePath(m_path);
        const QByteArray image = deviceImage(m_path);
        QCOMPARE(image.size(), int(sizeof(FlashDataMap)));
        QMutexLocker lock(&FlashDataMutex);
        std::memcpy(&CurrentFlashData, image.constData(), sizeof CurrentFlashData);
        ImageBelongsToDevice = true;
    }

private slots:
    void initTestCase()
    {
        // The default bench: a receiver with its mouse and a mouse on its cable.
        const QString list = QString::fromUtf8(bench({"list"}));
        const QRegularExpressionMatch cable =
            QRegularExpression("path=(\\S+) .*role=mouse .*plugged=1").match(list);
        QVERIFY2(cable.hasMatch(), qPrintable(list));
        m_path = cable.captured(1).toUtf8();
        // Of the first model (the default's is of the second): its memory
        // starts from the first model's keys, so the second model's key
        // defaults applied below change it.
        bench({"set", QString::fromUtf8(m_path), "mid=1", "firmware_name=CDM_AX72_MOUSE"});
        QVERIFY(bench({"list"}).contains("path=" + m_path + " vid=7A51 pid=F001 kind=2 role=mouse cid=24 mid=1 "));
    }

    void cleanupTestCase() { UsbServer_Exit(); }
    void init()
    {
        keyType = {1, 1, 1, 1, 1, 2};
        keyValue1 = {1, 2, 4, 8, 16, 1};
        keyValue2 = {0, 0, 0, 0, 0, 0};
    }

    void cacheGrowsAsNeeded()
    {
        SetButtonState(cache(), 2, 5, 0, 0);
        QCOMPARE(keyType, QVector<int>({1, 1, 5, 1, 1, 2}));
        QCOMPARE(keyValue1, QVector<int>({1, 2, 0, 8, 16, 1}));
        QVector<int> t, v1, v2;
        SetButtonState(KeyCache{t, v1, v2}, 3, 4, 50, 2);
        QCOMPARE(t, QVector<int>({0, 0, 0, 4}));
        QCOMPARE(v1, QVector<int>({0, 0, 0, 50}));
        QCOMPARE(v2, QVector<int>({0, 0, 0, 2}));
        // Vectors of different lengths all grow to hold the key.
        t = {1};
        v1.clear();
        v2 = {1, 2, 3, 4, 5, 6, 7};
        SetButtonState(KeyCache{t, v1, v2}, 1, 6, 1, 9);
        QCOMPARE(t, QVector<int>({1, 6}));
        QCOMPARE(v1, QVector<int>({0, 1}));
        QCOMPARE(v2, QVector<int>({1, 9, 3, 4, 5, 6, 7}));
        SetButtonState(KeyCache{t, v1, v2}, -1, 6, 1, 9);
        QCOMPARE(t.size(), 2);
    }

    void lastLeftClick_data()
    {
        QTest::addColumn<QVector<int>>("types");
        QTest::addColumn<QVector<int>>("values");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value1");
        QTest::addColumn<bool>("takes");
        const QVector<int> mouse{1, 1, 1, 1, 1, 2};
        const QVector<int> buttons{1, 2, 4, 8, 16, 1};
        QTest::newRow("only left, disabled") << mouse << buttons << 0 << 0 << 0 << true;
        QTest::newRow("only left, right button") << mouse << buttons << 0 << 1 << 2 << true;
        QTest::newRow("only left, fire key") << mouse << buttons << 0 << 4 << 10 << true;
        QTest::newRow("only left, left again") << mouse << buttons << 0 << 1 << 1 << false;
        QTest::newRow("another key") << mouse << buttons << 1 << 0 << 0 << false;
        // Key 5 holds DPI cycle (type 2, value 1): not a left click.
        QTest::newRow("dpi value 1 is no click") << mouse << buttons << 5 << 0 << 0 << false;
        QTest::newRow("two left keys") << mouse << QVector<int>{1, 2, 1, 8, 16, 1} << 0 << 0 << 0 << false;
        // A key beyond the six buttons counts too.
        QTest::newRow("left on key 7") << QVector<int>{1, 1, 1, 1, 1, 2, 0, 1} << QVector<int>{1, 2, 4, 8, 16, 1, 0, 1}
                                       << 0 << 0 << 0 << false;
        QTest::newRow("no left at all") << mouse << QVector<int>{2, 2, 4, 8, 16, 1} << 0 << 0 << 0 << false;
        QTest::newRow("key outside the cache") << mouse << buttons << 6 << 0 << 0 << false;
        QTest::newRow("empty cache") << QVector<int>{} << QVector<int>{} << 0 << 0 << 0 << false;
    }

    void lastLeftClick()
    {
        QFETCH(QVector<int>, types);
        QFETCH(QVector<int>, values);
        QFETCH(int, key);
        QFETCH(int, type);
        QFETCH(int, value1);
        QFETCH(bool, takes);
        QCOMPARE(TakesLastLeftClick(types, values, key, type, value1), takes);
    }

    // A combination reaches the image and the device: key entry {5, 0, 0}
    // and the record, nothing else; the cache and the caption follow.
    void combinationReachesTheDevice()
    {
        connectMouse();
        const QByteArray before = imageBytes();
        PageView view;
        QVERIFY(SetGroupKey(view, cache(), 3, "Ctrl+Shift+A"));
        QCOMPARE(view.menu, QStringList({"page_9", "clear", "page_2", "page_9"}));
        QCOMPARE(view.captions, (QMap<int, QString>{{3, "Ctrl+Shift+A"}}));
        QCOMPARE(keyType, QVector<int>({1, 1, 1, 5, 1, 2}));
        QCOMPARE(keyValue1, QVector<int>({1, 2, 4, 0, 16, 1}));
        const QByteArray after = imageBytes();
        const QByteArray expected = QByteArray::fromHex("050000" "06000000"
                                                        "000001000A000000" "000002000A000000"
                                                        "000104000A000000" "010104000A000000"
                                                        "010002000A000000" "010001000A000000");
        QCOMPARE(keyBytes(after, 3).toHex(' '), expected.toHex(' '));
        QByteArray rest = after;
        QByteArray restBefore = before;
        for (QByteArray* b : {&rest, &restBefore}) {
            b->replace(int(KeyEventRecordOffset(3)), 52, QByteArray(52, '\0'));
            b->replace(int(KeyFunctionOffset(3)), 3, QByteArray(3, '\0'));
        }
        QCOMPARE(rest, restBefore);
        QCOMPARE(deviceImage(m_path), after);
        QVERIFY(bench({"show", m_path, "keys"}).contains("key 4: 5,0,0"));

        // The model default of the second model's sixth key, on a key that
        // holds something else.
        const QByteArray ctrlC("050000" "04000000" "000001000a000000" "000106000a000000");
        QVERIFY(keyBytes(deviceImage(m_path), 5).left(3 + 4 + 16).toHex() != ctrlC);
        QVERIFY(ApplyKeyParamDefault(view, cache(), 5, {"0x05", "0", "0", "Ctrl+C"}));
        QCOMPARE(view.captions.value(5), QString("Ctrl+C"));
        QCOMPARE(keyBytes(deviceImage(m_path), 5).left(3 + 4 + 16).toHex(), ctrlC);
    }

    void consumerKeyReachesTheDevice()
    {
        connectMouse();
        PageView view;
        QVERIFY(SetMultiMediaKey(view, cache(), 1, 0xCD));
        // The menu stays as it is.
        QVERIFY(view.menu.isEmpty());
        QCOMPARE(view.captions, (QMap<int, QString>{{1, "<StartPause_2>"}}));
        QCOMPARE(keyType[1], 5);
        const QByteArray playPause = QByteArray::fromHex("050000" "02000000" "0002CD000A000000" "0102CD000A000000")
                                     + QByteArray(32, '\0');
        QCOMPARE(keyBytes(imageBytes(), 1).toHex(' '), playPause.toHex(' '));
        QCOMPARE(deviceImage(m_path), imageBytes());
        QVERIFY(bench({"show", m_path, "key-events"}).contains("press consumer 0x00CD 10 ms"));

        QVERIFY(ApplyKeyParamDefault(view, cache(), 4, {"0x05", "0x00", "8A"}));
        QCOMPARE(view.captions.value(4), QString("<VolumeDown_5>"));
        QCOMPARE(keyBytes(deviceImage(m_path), 4).mid(3 + 4 + 2, 2).toHex(), QByteArray("8a01"));
    }

    // Four names never touch the image: around a key in an image filled
    // with 0xAA nothing changes (and a device cannot hold that image: a
    // write of it is refused and undone); three names change the key's
    // entry and record only.
    void combinationStaysInsideItsRecord()
    {
        connectMouse();
        const QByteArray onDevice = deviceImage(m_path);
        fillImage(0xAA);
        QByteArray before = imageBytes();
        PageView view;
        QVERIFY(!SetGroupKey(view, cache(), 2, "A+B+C+D"));
        QCOMPARE(imageBytes(), before);
        QCOMPARE(deviceImage(m_path), onDevice);
        QVERIFY(view.captions.isEmpty());
        QCOMPARE(keyType[2], 1);
        SetGroupKey(view, cache(), 2, "Ctrl+Shift+Num+");
        QCOMPARE(imageBytes(), before);
        QCOMPARE(deviceImage(m_path), onDevice);

        {
            QMutexLocker lock(&FlashDataMutex);
            std::memcpy(&CurrentFlashData, onDevice.constData(), sizeof CurrentFlashData);
        }
        before = imageBytes();
        QVERIFY(SetGroupKey(view, cache(), 2, "Ctrl+Shift+Num+"));
        const QByteArray after = imageBytes();
        QCOMPARE(deviceImage(m_path), after);
        const int entry = int(KeyFunctionOffset(2));
        const int record = int(KeyEventRecordOffset(2));
        QCOMPARE(after.left(entry), before.left(entry));
        QCOMPARE(after.mid(entry, 3), QByteArray::fromHex("050000"));
        QCOMPARE(after.mid(entry + 3, record - entry - 3), before.mid(entry + 3, record - entry - 3));
        QCOMPARE(after.mid(record, 4), QByteArray::fromHex("06000000"));
        QCOMPARE(after.mid(record + 52), before.mid(record + 52));
    }

    void offlineDeviceKeepsItsKeys()
    {
        connectMouse();
        const QByteArray onDevice = deviceImage(m_path);
        const QByteArray before = imageBytes();
        QVERIFY(!bench({"offline", m_path}).isNull());
        QSignalSpy offline(PostMsg::GetInstance(), SIGNAL(SigMouseOffLineo(int)));
        PageView view;
        QVERIFY(!SetGroupKey(view, cache(), 0, "Alt+F4"));
        QVERIFY(!SetMultiMediaKey(view, cache(), 0, 0xE9));
        QCOMPARE(offline.count(), 2);
        QVERIFY(view.captions.isEmpty());
        QCOMPARE(keyType[0], 1);
        QCOMPARE(imageBytes(), before);
        QCOMPARE(view.menu, QStringList({"page_9", "clear", "page_2", "page_9"}));
        bench({"online", m_path});
        QCOMPARE(deviceImage(m_path), onDevice);
    }

    // Offline: nothing is stored, the writer raises the offline notice, the
    // cache and the captions stay, and the menu still ends on the function
    // list without a sub-menu.
    void offlineChangesNothing()
    {
        SetCurrentDevicePath("no-such-device");
        ImageBelongsToDevice = true;
        fillImage(0xAA);
        const QByteArray before = imageBytes();
        QSignalSpy offline(PostMsg::GetInstance(), SIGNAL(SigMouseOffLineo(int)));
        PageView view;

        QVERIFY(!SetGroupKey(view, cache(), 1, "Ctrl+C"));
        QCOMPARE(view.menu, QStringList({"page_9", "clear", "page_2", "page_9"}));
        QVERIFY(view.captions.isEmpty());
        QCOMPARE(keyType[1], 1);
        QCOMPARE(offline.count(), 1);
        QCOMPARE(offline.at(0).at(0).toInt(), 0);

        view.menu.clear();
        QVERIFY(!SetMultiMediaKey(view, cache(), 2, 0xCD));
        QVERIFY(view.menu.isEmpty());
        QVERIFY(view.captions.isEmpty());
        QCOMPARE(keyType[2], 1);
        QCOMPARE(offline.count(), 2);
        QCOMPARE(imageBytes(), before);

        // While a page is being filled the writer stays silent.
        ButtonUiLoading = true;
        QVERIFY(!SetMultiMediaKey(view, cache(), 2, 0xCD));
        ButtonUiLoading = false;
        QCOMPARE(offline.count(), 2);
    }

    // What is refused never reaches a writer: no send, so not even the
    // offline notice.
    void refusedInputSendsNothing()
    {
        SetCurrentDevicePath("no-such-device");
        QSignalSpy offline(PostMsg::GetInstance(), SIGNAL(SigMouseOffLineo(int)));
        PageView view;
        QVERIFY(!SetGroupKey(view, cache(), 0, "A+B+C+D"));
        QCOMPARE(view.menu, QStringList({"page_9", "clear", "page_2", "page_9"}));
        QVERIFY(!SetGroupKey(view, cache(), 6, "A"));
        QVERIFY(!SetGroupKey(view, cache(), -1, "A"));
        QVERIFY(!SetMultiMediaKey(view, cache(), 0, 0x183));
        QVERIFY(!SetMultiMediaKey(view, cache(), 0, 0x01));
        QVERIFY(!SetMultiMediaKey(view, cache(), 6, 0xCD));
        QVERIFY(!ApplyKeyParamDefault(view, cache(), 0, {"0x01", "0x01", "0x00"}));
        QVERIFY(!ApplyKeyParamDefault(view, cache(), 0, {"0x05", "0", "0", "A+B+C+D"}));
        QCOMPARE(offline.count(), 0);
        QVERIFY(view.captions.isEmpty());
        QCOMPARE(keyType, QVector<int>({1, 1, 1, 1, 1, 2}));
    }
};

QTEST_MAIN(KeyFunctionsTest)
#include "tst_keyfunctions.moc"
