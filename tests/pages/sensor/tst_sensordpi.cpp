// The DPI stage panel inside the sensor page against the simulated mouse of
// the first model (sensor AX72, eight stages, two DPI ranges): fills show
// the image and send nothing; each user action (slider, -/+, stage count,
// marker drop, colour) sends one image with exactly its bytes (read back
// from the device's memory); offline one notice comes and nothing changes.
#include "../../core/LinkTestSupport.h"

#include "HIDUsb.h"
#include "Sensor.h"
#include "SensorDPI.h"
#include "UserFixture.h"
#include "ui_SensorDPI.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

#include <cstring>
#include <functional>
#include <memory>

using namespace linktest;

namespace {

const QString Mouse = QStringLiteral("mouse1");

bool sameStage(const DpiStage& a, const DpiStage& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The register code of a DPI value on the AX72 (code = DPI / 50 up to 12750;
// above it the value halved, flags 0x22).
DpiStage ax72(int dpi, const DpiStage& colour)
{
    const bool high = dpi > 12750;
    const uint8_t code = uint8_t((high ? dpi / 2 : dpi) / 50);
    return DpiStage{code, code, uint8_t(high ? 0x22 : 0), colour.r, colour.g, colour.b};
}

}  // namespace

class SensorDpiTest : public QObject
{
    Q_OBJECT

    FlashDataMap m_base{};
    std::unique_ptr<Sensor> m_page;

    SensorDPI* panel() const { return m_page->DpiPanel(); }
    Ui::SensorDPI* form() const { return panel()->Form(); }
    QLabel* marker() const { return form()->label_8; }

    int dpiOf(const DpiStage& s) const { return m_page->DpiSettings().Decode(s.xCode, s.flags).value_or(-1); }

    // The base image with another stage count and current stage.
    FlashDataMap withStages(int count, int stage) const
    {
        FlashDataMap image = m_base;
        image.dpiStageCount = uint8_t(count);
        image.dpiStage = uint8_t(stage);
        return image;
    }

    // Starts from an image: the device holds it, the page shows it.
    bool startFrom(const FlashDataMap& image)
    {
        if (!startFromDeviceImage(Mouse, image))
            return false;
        m_page->SlotUpDataSenSorUISensor(image);
        clearCallsLog();
        return true;
    }

    // The panel shows exactly what the image holds.
    void verifyShows(const FlashDataMap& image)
    {
        const int count = qBound(1, int(image.dpiStageCount), 8);
        const int stage = image.dpiStage < count ? image.dpiStage : -1;
        QCOMPARE(form()->ChooseEvent->count(), 8);
        QCOMPARE(form()->ChooseEvent->currentIndex(), count - 1);
        QCOMPARE(panel()->CurrentLevel(), stage);
        for (int i = 0; i < 8; ++i) {
            const int dpi = dpiOf(image.dpiStages[i]);
            QCOMPARE(panel()->StageButton(i)->text(), dpi > 0 ? QString::number(dpi) : QString());
            QCOMPARE(panel()->StageButton(i)->isVisibleTo(panel()), i < count);
            QCOMPARE(panel()->StageButton(i)->isChecked(), i == stage);
            const DpiStage& s = image.dpiStages[i];
            QCOMPARE(panel()->LevelColor(i), QStringLiteral("%1,%2,%3").arg(s.r).arg(s.g).arg(s.b));
        }
        QCOMPARE(marker()->isHidden(), stage < 0);
        if (stage < 0)
            return;
        QCOMPARE(marker()->pos(), DpiPanelRules::MarkerPosition(stage));
        const int dpi = dpiOf(image.dpiStages[stage]);
        if (dpi > 0) {
            QCOMPARE(form()->horizontalSliderC->value(), dpi);
            QCOMPARE(form()->spinBoxA->value(), dpi);
        }
    }

    // A synthetic mouse event on the marker label; it passes the event on to
    // the panel as the window system would. pos: panel coordinates.
    void markerEvent(QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
    {
        const QPoint local = pos - marker()->pos();
        QMouseEvent event(type, local, marker()->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(marker(), &event);
    }

    void dragMarker(int toX, int toY = 169)
    {
        const QPoint start = marker()->pos() + QPoint(15, 15);
        markerEvent(QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            markerEvent(QEvent::MouseMove, start + (QPoint(toX, toY) - start) * step / 4, Qt::LeftButton);
        markerEvent(QEvent::MouseButtonRelease, QPoint(toX, toY), Qt::NoButton);
    }

    // The user picks a stage count from the combo box's list.
    void chooseCount(int count)
    {
        QComboBox* combo = form()->ChooseEvent;
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex item = view->model()->index(count - 1, 0);
        view->scrollTo(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(item).center());
        QTRY_VERIFY(!view->isVisible());
    }

    void clickGroove(int x) { QTest::mouseClick(form()->horizontalSliderC, Qt::LeftButton, Qt::NoModifier, QPoint(x, 10)); }

    // The user actions of the offline test, by name.
    std::function<void()> action(const QString& name)
    {
        if (name == QLatin1String("groove"))
            return [this] { clickGroove(100); };
        if (name == QLatin1String("add"))
            return [this] { QTest::mouseClick(form()->AddLevelA, Qt::LeftButton); };
        if (name == QLatin1String("stage"))
            return [this] { QTest::mouseClick(panel()->StageButton(5), Qt::LeftButton); };
        if (name == QLatin1String("chip"))
            return [this] { QTest::mouseClick(panel()->StageChip(6), Qt::LeftButton); };
        if (name == QLatin1String("count"))
            return [this] { chooseCount(4); };
        if (name == QLatin1String("marker"))
            return [this] { dragMarker(DpiPanelRules::MarkerPosition(2).x() + 103); };
        if (name == QLatin1String("colour"))
            return [this] {
                QTest::mouseClick(panel()->StageChip(2), Qt::LeftButton);
                panel()->ColorDialog()->setCurrentColor(QColor(10, 200, 5));
                panel()->ColorDialog()->accept();
            };
        return [] { QFAIL("unknown action"); };
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_base));
        CurrentDeviceInfo.driveIndex = 0;  // Drive1: AX72, 100..12750 step 50, 12800..25500 step 100
        // 400, 800, 1600, 2400, 3200, 6400, 12800, 25500 DPI; stage 2 current.
        m_base.dpiStageCount = 8;
        m_base.dpiStage = 2;
        m_page.reset(new Sensor);
    }

    void cleanupTestCase()
    {
        m_page.reset();
        UsbServer_Exit();
    }

    void init() { QVERIFY(startFrom(m_base)); }

    void formAsBuilt()
    {
        SensorDPI fresh;
        Ui::SensorDPI* f = fresh.Form();
        QCOMPARE(fresh.objectName(), QStringLiteral("SensorDPI"));
        QCOMPARE(panel()->objectName(), QStringLiteral("frameDpi"));  // the page's name stays
        QCOMPARE(fresh.size(), QSize(728, 194));
        QCOMPARE(f->horizontalSliderC->value(), 50);
        QCOMPARE(f->horizontalSliderC->minimum(), 50);
        QCOMPARE(f->horizontalSliderC->maximum(), 32000);
        QVERIFY(!f->horizontalSliderC->hasTracking());
        QVERIFY(f->spinBoxA->isReadOnly());
        QCOMPARE(f->spinBoxA->maximum(), 100000);
        QCOMPARE(f->ChooseEvent->count(), 0);
        QCOMPARE(fresh.CurrentLevel(), 1);
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!fresh.StageButton(i)->isChecked());
            QCOMPARE(fresh.StageButton(i)->geometry(), QRect(15 + 91 * i, 99, 54, 56));
            QCOMPARE(fresh.StageChip(i)->geometry(), QRect(17 + 91 * i, 141, 50, 12));
        }
        QCOMPARE(f->label_8->geometry(), QRect(103, 154, 30, 30));
        QCOMPARE(f->ReduceLevelA->size(), QSize(14, 4));
    }

    void fillFromImages_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("stage");
        for (int count = 1; count <= 8; ++count)
            QTest::addRow("%d stages", count) << count << count - 1;
        QTest::newRow("stage byte 9") << 8 << 9;
        QTest::newRow("stage beyond the count") << 3 << 5;
        QTest::newRow("count 0") << 0 << 0;
        QTest::newRow("count 9") << 9 << 7;
    }
    void fillFromImages()
    {
        QFETCH(int, count);
        QFETCH(int, stage);
        FlashDataMap image = withStages(count, stage);
        image.dpiStages[4] = DpiStage{0x01, 0x01, 0, 9, 8, 7};  // a code the table lacks
        Recorder rec;
        m_page->SlotUpDataSenSorUISensor(image);
        verifyShows(image);
        m_page->SlotUpDataSenSorUIB(m_base);
        verifyShows(m_base);
        QCOMPARE(imageSends(), 0);
        QVERIFY(rec.entries().isEmpty());
    }

