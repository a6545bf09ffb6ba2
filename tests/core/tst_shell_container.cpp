// The page container: page buttons, the battery display, the recording
// lock, back and close (both save the image), the apply-and-wait hook, the
// style sheets built from the container's pictures, and what the pages show
// open closing when their device is left (against the bench, from the
// device list).
#include "tst_shell_recorder.h"

#include "DeviceListTestSupport.h"

#include "Buttoninterface.h"
#include "Dialog.h"
#include "DialogMain.h"
#include "FormSetting.h"
#include "Globals.h"
#include "GlobalsFixture.h"
#include "LampLight.h"
#include "Macro.h"
#include "MacroSettings.h"
#include "PostMsg.h"
#include "Sensor.h"
#include "UpDataParam.h"
#include "UserFixture.h"
#include "ui_Buttoninterface.h"
#include "ui_Dialog.h"
#include "ui_Macro.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

namespace {
QString cacheFile(const QString& name)
{
    return UserDir() + QStringLiteral("/Device_Info/") + name;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

class ContainerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
    }

    void init()
    {
        recorder::clear();
        RecordingMacro = false;
    }

    void formAndPages()
    {
        Dialog d;
        Ui::Dialog* ui = d.Form();
        QCOMPARE(d.size(), QSize(1020, 700));
        QCOMPARE(ui->ButtonMain->geometry(), QRect(248, 60, 30, 30));
        QCOMPARE(ui->CloseButton->geometry(), QRect(980, 20, 20, 20));
        QCOMPARE(ui->progressBar->value(), 100);
        QVERIFY(ui->SetButton->isHidden());
        QVERIFY(ui->label->isHidden());
        QVERIFY(ui->label_2->isHidden());
        QVERIFY(ui->label_3->isHidden());
        for (QToolButton* b : d.findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
            QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        QVERIFY(ui->ButtonMain->isChecked());

        // The pictures of the container's folder, in the rule's order.
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/Picture/Dialog/");
        QCOMPARE(ui->UpArrow->styleSheet(),
                 QStringLiteral("QToolButton{border:0px;background-image: url(") + folder
                     + QStringLiteral("PageChange.png);background-position:center;background-repeat:no-repeat;}QToolButton:hover{background-image: url(")
                     + folder + QStringLiteral("PageChangeHover.png);}QToolButton:pressed{background-image: url(") + folder
                     + QStringLiteral("PageChangeClick.png);}"));
        QVERIFY(ui->ButtonMain->styleSheet().contains(QStringLiteral("QToolButton:checked{background-image: url(") + folder
                                                      + QStringLiteral("HomeChecked.png);}")));
        QVERIFY(ui->FormSetting->styleSheet().contains(QStringLiteral("QToolButton:checked{background-image: url(") + folder
                                                       + QStringLiteral("SettingClick.png);}")));
        QVERIFY(ui->SetButton->styleSheet().contains(QStringLiteral("QToolButton:pressed")));
        for (const char* picture : {"BackGround.png", "Home.png", "HomeHover.png", "HomeChecked.png", "PageChange.png",
                                    "Min.png", "Close.png", "Battery.png", "Charg.png", "Logo.png"})
            QVERIFY2(QFileInfo::exists(folder + QString::fromLatin1(picture)), picture);
    }

    void pageButtons()
    {
        Dialog d;
        d.show();
        QSignalSpy addMacro(PostMsg::GetInstance(), SIGNAL(SigAddMacroButton()));
        Ui::Dialog* ui = d.Form();
        QTest::mouseClick(ui->SensorButton, Qt::LeftButton);
        QCOMPARE(ui->stackedWidgetDialog->currentWidget(), static_cast<QWidget*>(d.SensorPage()));
        QVERIFY(ui->SensorButton->isChecked());
        QVERIFY(!ui->ButtonMain->isChecked());
        QTest::mouseClick(ui->MacroButton, Qt::LeftButton);
        QCOMPARE(ui->stackedWidgetDialog->currentWidget(), static_cast<QWidget*>(d.MacroPage()));
        QTest::mouseClick(ui->LightsButton, Qt::LeftButton);
        QCOMPARE(ui->stackedWidgetDialog->currentWidget(), static_cast<QWidget*>(d.LightPage()));
        QTest::mouseClick(ui->FormSetting, Qt::LeftButton);
        QCOMPARE(ui->stackedWidgetDialog->currentWidget(), static_cast<QWidget*>(d.SettingsPage()));
        QCOMPARE(addMacro.count(), 0);
        QTest::mouseClick(ui->ButtonMain, Qt::LeftButton);
        QCOMPARE(ui->stackedWidgetDialog->currentWidget(), static_cast<QWidget*>(d.ButtonPage()));
        QCOMPARE(addMacro.count(), 1);

        // Back to the list: the first page and its button.
        QTest::mouseClick(ui->LightsButton, Qt::LeftButton);
        PostMsg::GetInstance()->PostSecondPageChange();
        QVERIFY(ui->ButtonMain->isChecked());
        QCOMPARE(ui->stackedWidgetDialog->currentWidget(), static_cast<QWidget*>(d.ButtonPage()));
    }

    // The settings page of a 4 kHz receiver (its light block makes the
    // tallest content) scrolls within the page area: below the header band,
    // above the window's bottom edge.
    void settingsPageScrollsBelowTheHeader()
    {
        Dialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        Ui::Dialog* ui = d.Form();
        QTest::mouseClick(ui->FormSetting, Qt::LeftButton);
        testsupport::SetDevice(1);
        DongleRGB rgb{};
        rgb.data[0] = 1;
        d.SettingsPage()->SlotRGBValue(&rgb);
        QVERIFY(d.SettingsPage()->LedBlockShown());

        const int headerBottom = ui->frame->geometry().bottom() + 1;
        const QRect pageArea(0, headerBottom, d.width(), d.height() - headerBottom);
        QScrollArea* area = d.SettingsPage()->findChild<QScrollArea*>(QStringLiteral("scrollArea"));
        QVERIFY(area);
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        const QRect shown(area->mapTo(&d, QPoint(0, 0)), area->size());
        QVERIFY2(pageArea.contains(shown), qPrintable(QStringLiteral("scroll area %1,%2 %3x%4")
                                                          .arg(shown.x()).arg(shown.y())
                                                          .arg(shown.width()).arg(shown.height())));
    }

    void battery()
    {
        Dialog d;
        Ui::Dialog* ui = d.Form();
        d.SlotBattery(false, 15, true);
        QCOMPARE(ui->progressBar->value(), 15);
        QCOMPARE(ui->label_2->text(), QStringLiteral("15%"));
        QVERIFY(ui->progressBar->styleSheet().contains(QStringLiteral("rgb(152, 43, 34)")));
        QVERIFY(ui->label->isHidden());

        d.SlotBattery(true, 16, false);
        QCOMPARE(ui->label_2->text(), QStringLiteral("16"));
        QVERIFY(ui->progressBar->styleSheet().contains(QStringLiteral("rgb(0, 255, 153)")));
        QVERIFY(!ui->label->isHidden());

        // Out of the bar's range: the bar keeps its value, the number shows it.
        d.SlotBattery(false, 150, true);
        QCOMPARE(ui->progressBar->value(), 16);
        QCOMPARE(ui->label_2->text(), QStringLiteral("150%"));
        QCOMPARE(Dialog::BatterySheet(0), Dialog::BatterySheet(15));
        QVERIFY(Dialog::BatterySheet(16) != Dialog::BatterySheet(15));

        // From a library thread the report waits until the window took it.
        std::atomic<bool> done{false};
        std::thread reporter([&] {
            PostMsg::GetInstance()->PostBattery(true, 40, true);
            done = true;
        });
        QTRY_VERIFY(done.load());
        reporter.join();
        QCOMPARE(ui->label_2->text(), QStringLiteral("40%"));
        QCOMPARE(ui->progressBar->value(), 40);
    }

    void recordingLock()
    {
        Dialog d;
        Ui::Dialog* ui = d.Form();
        const QList<QToolButton*> pages = {ui->ButtonMain, ui->SensorButton, ui->LightsButton, ui->MacroButton, ui->FormSetting};
        PostMsg::GetInstance()->PostStartRecord(0);
        for (QToolButton* b : pages)
            QVERIFY(!b->isEnabled());
        QVERIFY(ui->UpArrow->isEnabled() && ui->MinButton->isEnabled() && ui->CloseButton->isEnabled());
        PostMsg::GetInstance()->PostStartRecord(2);
        for (QToolButton* b : pages)
            QVERIFY(!b->isEnabled());
        PostMsg::GetInstance()->PostStartRecord(1);
        for (QToolButton* b : pages)
            QVERIFY(b->isEnabled());

        // The macro page drives it: a recording locks, leaving the page frees.
        Ui::Macro* macro = d.MacroPage()->Form();
        macro->listWidgetHong->addItem(QStringLiteral("m1"));
        macro->listWidgetHong->setCurrentRow(0);
        QTest::mouseClick(macro->StartRecord, Qt::LeftButton);
        QVERIFY(RecordingMacro);
        QVERIFY(!ui->SensorButton->isEnabled());
        QVERIFY(macro->StartRecord->isHidden() && !macro->StopRecord->isHidden());
        PostMsg::GetInstance()->PostSetMacroPage();
        QVERIFY(!RecordingMacro);
        QVERIFY(ui->SensorButton->isEnabled());
    }

    void closeAndBackSaveTheImage()
    {
        Dialog d;
        PostMsg* hub = PostMsg::GetInstance();
        QSignalSpy size(hub, SIGNAL(SigChangeSize(int)));
        QSignalSpy page(hub, SIGNAL(SigChangeMainDialog(int)));
        QSignalSpy macroPage(hub, SIGNAL(SigSetMacroPage()));

        CurrentConfigPath = QStringLiteral("Device_CID18_MID01.bin");
        QFile::remove(cacheFile(CurrentConfigPath));
        FlashDataMap image{};
        image.debounce = 7;
        image.macros[15].events[69].delay = 0xA1B2C3D4;
        testsupport::SetImage(image);
        // Close saves even with the device offline (nothing is linked here).
        d.on_CloseButton_clicked();
        QByteArray saved = readAll(cacheFile(CurrentConfigPath));
        QCOMPARE(saved.size(), 10432);
        QCOMPARE(saved.left(4), QByteArray::fromHex("000028BC"));
        QCOMPARE(static_cast<uchar>(saved.at(4 + 6)), uchar(7));
        QCOMPARE(saved.right(4), QByteArray::fromHex("D4C3B2A1"));
        QCOMPARE(size.count(), 1);
        QCOMPARE(size.first().first().toInt(), 1);

        // Back: status 0, the image saved, then the link ended and the list asked for.
        {
            QMutexLocker lock(&FlashDataMutex);
            CurrentFlashData.debounce = 9;
        }
        recorder::clear();
        d.Form()->SensorButton->click();
        d.on_UpArrow_clicked();
        saved = readAll(cacheFile(CurrentConfigPath));
        QCOMPARE(static_cast<uchar>(saved.at(4 + 6)), uchar(9));
        QVERIFY(d.Form()->ButtonMain->isChecked());
        QCOMPARE(recorder::count(QStringLiteral("SetPCDriverStatus"), 0), 1);
        QCOMPARE(recorder::count(QStringLiteral("UsbServer_Exit")), 1);
        QVERIFY(recorder::indexOf(QStringLiteral("SetPCDriverStatus")) < recorder::indexOf(QStringLiteral("UsbServer_Exit")));
        QCOMPARE(page.count(), 1);
        QCOMPARE(page.first().first().toInt(), 0);
        QCOMPARE(macroPage.count(), 1);

        // Minimise asks the main window to hide.
        size.clear();
        QTest::mouseClick(d.Form()->MinButton, Qt::LeftButton);
        QCOMPARE(size.count(), 1);
        QCOMPARE(size.first().first().toInt(), 0);
        CurrentConfigPath.clear();
    }

    void applyDialogHook()
    {
        Dialog d;
        d.show();
        UpDataParam* apply = d.ApplyDialog();
        QVERIFY(!apply->waitMode);
        bool shown = false;
        bool waiting = false;
        int remaining = -1;
        QTimer::singleShot(100, [&] {
            shown = QApplication::activeModalWidget() == apply;
            waiting = apply->waitMode;
            // A second request while it waits leaves the running wait alone.
            remaining = apply->Timer()->remainingTime();
            PostMsg::GetInstance()->PostUpDataParam(1);
            remaining -= apply->Timer()->remainingTime();
            apply->Timer()->stop();
            apply->close();
        });
        PostMsg::GetInstance()->PostUpDataParam(1);
        QVERIFY(shown);
        QVERIFY(waiting);
        QVERIFY(remaining >= 0);
        // Placed over the container, 20 pixels above its centre.
        const QPoint topLeft = d.mapToGlobal(QPoint(0, 0));
        QCOMPARE(apply->pos(), QPoint(topLeft.x() + (d.width() - apply->width()) / 2,
                                      topLeft.y() + (d.height() - apply->height()) / 2 - 20));

        // A plain request after a waiting one waits plainly.
        QTimer::singleShot(100, apply, [&] {
            waiting = apply->waitMode;
            apply->Timer()->stop();
            apply->close();
        });
        PostMsg::GetInstance()->PostUpDataParam(0);
        QVERIFY(!waiting);
    }

    // A key's function menu open for the receiver's mouse, or a key dialog
    // of it: back on the list and the cabled mouse opened, the menu and the
    // dialog are closed (the dialog as Cancel: exec() returned) and no key is
    // checked. Open again and the cabled mouse pulled out, they close as
    // well, and so do a menu and a colour dialog of the pages.
    void openViewsCloseWhenTheirDeviceIsLeft_data()
    {
        QTest::addColumn<QString>("entry");  // the menu entry whose dialog is open; none: the menu
        QTest::newRow("function menu") << QString();
        QTest::newRow("key combination dialog") << QStringLiteral("DPI_8");
        QTest::newRow("fire key dialog") << QStringLiteral("DPI_6");
    }
    void openViewsCloseWhenTheirDeviceIsLeft()
    {
        using namespace devlisttest;
        QFETCH(QString, entry);
        resetBench();
        FlashDataMap receiverMouse = deviceImage(QStringLiteral("mouse1"));
        receiverMouse.keys[1] = KeyFunction{1, 4, 0};  // the middle button, where mouse2 has the right one
        QVERIFY(storeDeviceImage(QStringLiteral("mouse1"), receiverMouse));
        testsupport::EnterSituation(testsupport::Situation::DeviceList);

        DialogMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Buttoninterface* page = w.PageContainer()->ButtonPage();
        // Opens a listed device from the list; true once its pages are filled.
        const auto open = [&](const QString& id) {
            const int index = search(*w.DeviceListPage()) ? paths(DeviceList).indexOf(benchPath(id)) : -1;
            if (index < 0)
                return false;
            ImageBelongsToDevice = false;
            QTest::mouseClick(w.DeviceListPage()->DeviceButtons().value(index), Qt::LeftButton, Qt::NoModifier,
                              QPoint(142, 180));
            return w.PagesShown()
                   && QTest::qWaitFor([] { return ImageBelongsToDevice.load() && !ButtonUiLoading.load(); }, 15000);
        };
        const auto menuClosed = [&] {
            return page->Form()->stackedWidget->currentWidget() == page->Form()->page
                   && !page->KeyButton(1)->isChecked();
        };
        // Key 1's menu open, its entry's dialog too when the row names one,
        // then leave(): true when nothing of it is shown any more.
        const auto leaveWithViewOpen = [&](const std::function<void()>& leave) {
            QTest::mouseClick(page->KeyButton(1), Qt::LeftButton);
            if (menuClosed())
                return false;
            if (entry.isEmpty()) {
                leave();
                return menuClosed();
            }
            bool closed = false;
            QTimer::singleShot(0, page, [&] {
                const QPointer<QWidget> dialog = QApplication::activeModalWidget();
                if (!dialog || !dialog->inherits(entry == "DPI_8" ? "GroupKey" : "FireKey"))
                    return;
                leave();
                closed = !dialog->isVisible();
                if (!closed)
                    qobject_cast<QDialog*>(dialog.data())->reject();  // the test goes on
            });
            page->Entry(entry)->click();  // returns once the dialog has ended
            return closed && menuClosed();
        };

        QVERIFY(open(QStringLiteral("rx8k")));
        QVERIFY(leaveWithViewOpen([&] { w.PageContainer()->Form()->UpArrow->click(); }));
        QVERIFY(!w.PagesShown());
        QVERIFY(open(QStringLiteral("mouse2")));
        QVERIFY(menuClosed());
        QTest::mouseClick(page->KeyButton(1), Qt::LeftButton);
        QVERIFY(page->Entry(QStringLiteral("RightKey_3"))->isChecked());
        QTest::mouseClick(page->KeyButton(1), Qt::LeftButton);

        // A stage colour dialog of the sensor page, and a menu of the macro
        // page as its list's context menu shows it.
        auto* colours = w.PageContainer()->SensorPage()->findChild<QColorDialog*>();
        QVERIFY(colours);
        colours->show();
        QMenu menu(w.PageContainer()->MacroPage());
        menu.addAction(QStringLiteral("Delete"));
        menu.popup(QPoint(0, 0));
        QCOMPARE(QApplication::activePopupWidget(), &menu);

        QVERIFY(leaveWithViewOpen([&] {
            bench({QStringLiteral("unplug"), QStringLiteral("mouse2")});
            QVERIFY(QTest::qWaitFor([&] { return !w.PagesShown(); }, 10000));
        }));
        QVERIFY(!menu.isVisible());
        QVERIFY(!colours->isVisible());
        StopUsbChanged();
        UsbServer_Exit();
    }
};

QTEST_MAIN(ContainerTest)
#include "tst_shell_container.moc"
