// The main window: page switching and its USB-change callbacks, hiding and
// coming back, the exit sequence, the offline notice, keys, language texts.
// Library calls are counted by the recording layer over the real simulated
// library.
#include "tst_shell_recorder.h"

#include "Buttoninterface.h"
#include "Dialog.h"
#include "DialogChange.h"
#include "DialogMain.h"
#include "FormSetting.h"
#include "Globals.h"
#include "GlobalsFixture.h"
#include "LampLight.h"
#include "Macro.h"
#include "MacroSettings.h"
#include "Match.h"
#include "MouseOffLine.h"
#include "PostMsg.h"
#include "RegistryStore.h"
#include "Sensor.h"
#include "Startup.h"
#include "Worker.h"
#include "UserFixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <functional>

namespace {

// Runs check (and closes) the modal dialog that code opens, then returns.
void whileModal(const std::function<void(QWidget*)>& check, int delayMs = 100)
{
    QTimer::singleShot(delayMs, [check] {
        QWidget* modal = QApplication::activeModalWidget();
        check(modal);
        if (modal)
            modal->close();
    });
}

QStackedWidget* mainStack(DialogMain& w)
{
    return w.findChild<QStackedWidget*>(QStringLiteral("stackedWidgetMain"));
}

long long callbackId(UsbChangedCallback callback)
{
    return reinterpret_cast<long long>(callback);
}

}  // namespace

class ShellTest : public QObject
{
    Q_OBJECT

