// Clicking a device of the device list, against the simulated device
// bench: a matched device opens the pages (signals, their order, the link
// reading the device), an unmatched one never does, and receivers that
// cannot be used as they are go through the pairing check (pairing dialog,
// pairing question, firmware notice). A USB change while a click's dialog
// is open waits for it and leaves no widget behind.
#include "DeviceListTestSupport.h"

#include "DialogMain.h"
#include "MacroSettings.h"
#include "Match.h"
#include "PostMsg.h"
#include "RePair.h"
#include "RegistryStore.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"
#include "Worker.h"
#include "UserFixture.h"

#include <QAbstractButton>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstring>
#include <thread>

using namespace devlisttest;

namespace {

const QString MouseVersionKey = QStringLiteral("MouseVer241");  // CID 24, MID 1

// The hub's signals of a click, in the order they come.
class ClickRecorder : public QObject
{
public:
    QStringList entries;

    ClickRecorder()
    {
        PostMsg* hub = PostMsg::GetInstance();
        connect(hub, &PostMsg::SigSetver, this, [this](int s) { entries << QStringLiteral("Setver(%1)").arg(s); });
        connect(hub, &PostMsg::SigMouseIndex, this,
                [this](int i) { entries << QStringLiteral("MouseIndex(%1)").arg(i); });
        connect(hub, &PostMsg::SigSelectMouseInfo, this,
                [this](DeviceAllInfo d) { entries << QStringLiteral("Select(%1)").arg(d.path); });
        connect(hub, &PostMsg::SigLabelTextB, this,
                [this](QString v, QString w) { entries << QStringLiteral("LabelTextB(%1,%2)").arg(v, w); });
        connect(hub, &PostMsg::SigChangeMainDialog, this,
                [this](int p) { entries << QStringLiteral("ChangeMainDialog(%1)").arg(p); });
    }
    // The entries of the click itself (the device link's own USB-change
    // notices, "Setver(4)", may come after the page switch).
    QStringList click() const
    {
        QStringList out;
        for (const QString& e : entries) {
            if (e != QLatin1String("Setver(4)"))
                out << e;
        }
        return out;
    }
};

// Answers the modal dialogs that come one after another: each step names
// the class expected and the button to press ("" closes the dialog).
struct ModalStep {
    QString className;
    QString button;
};
class ModalScript : public QObject
{
public:
    QStringList seen;
    std::function<void(QWidget*)> onEach;

    explicit ModalScript(const QList<ModalStep>& steps) : m_steps(steps)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start(5);
    }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last)
            return;
        m_last = modal;
        seen << QString::fromLatin1(modal->metaObject()->className());
        if (onEach)
            onEach(modal);
        const ModalStep step = m_steps.value(seen.size() - 1);
        auto* button = step.button.isEmpty() ? nullptr : modal->findChild<QAbstractButton*>(step.button);
        if (button)
            button->click();
        else
            modal->close();
    }

    QList<ModalStep> m_steps;
    QTimer m_timer;
    QPointer<QWidget> m_last;
};

}  // namespace

Q_DECLARE_METATYPE(QList<ModalStep>)

class DeviceListClickTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;

    void clickButton(DialogChange& page, int index)
    {
        mytoolButtonEnter* button = page.DeviceButtons().value(index);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(142, 180));
    }

    void setMouseVersion(const QString& version)
    {
        RegistryStore store(ProgramRegistryKey());
        if (version.isEmpty())
            store.remove(MouseVersionKey);
        else
            QVERIFY(store.setValue(MouseVersionKey, version));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_appDir.isValid());
        installAppDir(m_appDir.path(), configText());
        testsupport::PrepareUserState();
        WiredModeText = QStringLiteral("Use the cable for the mouse's update");
    }

    void init()
    {
        resetBench();
        removeFirmware(m_appDir.path());
        setMouseVersion(QString());
        RegistryStore(ProgramRegistryKey()).remove(QStringLiteral("UpdateFailInfo"));
        testsupport::EnterSituation(testsupport::Situation::DeviceList);
    }

    void cleanup()
    {
        StopUsbChanged();
        UsbServer_Exit();
        OnMainPage = 0;
    }

    // ---- opening ------------------------------------------------------------------

    void matchedReceiverOpensThePagesFilledFromTheDevice()
    {
        resetBench({{"unplug", "mouse2"}});
        addFirmware(m_appDir.path(), QStringLiteral("rx8k.bin"), QStringLiteral("receiver"), QStringLiteral("CDM_RX8K"),
                    QStringLiteral("1.6"));
        DialogMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DialogChange& page = *w.DeviceListPage();
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("rx8k")}));

        ClickRecorder rec;
        clickButton(page, 0);
        QCOMPARE(rec.click(), QStringList({"Setver(6)", "MouseIndex(0)", "Select(hidbench/rx8k)",
                                           "LabelTextB(v1.5,true)", "ChangeMainDialog(1)"}));
        QVERIFY(w.PagesShown());
        QCOMPARE(OnMainPage.load(), 1);
        QCOMPARE(SelectedIndex.load(), 0);
        QCOMPARE(rateClass.load(), 8);
        QVERIFY(ReceiverUpdateAvailable.load());
        QCOMPARE(CurrentDeviceInfo.path, benchPath("rx8k"));

        // The link reads the mouse behind the receiver into the pages.
        QVERIFY(QTest::qWaitFor([] { return ImageBelongsToDevice.load(); }, 15000));
        QVERIFY(sameImage(SnapshotFlashData(), deviceImage(QStringLiteral("mouse1"))));

        // Back to the list: the list's callback follows the bench again.
        PostMsg::GetInstance()->PostChangeMainDialog(0);
        QVERIFY(!w.PagesShown());
        bench({"unplug", "rx8k"});
        QVERIFY(QTest::qWaitFor([&] { return DeviceList.isEmpty() && page.DeviceButtons().isEmpty(); }, 5000));
    }

    void implausibleImageOpensAndTheWindowCloses()
    {
        // The mouse holds stage 6 of 6 (left by another program or a fault):
        // the pages open with it made safe, the wait ends without the timeout
        // notice, and the window can be closed.
        resetBench({{"unplug", "mouse2"}});
        FlashDataMap bad = deviceImage(QStringLiteral("mouse1"));
        bad.dpiStage = bad.dpiStageCount;
        QVERIFY(storeDeviceImage(QStringLiteral("mouse1"), bad));
        DialogMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DialogChange& page = *w.DeviceListPage();
        QVERIFY(search(page));
        QStringList modals;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                const QString name = QString::fromLatin1(modal->metaObject()->className());
                if (modals.value(modals.size() - 1) != name)
                    modals << name;
            }
        });
        watch.start(5);
        clickButton(page, 0);
        QVERIFY(QTest::qWaitFor([&] { return ImageBelongsToDevice.load() && !QApplication::activeModalWidget(); }, 15000));
        QCOMPARE(modals, QStringList({"UpDataParam"}));
        QCOMPARE(int(SnapshotFlashData().dpiStage), 0);
        QCOMPARE(int(deviceImage(QStringLiteral("mouse1")).dpiStage), 0);
        w.close();
        QVERIFY(!w.isVisible());
    }

    void secondModelWithoutFirmwareFolder()
    {
        resetBench({{"unplug", "mouse2"}, {"unplug", "rx8k"}, {"add", "rx4k", "id=rxm", "mid=2"}});
        ReceiverUpdateAvailable = true;
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        ClickRecorder rec;
        clickButton(page, 0);
        // The model's MID 2 is told first; without images no update is offered.
        QCOMPARE(rec.click(), QStringList({"Setver(6)", "MouseIndex(1)", "Select(hidbench/rxm)", "LabelTextB(v1.5,)",
                                           "ChangeMainDialog(1)"}));
        QVERIFY(!ReceiverUpdateAvailable.load());
        QCOMPARE(rateClass.load(), 4);
    }

    void cabledMouseHasNoReceiverRate()
    {
        // A cabled mouse of the model of the receiver image below.
        resetBench({firstModelOnCable()});
        addFirmware(m_appDir.path(), QStringLiteral("rx8k.bin"), QStringLiteral("receiver"), QStringLiteral("CDM_RX8K"),
                    QStringLiteral("1.6"));
        ReceiverUpdateAvailable = true;
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("mouse2")}));
        ClickRecorder rec;
        clickButton(page, 0);
        QCOMPARE(rec.click().value(2), QStringLiteral("Select(hidbench/mouse2)"));
        QCOMPARE(rec.click().value(3), QStringLiteral("LabelTextB(v1.5,)"));
        QCOMPARE(rateClass.load(), 0);
        QVERIFY(!ReceiverUpdateAvailable.load());
    }

    // ---- devices that are not opened -------------------------------------------------

    void unmatchedCabledMouseDoesNothing()
    {
        resetBench({{"set", "mouse2", "cid=25"}});
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("mouse2"), benchPath("rx8k")}));
        ModalScript dialogs(QList<ModalStep>{});
        ClickRecorder rec;
        clickButton(page, 0);
        pump(50);
        QCOMPARE(rec.click(), QStringList({"Setver(6)"}));
        QVERIFY(dialogs.seen.isEmpty());
        QCOMPARE(OnMainPage.load(), 0);
    }

    void unmatchedReceiverIsPaired()
    {
        resetBench({{"unplug", "mouse2"}, {"set", "rx8k", "cid=25"}});
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        ModalScript dialogs(QList<ModalStep>{{"Match", ""}});
        bool flagDuring = false;
        QString target;
        dialogs.onEach = [&](QWidget* modal) {
            flagDuring = RePairFlag.load();
            if (auto* match = qobject_cast<Match*>(modal))
                target = match->Target().path;
        };
        ClickRecorder rec;
        clickButton(page, 0);
        QCOMPARE(dialogs.seen, QStringList({"Match"}));
        QVERIFY(flagDuring);
        QCOMPARE(target, benchPath("rx8k"));
        QCOMPARE(SelectedDeviceInfo.path, benchPath("rx8k"));
        QVERIFY(!RePairFlag.load());  // cleared when the pairing dialog closed
        QCOMPARE(rec.click(), QStringList({"Setver(6)"}));
        QCOMPARE(OnMainPage.load(), 0);
    }

    // Two receivers of one identity: the clicked one has lost its mouse, the
    // other reaches its own.
    void twinReceivers_data()
    {
        QTest::addColumn<QString>("mouseVersion");
        QTest::addColumn<QString>("mouseImage");     // version of the mouse image, "" none
        QTest::addColumn<QString>("receiverImage");  // version of the receiver image, "" none
        QTest::addColumn<QList<ModalStep>>("steps");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<bool>("opened");

        QTest::newRow("no mouse record: pairing") << QString() << QString() << QString()
                                                  << QList<ModalStep>{{"Match", ""}} << QStringList({"Match"}) << false;
        QTest::newRow("only the receiver image differs: opened")
            << "v1.5" << "1.5" << "1.6" << QList<ModalStep>{} << QStringList() << true;
        QTest::newRow("only the mouse image differs: notice")
            << "v1.5" << "1.6" << "1.5" << QList<ModalStep>{{"UpDateWarning", ""}} << QStringList({"UpDateWarning"})
            << false;
        QTest::newRow("neither differs, pairing declined")
            << "v1.5" << "1.5" << "1.5" << QList<ModalStep>{{"RePair", "Cancel"}} << QStringList({"RePair"}) << false;
        QTest::newRow("both differ, pairing confirmed")
            << "v1.5" << "1.6" << "1.6" << QList<ModalStep>{{"RePair", "OK"}, {"Match", ""}}
            << QStringList({"RePair", "Match"}) << false;
    }

    void twinReceivers()
    {
        QFETCH(QString, mouseVersion);
        QFETCH(QString, mouseImage);
        QFETCH(QString, receiverImage);
        QFETCH(QList<ModalStep>, steps);
        QFETCH(QStringList, dialogs);
        QFETCH(bool, opened);

        resetBench({{"unplug", "mouse2"}, {"add", "rx1k", "id=rxa"}});
        setMouseVersion(mouseVersion);
        if (!mouseImage.isEmpty())
            addFirmware(m_appDir.path(), QStringLiteral("mouse.bin"), QStringLiteral("mouse"),
                        QStringLiteral("CDM_AX72_MOUSE"), mouseImage);
        if (!receiverImage.isEmpty())
            addFirmware(m_appDir.path(), QStringLiteral("rx1k.bin"), QStringLiteral("receiver"),
                        QStringLiteral("CDM_RX1K"), receiverImage);
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("rxa"), benchPath("rx8k")}));

        ModalScript script(steps);
        QString warningText;
        script.onEach = [&](QWidget* modal) {
            if (auto* warning = qobject_cast<UpDateWarning*>(modal))
                warningText = warning->Text();
        };
        ClickRecorder rec;
        clickButton(page, 0);
        pump(30);
        QCOMPARE(script.seen, dialogs);
        QCOMPARE(rec.click().contains(QStringLiteral("Select(hidbench/rxa)")), opened);
        QCOMPARE(OnMainPage.load(), opened ? 1 : 0);
        if (dialogs.contains(QStringLiteral("UpDateWarning")))
            QCOMPARE(warningText, WiredModeText);
        QVERIFY(!RePairFlag.load());

        // The twin that reaches its mouse opens at once.
        OnMainPage = 0;
        rec.entries.clear();
        ModalScript none(QList<ModalStep>{});
        clickButton(page, 1);
        QVERIFY(none.seen.isEmpty());
        QVERIFY(rec.click().contains(QStringLiteral("Select(hidbench/rx8k)")));
    }

    // ---- what a click leaves behind -----------------------------------------------------

    void usbChangeDuringTheClicksDialogWaitsForIt()
    {
        // rxa opens normally; rx8k answers another maker's id: pairing.
        resetBench({{"unplug", "mouse2"}, {"set", "rx8k", "cid=25"}, {"add", "rx1k", "id=rxa"}});
        DialogChange page;
        StopUsbChanged();  // the change below comes from the "library thread" only
        QVERIFY(search(page));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("rxa"), benchPath("rx8k")}));

        QPointer<mytoolButtonEnter> first = page.DeviceButtons().value(0);
        QPointer<mytoolButtonEnter> clicked = page.DeviceButtons().value(1);
        int searchesBefore = page.SearchesRun();
        int searchesDuring = -1;
        bool widgetsAlive = false;
        int listedDuring = -1;
        ModalScript script(QList<ModalStep>{{"Match", ""}});
        script.onEach = [&](QWidget*) {
            // A device goes away while the pairing dialog is open.
            bench({"unplug", "rxa"});
            std::thread library([] { DialogChange::OnUsbChanged(); });
            library.join();
            pump(300);
            searchesDuring = page.SearchesRun();
            widgetsAlive = first && clicked;
            listedDuring = DeviceList.size();
        };
        clickButton(page, 1);
        QCOMPARE(script.seen, QStringList({"Match"}));
        QCOMPARE(searchesDuring, searchesBefore);
        QVERIFY(widgetsAlive);
        QCOMPARE(listedDuring, 2);

        // Afterwards it runs (once for the change; closing the pairing dialog
        // registers the list's callback again, which the library may answer
        // with one more call), and the old widgets go.
        QVERIFY(QTest::qWaitFor([&] { return page.SearchesRun() > searchesBefore; }));
        pump(300);
        QVERIFY(page.SearchesRun() <= searchesBefore + 2);
        QCOMPARE(paths(DeviceList), QStringList({benchPath("rx8k")}));
        QCOMPARE(page.DeviceButtons().size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        QVERIFY(!clicked);
        QVERIFY(page.DeviceButtons().value(0)->isVisibleTo(&page));
    }

    void replacedAndMisnamedButtonsOpenNothing()
    {
        DialogChange page;
        StopUsbChanged();
        QVERIFY(search(page));
        QPointer<mytoolButtonEnter> old = page.DeviceButtons().value(0);
        page.BuildDevicePages();  // replaced; deleted later
        QVERIFY(old);
        ClickRecorder rec;
        old->click();
        QVERIFY(rec.entries.isEmpty());

        mytoolButtonEnter* button = page.DeviceButtons().value(0);
        button->setObjectName(QStringLiteral("btn5"));
        clickButton(page, 0);
        QCOMPARE(rec.click(), QStringList({"Setver(6)"}));
        QCOMPARE(OnMainPage.load(), 0);
    }

    // ---- repair ---------------------------------------------------------------------

    void repairButtonAndEnterKey()
    {
        QVERIFY(RegistryStore(ProgramRegistryKey()).setValue(QStringLiteral("UpdateFailInfo"), QStringLiteral("211,8,24,1")));
        DialogMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DialogChange& page = *w.DeviceListPage();
        QVERIFY(search(page));
        auto* repair = page.findChild<QPushButton*>(QStringLiteral("Repair"));
        QVERIFY(repair->isVisible());
        QVERIFY(UpdateRepairDialog);
        QSignalSpy check(PostMsg::GetInstance(), SIGNAL(SigRepairCheckUpdate()));

        // The frame of a found firmware goes first; then Return opens repair.
        QWidget* findVer = page.findChild<QWidget*>(QStringLiteral("FindVer"));
        findVer->show();
        PostMsg::GetInstance()->PostEnterKey();
        QVERIFY(!findVer->isVisible());
        QVERIFY(!UpdateRepairDialog->isVisible());

        PostMsg::GetInstance()->PostEnterKey();
        QVERIFY(UpdateRepairDialog->isVisible());
        QCOMPARE(UpdateRepairDialog->windowModality(), Qt::ApplicationModal);
        QCOMPARE(check.count(), 1);

        // While it is open, every search asks it to look at the devices
        // again, unless a repair is being written.
        QVERIFY(search(page));
        QCOMPARE(check.count(), 2);
        RepairUpgradeRunning = true;
        QVERIFY(search(page));
        QCOMPARE(check.count(), 2);
        RepairUpgradeRunning = false;
        UpdateRepairDialog->hide();
        QVERIFY(search(page));
        QCOMPARE(check.count(), 2);
    }
};

QTEST_MAIN(DeviceListClickTest)
#include "tst_devicelist_click.moc"
