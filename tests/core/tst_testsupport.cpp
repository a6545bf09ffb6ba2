// The shared test support: a connect warning or a style sheet Qt cannot
// parse fails the test that caused it. The failing cases run in a child
// process of this test (they would fail this run otherwise) and are skipped
// when run directly. A test started outside the runner's world refuses to
// run. The globals fixture sets the situations and puts every global back.
#include "FailOnConnectWarning.h"
#include "GlobalsFixture.h"

#include <QLabel>
#include <QProcess>
#include <QtTest>

namespace {
const char* const ChildVariable = "DIZADI_CONNECT_WARNING_CHILD";
}

class TestSupportTest : public QObject
{
    Q_OBJECT

private slots:
    void failingWarningsAreTold_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("connect");
        QTest::addColumn<bool>("sheet");
        const int warning = QtWarningMsg, debug = QtDebugMsg;
        QTest::newRow("misspelt signal") << warning << "QObject::connect: No such signal QObject::nope()" << true << false;
        QTest::newRow("null sender") << warning << "QObject::connect(QObject, Unknown): invalid nullptr parameter" << true
                                     << false;
        QTest::newRow("sheet of a widget") << warning << "Could not parse stylesheet of object QLabel(0x1234)" << false
                                           << true;
        QTest::newRow("application sheet") << warning << "Could not parse application stylesheet" << false << true;
        QTest::newRow("parser") << warning << "QCssParser::parseColorValue: Specified color with alpha value" << false
                                << true;
        QTest::newRow("other warning") << warning << "QWidget::setLayout: already has one" << false << false;
        QTest::newRow("connect debug line") << debug << "QObject::connect: debug text" << false << false;
        QTest::newRow("sheet debug line") << debug << "Could not parse stylesheet of object" << false << false;
    }
    void failingWarningsAreTold()
    {
        QFETCH(int, type);
        QFETCH(QString, message);
        QFETCH(bool, connect);
        QFETCH(bool, sheet);
        QCOMPARE(testsupport::IsConnectWarning(QtMsgType(type), message), connect);
        QCOMPARE(testsupport::IsStyleSheetWarning(QtMsgType(type), message), sheet);
        QCOMPARE(testsupport::IsFailingWarning(QtMsgType(type), message), connect || sheet);
    }

    // Only in the child: a label whose colour has no alpha, drawn once.
    void badSheet()
    {
        if (!qEnvironmentVariableIsSet(ChildVariable))
            QSKIP("runs as the child of childFails");
        QLabel label(QStringLiteral("text"));
        label.setStyleSheet(QStringLiteral("QLabel{color: rgba(255, 106, 0);}"));
        (void)label.grab();  // the sheet is parsed when the label is polished
    }

    // Only in the child: a connect by a misspelt name.
    void misspeltConnect()
    {
        if (!qEnvironmentVariableIsSet(ChildVariable))
            QSKIP("runs as the child of childFails");
        QObject sender;
        QObject receiver;
        QObject::connect(&sender, SIGNAL(nope()), &receiver, SLOT(deleteLater()));
    }

    void childFails_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("told");
        QTest::newRow("misspelt connect") << "misspeltConnect" << "No such signal QObject::nope()";
        QTest::newRow("bad style sheet") << "badSheet" << "style sheet warning: QCssParser::";
    }
    void childFails()
    {
        QFETCH(QString, function);
        QFETCH(QString, told);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {function});
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() != 0, qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("FAIL!  : TestSupportTest::") + function + QStringLiteral("()")),
                 qPrintable(output));
        QVERIFY2(output.contains(told), qPrintable(output));
    }
    // A test started with a HOME, bench or XDG folder that is not inside the
    // runner's temporary folder once resolved stops before it touches a
    // file: a device library test, whose guard is the Qt tests' own.
    void testsRefuseOutsideTheirWorld_data()
    {
        QTest::addColumn<QString>("world");     // DIZADI_TEST_TMP; "-": unset
        QTest::addColumn<QString>("home");      // below this test's world
        QTest::addColumn<QString>("variable");  // one more set below this test's world
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("exitCode");
        const QString world = qEnvironmentVariable("DIZADI_TEST_TMP");
        QTest::newRow("no world") << "-" << "/home" << QString() << QString() << 2;
        QTest::newRow("the world is /") << "/" << "/home" << QString() << QString() << 2;
        QTest::newRow("home elsewhere") << world + "/home" << "/run" << QString() << QString() << 2;
        QTest::newRow("home climbs out") << world << "/home/../.." << QString() << QString() << 2;
        QTest::newRow("home a link out") << world << "/out" << QString() << QString() << 2;
        QTest::newRow("bench climbs out") << world << "/home" << "HIDUSB_BENCH" << "/bench/../.." << 2;
        QTest::newRow("config not made, through a link out")
            << world << "/home" << "XDG_CONFIG_HOME" << "/out/not-made" << 2;
        QTest::newRow("data not made, climbing out") << world << "/home" << "XDG_DATA_HOME" << "/new/../.." << 2;
        QTest::newRow("state a link out") << world << "/home" << "XDG_STATE_HOME" << "/out/tmp" << 2;
        QTest::newRow("all inside, the bench not made") << world << "/home" << "HIDUSB_BENCH" << "/bench/new" << 0;
    }
    void testsRefuseOutsideTheirWorld()
    {
        QFETCH(QString, world);
        QFETCH(QString, home);
        QFETCH(QString, variable);
        QFETCH(QString, value);
        QFETCH(int, exitCode);
        const QString root = qEnvironmentVariable("DIZADI_TEST_TMP");
        QVERIFY(QFileInfo::exists(root + "/out") || QFile::link(QDir::rootPath(), root + "/out"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DIZADI_TEST_TMP");
        if (world != "-")
            env.insert("DIZADI_TEST_TMP", world);
        env.insert("HOME", root + home);
        if (!variable.isEmpty())
            env.insert(variable, root + value);
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationDirPath() + "/hidusb_codec", QStringList());
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), exitCode);
        QCOMPARE(child.readAllStandardError().startsWith("refused: "), exitCode == 2);
    }

    void situationsSetTheFlags_data()
    {
        QTest::addColumn<int>("situation");
        QTest::addColumn<int>("mainPage");
        QTest::addColumn<bool>("online");
        QTest::addColumn<bool>("offline");
        QTest::newRow("device list") << int(testsupport::Situation::DeviceList) << 0 << false << false;
        QTest::newRow("pages online") << int(testsupport::Situation::PagesOnline) << 1 << true << false;
        QTest::newRow("pages offline") << int(testsupport::Situation::PagesOffline) << 1 << false << true;
    }
    void situationsSetTheFlags()
    {
        QFETCH(int, situation);
        QFETCH(int, mainPage);
        QFETCH(bool, online);
        QFETCH(bool, offline);
        {
            const testsupport::GlobalsFixture globals;
            WorkerRun = true;
            OnlinePollEnabled = false;
            testsupport::SetDevice(7, 1, QStringLiteral("hidbench/mouse2"));
            FlashDataMap image{};
            image.reportRate = 1;
            testsupport::SetImage(image, false);
            MouseLeftText.clear();
            testsupport::EnterSituation(testsupport::Situation(situation));
            QCOMPARE(OnMainPage.load(), mainPage);
            QCOMPARE(UiReady.load(), mainPage == 1);
            QCOMPARE(ImageBelongsToDevice.load(), mainPage == 1);
            QCOMPARE(DeviceOnline.load(), online);
            QCOMPARE(ReadAgain.load(), offline);
            QVERIFY(!WorkerRun.load() && OnlinePollEnabled.load());
            // Only the device list forgets the device.
            QCOMPARE(CurrentDeviceInfo.directMouse, uint8_t(mainPage));
        }
        // All back.
        QVERIFY(CurrentDeviceInfo.path.isEmpty());
        QCOMPARE(SnapshotFlashData().reportRate, uint8_t(0));
        QCOMPARE(OnMainPage.load(), 0);
        QVERIFY(!WorkerRun.load() && !UiReady.load() && OnlinePollEnabled.load());
        QCOMPARE(MouseLeftText, QStringLiteral("Mouse Left"));
    }
};

QTEST_MAIN(TestSupportTest)
#include "tst_testsupport.moc"
