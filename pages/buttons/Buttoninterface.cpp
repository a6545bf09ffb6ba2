#include "Buttoninterface.h"
#include "ui_Buttoninterface.h"

#include "ButtonMenu.h"
#include "ConfigSettings.h"
#include "DebounceTime.h"
#include "DeviceChoreography.h"
#include "DeviceWriters.h"
#include "Globals.h"
#include "KeyRecords.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "MyConmboBox.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PostMsg.h"
#include "Worker.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QMouseEvent>
#include <QToolButton>

namespace {
// The most profiles the profile box lists.
constexpr int MaxProfiles = 16;
}  // namespace

Buttoninterface::Buttoninterface(QWidget* parent) : QWidget(parent), ui(new Ui::Buttoninterface)
{
    ui->setupUi(this);
    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Buttoninterface::SlotChangeLanguage);
    connect(hub, &PostMsg::SigMouseIndex, this, &Buttoninterface::SlotMouseIndex);

    pictureDir = AppDir() + QStringLiteral("/Picture/Buttoninterface/");
    pageFolder = UserDir() + QStringLiteral("/usersetting/MainPage");
    if (!QDir(pageFolder).exists())
        QDir().mkpath(pageFolder);
    BuildMenu();
    // The texts come before any style sheet: a restyled layout measures its
    // buttons, and the form's own captions would load the large CJK font
    // for a session in another language.
    LoadLanguage(StoredLanguageIndex(), false);
    ui->widget->setStyleSheet(MousePictureSheet());

    sensorDefines = ReadInstalledSensorDefines();
    ui->MainWindow->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("MainWindow")));
    PageStyle::StyleComboBox(ui->ProjectChoose, pictureDir);
    StyleMenu();

    connect(hub, &PostMsg::SigUpDataLightUIButton, this, &Buttoninterface::SlotUpDataButtonUIButton);
    connect(hub, &PostMsg::SigUpDataConfigUI, this, &Buttoninterface::SlotUpDataConfigUI);
    connect(hub, &PostMsg::SigUpDataButtonUIC, this, &Buttoninterface::SlotUpDataButtonUIB);
    connect(hub, &PostMsg::SigAddMacroButton, this, &Buttoninterface::SlotAddMacroButton);
    connect(hub, &PostMsg::SigFormReset, this, &Buttoninterface::SlotFormResetButton);
    connect(hub, &PostMsg::SigDeleteMacroButton, this, &Buttoninterface::SlotDeleteMacroButton);
    connect(hub, &PostMsg::SigMacroRename, this, &Buttoninterface::SlotMacroRename);
    connect(hub, &PostMsg::SigUpDataMacro, this, &Buttoninterface::SlotUpDataMacro);

    // The one device link object; the device list starts it.
    new Worker(this);

    ui->stackedWidget->setCurrentWidget(ui->page);
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    // The macro list lives in the scroll area of its sub-menu page.
    InitMacroButtons();
    InitPendingRetry();
}

Buttoninterface::~Buttoninterface()
{
    // Nothing the link still delivers may reach a page on its way out.
    PostMsg::GetInstance()->disconnect(this);
    // The link thread is stopped and joined while events still run: a pass
    // may be waiting for a page on the GUI thread.
    Worker::Shutdown(5000);
    StopFollowingUsbChanges();
    delete ui;
}

QString Buttoninterface::MousePictureSheet() const
{
    if (!QFileInfo::exists(pictureDir + QStringLiteral("mouse0.png")))
        return QString();  // no picture installed: no image, and no warning per repaint
    return QStringLiteral("QWidget#widget{border:0px;background-image: url(") + pictureDir
           + QStringLiteral("mouse0.png);background-position:center;background-repeat:no-repeat;}");
}

int Buttoninterface::KeyNumber() const
{
    return qBound(0, ConfigSettings::GetInstance()->ModelInt(CurrentDeviceInfo.driveIndex, QStringLiteral("KeyNumber")),
                  KeyCount);
}

// Where the import and reset dialogs stand over the page.
QPoint Buttoninterface::DialogPosition(const QWidget* dialog) const
{
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    return QPoint(topLeft.x() + (width() - dialog->width()) / 2 - 75,
                  topLeft.y() + (height() - dialog->height()) / 2 - 65);
}