    testsupport::GlobalsFixture m_globals;

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
    }

    void init()
    {
        recorder::clear();
        m_globals.Enter(testsupport::Situation::DeviceList);
    }

    void windowLayout()
    {
        DialogMain w;
        QCOMPARE(w.objectName(), QStringLiteral("DialogMain"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Corvane Dizadi Mouse"));
        QCOMPARE(w.size(), QSize(1020, 700));
        QCOMPARE(w.minimumSize(), QSize(1020, 700));
        QCOMPARE(w.maximumSize(), QSize(1020, 700));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w.TrayIcon()->toolTip(), AppName);
        QVERIFY(!w.TrayIcon()->isVisible());

        QStackedWidget* stack = mainStack(w);
        QCOMPARE(stack->count(), 2);
        QVERIFY(qobject_cast<DialogChange*>(stack->widget(0)));
        QVERIFY(qobject_cast<Dialog*>(stack->widget(1)));
        QCOMPARE(stack->currentIndex(), 0);

        // The container's page order and the device link object.
        auto* pages = w.PageContainer()->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetDialog"));
        QCOMPARE(pages->count(), 5);
        QVERIFY(qobject_cast<Buttoninterface*>(pages->widget(0)));
        QVERIFY(qobject_cast<Sensor*>(pages->widget(1)));
        QVERIFY(qobject_cast<Macro*>(pages->widget(2)));
        QVERIFY(qobject_cast<LampLight*>(pages->widget(3)));
        QVERIFY(qobject_cast<FormSetting*>(pages->widget(4)));
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(WorkerThread != nullptr);
        QVERIFY(!WorkerThread->isRunning());

        // The device list registered its callback when it was built.
        QCOMPARE(recorder::lastArgument(QStringLiteral("StartUsbChanged")), callbackId(&DialogChange::OnUsbChanged));
    }

    void languageTexts()
    {
        DialogMain w;
        QCOMPARE(w.MainActionText(), QStringLiteral("Show main window"));
        QCOMPARE(w.ExitActionText(), QStringLiteral("Exit"));
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(w.MainActionText(), QStringLiteral("显示主界面"));
        QCOMPARE(w.ExitActionText(), QStringLiteral("退出"));
        PostMsg::GetInstance()->PostChangeLanguage(3);
        QCOMPARE(w.ExitActionText(), QStringLiteral("종료"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
        QCOMPARE(w.ExitActionText(), QStringLiteral("Exit"));
    }

    void oldLanguageSettingMoves()
    {
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\") + AppName + QLatin1Char('\\') + AppName
                            + QLatin1Char('\\') + AppName;
        MacroSettings* macro = MacroSettings::GetInstance();
        macro->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
        {
            RegistryStore store(key);
            QVERIFY(store.setValue(QStringLiteral("LanguageIndex"), 3));
        }
        {
            DialogMain w;
            QCOMPARE(macro->GetValue(QStringLiteral("Language"), QStringLiteral("Language")), QStringLiteral("3"));
            QVERIFY(!RegistryStore(key).contains(QStringLiteral("LanguageIndex")));
            QCOMPARE(w.ExitActionText(), QStringLiteral("종료"));
        }
        // A value of 0 is only removed.
        macro->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("2"));
        QVERIFY(RegistryStore(key).setValue(QStringLiteral("LanguageIndex"), 0));
        {
            DialogMain w;
            QCOMPARE(macro->GetValue(QStringLiteral("Language"), QStringLiteral("Language")), QStringLiteral("2"));
            QVERIFY(!RegistryStore(key).contains(QStringLiteral("LanguageIndex")));
        }
        macro->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
    }

    void changeMainDialogRegistersCallbacks()
    {
        DialogMain w;
        PostMsg* hub = PostMsg::GetInstance();
        QSignalSpy second(hub, SIGNAL(SigSecondPageChange()));
        QSignalSpy mainPage(hub, SIGNAL(SigMainPageChange()));
        recorder::clear();

        hub->PostChangeMainDialog(1);
        QVERIFY(UiReady);
        QVERIFY(w.PagesShown());
        QCOMPARE(recorder::count(QStringLiteral("StartUsbChanged")), 1);
        QCOMPARE(recorder::lastArgument(QStringLiteral("StartUsbChanged")), callbackId(&Worker::OnUsbChanged));
        QCOMPARE(recorder::lastArgument(QStringLiteral("StartUsbChangedInterval")), 600LL);
        QCOMPARE(recorder::count(QStringLiteral("UsbServer_Exit")), 0);

        OnMainPage = 1;
        recorder::clear();
        hub->PostChangeMainDialog(0);
        QVERIFY(!w.PagesShown());
        QCOMPARE(OnMainPage.load(), 0);
        QCOMPARE(second.count(), 1);
        QCOMPARE(mainPage.count(), 1);
        QCOMPARE(recorder::count(QStringLiteral("UsbServer_Exit")), 1);
        QCOMPARE(recorder::lastArgument(QStringLiteral("StartUsbChanged")), callbackId(&DialogChange::OnUsbChanged));
        QVERIFY(recorder::indexOf(QStringLiteral("UsbServer_Exit")) < recorder::indexOf(QStringLiteral("StartUsbChanged")));

        // Any other value only marks the interface ready.
        UiReady = false;
        recorder::clear();
        hub->PostChangeMainDialog(5);
        QVERIFY(UiReady);
        QVERIFY(!w.PagesShown());
        QVERIFY(recorder::snapshot().isEmpty());
    }

    void minimiseAndRestore()
    {
        DialogMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        PostMsg* hub = PostMsg::GetInstance();
        const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
        const auto away = [&] { return tray ? !w.isVisible() && w.TrayIcon()->isVisible() : w.isMinimized(); };
        const auto back = [&] { return w.isVisible() && !w.isMinimized() && !w.TrayIcon()->isVisible(); };

        // From the device list: no word to the device either way.
        recorder::clear();
        hub->PostChangeSize(2);
        QVERIFY(away());
        w.on_activatedSysTrayIcon(QSystemTrayIcon::Trigger);
        QVERIFY(back());
        QCOMPARE(recorder::count(QStringLiteral("SetPCDriverStatus")), 0);

        // From the pages: 0 when going, 1 once when a click brings it back.
        hub->PostChangeMainDialog(1);
        recorder::clear();
        hub->PostChangeSize(0);
        hub->PostChangeSize(0);
        QVERIFY(away());
        QCOMPARE(recorder::count(QStringLiteral("SetPCDriverStatus"), 0), 2);
        w.on_activatedSysTrayIcon(QSystemTrayIcon::Trigger);
        QVERIFY(back());
        QCOMPARE(recorder::count(QStringLiteral("SetPCDriverStatus"), 1), 1);

        // A double click brings it back without telling the device.
        recorder::clear();
        hub->PostChangeSize(0);
        w.on_activatedSysTrayIcon(QSystemTrayIcon::DoubleClick);
        QVERIFY(back());
        QCOMPARE(recorder::count(QStringLiteral("SetPCDriverStatus"), 1), 0);

        // The main action is a single click; other reasons do nothing.
        hub->PostChangeSize(0);
        w.on_activatedSysTrayIcon(QSystemTrayIcon::MiddleClick);
        QVERIFY(away());
        w.slotActionMain();
        QVERIFY(back());
        QCOMPARE(recorder::count(QStringLiteral("SetPCDriverStatus"), 1), 1);
        QVERIFY(!w.Exiting());
    }

    void exitSequences_data()
    {
        QTest::addColumn<bool>("pages");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("statusCalls");
        QTest::newRow("close from the pages") << true << 1 << 1;
        QTest::newRow("close from the list") << false << 3 << 0;
    }

    void exitSequences()
    {
        QFETCH(bool, pages);
        QFETCH(int, mode);
        QFETCH(int, statusCalls);
        DialogMain w;
        w.show();
        if (pages)
            PostMsg::GetInstance()->PostChangeMainDialog(1);
        recorder::clear();
        PostMsg::GetInstance()->PostChangeSize(mode);
        QVERIFY(w.Exiting());
        QVERIFY(!w.isVisible());
        QCOMPARE(recorder::count(QStringLiteral("SetPCDriverStatus"), 0), statusCalls);
        QCOMPARE(recorder::count(QStringLiteral("StopUsbChanged")), 1);
        QCOMPARE(recorder::count(QStringLiteral("UsbServer_Exit")), 1);
        QVERIFY(recorder::indexOf(QStringLiteral("StopUsbChanged")) < recorder::indexOf(QStringLiteral("UsbServer_Exit")));
        if (statusCalls)
            QVERIFY(recorder::indexOf(QStringLiteral("SetPCDriverStatus")) < recorder::indexOf(QStringLiteral("StopUsbChanged")));
        // Once ended, nothing runs it again.
        PostMsg::GetInstance()->PostChangeSize(mode);
        QCOMPARE(recorder::count(QStringLiteral("UsbServer_Exit")), 1);
        // Unknown modes do nothing.
        DialogMain other;
        recorder::clear();
        PostMsg::GetInstance()->PostChangeSize(9);
        QVERIFY(!other.Exiting());
        QVERIFY(recorder::snapshot().isEmpty());
    }

    void windowManagerCloseTakesThePageClosePath()
    {
        // On the pages the close saves the image first, as the close button does.
        DialogMain w;
        w.show();
        PostMsg::GetInstance()->PostChangeMainDialog(1);
        CurrentConfigPath = QStringLiteral("Device_CID18_MID7A.bin");
        const QString cache = UserDir() + QStringLiteral("/Device_Info/") + CurrentConfigPath;
        QFile::remove(cache);
        FlashDataMap image{};
        image.sleepTime = 42;
        testsupport::SetImage(image);
        recorder::clear();
        w.close();
        QVERIFY(w.Exiting());
        QVERIFY(!w.isVisible());
        QVERIFY(QFileInfo::exists(cache));
        QCOMPARE(QFileInfo(cache).size(), 10432);
        QCOMPARE(recorder::count(QStringLiteral("SetPCDriverStatus"), 0), 1);
        QCOMPARE(recorder::count(QStringLiteral("UsbServer_Exit")), 1);
        CurrentConfigPath.clear();
    }

    void escapeAndF12DoNothing()
    {
        DialogMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy enter(PostMsg::GetInstance(), SIGNAL(SigEnterKey()));
        QTest::keyClick(&w, Qt::Key_Escape);
        QTest::keyClick(&w, Qt::Key_F12);
        QVERIFY(w.isVisible());
        QCOMPARE(w.result(), 0);
        // Escape on the pages is taken by the container.
        PostMsg::GetInstance()->PostChangeMainDialog(1);
        QTest::keyClick(w.PageContainer(), Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QVERIFY(!w.Exiting());
        QCOMPARE(enter.count(), 0);
    }

    void keysDroppedWhileRecording()
    {
        DialogMain w;
        w.show();
        QSignalSpy enter(PostMsg::GetInstance(), SIGNAL(SigEnterKey()));
        RecordingMacro = true;
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape, Qt::Key_A})
            QTest::keyClick(&w, static_cast<Qt::Key>(key));
        QCOMPARE(enter.count(), 0);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        RecordingMacro = false;
        QTest::keyClick(&w, Qt::Key_Return);
        QTest::keyClick(&w, Qt::Key_Enter);
        QCOMPARE(enter.count(), 2);
    }

    void spaceOnThePagesPairsAndReopensTheLink()
    {
        DialogMain w;
        w.show();
        PostMsg::GetInstance()->PostChangeMainDialog(1);
        OnMainPage = 1;
        recorder::clear();
        QString seen;
        whileModal([&](QWidget* modal) { seen = modal ? QString::fromLatin1(modal->metaObject()->className()) : QString(); });
        QTest::keyClick(&w, Qt::Key_Space);
        QCOMPARE(seen, QStringLiteral("Match"));
        QVERIFY(!RePairFlag);  // it speaks of one pairing only
        QCOMPARE(recorder::count(QStringLiteral("UsbServerC_Start")), 1);
        QCOMPARE(recorder::lastArgument(QStringLiteral("UsbServerC_Start")),
                 reinterpret_cast<long long>(&Worker::OnProtocolData));
        // The pages follow USB changes again, then the link is reopened.
        QCOMPARE(recorder::count(QStringLiteral("StartUsbChanged")), 1);
        QCOMPARE(recorder::lastArgument(QStringLiteral("StartUsbChanged")), callbackId(&Worker::OnUsbChanged));
        QVERIFY(recorder::indexOf(QStringLiteral("StartUsbChanged")) < recorder::indexOf(QStringLiteral("UsbServerC_Start")));
    }

    void spaceOnTheList()
    {
        DialogMain w;
        w.show();
        DeviceAllInfo receiver;
        receiver.path = QStringLiteral("bench-receiver");
        receiver.type = 5;
        receiver.directMouse = 0;
        receiver.driveIndex = 0;
        DeviceAllInfo mouse = receiver;
        mouse.type = 0x10;
        mouse.directMouse = 1;

        // Two devices, or one mouse on its cable: nothing.
        DeviceList = {receiver, mouse};
        recorder::clear();
        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(recorder::snapshot().isEmpty());
        DeviceList = {mouse};
        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(recorder::snapshot().isEmpty());

        // One receiver without a stored mouse version: pairing, then the link.
        DeviceList = {receiver};
        RePairFlag = true;
        QString seen;
        whileModal([&](QWidget* modal) {
            if (auto* match = qobject_cast<Match*>(modal)) {
                seen = QStringLiteral("Match");
                QCOMPARE(match->Target().path, receiver.path);
            }
        });
        QTest::keyClick(&w, Qt::Key_Space);
        QCOMPARE(seen, QStringLiteral("Match"));
        QVERIFY(!RePairFlag);
        // The list holds no device link: it follows USB changes again.
        QCOMPARE(recorder::count(QStringLiteral("UsbServerC_Start")), 0);
        QCOMPARE(recorder::lastArgument(QStringLiteral("StartUsbChanged")), callbackId(&DialogChange::OnUsbChanged));
        DeviceList.clear();
    }

    // A refused change is told with its own text and leaves the device as
    // online as it was: nothing to wait for, nothing to read again.
    void refusedWriteNoticeKeepsTheDeviceOnline()
    {
        DialogMain w;
        w.show();
        QString shown;
        QTimer::singleShot(100, [&] {
            shown = w.OfflineNotice()->findChild<QLabel*>(QStringLiteral("label"))->text();
            w.OfflineNotice()->close();
        });
        PostMsg::GetInstance()->PostMouseOffLineo(WriteRefusedReason);
        QCOMPARE(shown, QStringLiteral("The device did not take the change. Please try again"));
        QVERIFY(!DeviceOffline && !ReadAgain);
    }

    void offlineNoticeDoesNotStack()
    {
        DialogMain w;
        w.show();
        int notices = -1;
        QString text;
        QTimer::singleShot(100, [&] {
            QVERIFY(w.OfflineNotice());
            // A second request while the notice is open: one notice, new reason.
            PostMsg::GetInstance()->PostMouseOffLineo(1);
            notices = 0;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (qobject_cast<MouseOffLine*>(top) && top->isVisible())
                    ++notices;
            }
            text = w.OfflineNotice()->findChild<QLabel*>(QStringLiteral("label"))->text();
            w.OfflineNotice()->close();
        });
        PostMsg::GetInstance()->PostMouseOffLineo(0);
        QCOMPARE(notices, 1);
        QCOMPARE(OfflineReason.load(), 1);
        QCOMPARE(text, QStringLiteral("The device did not respond in time. Please try again"));
        QVERIFY(DeviceOffline);
        QVERIFY(ReadAgain);
        QVERIFY(w.OfflineNotice() == nullptr);
    }
};

