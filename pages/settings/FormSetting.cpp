#include "FormSetting.h"
#include "ui_FormSetting.h"

#include "Autostart.h"
#include "ColorText.h"
#include "ConfigSettings.h"
#include "DeviceChoreography.h"
#include "DeviceWriters.h"
#include "Globals.h"
#include "Installation.h"
#include "LanguageLoader.h"
#include "Logging.h"
#include "MacroSettings.h"
#include "Match.h"
#include "PageKit.h"
#include "PageStyle.h"
#include "PostMsg.h"
#include "UpDateRepair.h"
#include "UpDateWarning.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QListView>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// Where the lower widgets stand in the compact layout (the form places them
// for the sleep-time block, which is never shown).
struct Place {
    const char* name;
    int x;
    int y;
};
const Place CompactPlaces[] = {
    {"TitleButton_5", 40, 350}, {"label_9", 70, 343},    {"checkBox", 40, 380},    {"label_10", 70, 377},
    {"toolButton", 40, 420},    {"pushButton", 60, 420}, {"TitleButton_6", 40, 480}, {"label_11", 70, 473},
    {"checkBox_2", 40, 510},    {"textEdit", 65, 505},   {"TitleButton_7", 40, 560}, {"label_14", 70, 553},
    {"ReUntil", 70, 580},       {"textEdit_2", 90, 580}, {"ReUntil_2", 70, 620},   {"textEdit_3", 90, 620},
    {"ReUntil_3", 70, 660},     {"textEdit_4", 90, 660},
};

// The version rows: the values stand this far right of the longer row
// name, the update button this far right of the values.
constexpr int VersionValueGap = 40;
constexpr int VersionButtonGap = 29;
// The update button: the form's width, wider when one of its two texts
// ("Update", "Up to date") needs more, with this margin on each side.
constexpr int UpdateButtonWidth = 128;
constexpr int UpdateButtonMargin = 8;

QString textEditSheet(const QString& name, const QString& label)
{
    return QLatin1Char('#') + name
           + QStringLiteral("{border: transparent;background-color: transparent;color: rgb(") + label
           + QStringLiteral(";);}");
}

}  // namespace

FormSetting::FormSetting(QWidget* parent) : QWidget(parent), ui(new Ui::FormSetting)
{
    ui->setupUi(this);
    ui->TitleButton_8->hide();
    ui->label_12->hide();
    ui->label_13->hide();
    ui->frameClose->hide();
    for (const Place& place : CompactPlaces) {
        if (QWidget* w = findChild<QWidget*>(QString::fromLatin1(place.name)))
            w->move(place.x, place.y + extraHeight);
    }

    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &FormSetting::SlotChangeLanguage);
    connect(hub, &PostMsg::SigLanguageSameB, this, &FormSetting::SlotLanguageSameB);
    connect(hub, &PostMsg::SigSetNewVer, this, &FormSetting::SetVerText);
    connect(hub, &PostMsg::SigLightToFrom, this, &FormSetting::SlotLightToFrom);
    connect(hub, &PostMsg::SigFormB, this, &FormSetting::SlotFormB);
    connect(hub, &PostMsg::SigSetver, this, &FormSetting::SetVer);
    connect(hub, &PostMsg::SigLabelText, this, &FormSetting::SlotLabelText);
    connect(hub, &PostMsg::SigCheckUpdate, this, &FormSetting::SlotCheckUpdate);
    connect(hub, &PostMsg::SigLabelTextB, this, &FormSetting::SlotLabelTextB);
    // Delivered on the GUI thread while the device link waits (PostMsg).
    connect(hub, &PostMsg::SigRGBValue, this, &FormSetting::SlotRGBValue);
    connect(hub, &PostMsg::SigLongRangeMode, this, &FormSetting::SlotLongRangeMode);
    connect(hub, &PostMsg::SigForm, this, &FormSetting::SlotForm);
    connect(hub, &PostMsg::SigFormReset, this, &FormSetting::SlotFormResetForm);

    pictureDir = AppDir() + QStringLiteral("/Picture/FormSetting/");
    // The one repair dialog: a window of its own, asked about from the start.
    // The update warning (also a window of its own) is made for its first notice.
    if (!UpdateRepairDialog) {
        UpdateRepairDialog = new UpDateRepair(nullptr);
        UpdateRepairDialog->hide();
    }
    lightGroup = new QButtonGroup(this);
    lightGroup->setExclusive(true);

    StyleWidgets();

    ui->comboBox->clear();
    ui->comboBox->addItems(Language::NativeNames());
    // Every row takes the size of the first (English) one: the page
    // container restyles this page later, and a restyled list measures each
    // item whose size it does not know, so the names in their own scripts
    // would load the large CJK font before any of them is shown.
    const QSize row = ui->comboBox->view()->sizeHintForIndex(ui->comboBox->model()->index(0, 0));
    for (int i = 0; i < ui->comboBox->count(); ++i)
        ui->comboBox->setItemData(i, row, Qt::SizeHintRole);
    const int index = StoredLanguageIndex();
    ui->comboBox->setCurrentIndex(index >= 0 && index < ui->comboBox->count() ? index : -1);
    SlotChangeLanguage(index);

    ui->checkBox->setChecked(MacroSettings::GetInstance()->GetValue(QStringLiteral("Enable"), QStringLiteral("AutoStart"))
                             == QLatin1String("1"));

    ShowLongRangeBlock(false);
    ShowLedBlock(false);
    ApplyLayout();
    for (QCheckBox* box : {ui->ReUntil, ui->ReUntil_2, ui->ReUntil_3})
        lightGroup->addButton(box);
    ui->Receive_2->hide();
    ui->NewLabel->hide();
    SetupUpdateMachine();
}

