// The sensor page against the device bench: fills from the devices of both
// models (with their flags), the rate buttons a receiver carries, a rate
// chosen by the user in the device's memory (or put back when refused),
// what the mouse reports (its DPI button), the reset, the texts and the
// level file.
#include "../../core/LinkTestSupport.h"

#include "HIDUsb.h"
#include "PostMsg.h"
#include "Sensor.h"
#include "SensorDPI.h"
#include "SensorRate.h"
#include "UserFixture.h"
#include "Worker.h"
#include "ui_SensorDPI.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>

#include <memory>

using namespace linktest;

namespace {

const QString Mouse = QStringLiteral("mouse1");

// "dpi N: VALUE colour R,G,B" lines of the bench's view of a device.
QStringList benchStages(const QString& device)
{
    QStringList out;
    const QRegularExpression line(QStringLiteral("^dpi (\\d): (\\d+) colour (\\d+,\\d+,\\d+)"),
                                  QRegularExpression::MultilineOption);
    auto it = line.globalMatch(bench({QStringLiteral("show"), device, QStringLiteral("dpi")}));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out.append(m.captured(2) + QLatin1Char(' ') + m.captured(3));
    }
    return out;
}

// 2000, 4000 and 8000 Hz: "x" shown, "-" hidden.
QString fastRatesShown(SensorRate* panel)
{
    QString out;
    for (int i = 4; i < 7; ++i)
        out += QLatin1Char(panel->RateButton(i)->isVisibleTo(panel) ? 'x' : '-');
    return out;
}

}  // namespace

class SensorPageTest : public QObject
{
    Q_OBJECT

    FlashDataMap m_base{};
    std::unique_ptr<Sensor> m_page;

    SensorRate* rate() const { return m_page->RatePanel(); }