    void resetShowsTheModelDefaults()
    {
        Recorder rec;
        m_page->SlotFormReset();
        const QStringList texts{"400", "800", "1600", "2400", "3200", "6400", "12800", "25500"};
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(panel()->StageButton(i)->text(), texts[i]);
            QCOMPARE(panel()->StageButton(i)->isVisibleTo(panel()), i < 6);
        }
        QCOMPARE(panel()->LevelColor(1), QStringLiteral("0,255,0"));  // DPIColor of the model
        QVERIFY(panel()->StageButton(1)->isChecked());
        QCOMPARE(panel()->CurrentLevel(), 1);
        QCOMPARE(form()->horizontalSliderC->value(), 800);
        QCOMPARE(form()->ChooseEvent->currentIndex(), 5);
        QCOMPARE(imageSends(), 0);
        QVERIFY(rec.entries().isEmpty());
    }

    void userValueSentOnce_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("start");  // DPI of stage 2 before
        QTest::addColumn<int>("dpi");    // what the device holds after
        // A press at x = 100 of 561 on 100..25500: 4627, on the grid 4600.
        QTest::newRow("press on the groove") << "groove" << 1600 << 4600;
        QTest::newRow("drag in the second range") << "drag" << 1600 << 20000;
        QTest::newRow("add") << "add" << 1600 << 1650;
        QTest::newRow("add across the gap") << "add" << 12750 << 12800;
        QTest::newRow("reduce across the gap") << "reduce" << 12800 << 12700;
        QTest::newRow("add at the top") << "add" << 25400 << 25500;
    }
    void userValueSentOnce()
    {
        QFETCH(QString, how);
        QFETCH(int, start);
        QFETCH(int, dpi);
        FlashDataMap image = m_base;
        image.dpiStages[2] = ax72(start, m_base.dpiStages[2]);
        QVERIFY(startFrom(image));
        Recorder rec;
        QSlider* slider = form()->horizontalSliderC;
        if (how == QLatin1String("groove")) {
            clickGroove(100);
        } else if (how == QLatin1String("drag")) {
            slider->setSliderDown(true);
            slider->setSliderPosition(15000);
            slider->setSliderPosition(20012);
            slider->setSliderDown(false);
        } else {
            QTest::mouseClick(how == QLatin1String("add") ? form()->AddLevelA : form()->ReduceLevelA, Qt::LeftButton);
        }
        QCOMPARE(imageSends(), 1);
        FlashDataMap expected = image;
        expected.dpiStages[2] = ax72(dpi, image.dpiStages[2]);
        QVERIFY(sameStage(deviceImage(Mouse).dpiStages[2], expected.dpiStages[2]));
        QVERIFY(sameImage(SnapshotFlashData(), expected));
        QCOMPARE(panel()->StageButton(2)->text(), QString::number(dpi));
        QCOMPARE(form()->spinBoxA->value(), dpi);
        QVERIFY(rec.entries().isEmpty());
    }

    void shownButNotSent()
    {
        // An import or reset of the device is running: shown, not sent.
        SettingsBusy = true;
        clickGroove(100);
        QCOMPARE(panel()->StageButton(2)->text(), QStringLiteral("4600"));
        // Before the pages were first shown a stage click only shows.
        UiReady = false;
        QTest::mouseClick(panel()->StageButton(5), Qt::LeftButton);
        QVERIFY(panel()->StageButton(5)->isChecked());
        QCOMPARE(panel()->StageButton(5)->width(), 68);
        QCOMPARE(panel()->CurrentLevel(), 2);
        QCOMPARE(marker()->pos(), DpiPanelRules::MarkerPosition(2));
        QCOMPARE(imageSends(), 0);
        QVERIFY(sameImage(deviceImage(Mouse), m_base));
    }

    void selectingStagesSendsNoValue()
    {
        // The selected stage clicked again, a stage without a DPI selected
        // and clicked: only the stage goes out, never a DPI value.
        FlashDataMap image = m_base;
        image.dpiStages[4] = DpiStage{0x01, 0x01, 0, 9, 8, 7};
        QVERIFY(startFrom(image));
        const int before = form()->horizontalSliderC->value();
        QTest::mouseClick(panel()->StageButton(2), Qt::LeftButton);
        QCOMPARE(imageSends(), 0);
        QTest::mouseClick(panel()->StageButton(4), Qt::LeftButton);
        QTest::mouseClick(panel()->StageButton(4), Qt::LeftButton);
        QCOMPARE(imageSends(), 1);
        QCOMPARE(form()->horizontalSliderC->value(), before);
        FlashDataMap expected = image;
        expected.dpiStage = 4;
        QVERIFY(sameImage(deviceImage(Mouse), expected));
        QCOMPARE(panel()->CurrentLevel(), 4);
        QCOMPARE(marker()->pos(), DpiPanelRules::MarkerPosition(4));
    }

    void stageCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("newCount");
        QTest::newRow("4 to 2 from stage 3 exchanges") << 4 << 3 << 2;
        QTest::newRow("4 to 2 from stage 0") << 4 << 0 << 2;
        QTest::newRow("2 to 6") << 2 << 1 << 6;
    }
    void stageCount()
    {
        QFETCH(int, count);
        QFETCH(int, stage);
        QFETCH(int, newCount);
        const FlashDataMap image = withStages(count, stage);
        QVERIFY(startFrom(image));
        const QString textOfLast = panel()->StageButton(newCount - 1)->text();
        const QString textOfCurrent = panel()->StageButton(stage)->text();
        Recorder rec;
        chooseCount(newCount);
        QCOMPARE(imageSends(), 1);
        FlashDataMap expected = image;
        expected.dpiStageCount = uint8_t(newCount);
        const bool exchange = stage >= newCount;
        if (exchange) {
            const int last = newCount - 1;
            expected.dpiStages[last] = image.dpiStages[stage];
            expected.dpiStages[stage] = image.dpiStages[last];
            expected.dpiStage = uint8_t(last);
            QCOMPARE(panel()->StageButton(last)->text(), textOfCurrent);
            QCOMPARE(panel()->StageButton(stage)->text(), textOfLast);
        }
        QVERIFY(sameImage(deviceImage(Mouse), expected));
        QVERIFY(sameImage(SnapshotFlashData(), expected));
        verifyShows(expected);
        QCOMPARE(panel()->LevelCount(), newCount);
        QVERIFY(rec.entries().isEmpty());
    }

    void offlineChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"groove", "add", "stage", "chip", "count", "marker", "colour"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void offlineChangesNothing()
    {
        QFETCH(QString, name);
        bench({QStringLiteral("offline"), Mouse});
        Recorder rec;
        action(name)();
        QCOMPARE(imageSends(), 0);
        QCOMPARE(rec.entries(), QStringList({"MouseOffLineo(0)"}));
        verifyShows(m_base);
        QVERIFY(sameImage(SnapshotFlashData(), m_base));
        QVERIFY(sameImage(deviceImage(Mouse), m_base));
    }

    // A device that refuses the image: one refusal notice (no offline
    // notice), the panel shows what the device holds.
    void refusedChangesNothing_data() { offlineChangesNothing_data(); }
    void refusedChangesNothing()
    {
        QFETCH(QString, name);
        QVERIFY(endRefusalBurst());
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("refuse-writes"), QStringLiteral("on")});
        Recorder rec;
        action(name)();
        const QStringList log = callsLog({QStringLiteral("ProtocolDataUpdate")});
        QCOMPARE(log.size(), 1);
        QCOMPARE(log.filter(QStringLiteral("write refused")), log);
        QCOMPARE(rec.entries(), refusalNotice());
        verifyShows(m_base);
        QVERIFY(sameImage(SnapshotFlashData(), m_base));
        QVERIFY(sameImage(deviceImage(Mouse), m_base));
    }

    void markerDrag_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("dropX");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("sent");
        // The middle of each window of distances from the marker's home.
        const int windows[14][3] = {{78, 129, 1},    {-102, -51, -1}, {168, 214, 2},   {-192, -144, -2},
                                    {264, 317, 3},   {-284, -236, -3}, {361, 389, 4},  {-369, -327, -4},
                                    {443, 495, 5},   {-465, -411, -5}, {538, 591, 6},  {-556, -504, -6},
                                    {623, 669, 7},   {-646, -599, -7}};
        for (const auto& w : windows) {
            const int from = w[2] > 0 ? 0 : 7;
            const int dropX = DpiPanelRules::MarkerPosition(from).x() + (w[0] + w[1]) / 2;
            QTest::addRow("%+d stages", w[2]) << 8 << from << dropX << from + w[2] << 1;
        }
        QTest::newRow("between windows") << 8 << 0 << 250 << 0 << 0;
        QTest::newRow("beyond the last stage") << 3 << 0 << 300 << 0 << 1;
        QTest::newRow("out of the panel") << 8 << 2 << 760 << 2 << 0;
    }
    void markerDrag()
    {
        QFETCH(int, count);
        QFETCH(int, from);
        QFETCH(int, dropX);
        QFETCH(int, to);
        QFETCH(int, sent);
        QVERIFY(startFrom(withStages(count, from)));
        dragMarker(dropX);
        QCOMPARE(imageSends(), sent);
        QCOMPARE(panel()->CurrentLevel(), to);
        QVERIFY(panel()->StageButton(to)->isChecked());
        QCOMPARE(marker()->pos(), DpiPanelRules::MarkerPosition(to));
        QCOMPARE(deviceImage(Mouse).dpiStage, uint8_t(to));
    }

    void colourGoesToTheStageThatOpenedTheDialog()
    {
        QTest::mouseClick(panel()->StageChip(2), Qt::LeftButton);
        QVERIFY(panel()->ColorDialog()->isVisible());
        QTest::mouseClick(panel()->StageButton(5), Qt::LeftButton);  // another stage, while the dialog is open
        panel()->ColorDialog()->setCurrentColor(QColor(10, 200, 5));
        panel()->ColorDialog()->accept();
        QCOMPARE(imageSends(), 2);  // the stage, then the colour
        FlashDataMap expected = m_base;
        expected.dpiStage = 5;
        expected.dpiStages[2].r = 10;
        expected.dpiStages[2].g = 200;
        expected.dpiStages[2].b = 5;
        QVERIFY(sameImage(deviceImage(Mouse), expected));
        QCOMPARE(panel()->LevelColor(2), QStringLiteral("10,200,5"));
        QVERIFY(panel()->StageChip(2)->styleSheet().contains(QLatin1String("rgb(10,200,5)")));
    }
};

QTEST_MAIN(SensorDpiTest)
#include "tst_sensordpi.moc"
