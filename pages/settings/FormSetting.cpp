#include "FormSetting.h"
#include "ui_FormSetting.h"

#include "ConfigSettings.h"
#include "FirmwareFiles.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "MacroSettings.h"
#include "PageStyle.h"
#include "PostMsg.h"
#include "UpDateRepair.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

FormSetting::FormSetting(QWidget* parent) : QWidget(parent), ui(new Ui::FormSetting)
{
    ui->setupUi(this);
    ui->FrameSetting->setStyleSheet(PageStyle::FrameSheet(QStringLiteral("FrameSetting")));
    PageStyle::StyleComboBox(ui->comboBox, AppDir() + QStringLiteral("/Picture/Buttoninterface/"));
    ui->pushButton->setStyleSheet(PageStyle::LinkButtonSheet(QStringLiteral("left")));
    ui->pushButton_3->setStyleSheet(PageStyle::LinkButtonSheet(QStringLiteral("right")));
    ui->pushButton_4->setStyleSheet(PageStyle::LinkButtonSheet(QStringLiteral("right")));
    ui->label_12->hide();
    ui->label_13->hide();
    ui->frameClose->hide();
    ui->Receive_2->hide();
    ShowLongRangeBlock(false);
    ShowLedBlock(false);

    ui->comboBox->clear();
    ui->comboBox->addItems(Language::NativeNames());

    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &FormSetting::SlotChangeLanguage);
    connect(hub, &PostMsg::SigLanguageSameB, this, &FormSetting::SlotLanguageSameB);
    connect(hub, &PostMsg::SigLightToFrom, this, &FormSetting::SlotLightToFrom);
    connect(hub, &PostMsg::SigFormB, this, &FormSetting::SlotFormB);
    connect(hub, &PostMsg::SigSetver, this, &FormSetting::SetVer);
    connect(hub, &PostMsg::SigCheckUpdate, this, &FormSetting::SlotCheckUpdate);
    connect(hub, &PostMsg::SigLabelTextB, this, &FormSetting::SlotLabelTextB);
    // Delivered on the GUI thread while the device link waits (PostMsg).
    connect(hub, &PostMsg::SigRGBValue, this, &FormSetting::SlotRGBValue);
    connect(hub, &PostMsg::SigLongRangeMode, this, &FormSetting::SlotLongRangeMode);
    connect(hub, &PostMsg::SigForm, this, &FormSetting::SlotForm);
    connect(hub, &PostMsg::SigFormReset, this, &FormSetting::SlotFormResetForm);

    // The one repair dialog (no parent: it is a window of its own).
    if (!UpdateRepairDialog) {
        UpdateRepairDialog = new UpDateRepair(nullptr);
        UpdateRepairDialog->hide();
    }

    const int index = StoredLanguageIndex();
    if (index >= 0 && index < ui->comboBox->count())
        ui->comboBox->setCurrentIndex(index);
    SlotChangeLanguage(index);
    ApplyLayout();
}

FormSetting::~FormSetting()
{
    delete UpdateRepairDialog;  // clears the global itself
    delete ui;
}

QStringList FormSetting::AdvancedOptions() const
{
    return ConfigSettings::GetInstance()->ModelValueList(CurrentDeviceInfo.driveIndex, QStringLiteral("Adveanced"));
}

bool FormSetting::FindFirmwareFile(quint8 kind, const QString& version, const QString& name, quint8 cid, quint8 mid)
{
    return FindFirmwareImage(FirmwareFolder(), kind, version, name, cid, mid);
}

bool FormSetting::CheckVersionAvailable(int kind, const QString& version, int rateClass)
{
    return FirmwareUpdateAvailable(kind, version, rateClass);
}

int FormSetting::SleepIndexForSeconds(int seconds)
{
    static const int table[] = {10, 30, 60, 300, 600, 900, 1200, 1500, 1800, 2100, 2400};
    for (int i = 0; i < 11; ++i) {
        if (table[i] == seconds)
            return i;
    }
    return -1;
}

void FormSetting::SlotLightToFrom(int seconds)
{
    const int index = SleepIndexForSeconds(seconds);
    if (index >= 0)
        ui->frameClose->SetIndex(index);
}

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

void FormSetting::SetVer(int)
{
    // The versions the device link keeps for the current device.
    const DeviceAllInfo device = CurrentDeviceInfo;
    ui->label_7->setText(device.firmwareVersion);
    if (device.directMouse == 0)
        ui->label_5->setText(device.usbVersion);
}

void FormSetting::SlotLabelTextB(QString version, QString waiting)
{
    ui->label_5->setText(version);
    const bool update = waiting == QLatin1String("true");
    ui->Receive_2->setVisible(update);
    ui->Receive_2->setStyleSheet(update ? QStringLiteral("QToolButton{color: rgb(255, 128, 0);border:1px solid rgb(255, 128, 0);}")
                                        : QString());
}