FormSetting::~FormSetting()
{
    delete UpdateRepairDialog;  // clears the global itself
    delete updateWarning;
    delete ui;
}

void FormSetting::StyleWidgets()
{
    const QString& p = pictureDir;
    const QString label = OptionColorText(QStringLiteral("LabelColor"));
    buttonColor = OptionColorText(QStringLiteral("ButtonColor"));
    const QString labelSheet = QStringLiteral("QLabel{color: rgb(") + label + QStringLiteral(";);}");
    for (QLabel* w : {ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_5, ui->label_6, ui->label_7,
                      ui->label_8, ui->label_9, ui->label_10, ui->label_11, ui->label_14})
        w->setStyleSheet(labelSheet);
    ui->pushButton_2->setStyleSheet(
        QStringLiteral("QPushButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + buttonColor + QStringLiteral(";);background-image: url(") + p + QStringLiteral("PariButton.png);}"));
    ui->pushButton->setStyleSheet(PageStyle::LinkButtonSheet(QStringLiteral("left")));
    ui->pushButton_3->setStyleSheet(PageStyle::LinkButtonSheet(QStringLiteral("right")));
    ui->pushButton_4->setStyleSheet(PageStyle::LinkButtonSheet(QStringLiteral("right")));
    for (QToolButton* w : {ui->TitleButton_2, ui->TitleButton_3, ui->TitleButton_4, ui->TitleButton_5,
                           ui->TitleButton_6, ui->TitleButton_7})
        w->setStyleSheet(QLatin1Char('#') + w->objectName() + QStringLiteral("{border-image: url(") + p
                         + QStringLiteral("Title.png);}"));
    ui->toolButton->setStyleSheet(QStringLiteral("#toolButton{border-image: url(") + p + QStringLiteral("Mouse.png);}"));
    for (QCheckBox* w : {ui->checkBox, ui->checkBox_2}) {
        const QString n = w->objectName();
        w->setStyleSheet(QLatin1Char('#') + n + QStringLiteral("{color: rgb(255, 255, 255);}#") + n
                         + QStringLiteral("::indicator:unchecked{image: url(") + p + QStringLiteral("CheckBox.png);}#")
                         + n + QStringLiteral("::indicator:checked{image: url(") + p
                         + QStringLiteral("CheckBoxChecked.png);}"));
    }
    for (QCheckBox* w : {ui->ReUntil, ui->ReUntil_2, ui->ReUntil_3})
        w->setStyleSheet(QStringLiteral("QCheckBox{color: rgb(") + label
                         + QStringLiteral(";);}QCheckBox:indicator::checked {image: url(") + p
                         + QStringLiteral("CheckBoxCheck.png);}QCheckBox::indicator::unchecked {image: url(") + p
                         + QStringLiteral("CheckBox2.png);}"));
    for (QTextEdit* w : {ui->textEdit, ui->textEdit_2, ui->textEdit_3, ui->textEdit_4})
        w->setStyleSheet(textEditSheet(w->objectName(), label));
    for (QToolButton* w : {ui->toolButton_2, ui->toolButton_3}) {
        w->setStyleSheet(QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                                        "color: rgb(255,106,0);background-image: url(")
                         + p + QStringLiteral("Picture.png);}"));
        w->hide();
    }
    ui->scrollArea->setFrameShape(QFrame::NoFrame);
    ui->scrollAreaWidgetContents->setStyleSheet(QStringLiteral("background-color:transparent;border:none;"));
    PageStyle::StyleComboBox(ui->comboBox, p);
}