void Buttoninterface::SlotMouseIndex(int)
{
    // One picture serves every model.
    ui->widget->setStyleSheet(MousePictureSheet());
}

void Buttoninterface::Fill(const FlashDataMap& image)
{
    shownImage = image;
    // Byte 8 counts tens of seconds; as int, 240 gives 2400 (no wrap).
    PostMsg::GetInstance()->PostLightToFrom(static_cast<int>(image.sleepTime) * 10);
    sensorName = ConfigSettings::GetInstance()->ModelValue(CurrentDeviceInfo.driveIndex, QStringLiteral("Sensor"));
    ShowKeyFunctions(image);
    ui->DebunceButton->SetIndex(image.debounce);
}

void Buttoninterface::SlotUpDataButtonUIButton(FlashDataMap image)
{
    const PageFillScope fill(Page::Buttons, PageFillScope::ReportsUpdated);
    Fill(image);
}

void Buttoninterface::SlotUpDataButtonUIB(FlashDataMap image)
{
    const PageFillScope fill(Page::Buttons);
    Fill(image);
}

void Buttoninterface::SlotUpDataConfigUI(int count, int current, bool enabled)
{
    // A device holds at most 16 profiles; a larger count from a damaged
    // report must not fill the box without end.
    count = qMin(count, MaxProfiles);
    ui->ProjectChoose->clear();
    {
        const QSignalBlocker block(ui->ProjectChoose);
        if (count > 0) {
            for (int i = 1; i <= count; ++i)
                ui->ProjectChoose->addItem(configPrefix + QString::number(i));
        } else if (count == 0) {
            ui->ProjectChoose->addItem(configPrefix + QStringLiteral("1"));
        }
    }
    ui->ProjectChoose->setEnabled(enabled);
    if (count >= 1 && current >= 0 && current < count)
        ui->ProjectChoose->setCurrentIndex(current);
}

void Buttoninterface::SlotFormResetButton()
{
    const PageFillScope fill(Page::Buttons);
    ui->widget->setStyleSheet(MousePictureSheet());
    PostMsg::GetInstance()->PostMouseIndex(0);
    ui->stackedWidget->setCurrentWidget(ui->page);
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    // Left, right, middle, back, forward and the DPI key.
    keyType = {1, 1, 1, 1, 1, 2};
    keyValue1 = {1, 2, 4, 8, 16, 1};
    keyValue2 = {0, 0, 0, 0, 0, 0};
    // The captions follow the next fill; until then a language change has
    // no image to show them from.
    shownImage.reset();
    ui->DebunceButton->SetIndex(8);
    PostMsg::GetInstance()->PostLightToFrom(60);
}

void Buttoninterface::on_ProjectChoose_activated(int index)
{
    if (!CurrentDeviceAnswers() && !PageFilling(Page::Buttons)) {
        ui->ProjectChoose->setCurrentIndex(ui->ProjectChoose->pressIndex);
        PostMsg::GetInstance()->PostMouseOffLineo(0);
        return;
    }
    // A switch the device took comes back as its status report and the pages
    // refill from it; a refused one changed nothing there is to undo.
    (void)SwitchProfile(index);
}

void Buttoninterface::ShowKeyFunctions(const FlashDataMap& image)
{
    const int keyCount = KeyNumber();
    keyType.clear();
    keyValue1.clear();
    keyValue2.clear();
    for (int k = 0; k < keyCount; ++k) {
        keyType.append(image.keys[k].type);
        keyValue1.append(image.keys[k].value1);
        keyValue2.append(image.keys[k].value2);
    }
    for (int k = 0; k < keyCount; ++k)
        ShowButtonFunction(k, keyType.at(k), keyValue1.at(k), keyValue2.at(k), &image);
}

void Buttoninterface::SlotChangeLanguage(int index)
{
    LoadLanguage(index, true);
}

