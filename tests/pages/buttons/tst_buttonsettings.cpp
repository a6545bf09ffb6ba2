// The button page's settings buttons against the simulated device: export
// through the file dialog (the file's bytes), nothing to export, our own
// export imported back through the page, and the factory reset read back
// from the device with the pages refilled.
#include "ButtonPageFixture.h"

#include "ContainReset.h"
#include "InportFail.h"
#include "PageKit.h"
#include "PostMsg.h"
#include "SettingsFile.h"
#include "UserFixture.h"
#include "Worker.h"
#include "ui_Buttoninterface.h"

#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>

using namespace buttontest;

namespace {

// Answers the next file dialog with path.
void chooseFile(const QString& path, bool* seen)
{
    whenModal<QFileDialog>(
        [path](QFileDialog* dialog) {
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        },
        seen);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ButtonSettingsTest : public QObject, public PageOnBench
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
        QVERIFY(openReceiverLink(&m_base));
    }

    void cleanupTestCase() { UsbServer_Exit(); }
    void cleanup() { EndModalWatches(); }
    void init() { startCase(); }

    void exportThenImportBack()
    {
        FlashDataMap exported = mouseImage();
        exported.lightR = 201;
        useImage(exported);
        auto page = makePage(exported);
        // Named without the suffix: the import's dialog lists "*.bin" only.
        const QString path = m_dir.filePath(QStringLiteral("mine.bin"));
        bool asked = false;
        chooseFile(m_dir.filePath(QStringLiteral("mine")), &asked);
        QTest::mouseClick(page->Form()->OutputData, Qt::LeftButton);
        QVERIFY(asked);
        QCOMPARE(readAll(path), EncodeSettingsFile(QStringLiteral("AX72"), exported));

        // The device changes; the page imports the file back.
        FlashDataMap changed = exported;
        changed.lightR = 7;
        changed.debounce = 19;
        useImage(changed);
        clearCallsLog();
        asked = false;
        chooseFile(path, &asked);
        QTest::mouseClick(page->Form()->ImportData, Qt::LeftButton);
        QVERIFY(asked);
        QVERIFY(sameImage(deviceImage(Mouse), exported));
        QVERIFY(sameImage(SnapshotFlashData(), exported));
        QCOMPARE(imageSends(), 1);
        QCOMPARE(LastImportResult.load(), 0);
        QVERIFY(!SettingsBusy);
    }

    void nothingToExport()
    {
        auto page = makePage(mouseImage());
        ImageBelongsToDevice = false;  // not read from the device, and no cache
        bool asked = false;
        whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); }, &asked);
        QString told;
        bool noticed = false;
        whenModal<InportFail>(
            [&told](InportFail* notice) {
                told = notice->findChild<QLabel*>(QStringLiteral("label"))->text();
                notice->close();
            },
            &noticed);
        QTest::mouseClick(page->Form()->OutputData, Qt::LeftButton);
        QVERIFY(noticed);
        QVERIFY(!asked);
        QCOMPARE(told, QStringLiteral("There are no device settings to export yet"));
    }

    // Last: the page's own link replaces the fixture's.
    void resetRestoresTheModelDefaults()
    {
        FlashDataMap changed = mouseImage();
        changed.keys[2] = {5, 0, 0};
        changed.debounce = 17;
        changed.lightR = 3;
        useImage(changed);
        auto page = makePage(changed);
        // The lighting and sensor pages' part: they report their refill.
        QObject others;
        PostMsg* hub = PostMsg::GetInstance();
        connect(hub, &PostMsg::SigUpDataLightLight, &others, [](FlashDataMap) { LightUiUpdated = true; },
                Qt::DirectConnection);
        connect(hub, &PostMsg::SigUpDataLightSensor, &others, [](FlashDataMap) { SensorUiUpdated = true; },
                Qt::DirectConnection);

        // The page's link opens to the receiver and reads the mouse.
        FoundDevices.clear();
        Worker::FindDevices(QStringLiteral("7A51"), {QStringLiteral("F080")});
        QCOMPARE(FoundDevices.size(), 1);
        DeviceAllInfo receiver = FoundDevices.first();
        QCOMPARE(Worker::MatchDeviceConfig(receiver, receiver.path.toLocal8Bit()), 1);
        hub->PostSelectMouseInfo(receiver);
        OnMainPage = 1;
        WorkerRun = true;
        WorkerThread->StartPass();
        QTRY_VERIFY_WITH_TIMEOUT(AllPagesUpdated() && !WorkerThread->isRunning(), 10000);
        QCOMPARE(page->keyType.at(2), 5);

        clearCallsLog();
        bool asked = false;
        whenModal<ContainReset>([](ContainReset* question) { question->on_OK_clicked(); }, &asked);
        QTest::mouseClick(page->Form()->Reset, Qt::LeftButton);
        QVERIFY(asked);
        // The device was asked again on the open link (besides the read its
        // defaults report brings), not reopened.
        // The read the defaults report brings runs on the link's thread and
        // may come after the dialog has closed.
        auto readCalls = [] {
            return callsLog({QStringLiteral("UsbServer_ReadAllFlashData"), QStringLiteral("UsbServerC_Start"),
                             QStringLiteral("UsbServer_SetClearSetting")});
        };
        QTRY_COMPARE_WITH_TIMEOUT(readCalls().count(QStringLiteral("UsbServer_ReadAllFlashData")), 2, 5000);
        const QStringList calls = readCalls();
        QCOMPARE(calls.count(QStringLiteral("UsbServer_SetClearSetting")), 1);
        QCOMPARE(calls.count(QStringLiteral("UsbServer_ReadAllFlashData")), 2);
        QVERIFY(!calls.join(QLatin1Char(' ')).contains(QLatin1String("UsbServerC_Start")));
        const FlashDataMap device = deviceImage(Mouse);
        QCOMPARE(int(device.keys[2].type), 1);
        QCOMPARE(int(device.keys[2].value1), 4);
        QCOMPARE(device.debounce, m_base.debounce);
        QCOMPARE(device.lightR, m_base.lightR);
        // Refilled from what the device holds now.
        QVERIFY(sameImage(SnapshotFlashData(), device));
        QCOMPARE(page->keyType.at(2), 1);
        QCOMPARE(page->KeyButton(2)->text(), QStringLiteral("Middle button"));
        QVERIFY(!SettingsBusy);
        QVERIFY(CheckTimer && CheckTimer->isActive());
        OnMainPage = 0;
    }
};

QTEST_MAIN(ButtonSettingsTest)
#include "tst_buttonsettings.moc"
