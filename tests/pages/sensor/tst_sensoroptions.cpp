// The sensor panels no window places, against the bench's wireless mouse:
// each writes its byte once when online and nothing (one notice) offline;
// the lift-off and light rules; the eight-row DPI panel's fill sends
// nothing and a user change sends once; every picture their style sheets
// name is installed.
#include "../../core/LinkTestSupport.h"

#include "HIDUsb.h"
#include "PageKit.h"
#include "SensorDPIB.h"
#include "SensorEffect.h"
#include "SensorLOD.h"
#include "SensorRate.h"
#include "SensorSwitches.h"
#include "UserFixture.h"
#include "ui_SensorDPIB.h"
#include "ui_SensorEffect.h"
#include "ui_SensorEffectB.h"
#include "ui_SensorLOD.h"
#include "ui_SensorLODB.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace linktest;

namespace {

const QString Mouse = QStringLiteral("mouse1");

// A panel and the user's action on it.
struct Case {
    std::unique_ptr<QWidget> panel;
    std::function<void()> act;
};

template <class Panel>
Case clickSwitch()
{
    auto* panel = new Panel;
    return {std::unique_ptr<QWidget>(panel), [panel] { QTest::mouseClick(panel->Button(), Qt::LeftButton); }};
}

Case makeCase(const QString& name)
{
    if (name == QLatin1String("RippeControl"))
        return clickSwitch<RippeControl>();
    if (name == QLatin1String("RippeControlB"))
        return clickSwitch<RippeControlB>();
    if (name == QLatin1String("StraightLine"))
        return clickSwitch<StraightLine>();
    if (name == QLatin1String("StraightLineB"))
        return clickSwitch<StraightLineB>();
    if (name == QLatin1String("MotionSync"))
        return clickSwitch<MotionSync>();
    if (name == QLatin1String("MotionSyncB"))
        return clickSwitch<MotionSyncB>();
    if (name == QLatin1String("SensorLOD")) {
        auto* p = new SensorLOD;
        return {std::unique_ptr<QWidget>(p), [p] { p->Form()->LOD->setCurrentIndex(1); }};
    }
    if (name == QLatin1String("SensorLODB")) {
        auto* p = new SensorLODB;
        return {std::unique_ptr<QWidget>(p), [p] { QTest::mouseClick(p->Form()->MM2, Qt::LeftButton); }};
    }
    if (name == QLatin1String("SensorEffect mode")) {
        auto* p = new SensorEffect;
        return {std::unique_ptr<QWidget>(p), [p] { p->Form()->Model->setCurrentIndex(2); }};
    }
    if (name == QLatin1String("SensorEffect speed")) {
        auto* p = new SensorEffect;
        return {std::unique_ptr<QWidget>(p), [p] { p->Form()->SpeedH->setValue(5); }};
    }
    if (name == QLatin1String("SensorEffectB brightness")) {
        auto* p = new SensorEffectB;
        return {std::unique_ptr<QWidget>(p), [p] { p->Form()->LightH->setValue(10); }};
    }
    if (name == QLatin1String("SensorEffectB mode")) {
        auto* p = new SensorEffectB;
        return {std::unique_ptr<QWidget>(p), [p] { QTest::mouseClick(p->Form()->MM3, Qt::LeftButton); }};
    }
    if (name == QLatin1String("SensorRateB")) {
        auto* p = new SensorRateB;
        return {std::unique_ptr<QWidget>(p), [p] { QTest::mouseClick(p->RateButton(6), Qt::LeftButton); }};
    }
    return {};
}

// Every picture a widget's or its children's style sheets name.
QStringList picturesNamed(const QWidget* root)
{
    QStringList out;
    QList<const QWidget*> widgets{root};
    for (const QWidget* w : root->findChildren<QWidget*>())
        widgets.append(w);
    const QRegularExpression url(QStringLiteral("url\\(([^)]+)\\)"));
    for (const QWidget* w : qAsConst(widgets)) {
        auto it = url.globalMatch(w->styleSheet());
        while (it.hasNext())
            out.append(it.next().captured(1));
    }
    return out;
}

}  // namespace

class SensorOptionsTest : public QObject
{
    Q_OBJECT