void Buttoninterface::LoadLanguage(int index, bool languageChange)
{
    // The menu entries take one font in every language; Russian words need
    // a smaller one to fit.
    QFont entryFont(QStringLiteral("微软雅黑"));
    entryFont.setPointSize(index == 4 ? 7 : 9);
    for (const char* name : buttons::MainListEntries()) {
        if (QAbstractButton* entry = Entry(QLatin1String(name)))
            entry->setFont(entryFont);
    }

    LanguageTexts texts;
    // S1..S19 name debounce entries 0..18, S20 both 19 and 20.
    for (int k = 1; k <= 19; ++k)
        texts.on(QStringLiteral("S") + QString::number(k),
                 [this, k](const QString& t) { ui->DebunceButton->SetItemText(k - 1, t); });
    texts.on(QStringLiteral("S20"), [this](const QString& t) {
        ui->DebunceButton->SetItemText(19, t);
        ui->DebunceButton->SetItemText(20, t);
    });
    texts.store(QStringLiteral("Macro_"), &macroWord);
    texts.on(QStringLiteral("Config"), [this](const QString& t) {
        configPrefix = t;
        for (int i = 0; i < ui->ProjectChoose->count(); ++i)
            ui->ProjectChoose->setItemText(i, configPrefix + QString::number(i + 1));
    });
    texts.label(QStringLiteral("checkBox"), ui->label_3);
    texts.button(QStringLiteral("Reset"), ui->Reset);
    // The Japanese words do not fit these buttons: their tool tips show them.
    const bool tips = StoredLanguageIndex() == 5;
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(ui->ImportData),
                                    static_cast<QAbstractButton*>(ui->OutputData)}) {
        texts.on(button->objectName(), [button, tips](const QString& t) {
            button->setText(t);
            button->setToolTip(tips ? t : QString());
        });
    }
    for (const buttons::KeyButtonInfo& info : buttons::KeyButtons())
        texts.button(QLatin1String(info.objectName), KeyButton(info.key));
    // Every entry with a word of its own; "DPI+", "DPI-" and the DPI values
    // read the same in every language.
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const buttons::FunctionEntry* entry = buttons::FindFunctionEntry(it.key());
        const bool numeric = entry && (entry->kind == buttons::FunctionEntry::DpiLock
                                       || (entry->type == keys::FunctionDpiSwitch && entry->value != 1));
        if (!numeric)
            texts.button(it.key(), it.value());
    }
    const bool loaded =
        LoadLanguageSection(index, QStringLiteral("Buttoninterface"), texts) == LanguageLoader::Result::Loaded;

    // A language change shows the keys' functions again in the new words,
    // from the image the page shows (also offline and without a cached
    // image; never from an image no fill gave).
    if (loaded && languageChange && shownImage)
        ShowKeyFunctions(*shownImage);
}

QRect Buttoninterface::PageRect(const QWidget* widget) const
{
    return QRect(widget->mapTo(this, QPoint(0, 0)), widget->size());
}

void Buttoninterface::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->type() != QEvent::MouseButtonPress)
        return;
    const QPoint p = event->pos();
    const bool left = event->button() == Qt::LeftButton;
    const auto in = [&](const QWidget* widget) { return PageRect(widget).contains(p); };
    const auto menuOpen = [this] { return ui->stackedWidget->currentWidget() != ui->page; };
    const auto subMenuOpen = [this] { return ui->stackedWidget_2->currentWidget() != ui->page_9; };

    // A press outside the open menu (and, with no sub-menu, outside the key
    // list) closes it; only a left one does.
    if (menuOpen()) {
        const bool inside = subMenuOpen() ? in(ui->groupBox) : in(ui->scrollArea_11) || in(ui->stackedWidget);
        if (!inside) {
            if (!left)
                return;
            CloseMenu();
        }
    }
    if (!left)
        return;
    // A left press that is not on the key list or the open menu also lets
    // go of the key.
    bool release = false;
    if (!menuOpen() && !subMenuOpen())
        release = !in(ui->scrollArea_11) || in(ui->stackedWidget);
    else if (menuOpen() && !subMenuOpen())
        release = !in(ui->groupBox);
    else if (menuOpen())
        release = !in(ui->scrollArea_11) && !in(ui->stackedWidget) && !in(ui->stackedWidget_2);
    if (release || in(ui->widget))
        CloseFunctionMenu();
}

void Buttoninterface::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        const int profile = ui->ProjectChoose->currentIndex();
        const QSignalBlocker block(ui->ProjectChoose);
        ui->retranslateUi(this);
        ui->ProjectChoose->setCurrentIndex(profile);
        return;
    }
    QWidget::changeEvent(event);
}
