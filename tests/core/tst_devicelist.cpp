// The device list against the simulated device bench: identification,
// the search and its order, the link query and the hover refresh, the
// pages (names, places, marks, badges, arrows), the receiver hidden beside
// its model's cabled mouse, the duplicate notice, USB changes from the
// library's thread and from the bench itself, and the language texts.
#include "DeviceListTestSupport.h"

#include "DeviceDiscovery.h"
#include "FirmwareUpdate.h"
#include "MacroSettings.h"
#include "PostMsg.h"
#include "QuestiondialogB.h"
#include "RegistryStore.h"
#include "UserFixture.h"

#include <QComboBox>
#include <QMutex>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <dlfcn.h>

#include <thread>

using namespace devlisttest;

// ---- a recording layer over two calls of the real library --------------------

namespace calls {
QMutex mutex;
QStringList searched;           // product ids, in call order
QList<int> countsIn;            // *count on entry
int offGuiThread = 0;           // searches made off the GUI thread
int dirtyAddressBuffers = 0;    // address buffers that were not zero on entry

void clear()
{
    QMutexLocker lock(&mutex);
    searched.clear();
    countsIn.clear();
    offGuiThread = 0;
    dirtyAddressBuffers = 0;
}

template <typename F>
F real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
}  // namespace calls

extern "C" {
char** UsbFinderC_FindHidDevicesByDefaultDeviceId(const char* vid, const char* pid, int* count)
{
    {
        QMutexLocker lock(&calls::mutex);
        calls::searched.append(QString::fromLatin1(pid));
        calls::countsIn.append(count ? *count : -1);
        if (qApp && QThread::currentThread() != qApp->thread())
            ++calls::offGuiThread;
    }
    return calls::real<char** (*)(const char*, const char*, int*)>("UsbFinderC_FindHidDevicesByDefaultDeviceId")(
        vid, pid, count);
}
unsigned char UsbFinderC_GetDeviceOnLineWithUsbAddress(const char* path, unsigned char* buffer)
{
    bool zero = true;
    for (int i = 0; buffer && i < 10; ++i)
        zero = zero && buffer[i] == 0;
    if (!zero) {
        QMutexLocker lock(&calls::mutex);
        ++calls::dirtyAddressBuffers;
    }
    return calls::real<unsigned char (*)(const char*, unsigned char*)>("UsbFinderC_GetDeviceOnLineWithUsbAddress")(
        path, buffer);
}
}

namespace {

// Base64 of the id texts used below.
const char* const F001 = "RjAwMQ==";
const char* const F002 = "RjAwMg==";
const char* const F010 = "RjAxMA==";
const char* const F020 = "RjAyMA==";
const char* const F040 = "RjA0MA==";
const char* const F080 = "RjA4MA==";

// A model table with the given [Option] id lists and model groups.
QString tableWith(const QString& lists, const QString& groups, int total = 2)
{
    return QStringLiteral("[Option]\nDeviceTotal=%1\nCID=MjQ=\nVID=N0E1MQ==\n").arg(total) + lists
           + QStringLiteral("\n") + groups;
}
QString defaultLists()
{
    return QStringLiteral("USB_PID=%1,%2\nWireless_PID=%3\nWireless2_PID=%4\nWireless4_PID=%5\nWireless8_PID=%6\n")
        .arg(QLatin1String(F001), QLatin1String(F002), QLatin1String(F010), QLatin1String(F020),
             QLatin1String(F040), QLatin1String(F080));
}
QString defaultGroups()
{
    return QStringLiteral("[Drive1]\nMID=1\n[Drive2]\nMID=2\n");
}

DeviceAllInfo record(const QString& id)
{
    DeviceAllInfo info;
    info.path = benchPath(id);
    return info;
}

QString sheetOf(QWidget* w)
{
    return w ? w->styleSheet() : QString();
}

// Whether w would be seen when its page is shown.
bool shownOnPage(QWidget* w)
{
    return w && !w->isHidden();
}

}  // namespace

class DeviceListTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;

    void useTable(const QString& text) { installAppDir(m_appDir.path(), text); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_appDir.isValid());
        useTable(tableWith(defaultLists(), defaultGroups()));
        testsupport::PrepareUserState();
    }

    void init()
    {
        useTable(tableWith(defaultLists(), defaultGroups()));
        resetBench();
        DeviceList.clear();
        DeviceListB.clear();
        OnMainPage = 0;
        RegistryStore(ProgramRegistryKey()).remove(QStringLiteral("UpdateFailInfo"));
        calls::clear();
    }

    void cleanupTestCase()
    {
        StopUsbChanged();
    }

    // ---- identification ----------------------------------------------------------

    void identificationSilentAndMismatched()
    {
        ModelCount = 2;
        // Ten silent answers: unmatched, the record's ids kept.
        resetBench({silentFor("rx8k", 10), silentFor("mouse2", 10)});
        DeviceAllInfo rx = record(QStringLiteral("rx8k"));
        rx.cid = 7;
        rx.mid = 8;
        rx.type = 9;
        QVERIFY(DialogChange::ReadDeviceInfo(rx));
        QCOMPARE(rx.driveIndex, 2);
        QCOMPARE(int(rx.cid), 7);
        QCOMPARE(int(rx.mid), 8);
        QCOMPARE(int(rx.type), 9);
        QCOMPARE(int(rx.directMouse), 0);  // kind 5 of the tenth answer: a receiver
        DeviceAllInfo mouse = record(QStringLiteral("mouse2"));
        QVERIFY(DialogChange::ReadDeviceInfo(mouse));
        QCOMPARE(mouse.driveIndex, 2);
        QCOMPARE(int(mouse.directMouse), 1);

        // Nine silent answers: the tenth carries the identity but is not taken.
        resetBench({silentFor("rx8k", 9)});
        rx = record(QStringLiteral("rx8k"));
        QVERIFY(DialogChange::ReadDeviceInfo(rx));
        QCOMPARE(rx.driveIndex, 2);
        QCOMPARE(int(rx.cid), 0);

        // Eight: the ninth answer identifies it.
        resetBench({silentFor("rx8k", 8)});
        rx = record(QStringLiteral("rx8k"));
        QVERIFY(DialogChange::ReadDeviceInfo(rx));
        QCOMPARE(rx.driveIndex, 0);
        QCOMPARE(int(rx.cid), 24);
        QCOMPARE(int(rx.mid), 1);
        QCOMPARE(int(rx.type), 5);
        QCOMPARE(int(rx.online), 1);

        // Another maker's id with a known model id: unmatched, ids untouched.
        resetBench({{"set", "rx8k", "cid=25"}});
        rx = record(QStringLiteral("rx8k"));
        QVERIFY(DialogChange::ReadDeviceInfo(rx));
        QCOMPARE(rx.driveIndex, 2);
        QCOMPARE(int(rx.cid), 0);
        QCOMPARE(int(rx.mid), 0);
    }

    void identificationGroupsAndNoModels()
    {
        // Two groups with the device's model id: the lower one.
        useTable(tableWith(defaultLists(), QStringLiteral("[Drive1]\nMID=7\n[Drive2]\nMID=1\n[Drive3]\nMID=1\n"), 3));
        DeviceAllInfo rx = record(QStringLiteral("rx8k"));
        QVERIFY(DialogChange::ReadDeviceInfo(rx));
        QCOMPARE(rx.driveIndex, 1);

        // No model groups: an identified device is not listed, a silent one
        // is, as unmatched (index 0 = DeviceTotal).
        useTable(tableWith(defaultLists(), QString(), 0));
        rx = record(QStringLiteral("rx8k"));
        QVERIFY(!DialogChange::ReadDeviceInfo(rx));
        resetBench({silentFor("mouse2", 10)});
        DeviceAllInfo mouse = record(QStringLiteral("mouse2"));
        QVERIFY(DialogChange::ReadDeviceInfo(mouse));
        QCOMPARE(mouse.driveIndex, 0);

        DialogChange page;
        StopUsbChanged();
        bench(silentFor("mouse2", 10));
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceListB), QStringList({benchPath("mouse2")}));
        QCOMPARE(page.DeviceButtons().size(), 1);
        QVERIFY(sheetOf(page.DeviceButtons().value(0)).contains(QStringLiteral("Unknow.png")));
    }

    // ---- search ---------------------------------------------------------------

    void searchOrderEmptyElementsAndRepeatedIds()
    {
        // An empty element is not searched; an id in two lists is searched
        // twice, but its device is listed once.
        useTable(tableWith(QStringLiteral("USB_PID=%1,,%2\nWireless_PID=%3,%4\nWireless2_PID=%5\nWireless4_PID=\n"
                                          "Wireless8_PID=%4\n")
                               .arg(QLatin1String(F001), QLatin1String(F002), QLatin1String(F010),
                                    QLatin1String(F080), QLatin1String(F020)),
                           defaultGroups()));
        resetBench({{"add", "rx2k", "id=rxb"}});
        DialogChange page;
        StopUsbChanged();
        calls::clear();
        QVERIFY(search(page));
        QCOMPARE(calls::searched, QStringList({"F001", "F002", "F010", "F080", "F020", "F080"}));
        QCOMPARE(calls::countsIn, QList<int>({5, 5, 5, 5, 5, 5}));
        QCOMPARE(calls::offGuiThread, 0);
        QCOMPARE(paths(DeviceListB), QStringList({benchPath("mouse2"), benchPath("rx8k"), benchPath("rxb")}));
        QCOMPARE(UsbPidList, QStringList({"F001", "", "F002"}));
        QCOMPARE(Wireless8PidList, QStringList({"F080"}));

        const DeviceAllInfo rx = DeviceListB.at(1);
        QCOMPARE(rx.vid, QStringLiteral("7A51"));
        QCOMPARE(rx.pid, QStringLiteral("F080"));  // the id it was first found under
        QCOMPARE(rx.usbVersion, QStringLiteral("v1.5"));
        QCOMPARE(int(rx.online), 1);
        QCOMPARE(rx.address, QVector<uint8_t>({0x5A, 0x8C, 0x21}));
        QCOMPARE(calls::dirtyAddressBuffers, 0);
    }

    // ---- pages ----------------------------------------------------------------

    void pages_data()
    {
        QTest::addColumn<QList<QStringList>>("commands");
        QTest::addColumn<QStringList>("listed");

        const QList<QStringList> three = {{"unplug", "mouse2"}, {"add", "rx1k", "id=rxa"}, {"add", "rx2k", "id=rxb"}};
        QTest::newRow("3") << three << QStringList({"rxa", "rxb", "rx8k"});
        QList<QStringList> four = three;
        four.append({"add", "rx4k", "id=rxc"});
        QTest::newRow("4") << four << QStringList({"rxa", "rxb", "rxc", "rx8k"});
        QList<QStringList> six = four;
        six.append({"add", "rx1k", "id=rxd", "mid=2"});
        six.append({"add", "rx2k", "id=rxe", "mid=2"});
        QTest::newRow("6") << six << QStringList({"rxa", "rxd", "rxb", "rxe", "rxc", "rx8k"});
    }

    void pages()
    {
        QFETCH(QList<QStringList>, commands);
        QFETCH(QStringList, listed);
        resetBench(commands);
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));

        QStringList expected;
        for (const QString& id : listed)
            expected.append(benchPath(id));
        QCOMPARE(paths(DeviceList), expected);
        const int n = listed.size();
        QCOMPARE(page.Pages()->count(), (n + 2) / 3);
        QCOMPARE(page.Pages()->currentIndex(), 0);
        QCOMPARE(page.DeviceButtons().size(), n);
        QCOMPARE(page.OfflineMarks().size(), n);
        QCOMPARE(page.LinkMarks().size(), n);
        QCOMPARE(page.RateBadges().size(), n);  // all are receivers of a rate list

        const QList<ButtonPlace> places = buttonPlaces(page);
        for (int i = 0; i < n; ++i) {
            int x = 300 * (i % 3);
            if (i / 3 == n / 3 && n % 3 == 1)
                x = 305;
            else if (i / 3 == n / 3 && n % 3 == 2)
                x = i % 3 == 0 ? 135 : 445;
            QCOMPARE(places[i].name, QStringLiteral("btn%1").arg(i));
            QCOMPARE(places[i].page, i / 3);
            QCOMPARE(places[i].pos, QPoint(x, 0));
            QCOMPARE(page.DeviceButtons()[i]->size(), QSize(284, 360));
            QLabel* offline = page.OfflineMarks()[i];
            QLabel* link = page.LinkMarks()[i];
            QCOMPARE(offline->objectName(), QStringLiteral("label%1").arg(i));
            QCOMPARE(link->objectName(), QStringLiteral("UsbWifi%1").arg(i));
            QCOMPARE(offline->pos(), QPoint(x + 225, 20));
            QCOMPARE(link->pos(), QPoint(x + 225, 20));
            QCOMPARE(page.RateBadges()[i]->pos(), QPoint(x + 7, 10));
            QCOMPARE(page.RateBadges()[i]->size(), QSize(42, 26));
            QVERIFY(sheetOf(link).contains(QStringLiteral("OnLineWifi.png")));

            // Only the receiver with its mouse in reach is online.
            const bool online = listed[i] == QLatin1String("rx8k");
            QCOMPARE(int(DeviceList[i].online), online ? 1 : 0);
            QVERIFY(sheetOf(page.DeviceButtons()[i]).contains(online ? "OnLine0.png" : "DisOnlin0.png"));
            QCOMPARE(shownOnPage(offline), !online);
            QCOMPARE(shownOnPage(link), online);
        }
        // Rate badges by the receivers' ids.
        QVERIFY(sheetOf(page.RateBadges()[0]).contains(QStringLiteral("1KHz.png")));
        QVERIFY(sheetOf(page.RateBadges()[n - 1]).contains(QStringLiteral("8KHz.png")));

        auto* right = page.findChild<QToolButton*>(QStringLiteral("RightButton"));
        auto* left = page.findChild<QToolButton*>(QStringLiteral("LeftButton"));
        QCOMPARE(shownOnPage(right), n > 3);
        QVERIFY(!shownOnPage(left));
        QVERIFY(!shownOnPage(page.findChild<QLabel*>(QStringLiteral("label_2"))));
        QVERIFY(shownOnPage(page.findChild<QLabel*>(QStringLiteral("label_3"))));
        if (n == 4)
            QCOMPARE(page.LinkMarks()[3]->toolTip(), page.OfflineTipText());  // one device on the last page
    }

    void pagingArrowsOverThreePages()
    {
        resetBench({{"unplug", "mouse2"},
                    {"add", "rx1k", "id=rxa"},
                    {"add", "rx2k", "id=rxb"},
                    {"add", "rx4k", "id=rxc"},
                    {"add", "rx1k", "id=rxd", "mid=2"},
                    {"add", "rx2k", "id=rxe", "mid=2"},
                    {"add", "rx4k", "id=rxf", "mid=2"}});
        DialogChange page;
        StopUsbChanged();
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(search(page));
        QCOMPARE(page.Pages()->count(), 3);
        auto* right = page.findChild<QToolButton*>(QStringLiteral("RightButton"));
        auto* left = page.findChild<QToolButton*>(QStringLiteral("LeftButton"));
        const auto arrows = [&] { return QPair<bool, bool>(left->isVisible(), right->isVisible()); };

        QCOMPARE(arrows(), qMakePair(false, true));
        QTest::mouseClick(right, Qt::LeftButton);
        QCOMPARE(page.Pages()->currentIndex(), 1);
        QCOMPARE(arrows(), qMakePair(true, true));
        QTest::mouseClick(right, Qt::LeftButton);
        QCOMPARE(page.Pages()->currentIndex(), 2);
        QCOMPARE(arrows(), qMakePair(true, false));
        QTest::mouseClick(left, Qt::LeftButton);
        QCOMPARE(page.Pages()->currentIndex(), 1);
        QCOMPARE(arrows(), qMakePair(true, true));
        QTest::mouseClick(left, Qt::LeftButton);
        QCOMPARE(page.Pages()->currentIndex(), 0);
        QCOMPARE(arrows(), qMakePair(false, true));
        // The last page holds one device, in the middle.
        QCOMPARE(page.DeviceButtons()[6]->pos(), QPoint(305, 0));

        // A smaller list after the next search starts on its first page, arrows as it needs.
        QTest::mouseClick(right, Qt::LeftButton);
        bench({"unplug", "rxd"});
        bench({"unplug", "rxe"});
        bench({"unplug", "rxf"});
        QVERIFY(search(page));
        QCOMPARE(page.Pages()->count(), 2);
        QCOMPARE(arrows(), qMakePair(false, true));
        bench({"unplug", "rxa"});
        bench({"unplug", "rxb"});
        bench({"unplug", "rxc"});
        bench({"unplug", "rx8k"});
        QVERIFY(search(page));
        QCOMPARE(page.Pages()->count(), 0);
        QCOMPARE(arrows(), qMakePair(false, false));
        QVERIFY(page.findChild<QLabel*>(QStringLiteral("label_2"))->isVisible());
        QVERIFY(!page.findChild<QLabel*>(QStringLiteral("label_3"))->isVisible());
    }

    void cabledMouseStandsForItsModelsReceivers()
    {
        // A cabled mouse of the first model, the receiver's.
        resetBench({firstModelOnCable(), {"add", "rx1k", "id=rxd", "mid=2"}});
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        // The model-1 receiver goes; the other model's receiver stays.
        QCOMPARE(paths(DeviceList), QStringList({benchPath("mouse2"), benchPath("rxd")}));
        QCOMPARE(paths(DeviceListB), QStringList({benchPath("mouse2"), benchPath("rxd"), benchPath("rx8k")}));
        QCOMPARE(page.DeviceButtons().size(), 2);
        QVERIFY(sheetOf(page.LinkMarks()[0]).contains(QStringLiteral("OnLineUsb.png")));
        QVERIFY(shownOnPage(page.LinkMarks()[0]));
        QCOMPARE(page.RateBadges().size(), 1);  // the mouse has none
        QVERIFY(sheetOf(page.RateBadges()[0]).contains(QStringLiteral("1KHz.png")));
        // The receiver kept in DeviceListB has its link state too.
        QCOMPARE(DeviceListB[2].address, QVector<uint8_t>({0x5A, 0x8C, 0x21}));
        QCOMPARE(int(DeviceListB[2].online), 1);

        // The default bench's cabled mouse is of the second model: it stands
        // for the model-2 receiver, and the model-1 receiver is listed.
        resetBench({{"add", "rx1k", "id=rxd", "mid=2"}});
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("mouse2"), benchPath("rx8k")}));
        QCOMPARE(paths(DeviceListB), QStringList({benchPath("mouse2"), benchPath("rxd"), benchPath("rx8k")}));
        QCOMPARE(page.RateBadges().size(), 1);
        QVERIFY(sheetOf(page.RateBadges()[0]).contains(QStringLiteral("8KHz.png")));
    }

    void receiverOnlyInUsbIdsIsNeitherCountedNorBadged()
    {
        useTable(tableWith(QStringLiteral("USB_PID=%1,%2\nWireless_PID=%3\nWireless8_PID=\n")
                               .arg(QLatin1String(F001), QLatin1String(F080), QLatin1String(F010)),
                           defaultGroups()));
        resetBench({{"unplug", "mouse2"}, {"add", "rx8k", "id=rxz"}});
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        QVERIFY(!page.DuplicateNoticePending());
        QCOMPARE(paths(DeviceList), QStringList({benchPath("rx8k"), benchPath("rxz")}));
        QCOMPARE(page.DeviceButtons().size(), 2);
        QCOMPARE(page.RateBadges().size(), 0);
    }

    void duplicates_data()
    {
        QTest::addColumn<QList<QStringList>>("commands");
        QTest::newRow("two 8 kHz receivers") << QList<QStringList>({{"unplug", "mouse2"}, {"add", "rx8k", "id=rxz"}});
        // A second cabled mouse of the first model beside one of its own.
        QTest::newRow("two cabled mice") << QList<QStringList>({firstModelOnCable(), {"add", "mouse", "id=mz"}});
        QTest::newRow("two unmatched receivers")
            << QList<QStringList>({{"unplug", "mouse2"}, {"set", "rx8k", "cid=30"}, {"add", "rx8k", "id=rxz", "cid=30"}});
    }

    void duplicates()
    {
        QFETCH(QList<QStringList>, commands);
        resetBench(commands);
        DialogChange page;
        StopUsbChanged();
        // A page from before (the default bench: the cabled mouse and the
        // receiver): the notice search empties it.
        resetBench();
        QVERIFY(search(page));
        QCOMPARE(page.DeviceButtons().size(), 2);
        resetBench(commands);

        QString noticeClass;
        whileModal([&](QWidget* modal) { noticeClass = modal ? modal->metaObject()->className() : QString(); });
        QVERIFY(search(page));
        QVERIFY(QTest::qWaitFor([&] { return !page.DuplicateNoticePending(); }));
        QCOMPARE(noticeClass, QStringLiteral("QuestiondialogB"));
        QCOMPARE(page.DeviceButtons().size(), 0);
        QCOMPARE(page.Pages()->count(), 0);
        QVERIFY(shownOnPage(page.findChild<QLabel*>(QStringLiteral("label_2"))));
        QVERIFY(!shownOnPage(page.findChild<QLabel*>(QStringLiteral("label_3"))));
        QVERIFY(!shownOnPage(page.findChild<QToolButton*>(QStringLiteral("RightButton"))));
        QVERIFY(!shownOnPage(page.findChild<QToolButton*>(QStringLiteral("LeftButton"))));
        QCOMPARE(DeviceListB.size(), DeviceList.size());
    }

    void duplicateNoticeComesAfterTheRebuild()
    {
        resetBench({{"unplug", "mouse2"}, {"add", "rx8k", "id=rxz"}});
        DialogChange page;
        StopUsbChanged();
        DeviceDiscovery::StorePidLists(DeviceDiscovery::ReadPidLists());
        DialogChange::FindDevices(QStringLiteral("7A51"), {"F080"});
        QCOMPARE(DeviceList.size(), 2);
        page.BuildDevicePages();
        // Returned without a dialog; the notice comes from the event loop.
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(page.DuplicateNoticePending());
        bool seen = false;
        whileModal([&](QWidget* modal) { seen = qobject_cast<QuestiondialogB*>(modal) != nullptr; });
        QVERIFY(QTest::qWaitFor([&] { return !page.DuplicateNoticePending(); }));
        QVERIFY(seen);

        // Twins gone before a queued notice runs: no notice.
        page.BuildDevicePages();
        DeviceList.removeLast();
        DeviceListB.removeLast();
        page.BuildDevicePages();
        pump(100);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!page.DuplicateNoticePending());
        QCOMPARE(page.DeviceButtons().size(), 1);
    }

    void countingTableFollowsDeviceTotal()
    {
        // Twenty models; the devices' model id is that of group 16.
        useTable(tableWith(defaultLists(), QStringLiteral("[Drive16]\nMID=1\n"), 20));
        resetBench({firstModelOnCable()});
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        QCOMPARE(DeviceListB.value(0).driveIndex, 15);
        QCOMPARE(paths(DeviceList), QStringList({benchPath("mouse2")}));  // its receiver stands behind it

        resetBench({{"add", "mouse", "id=mz", "cid=40"}, {"add", "mouse", "id=my", "cid=40"}});
        whileModal([](QWidget*) {});
        QVERIFY(search(page));
        QVERIFY(QTest::qWaitFor([&] { return !page.DuplicateNoticePending(); }));
        QCOMPARE(DeviceList.value(1).driveIndex, 20);  // unmatched twins counted in their own column
        QCOMPARE(page.DeviceButtons().size(), 0);
    }

    void hugeModelCountStillLists_data()
    {
        QTest::addColumn<int>("total");
        QTest::newRow("2^31 - 1") << 2147483647;
        QTest::newRow("2^30 - 1") << 1073741823;
    }

    void hugeModelCountStillLists()
    {
        // An installed table that names far more models than can exist: the
        // list is built with the most groups the program looks at.
        QFETCH(int, total);
        useTable(tableWith(defaultLists(), defaultGroups(), total));
        resetBench({{"add", "mouse", "id=mz", "cid=40"}});
        DialogChange page;
        StopUsbChanged();
        QCOMPARE(ModelCount.load(), ConfigSettings::MaxModelGroups);
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceListB), QStringList({benchPath("mouse2"), benchPath("mz"), benchPath("rx8k")}));
        QCOMPARE(DeviceListB.value(0).driveIndex, 1);
        QCOMPARE(DeviceListB.value(1).driveIndex, ConfigSettings::MaxModelGroups);  // unmatched
        QCOMPARE(DeviceListB.value(2).driveIndex, 0);
        QCOMPARE(page.DeviceButtons().size(), DeviceList.size());
    }

    // ---- link query and hover refresh --------------------------------------------

    void hoverRefreshesTheEntryOfItsPath()
    {
        // The receiver is found first, so DeviceListB and DeviceList differ
        // in their order once it is hidden behind the cabled mouse of its
        // model.
        resetBench({firstModelOnCable()});
        useTable(tableWith(QStringLiteral("USB_PID=%1,%2\nWireless8_PID=%1\n").arg(QLatin1String(F080), QLatin1String(F001)),
                           defaultGroups()));
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceListB), QStringList({benchPath("rx8k"), benchPath("mouse2")}));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("mouse2")}));
        mytoolButtonEnter* button = page.DeviceButtons().value(0);
        QVERIFY(button);

        bench({"offline", "mouse2"});
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(button, &enter);
        QCOMPARE(int(DeviceList[0].online), 0);
        QCOMPARE(paths(DeviceListB), QStringList({benchPath("rx8k"), benchPath("mouse2")}));
        QCOMPARE(int(DeviceListB[1].online), 0);
        QCOMPARE(int(DeviceListB[0].online), 1);
        QVERIFY(sheetOf(button).contains(QStringLiteral("DisOnlin0.png")));
        QVERIFY(shownOnPage(page.OfflineMarks()[0]));
        QVERIFY(!shownOnPage(page.LinkMarks()[0]));

        bench({"online", "mouse2"});
        QApplication::sendEvent(button, &enter);
        QCOMPARE(int(DeviceListB[1].online), 1);
        QVERIFY(sheetOf(button).contains(QStringLiteral("OnLine0.png")));
        QVERIFY(!shownOnPage(page.OfflineMarks()[0]));
        QVERIFY(shownOnPage(page.LinkMarks()[0]));

        // Gone from the bus: it keeps its ids but shows as unmatched.
        bench({"unplug", "mouse2"});
        QApplication::sendEvent(button, &enter);
        QCOMPARE(DeviceList[0].driveIndex, 2);
        QCOMPARE(int(DeviceList[0].cid), 24);
        QCOMPARE(int(DeviceList[0].mid), 1);
        QCOMPARE(int(DeviceList[0].type), 2);
        QCOMPARE(int(DeviceList[0].online), 0);
        QVERIFY(sheetOf(button).contains(QStringLiteral("Unknow.png")));
        QVERIFY(shownOnPage(page.LinkMarks()[0]));

        // Indexes outside the list change nothing.
        const QList<DeviceAllInfo> before = DeviceListB;
        QVERIFY(page.RefreshOnlineState(1));
        QVERIFY(page.RefreshOnlineState(-1));
        button->setObjectName(QStringLiteral("btn7"));
        QApplication::sendEvent(button, &enter);
        QCOMPARE(paths(DeviceListB), paths(before));
        QCOMPARE(DeviceListB[0].address, before[0].address);
        QCOMPARE(calls::dirtyAddressBuffers, 0);
    }

    // ---- USB changes ----------------------------------------------------------------

    void changesFromTheLibraryThreadRunOnceOnTheGuiThread()
    {
        DialogChange page;
        StopUsbChanged();
        pump(800);  // the library's own call after registration has come and gone
        const int before = page.SearchesRun();
        std::thread library([] {
            for (int i = 0; i < 25; ++i)
                DialogChange::OnUsbChanged();
        });
        library.join();
        QCOMPARE(page.SearchesRun(), before);  // nothing ran on the library's thread
        pump(150);
        QCOMPARE(page.SearchesRun(), before + 1);
        QCOMPARE(calls::offGuiThread, 0);
        QCOMPARE(paths(DeviceList), QStringList({benchPath("mouse2"), benchPath("rx8k")}));
    }

    void unplugInTheBenchUpdatesTheList()
    {
        DialogChange page;  // registers its callback: the library watches the bench
        QVERIFY(QTest::qWaitFor([&] { return page.DeviceButtons().size() == 2; }, 5000));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("mouse2"), benchPath("rx8k")}));

        bench({"unplug", "mouse2"});
        QVERIFY(QTest::qWaitFor([&] { return paths(DeviceList) == QStringList({benchPath("rx8k")}); }, 5000));
        QCOMPARE(page.DeviceButtons().size(), 1);
        QVERIFY(sheetOf(page.LinkMarks()[0]).contains(QStringLiteral("OnLineWifi.png")));

        bench({"unplug", "rx8k"});
        QVERIFY(QTest::qWaitFor([&] { return DeviceList.isEmpty() && page.DeviceButtons().isEmpty(); }, 5000));
        QVERIFY(shownOnPage(page.findChild<QLabel*>(QStringLiteral("label_2"))));

        bench({"plug", "rx8k"});
        bench({"plug", "mouse2"});
        QVERIFY(QTest::qWaitFor([&] { return paths(DeviceList) == QStringList({benchPath("mouse2"), benchPath("rx8k")}); },
                        5000));
        QCOMPARE(page.DeviceButtons().size(), 2);
        StopUsbChanged();
    }

    // ---- form and texts ---------------------------------------------------------------

    void formAndLanguageTexts()
    {
        MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
        QVERIFY(RegistryStore(ProgramRegistryKey()).setValue(QStringLiteral("UpdateFailInfo"), QStringLiteral("210,1,24,1")));
        DialogChange page;
        StopUsbChanged();
        QCOMPARE(page.size(), QSize(1020, 700));
        QCOMPARE(page.findChild<QWidget*>(QStringLiteral("stackedWidget"))->geometry(), QRect(65, 200, 894, 360));
        QCOMPARE(page.findChild<QWidget*>(QStringLiteral("comboBox"))->geometry(), QRect(790, 10, 142, 26));
        QCOMPARE(page.findChild<QWidget*>(QStringLiteral("Repair"))->geometry(), QRect(740, 8, 36, 33));
        QVERIFY(page.findChild<QWidget*>(QStringLiteral("FindVer"))->isHidden());

        auto* repair = page.findChild<QPushButton*>(QStringLiteral("Repair"));
        auto* hint = page.findChild<QLabel*>(QStringLiteral("label_2"));
        QVERIFY(!repair->isHidden());
        QCOMPARE(page.RepairText(), QStringLiteral("The last firmware update did not finish. Click the repair button at "
                                                   "the top to repair the device."));
        QCOMPARE(hint->text(), page.RepairText());

        QVERIFY(search(page));  // the default devices, with their offline marks
        page.ChangeDialogLanguage(1);
        QCOMPARE(page.findChild<QLabel*>(QStringLiteral("label_3"))->text(), QStringLiteral("点击图案进入使用"));
        QCOMPARE(page.NoDeviceText(), QStringLiteral("请接入你的游戏装备"));
        QCOMPARE(hint->text(), QStringLiteral("上次固件升级未完成，请点击上方的修复按钮修复设备。"));
        QCOMPARE(MouseIsNewText, QStringLiteral("接收器固件与鼠标不匹配，是否立即升级接收器固件？"));
        QCOMPARE(page.OfflineMarks()[0]->toolTip(),
                 QStringLiteral("鼠标未连接到接收器。\n请打开鼠标电源，或重新与接收器配对。"));
        QCOMPARE(page.findChild<QToolButton*>(QStringLiteral("NewHong"))->text(), QStringLiteral("确定"));

        // The repair flow's end: repaired hides the button and the hint
        // asks for a device again; a failure brings both back.
        PostMsg::GetInstance()->PostUpDateButton(true);
        QVERIFY(repair->isHidden());
        QCOMPARE(hint->text(), QStringLiteral("请接入你的游戏装备"));
        PostMsg::GetInstance()->PostUpDateButton(false);
        QVERIFY(!repair->isHidden());
        QCOMPARE(hint->text(), page.RepairText());

        // A search without a failed update on record hides it.
        RegistryStore(ProgramRegistryKey()).remove(QStringLiteral("UpdateFailInfo"));
        QVERIFY(search(page));
        QVERIFY(repair->isHidden());
        page.ChangeDialogLanguage(0);
        QCOMPARE(hint->text(), QStringLiteral("Please connect your gaming gear"));
    }

    void repairOfferedForAReceiverWaitingInBootMode()
    {
        // No record, but the receiver waits in boot mode for an image of its
        // model: a write that nothing saw end. Only the cabled mouse answers.
        useTable(tableWith(defaultLists(), QStringLiteral("[Drive1]\nMID=1\nD8M=Q0RNX1JYOEs=\n[Drive2]\nMID=2\n")));
        addFirmware(m_appDir.path(), QStringLiteral("rx8k.bin"), QStringLiteral("receiver"), QStringLiteral("CDM_RX8K"),
                    QStringLiteral("1.6"));
        resetBench({{"boot", "rx8k", "on"}});
        DialogChange page;
        StopUsbChanged();
        auto* repair = page.findChild<QPushButton*>(QStringLiteral("Repair"));
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceList), QStringList{benchPath("mouse2")});
        QTRY_VERIFY(!repair->isHidden());
        QCOMPARE(ReadUpdateFailInfo(), std::optional<UpdateFailRecord>(UpdateFailRecord{211, 8, 24, 1}));
        removeFirmware(m_appDir.path());
    }

    void languageChoice()
    {
        DialogChange page;
        StopUsbChanged();
        auto* combo = page.findChild<QComboBox*>(QStringLiteral("comboBox"));
        PostMsg* hub = PostMsg::GetInstance();
        QSignalSpy changed(hub, SIGNAL(SigChangeLanguage(int)));
        QSignalSpy same(hub, SIGNAL(SigLanguageSameB(int)));
        QSignalSpy activated(combo, SIGNAL(activated(int)));

        // The settings page's choice only moves the box.
        hub->PostLanguageSameA(3);
        QCOMPARE(combo->currentIndex(), 3);
        QCOMPARE(activated.count(), 0);
        QCOMPARE(changed.count(), 0);

        // The user's choice is stored and told to every window.
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(activated.count(), 2);
        QCOMPARE(MacroSettings::GetInstance()->GetValue(QStringLiteral("Language"), QStringLiteral("Language")),
                 QStringLiteral("5"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toInt(), 5);
        QCOMPARE(same.count(), 2);
        QCOMPARE(same.at(1).at(0).toInt(), 5);
        QCOMPARE(page.findChild<QLabel*>(QStringLiteral("label_3"))->text(), QStringLiteral("デバイスをクリックして開始"));
        hub->PostChangeLanguage(0);
        MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
    }
};

QTEST_MAIN(DeviceListTest)
#include "tst_devicelist.moc"