// The whole program in a child process: the tray's exit action and the close
// button end it with exit code 0 after the exit sequence.
static int childMain(int argc, char** argv, const QString& how)
{
    return RunApplication(
        argc, argv,
        [how] {
            auto* w = new DialogMain;
            QTimer::singleShot(300, w, [w, how] {
                recorder::clear();
                if (how == QLatin1String("tray-exit"))
                    w->slotActionExitApp();
                else if (how == QLatin1String("pages-close")) {
                    PostMsg::GetInstance()->PostChangeMainDialog(1);
                    w->PageContainer()->on_CloseButton_clicked();
                } else if (how == QLatin1String("notice-while-hidden")) {
                    // The last visible window is a notice; closing it must
                    // not end the program.
                    PostMsg::GetInstance()->PostChangeSize(2);
                    QTimer::singleShot(200, w, [w] {
                        if (w->OfflineNotice())
                            w->OfflineNotice()->close();
                    });
                    QTimer::singleShot(800, w, [w] {
                        std::printf("ALIVE\n");
                        std::fflush(stdout);
                        recorder::clear();
                        w->slotActionExitApp();
                    });
                    PostMsg::GetInstance()->PostMouseOffLineo(0);
                }
            });
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
                std::printf("STATUS0=%d STOP=%d EXIT=%d\n", recorder::count(QStringLiteral("SetPCDriverStatus"), 0),
                            recorder::count(QStringLiteral("StopUsbChanged")),
                            recorder::count(QStringLiteral("UsbServer_Exit")));
                std::fflush(stdout);
            });
            return w;
        },
        [] {});
}

class ShellProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void exitCodes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tray exit on the list") << "tray-exit" << "STATUS0=0 STOP=1 EXIT=1";
        QTest::newRow("close on the pages") << "pages-close" << "STATUS0=1 STOP=1 EXIT=1";
        QTest::newRow("notice closed while hidden") << "notice-while-hidden" << "ALIVE\nSTATUS0=0 STOP=1 EXIT=1";
    }

    void exitCodes()
    {
        QFETCH(QString, how);
        QFETCH(QString, expected);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), how});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray out = child.readAllStandardOutput();
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(out.contains(expected.toLatin1()), out.constData());
    }
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--child") == 0)
        return childMain(argc, argv, QString::fromLatin1(argv[2]));
    QApplication app(argc, argv);
    int status = 0;
    {
        ShellTest test;
        status |= QTest::qExec(&test, argc, argv);
    }
    {
        ShellProcessTest test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_shell.moc"