    FlashDataMap m_base{};

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_base));
        CurrentDeviceInfo.driveIndex = 0;
    }

    void cleanupTestCase() { UsbServer_Exit(); }

    void init()
    {
        QVERIFY(startFromDeviceImage(Mouse, m_base));
        clearCallsLog();
    }

    void cleanup() { UiReady = false; }

    void eachPanelWritesItsByte_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::newRow("RippeControl") << "RippeControl" << 10 << 1;
        QTest::newRow("RippeControlB") << "RippeControlB" << 10 << 1;
        QTest::newRow("StraightLine") << "StraightLine" << 9 << 1;
        QTest::newRow("StraightLineB") << "StraightLineB" << 9 << 1;
        QTest::newRow("MotionSync") << "MotionSync" << 7 << 1;
        QTest::newRow("MotionSyncB") << "MotionSyncB" << 7 << 1;
        QTest::newRow("SensorLOD 2mm") << "SensorLOD" << 5 << 2;
        QTest::newRow("SensorLODB 2mm") << "SensorLODB" << 5 << 2;
        QTest::newRow("SensorEffect breathing") << "SensorEffect mode" << 63 << 2;
        QTest::newRow("SensorEffect speed 5") << "SensorEffect speed" << 65 << 5;
        QTest::newRow("SensorEffectB brightness 10") << "SensorEffectB brightness" << 64 << 255;
        QTest::newRow("SensorEffectB off") << "SensorEffectB mode" << 66 << 0;
        QTest::newRow("SensorRateB 8000 Hz") << "SensorRateB" << 0 << 64;
    }

    void eachPanelWritesItsByte()
    {
        QFETCH(QString, panel);
        QFETCH(int, offset);
        QFETCH(int, value);
        const auto byteAt = [offset](const FlashDataMap& image) {
            return int(reinterpret_cast<const uint8_t*>(&image)[offset]);
        };
        QVERIFY(byteAt(m_base) != value);

        // Offline: nothing reaches the device, one notice.
        UiReady = true;
        bench({QStringLiteral("offline"), Mouse});
        {
            Recorder rec;
            Case offline = makeCase(panel);
            QVERIFY(offline.panel);
            offline.act();
            QCOMPARE(rec.count(QStringLiteral("MouseOffLineo(0)")), 1);
        }
        bench({QStringLiteral("online"), Mouse});
        QCOMPARE(imageSends(), 0);
        QCOMPARE(byteAt(deviceImage(Mouse)), byteAt(m_base));

        // Online: one image with the byte.
        Case online = makeCase(panel);
        online.act();
        QCOMPARE(imageSends(), 1);
        const FlashDataMap stored = deviceImage(Mouse);
        QCOMPARE(byteAt(stored), value);
        QCOMPARE(byteAt(SnapshotFlashData()), value);
    }

    void nothingBeforeThePagesAreShown()
    {
        UiReady = false;
        for (const char* name : {"RippeControl", "SensorLODB", "SensorEffect mode", "SensorRateB"})
            makeCase(QLatin1String(name)).act();
        QCOMPARE(imageSends(), 0);
    }

    void liftOffChoices()
    {
        UiReady = true;
        SensorLOD lod;
        QComboBox* combo = lod.Form()->LOD;
        QVERIFY(!combo->isEnabled());
        lod.RemoveLOD07();  // two items: nothing to remove
        lod.AddLOD07();
        lod.AddLOD07();
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QStringLiteral("0.7mm"));
        QCOMPARE(imageSends(), 0);  // the shown item stays: nothing sent
        lod.SetIndex(2);            // code 3: 0.7 mm
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(deviceImage(Mouse).liftOff, uint8_t(3));
        lod.SetIndex(5);  // no such item: nothing changes
        lod.SetIndex(-1);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(imageSends(), 1);
        {
            const PageFillScope fill(Page::Sensor);
            lod.SetIndex(1);  // shown while the page fills, not sent
        }
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(imageSends(), 1);
    }

    void lightModesShowTheirRows()
    {
        UiReady = true;
        SensorEffect effect;
        Ui::SensorEffect* f = effect.Form();
        effect.SetMode(1);  // steady: brightness
        QVERIFY(!f->SpeedH->isVisibleTo(&effect) && f->line->isVisibleTo(&effect));
        QVERIFY(f->LightH->isVisibleTo(&effect) && !f->line_2->isVisibleTo(&effect));
        QCOMPARE(imageSends(), 1);
        effect.SetMode(1);  // already shown: nothing sent
        effect.SetMode(3);  // no mode
        QCOMPARE(f->Model->currentIndex(), 1);
        QCOMPARE(imageSends(), 1);
        // The drag shows each step; the release sends the last one.
        f->LightH->setSliderDown(true);
        for (int v = 2; v <= 5; ++v)
            f->LightH->setSliderPosition(v);
        QCOMPARE(f->LightSpinBox->value(), 5);
        QCOMPARE(imageSends(), 1);
        f->LightH->setSliderDown(false);
        QCOMPARE(imageSends(), 2);
        QCOMPARE(deviceImage(Mouse).dpiLightBrightness, uint8_t(128));

        SensorEffectB boxes;
        boxes.SetMode(2);
        QVERIFY(boxes.Form()->MM2->isChecked());
        QVERIFY(boxes.Form()->SpeedH->isVisibleTo(&boxes) && !boxes.Form()->LightH->isVisibleTo(&boxes));
        QCOMPARE(imageSends(), 2);
    }

    void eightRowPanelFillSendsNothing()
    {
        // Distinct X and Y codes and a value above the form's 10000.
        FlashDataMap image = m_base;
        image.dpiStages[0].xCode = 8;   // 400 DPI
        image.dpiStages[0].yCode = 9;
        image.dpiStages[4] = DpiStage{160, 160, 0, 1, 2, 3};  // 8000 DPI
        image.dpiStages[5] = DpiStage{160, 161, 0x22, 4, 5, 6};  // 16000 DPI
        image.dpiStageCount = 7;
        image.dpiStage = 5;
        QVERIFY(startFromDeviceImage(Mouse, image));
        clearCallsLog();
        SensorDpi sensor;
        sensor.sensorName = QStringLiteral("AX72");
        sensor.defines = ReadInstalledSensorDefines();
        sensor.ranges = ParseDpiRanges(QString("100,12750,50,12800,25500,100,0x22").split(','));

        SensorDPIB panel;
        {
            const PageFillScope fill(Page::Sensor);
            panel.ShowImage(image, sensor, 8);
        }
        QCOMPARE(imageSends(), 0);
        QVERIFY(sameImage(deviceImage(Mouse), image));
        QCOMPARE(panel.Form()->ChooseEvent->count(), 8);
        QCOMPARE(panel.Form()->ChooseEvent->currentIndex(), 6);
        QCOMPARE(panel.Slider(5)->value(), 16000);
        QCOMPARE(panel.ValueBox(5)->value(), 16000);
        QCOMPARE(panel.ValueBox(0)->value(), 400);
        QVERIFY(panel.StageBox(5)->isChecked());
        QCOMPARE(panel.CurrentLevel(), 5);
        QVERIFY(!panel.StageBox(7)->isVisibleTo(&panel));
        QCOMPARE(panel.LevelColor(4), QStringLiteral("#010203"));

        // The user's first change goes out, once: a press on the groove.
        QSlider* slider = panel.Slider(4);
        QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider->width() / 4, 10));
        QCOMPARE(imageSends(), 1);
        const int shown = panel.ValueBox(4)->value();
        QVERIFY(shown != 8000);
        const DpiStage written = deviceImage(Mouse).dpiStages[4];
        QCOMPARE(sensor.Decode(written.xCode, written.flags).value_or(-1), shown);
        QCOMPARE(deviceImage(Mouse).dpiStages[0].yCode, uint8_t(9));  // the others untouched

        // Four stages while stage 5 is current: 3 and 5 change places.
        UiReady = true;
        panel.Form()->ChooseEvent->setCurrentIndex(3);
        QCOMPARE(imageSends(), 2);
        const FlashDataMap after = deviceImage(Mouse);
        QCOMPARE(int(after.dpiStageCount), 4);
        QCOMPARE(int(after.dpiStage), 3);
        QVERIFY(std::memcmp(&after.dpiStages[3], &image.dpiStages[5], sizeof(DpiStage)) == 0);
        QVERIFY(panel.StageBox(3)->isChecked());
        QCOMPARE(panel.ValueBox(3)->value(), 16000);
        QVERIFY(!panel.StageBox(4)->isVisibleTo(&panel));

        // A colour for stage 1.
        QTest::mouseClick(panel.ColorButton(1), Qt::LeftButton);
        panel.ColorDialog()->setCurrentColor(QColor(5, 10, 255));
        panel.ColorDialog()->accept();
        QCOMPARE(panel.LevelColor(1), QStringLiteral("#050aff"));
        const DpiStage coloured = deviceImage(Mouse).dpiStages[1];
        QCOMPARE(QColor(coloured.r, coloured.g, coloured.b), QColor(5, 10, 255));
        QCOMPARE(imageSends(), 3);
    }

    void everyPictureIsInstalled()
    {
        QList<QWidget*> panels{new SensorRateB, new RippeControl, new MotionSyncB, new SensorLOD,
                               new SensorLODB, new SensorEffect, new SensorEffectB, new SensorDPIB};
        for (QWidget* panel : qAsConst(panels)) {
            const QStringList pictures = picturesNamed(panel);
            QVERIFY(!pictures.isEmpty());
            for (const QString& picture : pictures)
                QVERIFY2(QFile::exists(picture), qPrintable(picture));
        }
        qDeleteAll(panels);
    }
};

QTEST_MAIN(SensorOptionsTest)
#include "tst_sensoroptions.moc"
