// The lighting page against the simulated device: every control, used as a
// user uses it, writes exactly its bytes and sends the image once (the
// device's memory is read back through the bench); with the device offline
// nothing is sent, the control shows the device's value again and one
// offline notice is asked for; fills and the reset send nothing; presets and
// the colour board send the whole colour once.
#include "../../core/LinkTestSupport.h"

#include "DeviceWriters.h"
#include "HIDUsb.h"
#include "LampLight.h"
#include "LightRules.h"
#include "MacroSettings.h"
#include "StopCloseTime.h"
#include "UserFixture.h"
#include "ui_LampLight.h"

#include <QComboBox>
#include <QLabel>

#include <cstring>
#include <functional>
#include <memory>

using namespace linktest;

namespace {

const QString Mouse = QStringLiteral("mouse1");

int sends()
{
    return callsLog({QStringLiteral("ProtocolDataUpdate")}).size();
}

QString differences(const FlashDataMap& a, const FlashDataMap& b)
{
    QStringList out;
    for (size_t i = 0; i < sizeof a && out.size() < 12; ++i) {
        if (FlashBytes(a)[i] != FlashBytes(b)[i])
            out.append(QStringLiteral("%1: %2 != %3").arg(i).arg(FlashBytes(a)[i]).arg(FlashBytes(b)[i]));
    }
    return out.join(QStringLiteral("; "));
}

bool same(const FlashDataMap& a, const FlashDataMap& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

class LightDeviceTest : public QObject
{
    Q_OBJECT

    FlashDataMap m_base{};
    std::unique_ptr<LampLight> m_page;

    Ui::LampLight* ui() const { return m_page->Form(); }
    QComboBox* sleepCombo() const
    {
        return ui()->frameClose->findChild<QComboBox*>(QStringLiteral("StopClose"));
    }
    QToolButton* preset(int i) const { return m_page->findChild<QToolButton*>(LightRules::PresetButtonName(i)); }
    QPoint boardPoint(const QPoint& inBoard) const { return ui()->label_7->mapTo(m_page.get(), inBoard); }
    QColor boardColour(const QPoint& inBoard) const
    {
        return QColor(QImage(m_page->PictureDir() + QStringLiteral("ColorBoard.png")).pixel(inBoard));
    }

    // The widgets show exactly what the image holds.
    void verifyShows(const FlashDataMap& image)
    {
        QCOMPARE(ui()->LightMod->currentIndex(), LightRules::ModeIndexOf(image));
        QCOMPARE(ui()->horizontalLight->value(), image.lightBrightness + 1);
        QCOMPARE(ui()->LightSpinBox_2->value(), image.lightBrightness + 1);
        QCOMPARE(ui()->horizontalSpeed->value(), image.lightSpeed + 1);
        QCOMPARE(ui()->SpeedSpinBox_2->value(), image.lightSpeed + 1);
        QCOMPARE(ui()->RSpinBox->value(), int(image.lightR));
        QCOMPARE(ui()->GSpinBox->value(), int(image.lightG));
        QCOMPARE(ui()->BSpinBox->value(), int(image.lightB));
        QCOMPARE(ui()->labelPreView->styleSheet(), LightRules::PreviewSheet(image.lightR, image.lightG, image.lightB));
        QCOMPARE(ui()->RippeControl->isChecked(), image.moveLightOff != 0);
        QCOMPARE(sleepCombo()->currentIndex(), StopCloseTime::IndexForSeconds(image.sleepTime * 10));
        const LightRules::Visibility v = LightRules::VisibilityOf(LightRules::ModeIndexOf(image));
        QCOMPARE(ui()->label_7->isVisibleTo(m_page.get()), v.colour);
        QCOMPARE(ui()->horizontalLight->isVisibleTo(m_page.get()), v.brightness);
        QCOMPARE(ui()->horizontalSpeed->isVisibleTo(m_page.get()), v.speed);
    }

    // The actions of a user on each control, by name.
    std::function<void()> action(const QString& name)
    {
        if (name == QLatin1String("mode off"))
            return [this] { QTest::keyClick(ui()->LightMod, Qt::Key_Home); };
        if (name == QLatin1String("mode 3"))
            return [this] { QTest::keyClick(ui()->LightMod, Qt::Key_Down); };
        if (name == QLatin1String("brightness"))
            return [this] { QTest::keyClick(ui()->horizontalLight, Qt::Key_Right); };
        if (name == QLatin1String("brightness drag"))
            return [this] {
                QSlider* slider = ui()->horizontalLight;
                slider->setSliderDown(true);
                slider->setSliderPosition(3);
                slider->setSliderPosition(1);
                slider->setSliderDown(false);
            };
        if (name == QLatin1String("speed"))
            return [this] { QTest::keyClick(ui()->horizontalSpeed, Qt::Key_Left); };
        if (name == QLatin1String("switch"))
            return [this] { QTest::mouseClick(ui()->RippeControl, Qt::LeftButton); };
        if (name == QLatin1String("sleep"))
            return [this] { QTest::keyClick(sleepCombo(), Qt::Key_Down); };
        if (name == QLatin1String("typed red"))
            return [this] {
                ui()->RSpinBox->selectAll();
                QTest::keyClicks(ui()->RSpinBox, QStringLiteral("128"));
            };
        if (name == QLatin1String("add red"))
            return [this] { QTest::mouseClick(ui()->AddR, Qt::LeftButton); };
        if (name == QLatin1String("reduce blue"))
            return [this] { QTest::mouseClick(ui()->ReduceB, Qt::LeftButton); };
        if (name == QLatin1String("preset A"))
            return [this] { QTest::mouseClick(preset(0), Qt::LeftButton); };
        if (name == QLatin1String("preset N"))
            return [this] { QTest::mouseClick(preset(13), Qt::LeftButton); };
        if (name == QLatin1String("board"))
            return [this] { QTest::mousePress(ui()->label_7, Qt::LeftButton, Qt::NoModifier, QPoint(30, 20)); };
        return [] { QFAIL("unknown action"); };
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_base));
        // A light setting every control can move away from in both directions.
        m_base.lightMode = 2;
        m_base.lightOn = 1;
        m_base.lightR = 0;
        m_base.lightG = 128;
        m_base.lightB = 255;
        m_base.lightSpeed = 3;
        m_base.lightBrightness = 6;
        m_base.moveLightOff = 0;
        m_base.sleepTime = 6;
    }

