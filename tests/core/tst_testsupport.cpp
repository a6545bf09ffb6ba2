// The shared test support: a connect warning fails the test that caused it.
// The failing case runs in a child process of this test (it would fail this
// run otherwise) and is skipped when run directly.
#include "FailOnConnectWarning.h"

#include <QProcess>
#include <QtTest>

namespace {
const char* const ChildVariable = "DIZADI_CONNECT_WARNING_CHILD";
}

class TestSupportTest : public QObject
{
    Q_OBJECT

private slots:
    void connectWarningsAreTold_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("fails");
        QTest::newRow("misspelt signal") << int(QtWarningMsg)
                                         << "QObject::connect: No such signal QObject::nope()" << true;
        QTest::newRow("null sender") << int(QtWarningMsg)
                                     << "QObject::connect(QObject, Unknown): invalid nullptr parameter" << true;
        QTest::newRow("other warning") << int(QtWarningMsg) << "QWidget::setLayout: already has one" << false;
        QTest::newRow("debug line") << int(QtDebugMsg) << "QObject::connect: debug text" << false;
    }
    void connectWarningsAreTold()
    {
        QFETCH(int, type);
        QFETCH(QString, message);
        QFETCH(bool, fails);
        QCOMPARE(testsupport::IsConnectWarning(QtMsgType(type), message), fails);
    }

    // Only in the child: a connect by a misspelt name.
    void misspeltConnect()
    {
        if (!qEnvironmentVariableIsSet(ChildVariable))
            QSKIP("runs as the child of misspeltConnectFailsTheTest");
        QObject sender;
        QObject receiver;
        QObject::connect(&sender, SIGNAL(nope()), &receiver, SLOT(deleteLater()));
    }

    void misspeltConnectFailsTheTest()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("misspeltConnect")});
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() != 0, qPrintable(output));
        QVERIFY2(output.contains(QLatin1String("FAIL!  : TestSupportTest::misspeltConnect()")), qPrintable(output));
        QVERIFY2(output.contains(QLatin1String("No such signal QObject::nope()")), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestSupportTest)
#include "tst_testsupport.moc"
