// The button page's function menu against the simulated device: the key
// captions of a device's image, every entry's function reaching the device,
// the DPI-lock entries and their step indexes, the combination and fire-key
// dialogs, the defaults a key gets back when its macro is deleted, and the
// notices of the last left click and of a missing macro.
#include "ButtonPageFixture.h"

#include "Buttoninterface.h"
#include "DeviceCache.h"
#include "FireKey.h"
#include "GroupKey.h"
#include "HIDUsb.h"
#include "KeyRecords.h"
#include "LeftButtonOnly.h"
#include "MacroName.h"
#include "MacroSettings.h"
#include "MakeMacro.h"
#include "UserFixture.h"
#include "ui_Buttoninterface.h"

#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

#include <cstring>
#include <memory>

using namespace linktest;
using namespace buttontest;

namespace {

KeyEvent ev(int state, int kind, int code)
{
    return KeyEvent{uint8_t(state), uint8_t(kind), uint16_t(code), 10};
}

KeyEventRecord record(std::initializer_list<KeyEvent> events)
{
    KeyEventRecord r{};
    int i = 0;
    for (const KeyEvent& e : events)
        r.events[i++] = e;
    r.count = uint8_t(i);
    return r;
}

bool sameRecord(const KeyEventRecord& a, const KeyEventRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

class ButtonFunctionsTest : public QObject, public buttontest::PageOnBench
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_base));
        QCOMPARE(m_base.dpiStageCount, uint8_t(6));  // the bench's factory image
    }

    void cleanupTestCase() { UsbServer_Exit(); }

    void cleanup() { EndModalWatches(); }

    void init() { startCase(); }

    void captionsOfADeviceImage()
    {
        FlashDataMap image = mouseImage();
        image.keys[1] = {10, 16, 0};  // DPI lock, AX72 step 16 = 800 DPI
        image.keys[2] = {5, 0, 0};
        image.keyEvents[2] = record({ev(0, 0, 1), ev(0, 0, 2), ev(0, 1, 4), ev(1, 1, 4), ev(1, 0, 2), ev(1, 0, 1)});
        image.keys[3] = {8, 3, 0};
        image.keys[4] = {5, 0, 0};
        image.keyEvents[4] = record({ev(0, 2, 0x00CD), ev(1, 2, 0x00CD)});
        image.keys[5] = {6, 5, 3};
        setMacroName(image, 5, "m1");
        QVERIFY(storeDeviceImage(Mouse, image));
        const FlashDataMap fromDevice = deviceImage(Mouse);
        QVERIFY(sameImage(fromDevice, image));

        auto page = makePage(fromDevice);
        QCOMPARE(page->KeyButton(0)->text(), QStringLiteral("Left button"));
        QCOMPARE(page->KeyButton(1)->text(), QStringLiteral("DPI lock-800"));
        QCOMPARE(page->KeyButton(2)->text(), QStringLiteral("Ctrl+Shift+A"));
        QCOMPARE(page->KeyButton(3)->text(), QStringLiteral("Light strip on/off"));
        QCOMPARE(page->KeyButton(4)->text(), QStringLiteral("Play/Pause"));
        QCOMPARE(page->KeyButton(5)->text(), QStringLiteral("Macro: m1"));
        QCOMPARE(page->Form()->TopMusic->text(), QStringLiteral("Light strip on/off"));  // key 3
        QCOMPARE(page->Form()->StartPause->text(), QStringLiteral("Play/Pause"));        // key 4
        QFile macroFile(keys::MacroFolder() + QStringLiteral("/m1.ini"));
        QVERIFY(macroFile.open(QIODevice::ReadOnly));
        QVERIFY(macroFile.readAll().startsWith("3\n"));
        QCOMPARE(page->keyType, (QVector<int>{1, 10, 5, 8, 5, 6}));
        QCOMPARE(page->keyValue1, (QVector<int>{1, 16, 0, 3, 0, 5}));

        // An assignment through the menu counts as shown as well.
        testsupport::SetImage(fromDevice);
        QTest::mouseClick(page->Form()->StartPause, Qt::LeftButton);  // key 4
        QTest::mouseClick(tool(*page, "DPI_12"), Qt::LeftButton);
        QTest::mouseClick(tool(*page, "VolumeDown_4"), Qt::LeftButton);
        QCOMPARE(page->KeyButton(4)->text(), QStringLiteral("Volume down"));
        QCOMPARE(imageSends(), 1);

        // A language change shows the same functions in the new words, from
        // what the page shows: offline, with no cached image of the device
        // and nothing in memory.
        bench({QStringLiteral("offline"), Mouse});
        testsupport::SetImage(FlashDataMap{});
        QVERIFY(DeviceInfoFile.isEmpty());
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(page->KeyButton(0)->text(), QStringLiteral("左键"));
        QCOMPARE(page->KeyButton(1)->text(), QStringLiteral("DPI锁定-800"));
        QCOMPARE(page->KeyButton(3)->text(), QStringLiteral("开/关灯带"));
        QCOMPARE(page->KeyButton(4)->text(), QStringLiteral("音量减"));
        QCOMPARE(page->KeyButton(5)->text(), QStringLiteral("宏：m1"));
        QCOMPARE(page->keyType, (QVector<int>{1, 10, 5, 8, 5, 6}));
        QCOMPARE(tool(*page, "DPI_12")->text(), QStringLiteral("多媒体功能"));
        QCOMPARE(tool(*page, "VolumeUp_9")->text(), QStringLiteral("DPI+"));  // the same in every language
        QCOMPARE(tool(*page, "DPI_12")->font().pointSize(), 9);
        PostMsg::GetInstance()->PostChangeLanguage(4);
        QCOMPARE(page->KeyButton(0)->text(), QStringLiteral("Левая кнопка"));
        QCOMPARE(tool(*page, "DPI_12")->font().pointSize(), 7);

        PostMsg::GetInstance()->PostChangeLanguage(0);
        QCOMPARE(page->KeyButton(1)->text(), QStringLiteral("DPI lock-800"));
        QCOMPARE(page->KeyButton(4)->text(), QStringLiteral("Volume down"));
        QCOMPARE(imageSends(), 1);  // captions never write to the device
    }

    void everyEntryReachesTheDevice_data()
    {
        QTest::addColumn<QString>("opener");  // main-list entry showing the sub-menu, or empty
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("usage");  // consumer usage of a type-5 entry
        const struct {
            const char* opener;
            const char* entry;
            int type, value1, usage;
        } rows[] = {
            {"", "LeftKey_3", 1, 1, 0},   {"", "RightKey_3", 1, 2, 0},  {"", "MidKey", 1, 4, 0},
            {"", "BackKey_2", 1, 8, 0},   {"", "ForWardKey", 1, 16, 0}, {"", "DPI_2", 7, 0, 0},
            {"", "DPI_3", 9, 0, 0},       {"", "DPI_5", 0, 0, 0},
            {"DPI_12", "Player", 5, 0, 0x0183},        {"DPI_12", "StartPause_2", 5, 0, 0x00CD},
            {"DPI_12", "BackMusic_2", 5, 0, 0x00B5},   {"DPI_12", "TopMusic_2", 5, 0, 0x00B6},
            {"DPI_12", "Mute", 5, 0, 0x00B7},          {"DPI_12", "VolumeUp", 5, 0, 0x00E2},
            {"DPI_12", "VolumeDown", 5, 0, 0x00E9},    {"DPI_12", "VolumeDown_4", 5, 0, 0x00EA},
            {"DPI_12", "VolumeDown_5", 5, 0, 0x018A},  {"DPI_12", "VolumeDown_6", 5, 0, 0x0192},
            {"DPI_12", "VolumeDown_3", 5, 0, 0x0194},  {"DPI_12", "VolumeDown_8", 5, 0, 0x0223},
            {"DPI_12", "VolumeDown_9", 5, 0, 0x0221},  {"DPI_12", "VolumeDown_7", 5, 0, 0x0225},
            {"DPI_12", "VolumeDown_10", 5, 0, 0x0224}, {"DPI_12", "VolumeDown_12", 5, 0, 0x0226},
            {"DPI_12", "VolumeDown_13", 5, 0, 0x0227}, {"DPI_12", "VolumeDown_11", 5, 0, 0x022A},
            {"DPI_11", "VolumeUp_2", 3, 1, 0},  {"DPI_11", "VolumeDown_2", 3, 2, 0},
            {"DPI_9", "VolumeUp_4", 8, 0, 0},   {"DPI_9", "VolumeUp_5", 8, 1, 0},
            {"DPI_9", "VolumeUp_6", 8, 3, 0},   {"DPI_9", "VolumeUp_7", 8, 4, 0},
            {"DPI_7", "VolumeUp_8", 2, 1, 0},   {"DPI_7", "VolumeUp_9", 2, 2, 0},
            {"DPI_7", "VolumeUp_10", 2, 3, 0},
            {"DPI_13", "VolumeUp_14", 11, 1, 0}, {"DPI_13", "VolumeDown_14", 11, 2, 0},
        };
        for (const auto& r : rows)
            QTest::newRow(r.entry) << QString::fromLatin1(r.opener) << QString::fromLatin1(r.entry) << r.type
                                   << r.value1 << r.usage;
    }

    void everyEntryReachesTheDevice()
    {
        QFETCH(QString, opener);
        QFETCH(QString, entry);
        QFETCH(int, type);
        QFETCH(int, value1);
        QFETCH(int, usage);
        FlashDataMap start = mouseImage();
        start.keyEvents[1] = record({ev(0, 1, 0x1E), ev(1, 1, 0x1E)});  // an old record of key 1
        useImage(start);
        auto page = makePage(start);

        // The key of the second row (RightKey, key 1) opens its menu.
        QTest::mouseClick(page->Form()->RightKey, Qt::LeftButton);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page_2);
        QVERIFY(tool(*page, "RightKey_3")->isChecked());
        // The lights sub-menu is hidden in the main list; a program shows it.
        if (opener == QLatin1String("DPI_9"))
            tool(*page, opener)->click();
        else if (!opener.isEmpty())
            QTest::mouseClick(tool(*page, opener), Qt::LeftButton);
        QToolButton* button = tool(*page, entry);
        QVERIFY(button);
        QVERIFY(button->isVisible() || entry == QLatin1String("DPI_3"));
        const QString text = button->text();
        // The profile switch is hidden: only a program can click it.
        if (button->isVisible())
            QTest::mouseClick(button, Qt::LeftButton);
        else
            button->click();

        FlashDataMap expected = start;
        expected.keys[1] = KeyFunction{uint8_t(type), uint8_t(value1), 0};
        if (usage)
            expected.keyEvents[1] = keys::ConsumerRecord(usage);
        const FlashDataMap stored = deviceImage(Mouse);
        QVERIFY(sameImage(stored, expected));
        QCOMPARE(imageSends(), 1);
        QCOMPARE(page->KeyButton(1)->text(), text);
        QCOMPARE(page->keyType.at(1), type);
        QCOMPARE(page->keyValue1.at(1), value1);
        // The menu closed on the key; the other keys kept their functions.
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_9);
        QCOMPARE(page->Form()->scrollArea_11->verticalScrollBar()->styleSheet(), QStringLiteral("QScrollBar {width:10px;}"));
        QVERIFY(page->Form()->RightKey->isChecked());
        QCOMPARE(page->KeyButton(0)->text(), QStringLiteral("Left button"));
    }

    void anOfflineEntryChangesNothing()
    {
        auto page = makePage(mouseImage());
        QTest::mouseClick(page->Form()->BackKey, Qt::LeftButton);
        bench({QStringLiteral("offline"), Mouse});
        QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        QTest::mouseClick(tool(*page, "DPI_5"), Qt::LeftButton);
        QCOMPARE(offline.count(), 1);
        QCOMPARE(imageSends(), 0);
        QCOMPARE(page->KeyButton(2)->text(), QStringLiteral("Middle button"));
        QCOMPARE(page->keyType.at(2), 1);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);
    }

    void dpiLockEntries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("dpi");
        const char* names[] = {"VolumeUp_11", "VolumeUp_12", "VolumeUp_13", "VolumeUp_16", "VolumeUp_15", "VolumeUp_19",
                               "VolumeUp_20", "VolumeUp_22", "VolumeUp_18", "VolumeUp_24", "VolumeUp_23", "VolumeUp_21"};
        for (int i = 0; i < 12; ++i)
            QTest::newRow(names[i]) << QString::fromLatin1(names[i]) << 100 * (i + 1);
    }

    void dpiLockEntries()
    {
        QFETCH(QString, entry);
        QFETCH(int, dpi);
        auto page = makePage(mouseImage());
        QCOMPARE(page->sensorName, QStringLiteral("AX72"));
        QTest::mouseClick(page->Form()->StartPause, Qt::LeftButton);  // key 4
        QTest::mouseClick(tool(*page, "DPI_4"), Qt::LeftButton);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_8);
        QTest::mouseClick(tool(*page, entry), Qt::LeftButton);
        // The installed table of the AX72 has one step per 50 DPI.
        const int index = dpi / 50;
        const KeyFunction sent = deviceImage(Mouse).keys[4];
        QCOMPARE(int(sent.type), 10);
        QCOMPARE(int(sent.value1), index);
        QCOMPARE(int(sent.value2), 0);
        QCOMPARE(page->KeyButton(4)->text(), QStringLiteral("DPI lock-%1").arg(dpi));
        QCOMPARE(page->keyValue1.at(4), index);

        // Opening the key again marks the same entry, through the step's DPI.
        QTest::mouseClick(page->Form()->StartPause, Qt::LeftButton);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_8);
        QVERIFY(tool(*page, "DPI_4")->isChecked());
        QVERIFY(tool(*page, entry)->isChecked());

        // A sensor without definitions counts steps from 100 DPI = 1.
        page->sensorName = QStringLiteral("NoTable");
        QTest::mouseClick(tool(*page, entry), Qt::LeftButton);
        QCOMPARE(int(deviceImage(Mouse).keys[4].value1), dpi / 50 - 1);
    }

    void aDpiTheSensorCannotLockSendsNothing()
    {
        auto page = makePage(mouseImage());
        // A table that knows 800 DPI only.
        page->sensorDefines = ParseSensorDefines("#define SENSOR_AX72_DPI_800\t0x10\n");
        QTest::mouseClick(page->Form()->BackMusic, Qt::LeftButton);
        QTest::mouseClick(tool(*page, "DPI_4"), Qt::LeftButton);
        QTest::mouseClick(tool(*page, "VolumeUp_11"), Qt::LeftButton);  // 100
        QCOMPARE(imageSends(), 0);
        QCOMPARE(deviceImage(Mouse).keys[5].type, uint8_t(2));
        QCOMPARE(page->KeyButton(5)->text(), QStringLiteral("DPI cycle"));
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);
        QTest::mouseClick(page->Form()->BackMusic, Qt::LeftButton);
        QTest::mouseClick(tool(*page, "DPI_4"), Qt::LeftButton);
        QTest::mouseClick(tool(*page, "VolumeUp_22"), Qt::LeftButton);  // 800
        QCOMPARE(imageSends(), 1);
        QCOMPARE(int(deviceImage(Mouse).keys[5].value1), 0x10);
    }

    void combinationEntry()
    {
        FlashDataMap start = mouseImage();
        start.keyEvents[2] = record({ev(0, 2, 0xE9), ev(1, 2, 0xE9)});
        useImage(start);
        auto page = makePage(start);
        QTest::mouseClick(page->Form()->BackKey, Qt::LeftButton);  // key 2

        // Cancel changes nothing.
        bool seen = false;
        whenModal<GroupKey>([](GroupKey* d) { QTest::mouseClick(d->findChild<QToolButton*>("NewHong_2"), Qt::LeftButton); },
                            &seen);
        QTest::mouseClick(tool(*page, "DPI_8"), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(imageSends(), 0);
        QCOMPARE(page->KeyButton(2)->text(), QStringLiteral("Middle button"));

        // Ctrl ticked, A captured: Ctrl+A.
        seen = false;
        whenModal<GroupKey>(
            [](GroupKey* d) {
                d->SetClock([] { return qint64(1000); });
                d->UpdateCapslockTip(65, true, false);  // A
                d->findChild<QCheckBox*>("Ctrl")->setChecked(true);
                QTest::mouseClick(d->findChild<QToolButton*>("NewHong"), Qt::LeftButton);
            },
            &seen);
        QTest::mouseClick(tool(*page, "DPI_8"), Qt::LeftButton);
        QVERIFY(seen);
        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(stored.keys[2].type, uint8_t(5));
        QCOMPARE(stored.keys[2].value1, uint8_t(0));
        QCOMPARE(stored.keys[2].value2, uint8_t(0));
        QVERIFY(sameRecord(stored.keyEvents[2], record({ev(0, 0, 1), ev(0, 1, 4), ev(1, 1, 4), ev(1, 0, 1)})));
        QVERIFY(sameRecord(stored.keyEvents[1], start.keyEvents[1]));
        QCOMPARE(imageSends(), 1);
        QCOMPARE(page->KeyButton(2)->text(), QStringLiteral("Ctrl+A"));
        QCOMPARE(page->keyType.at(2), 5);
        // The menu stays open on the main list for the same key.
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page_2);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_9);
        QVERIFY(page->Form()->BackKey->isChecked());

        // The caption of the stored record after a fill reads the same.
        page->SlotUpDataButtonUIB(stored);
        QCOMPARE(page->KeyButton(2)->text(), QStringLiteral("Ctrl+A"));
        // Opening the key again marks the combination entry.
        QTest::mouseClick(page->Form()->BackKey, Qt::LeftButton);
        QVERIFY(tool(*page, "DPI_8")->isChecked());
    }

    void fireKeyEntry()
    {
        auto page = makePage(mouseImage());
        QTest::mouseClick(page->Form()->TopMusic, Qt::LeftButton);  // key 3

        // The fire-key entry's dialog: the values it opens at are noted; with
        // `set` it takes time and count; it is left by the button `leave`.
        int presetTime = 0, presetCount = 0;
        const auto fireDialog = [&](const char* leave, int time, int count, bool set) {
            bool seen = false;
            whenModal<FireKey>(
                [&, leave, time, count, set](FireKey* d) {
                    presetTime = d->findChild<QSpinBox*>("Time")->value();
                    presetCount = d->findChild<QSpinBox*>("Count")->value();
                    if (set) {
                        d->findChild<QSpinBox*>("Time")->setValue(time);
                        d->findChild<QSpinBox*>("Count")->setValue(count);
                    }
                    QTest::mouseClick(d->findChild<QToolButton*>(leave), Qt::LeftButton);
                },
                &seen);
            QTest::mouseClick(tool(*page, "DPI_6"), Qt::LeftButton);
            return seen;
        };
        QVERIFY(fireDialog("NewHong", 50, 0, true));
        QCOMPARE(presetTime, 10);
        QCOMPARE(presetCount, 3);
        const KeyFunction fire = deviceImage(Mouse).keys[3];
        QCOMPARE(int(fire.type), 4);
        QCOMPARE(int(fire.value1), 50);
        QCOMPARE(int(fire.value2), 0);
        QCOMPARE(page->KeyButton(3)->text(), QStringLiteral("Fire key"));
        QCOMPARE(page->keyValue1.at(3), 50);
        QCOMPARE(page->keyValue2.at(3), 0);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);

        // A fire key opens the dialog at its own values; Cancel keeps them.
        QTest::mouseClick(page->Form()->TopMusic, Qt::LeftButton);
        QVERIFY(tool(*page, "DPI_6")->isChecked());
        QVERIFY(fireDialog("NewHong_2", 0, 0, false));
        QCOMPARE(presetTime, 50);
        QCOMPARE(presetCount, 0);
        QCOMPARE(imageSends(), 1);

        // Another key starts from 10 and 3 again.
        QTest::mouseClick(page->Form()->BackMusic, Qt::LeftButton);
        QVERIFY(fireDialog("CloseButton", 0, 0, false));
        QCOMPARE(presetTime, 10);
        QCOMPARE(presetCount, 3);
        QCOMPARE(imageSends(), 1);
    }

    void deletedMacroGivesTheMouseDefaults()
    {
        // Drive1 defines no event-record defaults: each key gets its mouse
        // function back, whatever its caption said before.
        FlashDataMap start = mouseImage();
        for (int k : {1, 3}) {
            start.keys[k] = {6, uint8_t(k), 1};
            setMacroName(start, k, "m1");
            start.keyEvents[k] = record({ev(0, 1, 4), ev(1, 1, 4)});
        }
        start.keys[5] = {6, 5, 1};
        setMacroName(start, 5, "m2");
        useImage(start);
        auto page = makePage(start);
        QCOMPARE(page->KeyButton(1)->text(), QStringLiteral("Macro: m1"));
        QCOMPARE(page->KeyButton(3)->text(), QStringLiteral("Macro: m1"));

        PostMsg::GetInstance()->PostDeleteMacroButton(QStringLiteral("Macro: m1"));
        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(int(stored.keys[1].type), 1);
        QCOMPARE(int(stored.keys[1].value1), 2);
        QCOMPARE(int(stored.keys[3].type), 1);
        QCOMPARE(int(stored.keys[3].value1), 8);
        QVERIFY(sameRecord(stored.keyEvents[1], KeyEventRecord{}));
        QVERIFY(sameRecord(stored.keyEvents[3], KeyEventRecord{}));
        QCOMPARE(int(stored.keys[5].type), 6);  // another macro stays
        QCOMPARE(page->KeyButton(1)->text(), QStringLiteral("Right button"));
        QCOMPARE(page->KeyButton(3)->text(), QStringLiteral("Back button"));
        QCOMPARE(page->keyType.at(3), 1);
        QCOMPARE(page->keyValue1.at(3), 8);
        QCOMPARE(imageSends(), 3);  // one per key, then the image once more
        for (int k = 0; k < 6; ++k)
            QVERIFY(!page->KeyButton(k)->isChecked());
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);

        // A caption no key shows still sends the image once.
        clearCallsLog();
        PostMsg::GetInstance()->PostDeleteMacroButton(QStringLiteral("m2"));
        QCOMPARE(imageSends(), 1);
        QCOMPARE(int(deviceImage(Mouse).keys[5].type), 6);
    }

    void deletedMacroGivesTheModelDefaults()
    {
        // Drive2: key 4 defaults to the play/pause consumer key, key 5 to
        // Ctrl+C, the others to their mouse buttons.
        CurrentDeviceInfo.driveIndex = 1;
        FlashDataMap start = mouseImage();
        for (int k : {0, 4, 5}) {
            start.keys[k] = {6, uint8_t(k), 2};
            setMacroName(start, k, "gone");
            start.keyEvents[k] = record({ev(0, 1, 5), ev(1, 1, 5)});
        }
        useImage(start);
        auto page = makePage(start);
        QCOMPARE(page->sensorName, QStringLiteral("IX90"));
        page->KeyButton(1)->setText(QStringLiteral("Left button"));  // a second left click: no refusal anywhere

        PostMsg::GetInstance()->PostDeleteMacroButton(QStringLiteral("Macro: gone"));
        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(int(stored.keys[0].type), 1);
        QCOMPARE(int(stored.keys[0].value1), 1);
        QVERIFY(sameRecord(stored.keyEvents[0], KeyEventRecord{}));
        QCOMPARE(int(stored.keys[4].type), 5);
        QVERIFY(sameRecord(stored.keyEvents[4], record({ev(0, 2, 0x00CD), ev(1, 2, 0x00CD)})));
        QCOMPARE(int(stored.keys[5].type), 5);
        QVERIFY(sameRecord(stored.keyEvents[5], record({ev(0, 0, 1), ev(0, 1, 0x06), ev(1, 1, 0x06), ev(1, 0, 1)})));
        QCOMPARE(page->KeyButton(0)->text(), QStringLiteral("Left button"));
        QCOMPARE(page->KeyButton(4)->text(), QStringLiteral("Play/Pause"));
        QCOMPARE(page->KeyButton(5)->text(), QStringLiteral("Ctrl+C"));
        QCOMPARE(page->keyType, (QVector<int>{1, 1, 1, 1, 5, 5}));
        QCOMPARE(imageSends(), 4);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_9);
        for (int k = 0; k < 6; ++k)
            QVERIFY(!page->KeyButton(k)->isChecked());
    }

    // The mouse keeps a left click whatever path would take the last one
    // away; the check is made when the function is given, from the cache.
    void theLastLeftClickStays_data()
    {
        QTest::addColumn<QString>("opener");  // key button that opens the menu
        QTest::addColumn<QString>("number");  // number button pressed then, or empty
        QTest::addColumn<QString>("subMenu");  // main-list entry showing a sub-menu, or empty
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("twoLeftKeys");
        QTest::addColumn<bool>("refused");
        QTest::newRow("entry") << "FireKey" << "" << "" << "DPI_5" << false << true;
        QTest::newRow("multimedia") << "FireKey" << "" << "DPI_12" << "VolumeDown_4" << false << true;
        QTest::newRow("number shortcut") << "RightKey" << "Number1" << "" << "DPI_5" << false << true;
        QTest::newRow("fire key") << "FireKey" << "" << "" << "DPI_6" << false << true;
        QTest::newRow("combination") << "FireKey" << "" << "" << "DPI_8" << false << true;
        QTest::newRow("left again") << "FireKey" << "" << "" << "LeftKey_3" << false << false;
        QTest::newRow("two left keys") << "FireKey" << "" << "" << "DPI_5" << true << false;
    }

    void theLastLeftClickStays()
    {
        QFETCH(QString, opener);
        QFETCH(QString, number);
        QFETCH(QString, subMenu);
        QFETCH(QString, entry);
        QFETCH(bool, twoLeftKeys);
        QFETCH(bool, refused);
        FlashDataMap start = mouseImage();
        if (twoLeftKeys)
            start.keys[2] = {1, 1, 0};
        useImage(start);
        auto page = makePage(start);

        // The menu opens for the last left click as for any key.
        QTest::mouseClick(tool(*page, opener), Qt::LeftButton);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page_2);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        if (!number.isEmpty())
            QTest::mouseClick(tool(*page, number), Qt::LeftButton);
        QVERIFY(page->Form()->FireKey->isChecked());
        if (!subMenu.isEmpty())
            QTest::mouseClick(tool(*page, subMenu), Qt::LeftButton);

        // Whatever dialog comes up is noted and closed.
        QString shown;
        bool seen = false;
        whenModal<QDialog>(
            [&](QDialog* d) {
                shown = QLatin1String(d->metaObject()->className());
                d->close();
            },
            &seen);
        QTest::mouseClick(tool(*page, entry), Qt::LeftButton);
        if (!refused) {
            QVERIFY(!seen);
            QCOMPARE(imageSends(), 1);
            return;
        }
        QVERIFY(seen);
        QCOMPARE(shown, QStringLiteral("LeftButtonOnly"));
        QCOMPARE(imageSends(), 0);
        const FlashDataMap stored = deviceImage(Mouse);
        QVERIFY(sameImage(stored, start));
        QCOMPARE(page->KeyButton(0)->text(), QStringLiteral("Left button"));
        QCOMPARE(page->keyType.at(0), 1);
        QCOMPARE(page->keyValue1.at(0), 1);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_9);
        for (int k = 0; k < 6; ++k)
            QVERIFY(!page->KeyButton(k)->isChecked());
    }

    void theNumberButtonsCheckTheirKey()
    {
        auto page = makePage(mouseImage());
        const char* keysInOrder[] = {"FireKey", "RightKey", "BackKey", "StartPause", "TopMusic", "BackMusic"};
        for (int n = 1; n <= 6; ++n) {
            QTest::mouseClick(tool(*page, QStringLiteral("Number%1").arg(n)), Qt::LeftButton);
            QVERIFY2(tool(*page, QLatin1String(keysInOrder[n - 1]))->isChecked(), keysInOrder[n - 1]);
            for (int k = 0; k < 6; ++k)
                QCOMPARE(page->KeyButton(k)->isChecked(), page->KeyButton(k) == tool(*page, QLatin1String(keysInOrder[n - 1])));
        }
        // The menu neither opens nor changes; nothing is written.
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);
        QCOMPARE(imageSends(), 0);
    }

    void openingScrollsTheMultimediaList_data()
    {
        QTest::addColumn<QString>("keyButton");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("usage");
        QTest::addColumn<int>("pixels");
        // Browser forward and back trade rows for the second key only.
        QTest::newRow("forward, BackKey") << "BackKey" << 2 << 0x0225 << 210;
        QTest::newRow("forward, RightKey") << "RightKey" << 1 << 0x0225 << 195;
        QTest::newRow("back, RightKey") << "RightKey" << 1 << 0x0224 << 210;
        QTest::newRow("volume down") << "BackKey" << 2 << 0x00EA << 105;
    }

    void openingScrollsTheMultimediaList()
    {
        QFETCH(QString, keyButton);
        QFETCH(int, key);
        QFETCH(int, usage);
        QFETCH(int, pixels);
        FlashDataMap start = mouseImage();
        start.keys[key] = {5, 0, 0};
        start.keyEvents[key] = keys::ConsumerRecord(usage);
        useImage(start);
        auto page = makePage(start);
        QTest::mouseClick(tool(*page, keyButton), Qt::LeftButton);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_3);
        QCOMPARE(page->Form()->scrollArea_3->verticalScrollBar()->value(), pixels);
    }

    void theFireKeyOfflineClosesTheMenu()
    {
        auto page = makePage(mouseImage());
        QTest::mouseClick(page->Form()->BackKey, Qt::LeftButton);
        QCOMPARE(page->Form()->scrollArea_11->verticalScrollBar()->styleSheet(), QStringLiteral("QScrollBar {width:0px;}"));
        bench({QStringLiteral("offline"), Mouse});
        QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        bool seen = false;
        whenModal<QDialog>([](QDialog* d) { d->close(); }, &seen);
        QTest::mouseClick(tool(*page, "DPI_6"), Qt::LeftButton);
        QVERIFY(!seen);
        QCOMPARE(offline.count(), 0);
        QCOMPARE(imageSends(), 0);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_9);
        QVERIFY(page->Form()->BackKey->isChecked());
        QCOMPARE(page->Form()->scrollArea_11->verticalScrollBar()->styleSheet(), QStringLiteral("QScrollBar {width:0px;}"));
    }

    // A press on the page itself (not on a button) with the menu open.
    void aPressOutsideTheMenuClosesIt_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("staysOpen");
        QTest::newRow("mouse picture") << "widget" << int(Qt::LeftButton) << false;
        QTest::newRow("mouse picture, right button") << "widget" << int(Qt::RightButton) << true;
        // The bottom of the menu lies far below the menu's own geometry in
        // its parent: only page coordinates find it.
        QTest::newRow("menu bottom") << "stackedWidget" << int(Qt::LeftButton) << true;
        QTest::newRow("key list") << "scrollArea_11" << int(Qt::LeftButton) << true;
    }

    void aPressOutsideTheMenuClosesIt()
    {
        QFETCH(QString, where);
        QFETCH(int, button);
        QFETCH(bool, staysOpen);
        auto page = makePage(mouseImage());
        QTest::mouseClick(page->Form()->RightKey, Qt::LeftButton);
        QCOMPARE(page->Form()->stackedWidget->currentWidget(), page->Form()->page_2);
        auto* target = page->findChild<QWidget*>(where);
        QVERIFY(target);
        const QPoint at = target->mapTo(page.get(), QPoint(target->width() / 2, target->height() - 30));
        QTest::mousePress(page.get(), Qt::MouseButton(button), Qt::NoModifier, at);
        QCOMPARE(page->Form()->stackedWidget->currentWidget() == page->Form()->page_2, staysOpen);
        QCOMPARE(page->Form()->RightKey->isChecked(), staysOpen);
        QTest::mouseRelease(page.get(), Qt::MouseButton(button), Qt::NoModifier, at);
    }

    void anOnlineProfileSwitchReachesTheDevice()
    {
        auto page = makePage(mouseImage());
        page->SlotUpDataConfigUI(4, 0, true);
        page->on_ProjectChoose_activated(2);
        QVERIFY(QTest::qWaitFor([] { return bench({QStringLiteral("show"), Mouse, QStringLiteral("profile")}).contains(QLatin1String("profile: 3 of 4")); }));
        page->on_ProjectChoose_activated(0);
        QVERIFY(QTest::qWaitFor([] { return bench({QStringLiteral("show"), Mouse, QStringLiteral("profile")}).contains(QLatin1String("profile: 1 of 4")); }));
    }

    void theMacroEntryWithoutMacros()
    {
        auto page = makePage(mouseImage());
        QTest::mouseClick(page->Form()->RightKey, Qt::LeftButton);
        bool seen = false;
        whenModal<MakeMacro>([](MakeMacro* d) { d->close(); }, &seen);
        QTest::mouseClick(tool(*page, "DPI_10"), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_9);

        QVERIFY(keys::WriteMacroFile(QStringLiteral("first"), QStringLiteral("1")));
        PostMsg::GetInstance()->PostAddMacroButton();
        QTest::mouseClick(tool(*page, "DPI_10"), Qt::LeftButton);
        QCOMPARE(page->Form()->stackedWidget_2->currentWidget(), page->Form()->page_5);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QTEST_MAIN(ButtonFunctionsTest)
#include "tst_buttonfunctions.moc"
