// The firmware update's rules without widgets: the resume decision over the
// attached devices, the repair's check of the listed devices, the receiver
// beside a cabled mouse, the receiver kind and version texts, and the
// receiver id record.
#include "PostMsg.h"
#include "UpdateRules.h"

#include <QtTest>

using namespace UpdateRules;

namespace {

DeviceAllInfo receiver(uint8_t type = 5, uint8_t mid = 1, const QString& pid = QStringLiteral("F080"))
{
    DeviceAllInfo d;
    d.path = QStringLiteral("rx-") + QString::number(type) + pid;
    d.pid = pid;
    d.cid = 24;
    d.mid = mid;
    d.type = type;
    d.address = {0x5A, 0x8C, 0x21};
    d.usbVersion = QStringLiteral("v1.4");
    return d;
}

DeviceAllInfo cabledMouse(uint8_t mid = 1)
{
    DeviceAllInfo d;
    d.path = QStringLiteral("mouse-") + QString::number(mid);
    d.pid = QStringLiteral("F001");
    d.cid = 24;
    d.mid = mid;
    d.type = 2;
    d.directMouse = 1;
    d.address = {0x3C, 0x71, 0x9E};
    d.firmwareVersion = QStringLiteral("v1.5");
    return d;
}

using Devices = QList<DeviceAllInfo>;

}  // namespace

Q_DECLARE_METATYPE(Devices)
Q_DECLARE_METATYPE(UpdateRules::Message)
Q_DECLARE_METATYPE(UpdateRules::ResumePlan::Path)

class UpdateRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void resumePlan_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<Devices>("found");
        QTest::addColumn<ResumePlan::Path>("path");
        QTest::addColumn<Message>("tip");
        QTest::addColumn<int>("kind");
        QTest::newRow("nothing attached") << "211,4,24,1" << Devices{} << ResumePlan::Stop << Message::Error << 0;
        QTest::newRow("one receiver, no record") << "" << Devices{receiver()} << ResumePlan::Stop << Message::NoUsb << 0;
        QTest::newRow("one mouse, no record") << "" << Devices{cabledMouse()} << ResumePlan::Stop << Message::NoReceive << 0;
        QTest::newRow("three fields") << "210,4,24" << Devices{receiver()} << ResumePlan::Stop << Message::NoUsb << 0;
        QTest::newRow("receiver failed, its mouse on the cable")
            << "211,4,24,1" << Devices{cabledMouse()} << ResumePlan::Resume << Message::None << 4;
        QTest::newRow("receiver failed, mouse of another model")
            << "211,4,24,1" << Devices{cabledMouse(2)} << ResumePlan::Stop << Message::NoUsb << 0;
        QTest::newRow("mouse failed, its receiver") << "210,8,24,1" << Devices{receiver()} << ResumePlan::Resume
                                                    << Message::None << 8;
        QTest::newRow("another maker id") << "211,4,5,1" << Devices{cabledMouse()} << ResumePlan::Stop << Message::Error << 4;
        QTest::newRow("receiver beside its mouse") << "" << Devices{receiver(1), cabledMouse()} << ResumePlan::Fresh
                                                   << Message::None << 4;
        QTest::newRow("two receivers") << "" << Devices{receiver(), receiver(1)} << ResumePlan::Stop << Message::NoUsb << 0;
        QTest::newRow("models differ") << "" << Devices{receiver(), cabledMouse(2)} << ResumePlan::Stop
                                       << Message::NoReceive << 0;
        QTest::newRow("three, two receivers") << "" << Devices{receiver(), receiver(1), cabledMouse()} << ResumePlan::Stop
                                              << Message::MultiDongle << 0;
        QTest::newRow("three, two mice") << "" << Devices{receiver(), cabledMouse(), cabledMouse(2)} << ResumePlan::Stop
                                         << Message::MultiMouse << 0;
    }
    void resumePlan()
    {
        QFETCH(QString, record);
        QFETCH(Devices, found);
        QFETCH(ResumePlan::Path, path);
        QFETCH(Message, tip);
        QFETCH(int, kind);
        const ResumePlan plan = PlanResume(ParseUpdateFailInfo(record), found);
        QCOMPARE(plan.path, path);
        QCOMPARE(plan.tip, tip);
        QCOMPARE(plan.kind, kind);
        QCOMPARE(plan.mouseBoot, ParseUpdateFailInfo(record) && record.startsWith(QLatin1String("210")));
    }

    void repairPlan_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<Devices>("list");
        QTest::addColumn<bool>("partnerTest");
        QTest::addColumn<Message>("tip");
        QTest::addColumn<int>("receivers");
        QTest::newRow("nothing listed") << "211,8,24,1" << Devices{} << true << Message::NoDevice << 0;
        QTest::newRow("receiver repair, its mouse listed") << "211,8,24,1" << Devices{cabledMouse()} << true
                                                            << Message::None << 0;
        QTest::newRow("receiver repair, a receiver listed") << "211,8,24,1" << Devices{receiver()} << true
                                                             << Message::NoUsb << 1;
        QTest::newRow("automatic: the receiver itself") << "211,8,24,1" << Devices{receiver()} << false
                                                         << Message::None << 1;
        QTest::newRow("receiver of another kind") << "211,4,24,1" << Devices{receiver()} << false << Message::None << 0;
        QTest::newRow("mouse repair, no receiver") << "210,8,24,1" << Devices{cabledMouse()} << true
                                                   << Message::NoReceive << 0;
        QTest::newRow("two mice") << "210,8,24,1" << Devices{cabledMouse(), cabledMouse(2)} << true
                                  << Message::MultiMouse << 0;
        QTest::newRow("receiver of another model") << "211,8,24,1" << Devices{cabledMouse(), receiver(5, 2)} << true
                                                   << Message::MultiDongle << 0;
    }
    void repairPlan()
    {
        QFETCH(QString, record);
        QFETCH(Devices, list);
        QFETCH(bool, partnerTest);
        QFETCH(Message, tip);
        QFETCH(int, receivers);
        DeviceDiscovery::PidLists pids;
        pids.usb = QStringList{QStringLiteral("F001")};
        pids.wireless4 = QStringList{QStringLiteral("F040")};
        pids.wireless8 = QStringList{QStringLiteral("F080")};
        const RepairPlan plan = PlanRepair(*ParseUpdateFailInfo(record), list, list, pids, partnerTest);
        QCOMPARE(plan.tip, tip);
        if (tip == Message::None)
            QCOMPARE(plan.receiversByPid, receivers);
    }

    void repairDecision_data()
    {
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("devices");
        QTest::addColumn<Message>("message");
        QTest::newRow("one device") << true << 1 << Message::None;
        QTest::newRow("none") << true << 0 << Message::NoDevice;
        QTest::newRow("two") << true << 2 << Message::SameDevice;
        QTest::newRow("no image, one device") << false << 1 << Message::FileError;
        QTest::newRow("no image, none: no start either") << false << 0 << Message::FileError;
    }
    void repairDecision()
    {
        QFETCH(bool, image);
        QFETCH(int, devices);
        QFETCH(Message, message);
        QCOMPARE(DecideRepair(image, devices), message);
    }

    void receiverBesideMouse_data()
    {
        QTest::addColumn<Devices>("found");
        QTest::addColumn<int>("beside");        // index in found, -1 none
        QTest::addColumn<int>("besideOfKind");  // the same with a receiver kind byte needed
        DeviceAllInfo noAddress = receiver();
        noAddress.address.clear();
        QTest::newRow("mouse, then receiver") << Devices{cabledMouse(), receiver()} << 1 << 1;
        QTest::newRow("three devices") << Devices{cabledMouse(), receiver(), receiver(1)} << -1 << -1;
        QTest::newRow("receiver without address") << Devices{cabledMouse(), noAddress} << -1 << -1;
        QTest::newRow("two mice") << Devices{cabledMouse(), cabledMouse(2)} << -1 << -1;
        QTest::newRow("no receiver kind byte") << Devices{cabledMouse(), receiver(2)} << 1 << -1;
    }
    void receiverBesideMouse()
    {
        QFETCH(Devices, found);
        QFETCH(int, beside);
        QFETCH(int, besideOfKind);
        QCOMPARE(ReceiverBesideMouse(found, false), beside);
        QCOMPARE(ReceiverBesideMouse(found, true), besideOfKind);
    }

    void versionTextsAndKind_data()
    {
        QTest::addColumn<DeviceAllInfo>("current");
        QTest::addColumn<bool>("online");
        QTest::addColumn<Devices>("found");
        QTest::addColumn<QString>("receiverText");
        QTest::addColumn<QString>("mouseText");
        QTest::addColumn<int>("kind");
        DeviceAllInfo rx = receiver(1);
        rx.firmwareVersion = QStringLiteral("v1.3");
        QTest::newRow("receiver online") << rx << true << Devices{rx} << "v1.4" << "v1.3" << 4;
        QTest::newRow("receiver offline") << rx << false << Devices{rx} << "v1.4" << "" << 4;
        QTest::newRow("mouse beside its receiver") << cabledMouse() << true << Devices{receiver(4), cabledMouse()} << "v1.4"
                                                   << "v1.5" << 2;
        QTest::newRow("mouse alone") << cabledMouse() << true << Devices{cabledMouse()} << "" << "v1.5" << 0;
    }
    void versionTextsAndKind()
    {
        QFETCH(DeviceAllInfo, current);
        QFETCH(bool, online);
        QFETCH(Devices, found);
        QFETCH(QString, receiverText);
        QFETCH(QString, mouseText);
        QFETCH(int, kind);
        const VersionTexts texts = VersionTextsOf(current, online, found);
        QCOMPARE(texts.receiver, receiverText);
        QCOMPARE(texts.mouse, mouseText);
        QCOMPARE(texts.kind, kind);
        QCOMPARE(CheckKind(current, found), kind);
    }

    void receiverPaths()
    {
        const DeviceAllInfo rx = receiver();
        QCOMPARE(ReceiverPaths(rx, {rx, cabledMouse()}), QStringList{rx.path});
        QCOMPARE(ReceiverPaths(cabledMouse(), {receiver(), receiver(1), cabledMouse()}),
                 (QStringList{receiver().path, receiver(1).path}));
        QCOMPARE(CabledMice({receiver(), cabledMouse(), cabledMouse(2)}), 2);
    }

    void receiverIdRecord_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("code");
        QTest::newRow("1 kHz") << 1 << 0;
        QTest::newRow("2 kHz") << 2 << 1;
        QTest::newRow("4 kHz") << 4 << 1;
        QTest::newRow("8 kHz") << 8 << 4;
        QTest::newRow("none") << 0 << 0;
    }
    void receiverIdRecord()
    {
        QFETCH(int, kind);
        QFETCH(int, code);
        const unsigned char reply[10] = {0, 0, 0, 0, 0, 0, 1, 0x11, 0x22, 0x33};
        const QByteArray record = ReceiverIdRecord(ReceiverIdBytes(reply), kind);
        QCOMPARE(record, QByteArray::fromHex("3322110000").left(4) + char(code));
    }
};

QTEST_GUILESS_MAIN(UpdateRulesTest)
#include "tst_updaterules.moc"