    void cleanupTestCase()
    {
        m_page.reset();
        UsbServer_Exit();
    }

    void init()
    {
        QVERIFY(startFromDeviceImage(Mouse, m_base));
        m_page.reset(new LampLight);
        m_page->SlotUpDataLightUILight(m_base);
        clearCallsLog();
    }

    void cleanup() { m_page.reset(); }

    void fillsSendNothing()
    {
        Recorder rec;
        FlashDataMap other = m_base;
        other.lightMode = 4;
        other.lightR = 9;
        other.lightBrightness = 0;
        other.moveLightOff = 1;
        other.sleepTime = 240;
        m_page->SlotUpDataLightUILight(other);
        verifyShows(other);
        m_page->SlotUpDataLightUIA(m_base);
        verifyShows(m_base);
        // A mode the list does not hold: no entry, mode 0's controls.
        other.lightMode = 9;
        m_page->SlotUpDataLightUILight(other);
        QCOMPARE(ui()->LightMod->currentIndex(), -1);
        QVERIFY(!ui()->label_7->isVisibleTo(m_page.get()));
        QVERIFY(!ui()->horizontalLight->isVisibleTo(m_page.get()));
        m_page->SlotFormResetLight();
        // Offline, a fill still sends nothing and asks for no notice.
        bench({QStringLiteral("offline"), Mouse});
        m_page->SlotUpDataLightUILight(m_base);
        m_page->SlotUpDataLightUIA(other);
        m_page->SlotFormResetLight();
        QCOMPARE(sends(), 0);
        QVERIFY(rec.entries().isEmpty());
        QVERIFY(same(deviceImage(Mouse), m_base));
        QVERIFY(same(SnapshotFlashData(), m_base));
    }

    void onlineControlWritesItsBytesOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expectedSends");
        QTest::newRow("mode off") << "mode off" << 1;
        QTest::newRow("mode 3") << "mode 3" << 1;
        QTest::newRow("brightness") << "brightness" << 1;
        QTest::newRow("brightness drag") << "brightness drag" << 1;
        QTest::newRow("speed") << "speed" << 1;
        QTest::newRow("switch") << "switch" << 1;
        QTest::newRow("sleep") << "sleep" << 1;
        QTest::newRow("typed red") << "typed red" << 3;  // 1, 12, 128
        QTest::newRow("add red") << "add red" << 1;
        QTest::newRow("reduce blue") << "reduce blue" << 1;
        QTest::newRow("preset A") << "preset A" << 1;
        QTest::newRow("preset N") << "preset N" << 1;
        QTest::newRow("board") << "board" << 1;
    }

    void onlineControlWritesItsBytesOnce()
    {
        QFETCH(QString, name);
        QFETCH(int, expectedSends);
        FlashDataMap expected = m_base;
        if (name == QLatin1String("mode off")) {
            expected.lightOn = 0;  // byte 67 stays 2
        } else if (name == QLatin1String("mode 3")) {
            expected.lightMode = 3;
        } else if (name == QLatin1String("brightness")) {
            expected.lightBrightness = 7;
        } else if (name == QLatin1String("brightness drag")) {
            expected.lightBrightness = 0;
        } else if (name == QLatin1String("speed")) {
            expected.lightSpeed = 2;
        } else if (name == QLatin1String("switch")) {
            expected.moveLightOff = 1;
        } else if (name == QLatin1String("sleep")) {
            expected.sleepTime = 30;
        } else if (name == QLatin1String("typed red")) {
            expected.lightR = 128;
        } else if (name == QLatin1String("add red")) {
            expected.lightR = 1;
        } else if (name == QLatin1String("reduce blue")) {
            expected.lightB = 254;
        } else if (name == QLatin1String("preset A")) {
            expected.lightR = 255;
            expected.lightG = 0;
            expected.lightB = 0;
        } else if (name == QLatin1String("preset N")) {
            expected.lightR = 208;
            expected.lightG = 113;
            expected.lightB = 173;
        } else if (name == QLatin1String("board")) {
            const QColor c = boardColour(QPoint(30, 20));
            QVERIFY(c != QColor(0, 128, 255));
            expected.lightR = uint8_t(c.red());
            expected.lightG = uint8_t(c.green());
            expected.lightB = uint8_t(c.blue());
        }
        Recorder rec;
        action(name)();
        QCOMPARE(sends(), expectedSends);
        const FlashDataMap stored = deviceImage(Mouse);
        QVERIFY2(same(stored, expected), qPrintable(differences(stored, expected)));
        QVERIFY(same(SnapshotFlashData(), expected));
        QVERIFY(rec.entries().isEmpty());
        verifyShows(expected);
    }

    void typingSendsEachValue()
    {
        ui()->RSpinBox->selectAll();
        QTest::keyClicks(ui()->RSpinBox, QStringLiteral("128"));
        const QStringList log = callsLog({QStringLiteral("ProtocolDataUpdate")});
        QCOMPARE(log.size(), 3);
        // The bench keeps only the last; the page's image went through 1, 12, 128.
        QCOMPARE(deviceImage(Mouse).lightR, uint8_t(128));
    }

    void nothingToChangeSendsNothing()
    {
        // Preset equal to the shown colour; steps at the bounds.
        QTest::mouseClick(ui()->AddB, Qt::LeftButton);  // blue is 255
        QTest::mouseClick(ui()->ReduceR, Qt::LeftButton);  // red is 0
        m_page->SlotUpDataLightUILight([this] {
            FlashDataMap image = m_base;
            image.lightR = 255;
            image.lightG = 80;
            image.lightB = 0;
            return image;
        }());
        {
            QMutexLocker lock(&FlashDataMutex);
            CurrentFlashData.lightR = 255;
            CurrentFlashData.lightG = 80;
            CurrentFlashData.lightB = 0;
        }
        QTest::mouseClick(preset(5), Qt::LeftButton);  // F is (255, 80, 0)
        QCOMPARE(sends(), 0);
    }

    void offlineControlRevertsAndNotifiesOnce_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"mode off", "mode 3", "brightness", "brightness drag", "speed", "switch", "sleep",
                                 "add red", "reduce blue", "preset A", "preset N", "board"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void offlineControlRevertsAndNotifiesOnce()
    {
        QFETCH(QString, name);
        bench({QStringLiteral("offline"), Mouse});
        Recorder rec;
        action(name)();
        QCOMPARE(sends(), 0);
        QCOMPARE(rec.entries(), QStringList({"MouseOffLineo(0)"}));
        verifyShows(m_base);
        QVERIFY(same(SnapshotFlashData(), m_base));
        QVERIFY(same(deviceImage(Mouse), m_base));
    }

    // A device that refuses writes: each control shows the stored value
    // again (the sleep-time panel by itself), memory stays the device's,
    // and the user is told once that the device did not take it (no
    // offline notice), a drag's many refusals included.
    void refusedControlReverts_data() { offlineControlRevertsAndNotifiesOnce_data(); }
    void refusedControlReverts()
    {
        QFETCH(QString, name);
        QVERIFY(endRefusalBurst());
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        Recorder rec;
        action(name)();
        const QStringList log = callsLog({QStringLiteral("ProtocolDataUpdate")});
        QVERIFY(!log.isEmpty());
        QCOMPARE(log.filter(QStringLiteral("write refused")), log);
        QCOMPARE(rec.entries(), refusalNotice());
        verifyShows(m_base);
        QVERIFY(same(SnapshotFlashData(), m_base));
        QVERIFY(same(deviceImage(Mouse), m_base));
        QVERIFY(bench({QStringLiteral("show"), Mouse, QStringLiteral("sleep")})
                    .contains(QStringLiteral("(%1)").arg(m_base.sleepTime)));
    }

    void offlineTypedValueReverts()
    {
        bench({QStringLiteral("offline"), Mouse});
        Recorder rec;
        ui()->GSpinBox->selectAll();
        QTest::keyClicks(ui()->GSpinBox, QStringLiteral("7"));
        QCOMPARE(sends(), 0);
        QCOMPARE(rec.count(QStringLiteral("MouseOffLineo(0)")), 1);
        verifyShows(m_base);
    }

    void refusedForeignImageReverts()
    {
        // The image in memory is not the device's (the full read has not
        // come yet): the writers refuse without a notice; the page shows the
        // image's values again, not the user's choice.
        ImageBelongsToDevice = false;
        Recorder rec;
        for (const char* name : {"mode 3", "brightness", "switch", "preset A", "board", "add red"})
            action(QString::fromLatin1(name))();
        QCOMPARE(sends(), 0);
        QVERIFY(rec.entries().isEmpty());
        verifyShows(m_base);
        ImageBelongsToDevice = true;
    }

    void notReadySendsNothing()
    {
        // Before the pages were first shown: the controls change, nothing is
        // sent and no notice comes, online or offline.
        UiReady = false;
        bench({QStringLiteral("offline"), Mouse});
        Recorder rec;
        action(QStringLiteral("preset A"))();
        QCOMPARE(ui()->RSpinBox->value(), 255);
        QCOMPARE(ui()->labelPreView->styleSheet(), LightRules::PreviewSheet(255, 0, 0));
        action(QStringLiteral("mode off"))();
        QCOMPARE(ui()->LightMod->currentIndex(), 0);
        QVERIFY(!ui()->label_7->isVisibleTo(m_page.get()));
        action(QStringLiteral("brightness"))();
        action(QStringLiteral("switch"))();
        action(QStringLiteral("sleep"))();
        QCOMPARE(ui()->horizontalLight->value(), 8);
        QVERIFY(ui()->RippeControl->isChecked());
        QCOMPARE(sends(), 0);
        QVERIFY(rec.entries().isEmpty());
        QVERIFY(same(SnapshotFlashData(), m_base));
    }
};

QTEST_MAIN(LightDeviceTest)
#include "tst_lightdevice.moc"
