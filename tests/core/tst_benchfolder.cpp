// A device bench whose folder cannot be created: the device list's search
// finds nothing and says why under dizadi.library (the folder and the
// reason), once, not again on every search. The whole run uses that folder:
// the library fixes its folder at its first use.
#include "DeviceDiscovery.h"
#include "Globals.h"

#include <QFile>
#include <QtTest>

namespace {

struct Logged {
    QString category;
    QString message;
};
QList<Logged> logged;
QtMessageHandler previous = nullptr;

void record(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg)
        logged.append({QString::fromLatin1(context.category ? context.category : ""), message});
    if (previous)
        previous(type, context, message);
}

}  // namespace

class BenchFolderTest : public QObject
{
    Q_OBJECT

    QString m_folder;

private slots:
    void initTestCase()
    {
        // A file where a parent folder should be: no one, root included, can
        // create the bench folder.
        const QString blocker = qEnvironmentVariable("DIZADI_TEST_TMP") + QStringLiteral("/blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        m_folder = blocker + QStringLiteral("/bench");
        qputenv("HIDUSB_BENCH", m_folder.toLocal8Bit());
        previous = qInstallMessageHandler(record);
    }

    void cleanupTestCase() { qInstallMessageHandler(previous); }

    void searchTellsTheFolderAndTheReason()
    {
        const QStringList ids = {QStringLiteral("F001"), QStringLiteral("F080")};
        DeviceDiscovery::FindDevices(QStringLiteral("7A51"), ids);
        QVERIFY(DeviceList.isEmpty());
        QCOMPARE(logged.size(), 1);
        QCOMPARE(logged.at(0).category, QStringLiteral("dizadi.library"));
        QVERIFY2(logged.at(0).message.contains(m_folder), qPrintable(logged.at(0).message));
        QVERIFY2(logged.at(0).message.contains(QStringLiteral("Not a directory")), qPrintable(logged.at(0).message));

        DeviceDiscovery::FindDevices(QStringLiteral("7A51"), ids);
        QCOMPARE(logged.size(), 1);
    }
};

QTEST_GUILESS_MAIN(BenchFolderTest)
#include "tst_benchfolder.moc"