// ---- language ---------------------------------------------------------------

void FormSetting::on_comboBox_activated(int index)
{
    MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index));
    PostMsg::GetInstance()->PostChangeLanguage(index);
    PostMsg::GetInstance()->PostLanguageSameA(index);
}

void FormSetting::SlotLanguageSameB(int index)
{
    ui->comboBox->setCurrentIndex(index);
}

void FormSetting::PlaceVersionWidgets()
{
    // Sized from the texts of the language: the names keep their whole
    // text, the values follow the longer name, the update button the values.
    const QFontMetrics button = ui->Receive_2->fontMetrics();
    const int buttonText =
        qMax(button.horizontalAdvance(m_messages.receiveText), button.horizontalAdvance(m_messages.verNewText));
    ui->Receive_2->setFixedWidth(qMax(UpdateButtonWidth, buttonText + 2 * UpdateButtonMargin));
    int names = 0;
    for (QLabel* name : {ui->label_4, ui->label_6}) {
        name->resize(name->sizeHint().width(), name->height());
        names = qMax(names, name->width());
    }
    const int valueX = ui->label_4->x() + names + VersionValueGap;
    ui->label_5->move(valueX, 155 + extraHeight);
    ui->label_7->move(valueX, 185 + extraHeight);
    ui->Receive_2->move(valueX + ui->label_5->width() + VersionButtonGap, 170 + extraHeight);
    ui->toolButton_2->move(460, 160 + extraHeight);
    ui->toolButton_3->move(460, 190 + extraHeight);
}

void FormSetting::SlotChangeLanguage(int index)
{
    LanguageTexts texts;
    for (QLabel* w : {ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_6, ui->label_8, ui->label_9,
                      ui->label_10, ui->label_11, ui->label_12, ui->label_13, ui->label_14})
        texts.label(w->objectName(), w);
    texts.button(QStringLiteral("pushButton"), ui->pushButton);
    texts.button(QStringLiteral("pushButton_2"), ui->pushButton_2);
    for (QTextEdit* w : {ui->textEdit, ui->textEdit_2, ui->textEdit_3, ui->textEdit_4, ui->NewLabel})
        texts.on(w->objectName(), [w](const QString& t) { w->setText(t); });
    texts.on(QStringLiteral("StopCloseTime"), [this](const QString& t) { ui->frameClose->SetItemText(0, t); });
    for (int i = 1; i <= 10; ++i)
        texts.on(QStringLiteral("StopCloseTime") + QString::number(i),
                 [this, i](const QString& t) { ui->frameClose->SetItemText(i, t); });
    texts.on(QStringLiteral("Receive"), [this](const QString& t) {
        m_messages.receiveText = t;
        ui->Receive_2->setText(t);
    });
    texts.store(QStringLiteral("NoRecieve"), &m_messages.noReceiveText)
        .store(QStringLiteral("NoUSB"), &m_messages.noUsbText)
        .store(QStringLiteral("Error"), &m_messages.errorText)
        .store(QStringLiteral("MultiMouse"), &m_messages.multiMouseText)
        .store(QStringLiteral("MultiDongle"), &m_messages.multiDongleText)
        .store(QStringLiteral("NoDevice"), &m_messages.noDeviceText)
        .store(QStringLiteral("SameDevice"), &m_messages.sameDeviceText)
        .store(QStringLiteral("VerNew"), &m_messages.verNewText)
        .store(QStringLiteral("AutoStartFail"), &m_autostartFailText)
        .store(QStringLiteral("MouseSettingsMissing"), &m_mouseSettingsMissingText)
        .store(QStringLiteral("WiredMode"), &WiredModeText);
    if (LoadLanguageSection(index, QStringLiteral("FormSetting"), texts) == LanguageLoader::Result::FileMissing)
        return;
    PlaceVersionWidgets();
    ReadNetFile();
}

void FormSetting::ReadNetFile()
{
    // Company name and web address; the stored language picks the block.
    const int stored = StoredLanguageIndex();
    const bool chinese = stored == 1 || stored == 2;
    LanguageTexts company;
    company.on(QStringLiteral("CompanyName"), [this](const QString& t) { ui->pushButton_4->setText(t); });
    company.on(QStringLiteral("CompanyWebcn"), [this, chinese](const QString& t) {
        if (chinese)
            ui->pushButton_3->setText(t);
    });
    company.on(QStringLiteral("CompanyWeben"), [this, stored](const QString& t) {
        if (stored == 0 || stored == 3 || stored == 4)
            ui->pushButton_3->setText(t);
    });
    LanguageLoader loader(QStringLiteral("Profile"));
    loader.AddSection(chinese ? QStringLiteral("Chinese") : QStringLiteral("English"), company);
    loader.AddSection(QStringLiteral("Web"), company);
    loader.Load(Language::NetFilePath());
}

