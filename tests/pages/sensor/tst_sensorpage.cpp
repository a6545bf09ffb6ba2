// The sensor page's part of the shell: the fills and reports the device
// link delivers, with their flags.
#include "Globals.h"
#include "MacroSettings.h"
#include "PostMsg.h"
#include "Sensor.h"
#include "UserFixture.h"

#include <QApplication>
#include <QtTest>

#include <atomic>
#include <thread>

class SensorPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        CurrentDeviceInfo.driveIndex = 1;  // Drive2
    }

    void fillsAndFlags()
    {
        Sensor page;
        FlashDataMap image{};
        image.reportRate = 16;
        image.dpiStageCount = 5;
        image.dpiStage = 3;
        SensorUiUpdated = false;
        std::atomic<bool> updatedWhenBack{false};
        std::thread link([&] {
            PostMsg::GetInstance()->PostUpDataLightSensor(image);
            updatedWhenBack = SensorUiUpdated.load();
        });
        QTRY_VERIFY(updatedWhenBack.load());
        link.join();
        QVERIFY(!SensorUiLoading);
        QCOMPARE(page.ReportRate(), 16);
        QCOMPARE(page.StageCount(), 5);
        QCOMPARE(page.CurrentStage(), 3);
        QCOMPARE(page.SensorName(), QStringLiteral("IX90"));
        QCOMPARE(page.MaxStages(), 6);

        // The import fill keeps the updated flag; impossible values are not
        // shown: no more stages than the model offers.
        SensorUiUpdated = false;
        image.reportRate = 3;
        image.dpiStageCount = 9;
        image.dpiStage = 1;
        PostMsg::GetInstance()->PostUpDataSensorUIB(image);
        QVERIFY(!SensorUiUpdated);
        QCOMPARE(page.ReportRate(), 16);
        QCOMPARE(page.StageCount(), 6);
        QCOMPARE(page.CurrentStage(), 1);
    }

    void reports()
    {
        Sensor page;
        PostMsg::GetInstance()->PostUpDataReportRate(64);
        QCOMPARE(page.ReportRate(), 64);
        PostMsg::GetInstance()->PostUpDataReportRate(5);
        QCOMPARE(page.ReportRate(), 64);
        UiReady = true;
        PostMsg::GetInstance()->PostUpDataDPI(6);
        QCOMPARE(page.CurrentStage(), 6);
        QVERIFY(UiReady);
        // A stage the image cannot hold shows no stage.
        PostMsg::GetInstance()->PostUpDataDPI(8);
        QCOMPARE(page.CurrentStage(), -1);
        QVERIFY(UiReady);
        PostMsg::GetInstance()->PostFormReset();
        QCOMPARE(page.CurrentStage(), 1);
        QCOMPARE(page.ReportRate(), 1);
        QVERIFY(!SensorUiLoading);
        UiReady = false;
    }
};

QTEST_MAIN(SensorPageTest)
#include "tst_sensorpage.moc"