    void fill(const FlashDataMap& image)
    {
        runOnLibraryThread([&] { PostMsg::GetInstance()->PostUpDataLightSensor(image); });
    }

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_base));
        m_page.reset(new Sensor);
    }

    void cleanupTestCase()
    {
        m_page.reset();
        UsbServer_Exit();
    }

    void init()
    {
        testsupport::SetDevice(5);  // the 8 kHz receiver
        QVERIFY(startFromDeviceImage(Mouse, m_base));
        fill(m_base);
        clearCallsLog();
    }

    void cleanup() { UiReady = false; }

    void fillsFromTheDevice_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("stages");
        QTest::newRow("first model") << "mouse1" << 0 << "AX72" << 100 << 25500 << 8;
        QTest::newRow("second model") << "mouse2" << 1 << "IX90" << 100 << 12000 << 6;
    }

    void fillsFromTheDevice()
    {
        QFETCH(QString, device);
        QFETCH(int, model);
        QFETCH(int, stages);
        CurrentDeviceInfo.driveIndex = model;
        FlashDataMap image = deviceImage(device);
        image.reportRate = 32;
        SensorUiUpdated = false;
        std::atomic<bool> updatedWhenBack{false};
        runOnLibraryThread([&] {
            PostMsg::GetInstance()->PostUpDataLightSensor(image);
            updatedWhenBack = SensorUiUpdated.load();
        });
        QVERIFY(updatedWhenBack.load());
        QVERIFY(!SensorUiLoading);
        QTEST(m_page->SensorName(), "sensor");
        QCOMPARE(m_page->MaxStages(), stages);
        QTEST(m_page->DpiPanel()->Form()->horizontalSliderC->minimum(), "minimum");
        QTEST(m_page->DpiPanel()->Form()->horizontalSliderC->maximum(), "maximum");
        QCOMPARE(m_page->StageCount(), int(image.dpiStageCount));
        QCOMPARE(m_page->CurrentStage(), int(image.dpiStage));
        QCOMPARE(m_page->ReportRate(), 32);
        QCOMPARE(rate()->CheckedRate(), 5);
        // Each stage the model offers as the bench reads the device.
        const QStringList onDevice = benchStages(device);
        QCOMPARE(onDevice.size(), 8);
        for (int i = 0; i < stages; ++i) {
            const QString text = m_page->DpiPanel()->StageButton(i)->text();
            QCOMPARE(text + QLatin1Char(' ') + m_page->DpiPanel()->LevelColor(i), onDevice[i]);
        }
        QVERIFY(m_page->SupportedFeatures().contains(QStringLiteral("SUPPORT_RIPPLE")));
        QCOMPARE(m_page->SupportedFeatures().contains(QStringLiteral("SUPPORT_MOTION_SYNC")), model == 0);

        // An import's fill keeps the updated flag; a rate that is no code
        // shows none (not the last device's).
        SensorUiUpdated = false;
        image.reportRate = 3;
        PostMsg::GetInstance()->PostUpDataSensorUIB(image);
        QVERIFY(!SensorUiUpdated);
        QCOMPARE(rate()->CheckedRate(), -1);
    }

    void rateButtonsByReceiver_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("fast");
        QTest::addColumn<int>("shown");
        QTest::newRow("1 kHz receiver") << 0 << 1 << "---" << 3;
        QTest::newRow("2 kHz receiver") << 4 << 16 << "x--" << 4;
        QTest::newRow("4 kHz receiver") << 1 << 32 << "xx-" << 5;
        QTest::newRow("8 kHz receiver") << 5 << 64 << "xxx" << 6;
        // A mouse on its cable runs at 1000 Hz at most, whatever it stored.
        QTest::newRow("cabled mouse") << 2 << 32 << "---" << 3;
        QTest::newRow("unknown kind keeps them") << 6 << 1 << "xxx" << 3;
    }

    void rateButtonsByReceiver()
    {
        QFETCH(int, type);
        QFETCH(int, code);
        CurrentDeviceInfo.type = uint8_t(type);
        CurrentDeviceInfo.directMouse = DirectMouseFromType(uint8_t(type));
        FlashDataMap image = m_base;
        image.reportRate = uint8_t(code);
        fill(image);
        QTEST(fastRatesShown(rate()), "fast");
        QTEST(rate()->CheckedRate(), "shown");
        for (int i = 0; i < 4; ++i)
            QVERIFY(rate()->RateButton(i)->isVisibleTo(rate()));
    }

    void choosing2000HzReachesTheDevice()
    {
        UiReady = true;
        QList<int> hub;
        const QMetaObject::Connection c =
            connect(PostMsg::GetInstance(), &PostMsg::SigHideModel, this, [&](int v) { hub.append(v); });
        QTest::mouseClick(rate()->RateButton(4), Qt::LeftButton);
        QCOMPARE(deviceImage(Mouse).reportRate, uint8_t(16));
        QCOMPARE(imageSends(), 1);
        QCOMPARE(hub, QList<int>({1}));
        QCOMPARE(m_page->ReportRate(), 16);
        // Back to 500 Hz: not above 1000 Hz.
        QTest::mouseClick(rate()->RateButton(2), Qt::LeftButton);
        QCOMPARE(deviceImage(Mouse).reportRate, uint8_t(2));
        QCOMPARE(hub, QList<int>({1, 0}));
        disconnect(c);
    }

    void aRefusedRateIsPutBack_data()
    {
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<int>("notices");
        QTest::newRow("refused") << QStringList{"fault", "mouse1", "refuse-writes", "on"} << 0;
        QTest::newRow("offline") << QStringList{"offline", "mouse1"} << 1;
    }

    void aRefusedRateIsPutBack()
    {
        QFETCH(QStringList, fault);
        UiReady = true;
        Recorder rec;
        int hub = 0;
        const QMetaObject::Connection c =
            connect(PostMsg::GetInstance(), &PostMsg::SigHideModel, this, [&hub](int) { ++hub; });
        bench(fault);
        QTest::mouseClick(rate()->RateButton(2), Qt::LeftButton);
        disconnect(c);
        QCOMPARE(rate()->CheckedRate(), 3);  // the device's 1000 Hz
        QCOMPARE(SnapshotFlashData().reportRate, uint8_t(1));
        QTEST(rec.count(QStringLiteral("MouseOffLineo(0)")), "notices");
        QCOMPARE(hub, 0);
        bench({QStringLiteral("fault"), Mouse, QStringLiteral("clear")});
        bench({QStringLiteral("online"), Mouse});
        QCOMPARE(deviceImage(Mouse).reportRate, uint8_t(1));
    }

    void theDpiButtonMovesTheShownStage()
    {
        // The link with the program's report handling this time.
        QVERIFY(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &Worker::OnProtocolData));
        UiReady = true;
        const QString answer = bench({QStringLiteral("dpi-button"), QStringLiteral("rx8k")});
        const int stage = answer.section(QLatin1Char(':'), 1).trimmed().toInt() - 1;
        QCOMPARE(stage, (m_base.dpiStage + 1) % m_base.dpiStageCount);
        QTRY_COMPARE(m_page->CurrentStage(), stage);
        QVERIFY(m_page->DpiPanel()->StageButton(stage)->isChecked());
        QVERIFY(UiReady);
        QVERIFY(UsbServerC_Start("hidbench/rx8k", "hidbench/rx8k", &ignoreReports));
    }

    void mirrorsWithoutWritingBack()
    {
        // The mirror puts UiReady back as it was, also when it was clear.
        UiReady = false;
        PostMsg::GetInstance()->PostUpDataDPI(4);
        QCOMPARE(m_page->CurrentStage(), 4);
        QVERIFY(!UiReady);
        UiReady = true;
        PostMsg::GetInstance()->PostUpDataDPI(9);
        QCOMPARE(m_page->CurrentStage(), -1);
        QVERIFY(UiReady);
        PostMsg::GetInstance()->PostUpDataReportRate(64);
        QCOMPARE(m_page->ReportRate(), 64);
        PostMsg::GetInstance()->PostUpDataReportRate(5);
        QCOMPARE(m_page->ReportRate(), 64);
        QCOMPARE(imageSends(), 0);
    }

    void resetShowsTheDefaults()
    {
        CurrentDeviceInfo.type = 4;
        fill(m_base);  // 2000 Hz shown, 4000 and 8000 Hz hidden
        CurrentDeviceInfo.type = 5;
        PostMsg::GetInstance()->PostFormReset();
        QVERIFY(!SensorUiLoading);
        QCOMPARE(m_page->StageCount(), 6);
        QCOMPARE(m_page->CurrentStage(), 1);
        QCOMPARE(m_page->ReportRate(), 1);
        QCOMPARE(fastRatesShown(rate()), QStringLiteral("xxx"));
        QCOMPARE(imageSends(), 0);
    }

    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("dpiTitle");
        QTest::addColumn<QString>("rateTitle");
        QTest::newRow("English") << 0 << "DPI stages" << "Report rate";
        QTest::newRow("Chinese") << 1 << "DPI级数" << "回报率";
        QTest::newRow("Japanese") << 5 << "DPI段階" << "ポーリングレート";
        QTest::newRow("Russian") << 4 << "Уровни DPI" << "Частота опроса";
    }

    void texts()
    {
        QFETCH(int, language);
        PostMsg::GetInstance()->PostChangeLanguage(language);
        QTEST(m_page->DpiPanel()->Form()->label->text(), "dpiTitle");
        QTEST(rate()->TitleLabel()->text(), "rateTitle");
        // A long title is not cut: the stage count moves right of it.
        const QLabel* title = m_page->DpiPanel()->Form()->label;
        QVERIFY(title->width() >= title->sizeHint().width());
        QVERIFY(m_page->DpiPanel()->Form()->ChooseEvent->x() > title->x() + title->width());
    }

    void levelFile()
    {
        const QString path = UserDir() + QStringLiteral("/usersetting/SensorPage/Level.ini");
        QVERIFY(m_page->SaveLevel(4));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("4"));
        file.close();
        QCOMPARE(m_page->LoadLevel(), 4);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("four\n");
        file.close();
        QCOMPARE(m_page->LoadLevel(), 0);
        QVERIFY(QFile::remove(path));
        QCOMPARE(m_page->LoadLevel(), 1);
    }
};

QTEST_MAIN(SensorPageTest)
#include "tst_sensorpage.moc"
