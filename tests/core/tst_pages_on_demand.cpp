// The main window with its page container built when first needed. An
// idle device list has no pages and no device link object; choosing a
// device builds them before the click's first hub signal, so the pages are
// filled from the device as before; they come in the language chosen
// meanwhile; the repair button and the switch to the pages build them too;
// a window that never built them closes cleanly. As the program starts it,
// the container is built once the list has been painted with its devices,
// and an English session has loaded no CJK font by then.
#include "DeviceListTestSupport.h"

#include "Buttoninterface.h"
#include "Dialog.h"
#include "LampLight.h"
#include "DialogMain.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "PostMsg.h"
#include "RegistryStore.h"
#include "UpDateRepair.h"
#include "Worker.h"
#include "UserFixture.h"
#include "ui_Buttoninterface.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <cstring>

using namespace devlisttest;

namespace {

QStackedWidget* mainStack(DialogMain& w)
{
    return w.findChild<QStackedWidget*>(QStringLiteral("stackedWidgetMain"));
}

// True when a CJK font file is mapped into the process.
bool cjkFontLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("CJK");
}

void setLanguage(int index)
{
    MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"),
                                           QString::number(index));
}

}  // namespace

class PagesOnDemandTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_appDir.isValid());
        installAppDir(m_appDir.path(), configText());
        testsupport::PrepareUserState();
    }

    void init()
    {
        resetBench({{"unplug", "mouse2"}});  // the receiver alone
        removeFirmware(m_appDir.path());
        RegistryStore(ProgramRegistryKey()).remove(QStringLiteral("UpdateFailInfo"));
        setLanguage(0);
        testsupport::EnterSituation(testsupport::Situation::DeviceList);
    }

    void cleanup()
    {
        StopUsbChanged();
        UsbServer_Exit();
        OnMainPage = 0;
    }

    // First: a font loaded by an earlier test would stay loaded.
    void programBuildsThePagesOnceTheListIsShown()
    {
        DialogMain w(nullptr, DialogMain::PageBuild::WhenIdle);
        // The list searches without being shown: nothing is built yet.
        QTRY_VERIFY(w.DeviceListPage()->SearchesRun() > 0);
        QTest::qWait(50);
        QVERIFY(!w.PageContainerBuilt());

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(w.PageContainerBuilt());
        QVERIFY(WorkerThread != nullptr);
        QCOMPARE(mainStack(w)->currentWidget(), w.DeviceListPage());
        QVERIFY(!w.PagesShown());

        // The pages laid out and painted in English need no CJK font.
        QVERIFY(!w.PageContainer()->grab().isNull());
        QVERIFY(!cjkFontLoaded());
    }

    void idleListHasNoPages()
    {
        DialogMain w(nullptr, DialogMain::PageBuild::OnDemand);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(search(*w.DeviceListPage()));
        QCOMPARE(w.DeviceListPage()->DeviceButtons().size(), 1);

        QVERIFY(!w.PageContainerBuilt());
        QCOMPARE(mainStack(w)->count(), 1);
        QCOMPARE(mainStack(w)->currentWidget(), w.DeviceListPage());
        QVERIFY(w.findChild<Dialog*>() == nullptr);
        QVERIFY(WorkerThread == nullptr);
        QVERIFY(UpdateRepairDialog == nullptr);
        // A language change on the list reaches the window itself.
        setLanguage(1);
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(w.ExitActionText(), QStringLiteral("退出"));
        QVERIFY(!w.PageContainerBuilt());
    }

    void choosingADeviceBuildsThePagesFirst()
    {
        DialogMain w(nullptr, DialogMain::PageBuild::OnDemand);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DialogChange& list = *w.DeviceListPage();
        // A lighting the pages do not show by themselves.
        FlashDataMap device = deviceImage(QStringLiteral("mouse1"));
        device.lightMode = 1;
        device.lightR = 12;
        device.lightG = 34;
        device.lightB = 56;
        QVERIFY(storeDeviceImage(QStringLiteral("mouse1"), device));
        QVERIFY(search(list));
        QCOMPARE(paths(DeviceList), QStringList({benchPath("rx8k")}));
        QVERIFY(!w.PageContainerBuilt());

        // What the pages and the link had when each signal of the click came.
        QStringList seen;
        PostMsg* hub = PostMsg::GetInstance();
        const auto note = [&](const char* signal) {
            seen << QStringLiteral("%1 pages=%2 link=%3")
                        .arg(QLatin1String(signal))
                        .arg(w.PageContainerBuilt())
                        .arg(WorkerThread != nullptr);
        };
        QObject guard;
        connect(hub, &PostMsg::SigSetver, &guard, [&](int) { note("Setver"); });
        connect(hub, &PostMsg::SigSelectMouseInfo, &guard, [&](DeviceAllInfo) { note("Select"); });
        connect(hub, &PostMsg::SigChangeMainDialog, &guard, [&](int) { note("ChangeMainDialog"); });

        QTest::mouseClick(list.DeviceButtons().first(), Qt::LeftButton, Qt::NoModifier, QPoint(142, 180));
        QCOMPARE(seen.mid(0, 3), QStringList({"Setver pages=1 link=1", "Select pages=1 link=1",
                                              "ChangeMainDialog pages=1 link=1"}));

        // The container in its place, shown, with its five pages.
        QVERIFY(w.PagesShown());
        QCOMPARE(mainStack(w)->count(), 2);
        QCOMPARE(mainStack(w)->widget(0), static_cast<QWidget*>(&list));
        QCOMPARE(mainStack(w)->widget(1), w.PageContainer());
        auto* pages = w.PageContainer()->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetDialog"));
        QCOMPARE(pages->count(), 5);
        QCOMPARE(pages->currentWidget(), w.PageContainer()->ButtonPage());

        // The link reads the device and the pages are filled from it.
        QVERIFY(QTest::qWaitFor([] { return ImageBelongsToDevice.load(); }, 15000));
        const FlashDataMap image = SnapshotFlashData();
        QVERIFY(std::memcmp(&image, &device, sizeof image) == 0);
        LampLight* light = w.PageContainer()->LightPage();
        QVERIFY(QTest::qWaitFor([&] {
            return light->findChild<QComboBox*>(QStringLiteral("LightMod"))->currentIndex() == 1
                   && light->findChild<QSpinBox*>(QStringLiteral("RSpinBox"))->value() == 12
                   && light->findChild<QSpinBox*>(QStringLiteral("GSpinBox"))->value() == 34
                   && light->findChild<QSpinBox*>(QStringLiteral("BSpinBox"))->value() == 56;
        }));

        // Back on the list, a second click finds the same container.
        Dialog* container = w.PageContainer();
        PostMsg::GetInstance()->PostChangeMainDialog(0);
        QVERIFY(!w.PagesShown());
        QVERIFY(search(list));
        QTest::mouseClick(list.DeviceButtons().first(), Qt::LeftButton, Qt::NoModifier, QPoint(142, 180));
        QVERIFY(w.PagesShown());
        QCOMPARE(w.PageContainer(), container);
        QCOMPARE(mainStack(w)->count(), 2);
    }

    void pagesComeInTheLanguageChosenMeanwhile()
    {
        DialogMain w(nullptr, DialogMain::PageBuild::OnDemand);
        // As the list's language box does: stored, then told.
        setLanguage(1);
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QVERIFY(!w.PageContainerBuilt());

        QString reset;
        LanguageTexts texts;
        texts.store(QStringLiteral("Reset"), &reset);
        QCOMPARE(LoadLanguageSection(1, QStringLiteral("Buttoninterface"), texts), LanguageLoader::Result::Loaded);
        QVERIFY(!reset.isEmpty());
        QCOMPARE(w.PageContainer()->ButtonPage()->Form()->Reset->text(), reset);
    }

    void switchingToThePagesBuildsThem()
    {
        DialogMain w(nullptr, DialogMain::PageBuild::OnDemand);
        QVERIFY(!w.PageContainerBuilt());
        PostMsg::GetInstance()->PostChangeMainDialog(1);
        QVERIFY(w.PageContainerBuilt());
        QVERIFY(w.PagesShown());
        QCOMPARE(mainStack(w)->currentWidget(), w.PageContainer());
        QVERIFY(WorkerThread != nullptr);
    }

    void repairButtonBuildsThePages()
    {
        QVERIFY(RegistryStore(ProgramRegistryKey()).setValue(QStringLiteral("UpdateFailInfo"), QStringLiteral("210,1,24,1")));
        DialogMain w(nullptr, DialogMain::PageBuild::OnDemand);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* repair = w.DeviceListPage()->findChild<QPushButton*>(QStringLiteral("Repair"));
        QVERIFY(repair && repair->isVisible());
        QVERIFY(UpdateRepairDialog == nullptr);

        repair->click();
        QVERIFY(w.PageContainerBuilt());
        QVERIFY(UpdateRepairDialog != nullptr);
        QVERIFY(UpdateRepairDialog->isVisible());
        UpdateRepairDialog->hide();
    }

    void idleWindowClosesWithoutPages()
    {
        auto* w = new DialogMain(nullptr, DialogMain::PageBuild::OnDemand);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // The list's close button: the exit sequence, with no link to stop.
        PostMsg::GetInstance()->PostChangeSize(3);
        QVERIFY(w->Exiting());
        QVERIFY(!w->isVisible());
        QVERIFY(!w->PageContainerBuilt());
        delete w;
        QVERIFY(WorkerThread == nullptr);
    }
};

QTEST_MAIN(PagesOnDemandTest)
#include "tst_pages_on_demand.moc"