// ---- versions ---------------------------------------------------------------

void FormSetting::SetVerText()
{
    ui->Receive_2->setText(m_messages.verNewText);
}

void FormSetting::SlotLabelText(int which, QString text)
{
    if (which == 0) {
        ui->label_5->setText(text);
        CurrentDeviceInfo.usbVersion = text;
    } else if (which == 1) {
        ui->label_7->setText(text);
        CurrentDeviceInfo.firmwareVersion = text;
    }
}

// ---- layout by model ----------------------------------------------------------

bool FormSetting::ModelHas(int item) const
{
    const QStringList advanced =
        ConfigSettings::GetInstance()->ModelValueList(CurrentDeviceInfo.driveIndex, QStringLiteral("Adveanced"));
    return advanced.size() >= 2 && advanced.at(item).trimmed() != QLatin1String("-1");
}

bool FormSetting::LongRangeBlockShown() const
{
    return !ui->label_11->isHidden();
}

bool FormSetting::LedBlockShown() const
{
    return m_ledShown;
}

void FormSetting::ShowLongRangeBlock(bool shown)
{
    for (QWidget* w : {static_cast<QWidget*>(ui->TitleButton_6), static_cast<QWidget*>(ui->label_11),
                       static_cast<QWidget*>(ui->checkBox_2), static_cast<QWidget*>(ui->textEdit)})
        w->setVisible(shown);
}

void FormSetting::ShowLedBlock(bool shown)
{
    m_ledShown = shown;
    for (QWidget* w : {static_cast<QWidget*>(ui->TitleButton_7), static_cast<QWidget*>(ui->label_14),
                       static_cast<QWidget*>(ui->ReUntil), static_cast<QWidget*>(ui->ReUntil_2),
                       static_cast<QWidget*>(ui->ReUntil_3), static_cast<QWidget*>(ui->textEdit_2),
                       static_cast<QWidget*>(ui->textEdit_3), static_cast<QWidget*>(ui->textEdit_4)})
        w->setVisible(shown);
}

void FormSetting::ApplyLayout()
{
    // The links stand below the last block: below its separator line in
    // the expanded layout, which runs 70 rather than 90 pixels above the end.
    const int height = (m_ledShown ? 780 : 630) + extraHeight;
    const int links = (m_ledShown ? 710 : 540) + extraHeight;
    ui->scrollAreaWidgetContents->setMinimumSize(880, height);
    ui->scrollAreaWidgetContents->setMaximumSize(880, height);
    ui->pushButton_3->move(610, links);
    ui->pushButton_4->move(490, links + 20);
}

bool FormSetting::LightAllowed() const
{
    const DeviceAllInfo& device = CurrentDeviceInfo;
    return ModelHas(1) && device.directMouse == 0 && device.type == 1;
}

bool FormSetting::LongRangeAllowed() const
{
    return ModelHas(0) && CurrentDeviceInfo.directMouse == 0;
}

void FormSetting::SlotForm()
{
    // The light block belongs to a 4 kHz receiver that reported its mode.
    if (!LightAllowed() || !m_lightReported) {
        m_lightReported = false;
        ShowLedBlock(false);
    }
    ShowLongRangeBlock(LongRangeAllowed());
    ApplyLayout();
}

void FormSetting::SlotFormB()
{
    if (!LightAllowed())
        ShowLedBlock(false);
    if (!LongRangeAllowed())
        ShowLongRangeBlock(false);
    ApplyLayout();
}

void FormSetting::SlotRGBValue(DongleRGB* rgb)
{
    if (!rgb || !LightAllowed())
        return;
    m_lightReported = true;
    ShowLedBlock(true);
    CheckLightBox(rgb->data[0]);
    ApplyLayout();
}

void FormSetting::SlotLongRangeMode(bool on)
{
    if (!ModelHas(0))
        return;
    ShowLongRangeBlock(true);
    const QSignalBlocker block(ui->checkBox_2);
    ui->checkBox_2->setChecked(on);
}

void FormSetting::SlotFormResetForm()
{
    ShowLongRangeBlock(false);
    ShowLedBlock(false);
    m_lightReported = false;
    {
        const QSignalBlocker block(ui->checkBox_2);
        ui->checkBox_2->setChecked(false);
    }
    ApplyLayout();
}

