// The lighting page without a device: the rules (mode of an image, what each
// mode shows, presets, the board pixel), the fills from the device link and
// from an import (flags, sliders, colour, preview, mode, switch, sleep
// entry), the reset, the colour board and its picture, the focus rule and
// the language texts.
#include "../../core/LinkTestSupport.h"

#include "ColorText.h"
#include "ConfigSettings.h"
#include "Globals.h"
#include "LampLight.h"
#include "LightRules.h"
#include "MacroSettings.h"
#include "MyConmboBox.h"
#include "PostMsg.h"
#include "StopCloseTime.h"
#include "UserFixture.h"
#include "ui_LampLight.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {

QComboBox* sleepCombo(LampLight& page)
{
    return page.Form()->frameClose->findChild<QComboBox*>(QStringLiteral("StopClose"));
}

QToolButton* preset(LampLight& page, int i)
{
    return page.findChild<QToolButton*>(LightRules::PresetButtonName(i));
}

FlashDataMap lightImage(int mode, int on, int r, int g, int b, int speed, int brightness, int moveOff, int sleep)
{
    FlashDataMap image{};
    image.lightMode = uint8_t(mode);
    image.lightOn = uint8_t(on);
    image.lightR = uint8_t(r);
    image.lightG = uint8_t(g);
    image.lightB = uint8_t(b);
    image.lightSpeed = uint8_t(speed);
    image.lightBrightness = uint8_t(brightness);
    image.moveLightOff = uint8_t(moveOff);
    image.sleepTime = uint8_t(sleep);
    return image;
}

// What the page shows of each group, read from the widgets.
struct Shown {
    bool colour;
    bool brightness;
    bool speed;
    bool line;
    bool line2;
};

Shown shown(LampLight& page)
{
    Ui::LampLight* ui = page.Form();
    return Shown{ui->label_7->isVisibleTo(&page), ui->horizontalLight->isVisibleTo(&page),
                 ui->horizontalSpeed->isVisibleTo(&page), ui->line->isVisibleTo(&page),
                 ui->line_2->isVisibleTo(&page)};
}

// Every widget of the colour group shows or hides together; so do the pairs.
bool groupsConsistent(LampLight& page)
{
    Ui::LampLight* ui = page.Form();
    const bool colour = ui->label_7->isVisibleTo(&page);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->label_6, ui->label_8, ui->labelPreView, ui->label_10,
                                                      ui->label_11, ui->label_12, ui->label_13, ui->RSpinBox,
                                                      ui->GSpinBox, ui->BSpinBox, ui->AddR, ui->AddG, ui->AddB,
                                                      ui->ReduceR, ui->ReduceG, ui->ReduceB}) {
        if (w->isVisibleTo(&page) != colour)
            return false;
    }
    for (int i = 0; i < LightRules::PresetCount; ++i) {
        if (preset(page, i)->isVisibleTo(&page) != colour)
            return false;
    }
    // Never hidden.
    for (QWidget* w : std::initializer_list<QWidget*>{ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_5,
                                                      ui->LightMod, ui->RippeControl, ui->frameClose}) {
        if (!w->isVisibleTo(&page))
            return false;
    }
    return ui->LightSpinBox_2->isVisibleTo(&page) == ui->horizontalLight->isVisibleTo(&page)
           && ui->SpeedSpinBox_2->isVisibleTo(&page) == ui->horizontalSpeed->isVisibleTo(&page);
}

QImage boardPicture(LampLight& page)
{
    return QImage(page.PictureDir() + QStringLiteral("ColorBoard.png"));
}

}  // namespace

class LightPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::PrepareUserState();
    }

    // No device here: the pages must not try to send.
    void init() { testsupport::EnterSituation(testsupport::Situation::DeviceList); }

    // ---- rules ---------------------------------------------------------------

    void modeOfAnImage()
    {
        QCOMPARE(LightRules::ModeIndexOf(lightImage(4, 0, 0, 0, 0, 0, 0, 0, 0)), 0);  // off wins
        QCOMPARE(LightRules::ModeIndexOf(lightImage(3, 1, 0, 0, 0, 0, 0, 0, 0)), 3);
        QCOMPARE(LightRules::ModeIndexOf(lightImage(6, 2, 0, 0, 0, 0, 0, 0, 0)), 6);
        QCOMPARE(LightRules::ModeIndexOf(lightImage(0, 1, 0, 0, 0, 0, 0, 0, 0)), 0);
        QCOMPARE(LightRules::ModeIndexOf(lightImage(7, 1, 0, 0, 0, 0, 0, 0, 0)), -1);
        QCOMPARE(LightRules::ModeIndexOf(lightImage(255, 1, 0, 0, 0, 0, 0, 0, 0)), -1);
        QCOMPARE(LightRules::ModeIndexOf(lightImage(255, 0, 0, 0, 0, 0, 0, 0, 0)), 0);
    }

    void presetsAndPreview()
    {
        QCOMPARE(LightRules::PresetButtonName(0), QStringLiteral("toolButtonColorA"));
        QCOMPARE(LightRules::PresetButtonName(13), QStringLiteral("toolButtonColorN"));
        QCOMPARE(LightRules::PresetPictureName(7), QStringLiteral("ColorH.png"));
        QVERIFY((LightRules::Preset(5) == LightRules::Rgb{255, 80, 0}));
        QVERIFY((LightRules::Preset(7) == LightRules::Rgb{227, 0, 127}));
        QVERIFY((LightRules::Preset(13) == LightRules::Rgb{208, 113, 173}));
        QVERIFY((LightRules::Preset(14) == LightRules::Rgb{0, 0, 0}));
        QCOMPARE(LightRules::PreviewSheet(1, 22, 255),
                 QStringLiteral("QLabel{background-color: rgb(1,22,255);border: 2px solid  rgb(220,220,220);}"));
    }

    void pixelOfARendering()
    {
        QVERIFY(!LightRules::OpaquePixelAt(QImage(), QPointF(0, 0)));
        QImage image(20, 10, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        image.setPixel(3, 4, qRgb(10, 20, 30));
        image.setPixel(9, 9, qRgba(10, 20, 30, 128));
        QCOMPARE(LightRules::OpaquePixelAt(image, QPointF(3.7, 4.2)).value_or(0), qRgb(10, 20, 30));
        QVERIFY(!LightRules::OpaquePixelAt(image, QPointF(2, 4)));     // no picture there
        QVERIFY(!LightRules::OpaquePixelAt(image, QPointF(9, 9)));     // half transparent
        QVERIFY(!LightRules::OpaquePixelAt(image, QPointF(20, 0)));    // outside
        QVERIFY(!LightRules::OpaquePixelAt(image, QPointF(-0.5, 1)));  // outside
        // On a screen with two pixels per point the point (1.5, 2) is pixel (3, 4).
        image.setDevicePixelRatio(2.0);
        QCOMPARE(LightRules::OpaquePixelAt(image, QPointF(1.5, 2)).value_or(0), qRgb(10, 20, 30));
        QVERIFY(!LightRules::OpaquePixelAt(image, QPointF(3, 4)));
    }

    // ---- the form --------------------------------------------------------------

    void formAndPictures()
    {
        LampLight page;
        Ui::LampLight* ui = page.Form();
        QCOMPARE(page.size(), QSize(883, 630));
        QCOMPARE(ui->label_7->geometry(), QRect(448, 112, 308, 34));
        QCOMPARE(ui->frameClose->geometry(), QRect(235, 420, 145, 35));
        QCOMPARE(ui->LightMod->count(), 7);
        for (QSlider* slider : {ui->horizontalLight, ui->horizontalSpeed}) {
            QCOMPARE(slider->minimum(), 1);
            QCOMPARE(slider->maximum(), 10);
            QCOMPARE(slider->pageStep(), 1);
            QVERIFY(!slider->hasTracking());
        }
        for (QSpinBox* box : {ui->RSpinBox, ui->GSpinBox, ui->BSpinBox}) {
            QCOMPARE(box->maximum(), 255);
            QVERIFY(box->keyboardTracking());
        }
        QVERIFY(ui->LightSpinBox_2->isReadOnly());
        QVERIFY(ui->SpeedSpinBox_2->isReadOnly());
        // The preset buttons in two rows of seven, each with its own colour
        // picture showing that colour.
        for (int i = 0; i < LightRules::PresetCount; ++i) {
            QToolButton* button = preset(page, i);
            QVERIFY(button);
            QCOMPARE(button->geometry(), QRect(450 + 45 * (i % 7), i < 7 ? 373 : 423, 28, 28));
            QVERIFY(button->isCheckable());
            const QImage picture(page.PictureDir() + LightRules::PresetPictureName(i));
            QVERIFY2(!picture.isNull(), qPrintable(LightRules::PresetPictureName(i)));
            const LightRules::Rgb c = LightRules::Preset(i);
            QCOMPARE(QColor(picture.pixel(14, 14)), QColor(c.r, c.g, c.b));
        }
        for (const char* name : {"Add.png", "Reduce.png", "PreviewColor.png", "HuaKuai.png", "Open.png", "Close.png",
                                 "ComboboxBack.png", "Menu.png"})
            QVERIFY2(!QImage(page.PictureDir() + QLatin1String(name)).isNull(), name);
        // The colour board: the label's size, opaque, and many colours.
        const QImage board = boardPicture(page);
        QCOMPARE(board.size(), QSize(308, 34));
        QSet<QRgb> colours;
        for (int y = 0; y < board.height(); ++y) {
            for (int x = 0; x < board.width(); ++x) {
                QCOMPARE(qAlpha(board.pixel(x, y)), 255);
                colours.insert(board.pixel(x, y));
            }
        }
        QVERIFY(colours.size() > 2000);
    }

    // ---- fills -----------------------------------------------------------------

    void visibilityPerMode_data()
    {
        QTest::addColumn<int>("modeByte");
        QTest::addColumn<int>("onByte");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("colour");
        QTest::addColumn<bool>("brightness");
        QTest::addColumn<bool>("speed");
        QTest::newRow("off") << 3 << 0 << 0 << false << false << false;
        QTest::newRow("colour flow") << 1 << 1 << 1 << false << true << true;
        QTest::newRow("single-colour breathing") << 2 << 1 << 2 << true << true << true;
        QTest::newRow("mixed colours, steady") << 3 << 1 << 3 << true << true << false;
        QTest::newRow("neon") << 4 << 1 << 4 << false << true << true;
        QTest::newRow("mixed-colour breathing") << 5 << 1 << 5 << false << true << true;
        QTest::newRow("dazzling, steady") << 6 << 1 << 6 << false << true << false;
        QTest::newRow("mode 7: blank, as off") << 7 << 1 << -1 << false << false << false;
        QTest::newRow("mode 255: blank, as off") << 255 << 1 << -1 << false << false << false;
    }

    void visibilityPerMode()
    {
        QFETCH(int, modeByte);
        QFETCH(int, onByte);
        QFETCH(int, index);
        QFETCH(bool, colour);
        QFETCH(bool, brightness);
        QFETCH(bool, speed);
        LampLight page;
        // From a mode that shows everything, so that each hide is seen.
        page.SlotUpDataLightUILight(lightImage(2, 1, 0, 0, 0, 0, 0, 0, 6));
        QCOMPARE(shown(page).colour, true);
        page.SlotUpDataLightUILight(lightImage(modeByte, onByte, 0, 0, 0, 0, 0, 0, 6));
        QCOMPARE(page.Form()->LightMod->currentIndex(), index);
        const Shown s = shown(page);
        QCOMPARE(s.colour, colour);
        QCOMPARE(s.brightness, brightness);
        QCOMPARE(s.speed, speed);
        QCOMPARE(s.line, !brightness);
        QCOMPARE(s.line2, !speed);
        QVERIFY(groupsConsistent(page));
    }

    void fillShowsTheBytes()
    {
        LampLight page;
        Ui::LampLight* ui = page.Form();
        LightUiUpdated = false;
        page.SlotUpDataLightUILight(lightImage(3, 1, 12, 200, 7, 0, 9, 1, 30));
        QVERIFY(LightUiUpdated);
        QVERIFY(!LightUiLoading);
        QCOMPARE(ui->LightMod->currentIndex(), 3);
        QCOMPARE(ui->horizontalLight->value(), 10);
        QCOMPARE(ui->LightSpinBox_2->value(), 10);
        QCOMPARE(ui->horizontalSpeed->value(), 1);
        QCOMPARE(ui->SpeedSpinBox_2->value(), 1);
        QCOMPARE(ui->RSpinBox->value(), 12);
        QCOMPARE(ui->GSpinBox->value(), 200);
        QCOMPARE(ui->BSpinBox->value(), 7);
        QCOMPARE(ui->labelPreView->styleSheet(), LightRules::PreviewSheet(12, 200, 7));
        QVERIFY(ui->RippeControl->isChecked());
        QCOMPARE(sleepCombo(page)->currentIndex(), 3);
        QVERIFY(ui->horizontalLight->isEnabled());

        // Bytes beyond the sliders' range show the top; the import fill
        // disables the sliders and leaves the updated flag alone.
        LightUiUpdated = false;
        page.SlotUpDataLightUIA(lightImage(4, 0, 1, 2, 3, 200, 255, 0, 7));
        QVERIFY(!LightUiUpdated);
        QCOMPARE(ui->LightMod->currentIndex(), 0);
        QCOMPARE(ui->horizontalLight->value(), 10);
        QCOMPARE(ui->horizontalSpeed->value(), 10);
        QCOMPARE(ui->SpeedSpinBox_2->value(), 10);
        QVERIFY(!ui->RippeControl->isChecked());
        QCOMPARE(sleepCombo(page)->currentIndex(), 3);  // 70 s is no entry: unchanged
        QCOMPARE(ui->labelPreView->styleSheet(), LightRules::PreviewSheet(1, 2, 3));
        QVERIFY(!ui->horizontalLight->isEnabled());
        QVERIFY(!ui->horizontalSpeed->isEnabled());
        // The next fill after a device read enables them again.
        page.SlotUpDataLightUILight(lightImage(4, 1, 1, 2, 3, 2, 2, 0, 1));
        QVERIFY(ui->horizontalLight->isEnabled());
        QVERIFY(ui->horizontalSpeed->isEnabled());
        QCOMPARE(sleepCombo(page)->currentIndex(), 0);
    }

    void sleepEntries_data()
    {
        QTest::addColumn<int>("byte8");
        QTest::addColumn<int>("entry");
        QTest::newRow("10 s") << 1 << 0;
        QTest::newRow("30 s") << 3 << 1;
        QTest::newRow("5 min") << 30 << 3;
        QTest::newRow("25 min") << 150 << 7;
        QTest::newRow("40 min, no wrap") << 240 << 10;
        QTest::newRow("not listed") << 5 << 2;
        QTest::newRow("zero") << 0 << 2;
        QTest::newRow("255") << 255 << 2;
    }

    void sleepEntries()
    {
        QFETCH(int, byte8);
        QFETCH(int, entry);
        LampLight page;
        page.SlotFormResetLight();  // entry 2 to start from
        page.SlotUpDataLightUILight(lightImage(1, 1, 0, 0, 0, 0, 0, 0, byte8));
        QCOMPARE(sleepCombo(page)->currentIndex(), entry);
    }

    void fillFromALibraryThreadWaits()
    {
        LampLight page;
        LightUiUpdated = false;
        std::atomic<bool> done{false};
        std::thread link([&] {
            PostMsg::GetInstance()->PostUpDataLightLight(lightImage(5, 1, 9, 8, 7, 1, 1, 0, 180));
            // The page took the image before the emitter goes on.
            done = LightUiUpdated.load();
        });
        QTRY_VERIFY(done.load());
        link.join();
        QCOMPARE(sleepCombo(page)->currentIndex(), 8);
        QCOMPARE(page.Form()->LightMod->currentIndex(), 5);
        QCOMPARE(page.Form()->GSpinBox->value(), 8);
    }

    void resetKeepsTheColour()
    {
        LampLight page;
        Ui::LampLight* ui = page.Form();
        page.SlotUpDataLightUILight(lightImage(3, 1, 40, 50, 60, 2, 3, 1, 240));
        PostMsg::GetInstance()->PostFormReset();
        QVERIFY(!LightUiLoading);
        QCOMPARE(ui->LightMod->currentIndex(), 1);
        QCOMPARE(shown(page).colour, false);
        QCOMPARE(shown(page).speed, true);
        QCOMPARE(ui->horizontalLight->value(), 10);
        QCOMPARE(ui->LightSpinBox_2->value(), 10);
        QCOMPARE(ui->horizontalSpeed->value(), 8);
        QCOMPARE(ui->SpeedSpinBox_2->value(), 8);
        QVERIFY(!ui->RippeControl->isChecked());
        QCOMPARE(sleepCombo(page)->currentIndex(), 2);
        QCOMPARE(ui->RSpinBox->value(), 40);
        QCOMPARE(ui->BSpinBox->value(), 60);
    }

    // ---- sliders, colour board, focus ----------------------------------------

    void draggingUpdatesTheValueBox()
    {
        LampLight page;
        QSlider* slider = page.Form()->horizontalLight;
        page.SlotUpDataLightUILight(lightImage(1, 1, 0, 0, 0, 0, 4, 0, 6));
        slider->setSliderDown(true);
        slider->setSliderPosition(8);
        QCOMPARE(page.Form()->LightSpinBox_2->value(), 8);
        QCOMPARE(slider->value(), 5);  // no tracking: the value comes at release
        slider->setSliderDown(false);
        QCOMPARE(slider->value(), 8);
        QCOMPARE(page.Form()->LightSpinBox_2->value(), 8);
    }

    void boardShowsWhatThePickReads()
    {
        LampLight page;
        Ui::LampLight* ui = page.Form();
        page.SlotUpDataLightUILight(lightImage(2, 1, 1, 2, 3, 0, 0, 0, 6));
        const QImage board = boardPicture(page);
        const QPoint origin = ui->label_7->mapTo(&page, QPoint(0, 0));
        for (const QPoint& p : {QPoint(0, 0), QPoint(40, 5), QPoint(150, 17), QPoint(250, 30), QPoint(307, 33),
                                QPoint(300, 10)}) {
            const std::optional<QColor> c = page.ColorUnder(origin + p, page.mapToGlobal(origin + p));
            QVERIFY(c.has_value());
            QCOMPARE(c->rgb(), board.pixel(p));
        }
        QVERIFY(!page.ColorUnder(origin + QPoint(308, 5), page.mapToGlobal(origin + QPoint(308, 5))));

        // A press on the board takes its colour into the controls (the page
        // is not ready to send: nothing is sent, the controls still change).
        const QPoint at(120, 8);
        QTest::mousePress(ui->label_7, Qt::LeftButton, Qt::NoModifier, at);
        const QColor expected(board.pixel(at));
        QCOMPARE(ui->RSpinBox->value(), expected.red());
        QCOMPARE(ui->GSpinBox->value(), expected.green());
        QCOMPARE(ui->BSpinBox->value(), expected.blue());
        QCOMPARE(ui->labelPreView->styleSheet(),
                 LightRules::PreviewSheet(expected.red(), expected.green(), expected.blue()));

        // Where the board is hidden (a mode without a colour) a press picks nothing.
        page.SlotUpDataLightUILight(lightImage(1, 1, 1, 2, 3, 0, 0, 0, 6));
        QTest::mousePress(&page, Qt::LeftButton, Qt::NoModifier, origin + QPoint(10, 10));
        QCOMPARE(ui->RSpinBox->value(), 1);
    }

    void pickWithoutAPixelChangesNothing()
    {
        LampLight page;
        Ui::LampLight* ui = page.Form();
        page.SlotUpDataLightUILight(lightImage(3, 1, 1, 2, 3, 0, 0, 0, 6));
        const QString preview = ui->labelPreView->styleSheet();
        // No picture on the board and a screen that cannot be read (the page
        // is on no screen): no pixel at all.
        ui->label_7->setStyleSheet(QString());
        const QPoint inBoard = ui->label_7->mapTo(&page, QPoint(100, 10));
        QVERIFY(!page.ColorUnder(inBoard, page.mapToGlobal(inBoard)));
        QTest::mousePress(&page, Qt::LeftButton, Qt::NoModifier, inBoard);
        QCOMPARE(ui->RSpinBox->value(), 1);
        QCOMPARE(ui->GSpinBox->value(), 2);
        QCOMPARE(ui->BSpinBox->value(), 3);
        QCOMPARE(ui->labelPreView->styleSheet(), preview);
    }

    void pressBesideAValueBoxTakesTheFocus()
    {
        LampLight page;
        page.SlotUpDataLightUILight(lightImage(2, 1, 1, 2, 3, 0, 0, 0, 6));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        page.activateWindow();
        QSpinBox* green = page.Form()->GSpinBox;
        QTest::mouseClick(green, Qt::LeftButton);
        QTRY_VERIFY(green->hasFocus());
        // A press inside the box keeps it.
        QTest::mousePress(&page, Qt::LeftButton, Qt::NoModifier, green->geometry().center());
        QVERIFY(green->hasFocus());
        QTest::mousePress(&page, Qt::LeftButton, Qt::NoModifier, QPoint(20, 600));
        QVERIFY(!green->hasFocus());
        QVERIFY(page.hasFocus());
    }

    // ---- texts -----------------------------------------------------------------

    void languageKeepsTheMode()
    {
        LampLight page;
        Ui::LampLight* ui = page.Form();
        QCOMPARE(sleepCombo(page)->itemText(0), QStringLiteral("10 s"));
        QCOMPARE(sleepCombo(page)->itemText(10), QStringLiteral("40 min"));
        QCOMPARE(ui->LightMod->itemText(4), QStringLiteral("Neon"));
        QCOMPARE(ui->label_2->text(), QStringLiteral("Brightness"));
        QCOMPARE(ui->label_3->text(), QStringLiteral("Speed"));
        QCOMPARE(ui->label_4->text(), QStringLiteral("Lights off while moving"));
        QCOMPARE(ui->label_6->text(), QStringLiteral("Custom colour"));
        QCOMPARE(ui->label_8->text(), QStringLiteral("Preview"));
        QCOMPARE(ui->label_13->text(), QStringLiteral("Preset colours"));
        QCOMPARE(ui->label_11->text(), QStringLiteral("R:"));

        page.SlotUpDataLightUILight(lightImage(5, 1, 0, 0, 0, 0, 0, 0, 6));
        PostMsg::GetInstance()->PostChangeLanguage(1);
        QCOMPARE(ui->LightMod->currentIndex(), 5);
        QCOMPARE(ui->LightMod->itemText(5), QStringLiteral("混彩呼吸"));
        QCOMPARE(ui->label->text(), QStringLiteral("灯光模式"));
        QCOMPARE(ui->label_13->text(), QStringLiteral("预设颜色"));
        QCOMPARE(sleepCombo(page)->itemText(2), QStringLiteral("1分钟"));
        PostMsg::GetInstance()->PostChangeLanguage(5);
        QCOMPARE(ui->LightMod->currentIndex(), 5);
        QCOMPARE(ui->label->text(), QStringLiteral("ライトモード"));
        QCOMPARE(ui->label_4->text(), QStringLiteral("移動中は消灯"));
        QCOMPARE(sleepCombo(page)->itemText(2), QStringLiteral("1分"));
        PostMsg::GetInstance()->PostChangeLanguage(0);
        QCOMPARE(ui->label_8->text(), QStringLiteral("Preview"));
    }

    void everyLanguageNamesEveryText()
    {
        // Each file's section sets every text the page reads (no text stays at
        // the form's default or the previous language's).
        LampLight page;
        Ui::LampLight* ui = page.Form();
        for (int language = 0; language < 6; ++language) {
            QList<QLabel*> labels = {ui->label,   ui->label_2,  ui->label_3,  ui->label_4,
                                     ui->label_5, ui->label_6,  ui->label_8,  ui->label_10,
                                     ui->label_11, ui->label_12, ui->label_13};
            for (QLabel* label : labels)
                label->setText(QStringLiteral("?"));
            for (int i = 0; i < 7; ++i)
                ui->LightMod->setItemText(i, QStringLiteral("?"));
            for (int i = 0; i < 11; ++i)
                ui->frameClose->SetItemText(i, QStringLiteral("?"));
            page.SlotChangeLanguage(language);
            for (QLabel* label : labels)
                QVERIFY2(label->text() != QLatin1String("?"), qPrintable(label->objectName()));
            for (int i = 0; i < 7; ++i)
                QVERIFY(ui->LightMod->itemText(i) != QLatin1String("?"));
            for (int i = 0; i < 11; ++i)
                QVERIFY(sleepCombo(page)->itemText(i) != QLatin1String("?"));
        }
        page.SlotChangeLanguage(0);
    }

    void shortColourListsUseTheDefault()
    {
        // A model table whose colours hold fewer than three numbers (or none).
        QTemporaryDir appDir;
        QVERIFY(appDir.isValid());
        linktest::installConfig(appDir.path(), QStringLiteral("[Option]\nLabelColor=10,20\nSliderColor=\n"
                                                             "LinEditColorSecond=1,2,3\n"));
        {
            LampLight page;
            Ui::LampLight* ui = page.Form();
            const QString label = DefaultOptionColorText(QStringLiteral("LabelColor"));
            QCOMPARE(ui->label->styleSheet(), QStringLiteral("QLabel{color: rgb(") + label + QStringLiteral(";);}"));
            QVERIFY(ui->SpeedSpinBox_2->styleSheet().contains(QStringLiteral("rgb(") + label + QLatin1Char(';')));
            QVERIFY(ui->horizontalLight->styleSheet().contains(
                QStringLiteral("rgb(") + DefaultOptionColorText(QStringLiteral("SliderColor")) + QLatin1Char(';')));
            QVERIFY(ui->RSpinBox->styleSheet().contains(QStringLiteral("color: rgb(1,2,3;)")));
        }
        SetAppDirOverride(QString());
        ConfigSettings::GetInstance()->Reload();
    }
};

QTEST_MAIN(LightPageTest)
#include "tst_lightpage.moc"
