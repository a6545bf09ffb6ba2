// A bench folder that cannot be created: the device search says why under
// dizadi.library (folder and reason), once. The library fixes its folder at
// its first use, so the whole run uses that folder.
#include "DeviceDiscovery.h"
#include "Globals.h"

#include <QFile>
#include <QtTest>

namespace {

QStringList logged;  // "category: message" of each warning
QtMessageHandler previous = nullptr;

void record(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg)
        logged.append(QString::fromLatin1(context.category ? context.category : "") + QStringLiteral(": ") + message);
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
        // A file where a parent folder should be: no one, root included, can create it.
        const QString blocker = qEnvironmentVariable("DIZADI_TEST_TMP") + QStringLiteral("/blocker");
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        m_folder = blocker + QStringLiteral("/bench");
        qputenv("HIDUSB_BENCH", m_folder.toLocal8Bit());
        previous = qInstallMessageHandler(record);
    }

    void cleanupTestCase() { qInstallMessageHandler(previous); }

    void searchTellsTheFolderAndTheReason()
    {
        const QStringList ids = {QStringLiteral("F001"), QStringLiteral("F080")};
        for (int search = 0; search < 2; ++search) {
            DeviceDiscovery::FindDevices(QStringLiteral("7A51"), ids);
            QVERIFY(DeviceList.isEmpty());
            QCOMPARE(logged.size(), 1);
        }
        const QString& told = logged.at(0);
        QVERIFY2(told.startsWith(QStringLiteral("dizadi.library: ")) && told.contains(m_folder)
                     && told.contains(QStringLiteral("Not a directory")),
                 qPrintable(told));
    }
};

QTEST_GUILESS_MAIN(BenchFolderTest)
#include "tst_benchfolder.moc"
