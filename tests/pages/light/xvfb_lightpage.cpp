// The lighting page in the program's main window on a virtual X server: real
// pointer clicks (xdotool) go to the receiver's button in the device list,
// the page container's lighting button, an entry of the mode list, a preset
// colour and the colour board. The simulated mouse's memory, read back with
// the bench's control tool, shows each choice after one send.
#include "../../core/LinkTestSupport.h"

#include "Dialog.h"
#include "DialogChange.h"
#include "DialogMain.h"
#include "HIDUsb.h"
#include "LampLight.h"
#include "LightRules.h"
#include "MacroSettings.h"
#include "mytoolButtonEnter.h"
#include "UserFixture.h"
#include "XdotoolSupport.h"
#include "ui_Dialog.h"
#include "ui_LampLight.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QStackedWidget>
#include <QToolButton>

using namespace linktest;

namespace {
const QString Mouse = QStringLiteral("mouse1");
const QString ReceiverPath = QStringLiteral("hidbench/rx8k");

int sends()
{
    return callsLog({QStringLiteral("ProtocolDataUpdate")}).size();
}

QString lighting()
{
    return bench({QStringLiteral("show"), Mouse, QStringLiteral("lighting")});
}
}  // namespace

class XvfbLightPageTest : public QObject
{
    Q_OBJECT

    QString m_xdotool;

    // One left click at a point of a widget, through the X server.
    bool click(QWidget* widget, const QPoint& local)
    {
        const QPoint at = widget->mapToGlobal(local);
        QProcess process;
        process.start(m_xdotool, {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                                  QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
        const bool ok = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
                        && process.exitCode() == 0;
        if (!ok)
            qWarning("xdotool: %s", process.readAllStandardError().constData());
        return ok;
    }

    // The user clicks the receiver's button in the device list.
    void openReceiver(DialogMain& main)
    {
        DialogChange* list = main.DeviceListPage();
        int index = -1;
        QVERIFY(QTest::qWaitFor(
            [&] {
                for (int i = 0; i < DeviceList.size() && i < list->DeviceButtons().size(); ++i) {
                    if (DeviceList.at(i).path == ReceiverPath)
                        index = i;
                }
                return index >= 0;
            },
            10000));
        mytoolButtonEnter* button = list->DeviceButtons().at(index);
        QTRY_VERIFY(button->isVisible());
        QVERIFY(click(button, button->rect().center()));
    }

private slots:
    void initTestCase()
    {
        if (const char* missing = testsupport::XdotoolMissing(&m_xdotool))
            QSKIP(missing);
        testsupport::PrepareUserState();
        // The default bench: its cabled mouse is of the other model, so the
        // list shows the receiver beside it.
        bench({QStringLiteral("init")});
        bench({QStringLiteral("option"), QStringLiteral("trace=on")});
    }

    void clickModeAndPreset()
    {
        // The mouse starts in colour flow with a colour no preset has.
        FlashDataMap start = deviceImage(Mouse);
        start.lightMode = 1;
        start.lightOn = 1;
        start.lightR = 10;
        start.lightG = 20;
        start.lightB = 30;
        QVERIFY(storeDeviceImage(Mouse, start));

        DialogMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        Recorder rec;
        openReceiver(main);
        if (QTest::currentTestFailed())
            return;
        // The link's full read fills the pages.
        QVERIFY(QTest::qWaitFor([&] { return rec.contains(QStringLiteral("Form")); }, 10000));
        QVERIFY(rec.contains(QStringLiteral("Light")));
        QTRY_VERIFY(main.PagesShown());

        Dialog* pages = main.PageContainer();
        LampLight* light = pages->LightPage();
        Ui::LampLight* form = light->Form();
        QCOMPARE(form->LightMod->currentIndex(), 1);
        QCOMPARE(form->RSpinBox->value(), 10);

        // To the lighting page.
        QToolButton* lightsButton = pages->Form()->LightsButton;
        QTRY_VERIFY(lightsButton->isVisible());
        QVERIFY(click(lightsButton, lightsButton->rect().center()));
        QTRY_COMPARE(pages->Form()->stackedWidgetDialog->currentWidget(), static_cast<QWidget*>(light));
        QTRY_VERIFY(form->LightMod->isVisible());
        QVERIFY(!form->label_7->isVisible());  // colour flow has no colour

        // Mode "single-colour breathing" from the open list.
        clearCallsLog();
        QVERIFY(click(form->LightMod, form->LightMod->rect().center()));
        QAbstractItemView* list = form->LightMod->view();
        QTRY_VERIFY(list->isVisible());
        const QRect entry = list->visualRect(list->model()->index(2, 0));
        QVERIFY(entry.isValid());
        QVERIFY(click(list->viewport(), entry.center()));
        QTRY_COMPARE(form->LightMod->currentIndex(), 2);
        QTRY_VERIFY(lighting().contains(QStringLiteral("light: mode 2 colour 10,20,30 ")));
        QVERIFY(lighting().contains(QStringLiteral(" on 1\n")));
        QCOMPARE(sends(), 1);
        QTRY_VERIFY(form->label_7->isVisible());

        // Preset H.
        clearCallsLog();
        QToolButton* presetH = light->findChild<QToolButton*>(LightRules::PresetButtonName(7));
        QTRY_VERIFY(presetH->isVisible());
        QVERIFY(click(presetH, presetH->rect().center()));
        QTRY_VERIFY(lighting().contains(QStringLiteral("light: mode 2 colour 227,0,127 ")));
        QCOMPARE(sends(), 1);
        QCOMPARE(form->RSpinBox->value(), 227);
        QCOMPARE(form->GSpinBox->value(), 0);
        QCOMPARE(form->BSpinBox->value(), 127);
        QCOMPARE(form->labelPreView->styleSheet(), LightRules::PreviewSheet(227, 0, 127));

        // A click on the colour board takes the colour the board shows there.
        clearCallsLog();
        const QPoint onBoard(200, 8);
        const QColor boardColour(QImage(light->PictureDir() + QStringLiteral("ColorBoard.png")).pixel(onBoard));
        QVERIFY(click(form->label_7, onBoard));
        QTRY_COMPARE(form->RSpinBox->value(), boardColour.red());
        QCOMPARE(form->GSpinBox->value(), boardColour.green());
        QCOMPARE(form->BSpinBox->value(), boardColour.blue());
        QTRY_VERIFY(lighting().contains(QStringLiteral("light: mode 2 colour %1,%2,%3 ")
                                            .arg(boardColour.red())
                                            .arg(boardColour.green())
                                            .arg(boardColour.blue())));
        QCOMPARE(sends(), 1);

        StopUsbChanged();
        UsbServer_Exit();
    }
};

QTEST_MAIN(XvfbLightPageTest)
#include "xvfb_lightpage.moc"