void FormSetting::SlotLightToFrom(int seconds)
{
    ui->frameClose->SetIndex(StopCloseTime::IndexForSeconds(seconds));
}

// ---- the receiver's own settings ------------------------------------------------

void FormSetting::CheckLightBox(int mode)
{
    // Shows the receiver's mode without sending it back.
    QCheckBox* boxes[] = {ui->ReUntil, ui->ReUntil_2, ui->ReUntil_3};
    if (mode < 1 || mode > 3)
        return;
    const QSignalBlocker blockGroup(lightGroup);
    QCheckBox* box = boxes[mode - 1];
    for (QCheckBox* other : boxes) {
        const QSignalBlocker block(other);
        other->setChecked(other == box);
    }
}

void FormSetting::LightModeChosen(int mode, bool checked)
{
    // The box that is being unchecked by the group says nothing.
    if (!PageMaySend() || !checked)
        return;
    WriteOrRevert([mode] { return SetReceiverLightMode(mode); },
                  [this](const FlashDataMap&) { CheckLightBox(ReceiverLightMode()); });
}

void FormSetting::on_ReUntil_toggled(bool checked)
{
    LightModeChosen(1, checked);
}

void FormSetting::on_ReUntil_2_toggled(bool checked)
{
    LightModeChosen(2, checked);
}

void FormSetting::on_ReUntil_3_toggled(bool checked)
{
    LightModeChosen(3, checked);
}

void FormSetting::on_checkBox_2_toggled(bool on)
{
    if (!PageMaySend())
        return;
    WriteOrRevert([on] { return SetReceiverLongRange(on); },
                  [this, on](const FlashDataMap&) {
                      const QSignalBlocker block(ui->checkBox_2);
                      ui->checkBox_2->setChecked(!on);
                  });
}

// ---- other settings ---------------------------------------------------------------

void FormSetting::on_checkBox_clicked(bool checked)
{
    const QString name = QCoreApplication::applicationName();
    QString error;
    const bool done = checked ? Autostart::Enable(name, AutostartProgram(), &error)
                              : Autostart::Disable(name, &error);
    if (!done) {
        // Box and stored switch keep the state the entry has.
        qCWarning(lcFiles) << "the autostart entry could not be changed:" << Autostart::EntryPath(name) << error;
        const QSignalBlocker block(ui->checkBox);
        ui->checkBox->setChecked(!checked);
        ShowNotice(m_autostartFailText);
        return;
    }
    MacroSettings::GetInstance()->SetValue(QStringLiteral("Enable"), QStringLiteral("AutoStart"),
                                           checked ? QStringLiteral("1") : QStringLiteral("0"));
}

void FormSetting::ShowNotice(const QString& text)
{
    // Over the page, without waiting for it (the autostart and the update check).
    if (!updateWarning)
        updateWarning = new UpDateWarning(nullptr);
    updateWarning->SetText(text);
    updateWarning->MoveOver(this, 75, 65);
    updateWarning->setModal(true);
    updateWarning->show();
}

void FormSetting::on_pushButton_2_clicked()
{
    // The pairing has a link of its own: afterwards the pages follow USB
    // changes and the device link is opened again.
    RunPairing([this] {
        Match match;
        match.InitMatch();
        match.MoveOver(this, 70, 30);
        match.exec();
    });
}

void FormSetting::on_pushButton_clicked()
{
    // The desktop's own mouse settings, when one is installed.
    const struct {
        const char* program;
        const char* argument;
    } tools[] = {{"gnome-control-center", "mouse"}, {"systemsettings", "kcm_mouse"}, {"systemsettings5", "mouse"},
                 {"xfce4-mouse-settings", nullptr}, {"mate-mouse-properties", nullptr}, {"lxqt-config-input", nullptr}};
    for (const auto& tool : tools) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool.program));
        if (path.isEmpty())
            continue;
        QStringList args;
        if (tool.argument)
            args << QString::fromLatin1(tool.argument);
        if (QProcess::startDetached(path, args))
            return;
        qCWarning(lcPages) << "the mouse settings could not be started:" << path << args;
        ShowNotice(m_mouseSettingsMissingText);
        return;
    }
    // None found: without the notice the link would do nothing at all.
    qCWarning(lcPages) << "no mouse settings program of the desktop found in PATH";
    ShowNotice(m_mouseSettingsMissingText);
}

void FormSetting::on_pushButton_3_clicked()
{
    const QUrl url = QUrl::fromUserInput(ui->pushButton_3->text());
    if (url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
        QDesktopServices::openUrl(url);
}

void FormSetting::mousePressEvent(QMouseEvent*) {}