void FormSetting::SlotCheckUpdate()
{
    // The repair dialog shows what it would write for the current device.
    if (!UpdateRepairDialog || !UpdateRepairDialog->isVisible())
        return;
    UpdateRepairDialog->ResetView();
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
    for (QWidget* w : {static_cast<QWidget*>(ui->label_11), static_cast<QWidget*>(ui->checkBox_2),
                       static_cast<QWidget*>(ui->textEdit)})
        w->setVisible(shown);
}

void FormSetting::ShowLedBlock(bool shown)
{
    m_ledShown = shown;
    for (QWidget* w : {static_cast<QWidget*>(ui->label_14), static_cast<QWidget*>(ui->ReUntil),
                       static_cast<QWidget*>(ui->ReUntil_2), static_cast<QWidget*>(ui->ReUntil_3)})
        w->setVisible(shown);
}

void FormSetting::ApplyLayout()
{
    // Compact, or expanded while the receiver-light block is shown.
    const int height = m_ledShown ? 780 : 630;
    ui->scrollAreaWidgetContents->setMinimumSize(880, height);
    ui->scrollAreaWidgetContents->setMaximumSize(880, height);
    ui->pushButton_3->move(610, height - 90);
    ui->pushButton_4->move(490, height - 70);
}

void FormSetting::SlotForm()
{
    const QStringList advanced = AdvancedOptions();
    const bool longRange = !advanced.isEmpty() && advanced.first().trimmed() != QLatin1String("-1")
                           && CurrentDeviceInfo.directMouse == 0;
    ShowLongRangeBlock(longRange);
    ShowLedBlock(false);
    ApplyLayout();
}

void FormSetting::SlotFormB()
{
    const QStringList advanced = AdvancedOptions();
    if (advanced.isEmpty() || advanced.first().trimmed() == QLatin1String("-1") || CurrentDeviceInfo.directMouse != 0)
        ShowLongRangeBlock(false);
    if (advanced.size() < 2 || advanced.at(1).trimmed() == QLatin1String("-1"))
        ShowLedBlock(false);
    ApplyLayout();
}

void FormSetting::SlotRGBValue(DongleRGB* rgb)
{
    if (!rgb)
        return;
    const int mode = rgb->data[0];
    if (mode < 1 || mode > 3)
        return;
    ShowLedBlock(true);
    QCheckBox* boxes[] = {ui->ReUntil, ui->ReUntil_2, ui->ReUntil_3};
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker block(boxes[i]);
        boxes[i]->setChecked(i == mode - 1);
    }
    ApplyLayout();
}

void FormSetting::SlotLongRangeMode(bool on)
{
    const QStringList advanced = AdvancedOptions();
    if (advanced.isEmpty() || advanced.first().trimmed() == QLatin1String("-1"))
        return;
    ShowLongRangeBlock(true);
    const QSignalBlocker block(ui->checkBox_2);
    ui->checkBox_2->setChecked(on);
}

void FormSetting::SlotFormResetForm()
{
    ShowLongRangeBlock(false);
    ShowLedBlock(false);
    ApplyLayout();
}

void FormSetting::SlotChangeLanguage(int index)
{
    LanguageTexts texts;
    for (const char* name : {"label", "label_2", "label_3", "label_4", "label_6", "label_9", "label_10", "label_11",
                             "label_12", "label_13", "label_14"}) {
        QLabel* label = findChild<QLabel*>(QString::fromLatin1(name));
        if (label)
            texts.label(QString::fromLatin1(name), label);
    }
    texts.button(QStringLiteral("pushButton"), ui->pushButton);
    texts.label(QStringLiteral("textEdit"), ui->textEdit);
    texts.on(QStringLiteral("StopCloseTime"), [this](const QString& t) { ui->frameClose->SetItemText(0, t); });
    for (int i = 1; i <= 10; ++i)
        texts.on(QStringLiteral("StopCloseTime") + QString::number(i),
                 [this, i](const QString& t) { ui->frameClose->SetItemText(i, t); });
    texts.on(QStringLiteral("Receive"), [this](const QString& t) {
        m_receiveText = t;
        ui->Receive_2->setText(t);
    });
    texts.store(QStringLiteral("WiredMode"), &WiredModeText);
    if (LoadLanguageSection(index, QStringLiteral("FormSetting"), texts) == LanguageLoader::Result::FileMissing)
        return;
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
        QProcess::startDetached(path, args);
        return;
    }
}

void FormSetting::on_pushButton_3_clicked()
{
    const QUrl url = QUrl::fromUserInput(ui->pushButton_3->text());
    if (url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
        QDesktopServices::openUrl(url);
}
