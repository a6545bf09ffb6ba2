#include "DialogChange.h"
#include "ui_DialogChange.h"

#include "ColorText.h"
#include "ConfigSettings.h"
#include "DeviceChoreography.h"
#include "DeviceDiscovery.h"
#include "DialogFrame.h"
#include "Globals.h"
#include "LanguageLoader.h"
#include "LinkSupport.h"
#include "MacroSettings.h"
#include "PageStyle.h"
#include "PostMsg.h"
#include "QuestiondialogB.h"
#include "StyleWhenShown.h"
#include "UpDateRepair.h"
#include "FirmwareFiles.h"
#include "FirmwareUpdate.h"
#include "Match.h"
#include "RePair.h"
#include "UpDateWarning.h"
#include "WaitingBootDevice.h"
#include "WindowBackground.h"
#include "Worker.h"
#include "mytoolButtonEnter.h"

#include <QFileInfo>
#include <QThread>

#include <QEvent>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QSignalBlocker>

#include <utility>

namespace {

QMutex& instanceMutex()
{
    static QMutex mutex;
    return mutex;
}

DialogChange* s_instance = nullptr;

QString toolButtonSheet(const QString& folder, const QString& name)
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(") + folder + name
           + QStringLiteral(".png);background-position:center;background-repeat:no-repeat;}"
                            "QToolButton:hover{background-image: url(")
           + folder + name + QStringLiteral("Hover.png);}QToolButton:pressed{background-image: url(") + folder + name
           + QStringLiteral("Click.png);}");
}

// The cards' looks are applied again on every refresh (a pointer entering a
// card): a sheet set again with the same text would restyle the widget.
void setSheet(QWidget* widget, const QString& sheet)
{
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

QString arrowSheet(const QString& folder, const QString& name)
{
    return QStringLiteral("QToolButton{border:0px;border-image: url(") + folder + name
           + QStringLiteral(".png);}QToolButton:hover{border-image: url(") + folder + name
           + QStringLiteral("Click.png);}");
}

}  // namespace

// Marks the page busy for the life of a handler; a search asked for
// meanwhile runs once, queued, when the last handler has returned.
class BusyScope
{
public:
    explicit BusyScope(DialogChange* page) : m_page(page) { ++m_page->m_busy; }
    ~BusyScope()
    {
        if (--m_page->m_busy == 0 && m_page->m_rerun) {
            m_page->m_rerun = false;
            m_page->QueueUsbChange();
        }
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    DialogChange* m_page;
};

DialogChange::DialogChange(QWidget* parent) : QWidget(parent), ui(new Ui::DialogChange)
{
    ui->setupUi(this);
    m_noDeviceText = ui->label_2->text();
    {
        QMutexLocker lock(&instanceMutex());
        s_instance = this;
    }
    m_pictureDir = AppDir() + QStringLiteral("/Picture/DialogChange/");
    ApplyStyles();
    // The language names come after the box and its list are styled: a
    // list restyled with items measures them all, and the names in their
    // own scripts would load the large CJK font at every start. Added to a
    // hidden list they are laid out when it first opens.
    ui->comboBox->addItems(Language::NativeNames());
    ui->comboBox->setCurrentIndex(0);
    // The hints lie over the device pages; clicks go through them.
    ui->label_2->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->label_3->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->label_2->show();
    ui->label_3->show();
    ui->RightButton->hide();
    ui->LeftButton->hide();

    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigLanguageSameA, this, &DialogChange::SlotSameLanguageA);
    connect(hub, &PostMsg::SigUpDateButton, this, &DialogChange::SlotUpDateButton);
    connect(hub, &PostMsg::SigEnterKey, this, &DialogChange::SlotEnterKey);
    connect(hub, &PostMsg::SigChangeLanguage, this, &DialogChange::ChangeDialogLanguage);

    ui->Repair->hide();
    // Only a record an update can resume from offers the repair.
    if (ReadUpdateFailInfo())
        ui->Repair->show();
    ModelCount = DeviceDiscovery::ModelTotal();

    const int language = StoredLanguageIndex();
    ui->comboBox->setCurrentIndex(language >= 0 && language < ui->comboBox->count() ? language : -1);
    ChangeDialogLanguage(language);
    ui->FindVer->hide();
    SetListUsbCallback(&DialogChange::OnUsbChanged);
    FollowUsbChanges(UsbWatcher::List);
}

DialogChange::~DialogChange()
{
    {
        QMutexLocker lock(&instanceMutex());
        if (s_instance == this)
            s_instance = nullptr;
    }
    delete ui;
}

DialogChange* DialogChange::Instance()
{
    QMutexLocker lock(&instanceMutex());
    return s_instance;
}

QStackedWidget* DialogChange::Pages() const
{
    return ui->stackedWidget;
}

void DialogChange::ApplyStyles()
{
    const QString dir = m_pictureDir;
    const QString warning = DialogStyle::WarningPictureFolder();
    ui->frameChange->setStyleSheet(QStringLiteral("#frameChange{")
                                   + WindowBackground::BorderImageSheet(dir + QStringLiteral("MainBack.png"),
                                                                        WindowBackground::List)
                                   + QLatin1Char('}'));
    ui->CloseButton->setStyleSheet(toolButtonSheet(dir, QStringLiteral("Close")));
    ui->MinButton->setStyleSheet(toolButtonSheet(dir, QStringLiteral("Min")));
    // The repair button, the paging arrows and the notice frame are hidden
    // at start (the arrows until a fourth device comes, the frame for good):
    // their pictures are read when they are first shown.
    SetStyleSheetWhenShown(ui->Repair, QStringLiteral("QPushButton{border:0px;background-position:center;"
                                                      "background-repeat:no-repeat;background-image: url(")
                                           + dir + QStringLiteral("Repair.png);}"));
    SetStyleSheetWhenShown(ui->RightButton, arrowSheet(dir, QStringLiteral("Right")));
    SetStyleSheetWhenShown(ui->LeftButton, arrowSheet(dir, QStringLiteral("Left")));

    PageStyle::StyleComboBox(ui->comboBox, dir, 5);

    SetStyleSheetWhenShown(ui->FindVer, DialogStyle::BackgroundSheet(QStringLiteral("FindVer"), warning));
    SetStyleSheetWhenShown(ui->FindVerlaebl, DialogStyle::LabelSheet());
    SetStyleSheetWhenShown(ui->NewHong, DialogStyle::ConfirmButtonSheet(warning));
    SetStyleSheetWhenShown(ui->CloseButton_2, DialogStyle::CloseButtonSheet(warning));
    SetStyleSheetWhenShown(ui->NoApear, QStringLiteral("QCheckBox{color: rgb(")
                                            + OptionColorText(QStringLiteral("LabelColor"))
                                            + QStringLiteral(");}QCheckBox::indicator:checked{image: url(") + warning
                                            + QStringLiteral("CheckBoxCheck.png);}QCheckBox::indicator:unchecked{image: url(")
                                            + warning + QStringLiteral("CheckBox.png);}"));
}

QString DialogChange::ButtonSheet(const QString& picture) const
{
    return QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                          "background-image: url(")
           + m_pictureDir + picture + QStringLiteral(");color: rgb(255, 255, 255);}");
}

QString DialogChange::MarkSheet(const QString& picture) const
{
    return QStringLiteral("QLabel{border:0px;background-position:center;background-repeat:no-repeat;"
                          "background-image: url(")
           + m_pictureDir + picture + QStringLiteral(");color: rgb(255, 255, 255);}");
}

QString DialogChange::OfflineTipText() const
{
    return m_offlineTips1 + QLatin1Char('\n') + m_offlineTips2;
}

// ---- USB changes -------------------------------------------------------------

void DialogChange::OnUsbChanged()
{
    QMutexLocker lock(&instanceMutex());
    if (s_instance)
        s_instance->QueueUsbChange();
}

void DialogChange::QueueUsbChange()
{
    // One queued call stands for every change that comes before it runs.
    if (m_changeQueued.exchange(true))
        return;
    RunOnGuiThreadLater(this, [this] { HandleUsbChanged(); });
}

void DialogChange::HandleUsbChanged()
{
    m_changeQueued = false;
    if (m_busy > 0) {
        m_rerun = true;
        return;
    }
    // While the configuration pages are shown the device link follows the
    // changes; the list searches anew when it is shown again.
    if (OnMainPage.load() == 1)
        return;
    RunUsbChange();
}

void DialogChange::RunUsbChange()
{
    BusyScope busy(this);
    ++m_searches;
    const bool recorded = ReadUpdateFailInfo().has_value();
    ShowRepair(recorded);
    if (!recorded)
        OfferRepairOfWaitingDevice();

    const QString vid = ConfigSettings::GetInstance()->GetValue(QStringLiteral("Option"), QStringLiteral("VID"));
    DeviceList.clear();
    DeviceListB.clear();
    const DeviceDiscovery::PidLists lists = DeviceDiscovery::ReadPidLists();
    DeviceDiscovery::StorePidLists(lists);
    FindDevices(vid, DeviceDiscovery::SearchList(lists));
    BuildDevicePages();

    if (UpdateRepairDialog && UpdateRepairDialog->isVisible() && !RepairUpgradeRunning.load())
        PostMsg::GetInstance()->PostRepairCheckUpdate();
}

void DialogChange::OfferRepairOfWaitingDevice()
{
    // One look at a time; a change during it asks for one more.
    if (m_bootLookRunning) {
        m_bootLookAgain = true;
        return;
    }
    m_bootLookRunning = true;
    RecordWaitingBootDevice(this, [this](bool recorded) {
        m_bootLookRunning = false;
        const bool again = std::exchange(m_bootLookAgain, false);
        if (recorded)
            ShowRepair(true);
        else if (again && !ReadUpdateFailInfo())
            OfferRepairOfWaitingDevice();
    });
}

void DialogChange::FindDevices(const QString& vid, const QStringList& pids)
{
    DeviceDiscovery::FindDevices(vid, pids);
}

bool DialogChange::ReadDeviceInfo(DeviceAllInfo& info)
{
    return DeviceDiscovery::ReadDeviceInfo(info);
}

void DialogChange::CheckDeviceLink(int index)
{
    if (index < 0 || index >= DeviceList.size())
        return;
    DeviceAllInfo device = DeviceList.at(index);
    device.online = 0;
    DeviceDiscovery::QueryLink(device);
    DeviceList[index] = device;
    DeviceDiscovery::ReplaceByPath(DeviceListB, device);
}

bool DialogChange::RefreshOnlineState(int index)
{
    if (DeviceList.isEmpty() || index < 0 || index >= DeviceList.size())
        return true;
    DeviceAllInfo device = DeviceList.at(index);
    device.online = 0;
    DeviceAllInfo link = device;
    DeviceDiscovery::QueryLink(link);
    DeviceDiscovery::ReadDeviceInfo(device);
    // The link query's answer wins over what the identification found.
    device.online = link.online;
    device.address = link.address;
    DeviceList[index] = device;
    DeviceDiscovery::ReplaceByPath(DeviceListB, device);
    ApplyLook(index);
    return true;
}

// ---- the pages ---------------------------------------------------------------

void DialogChange::ClearPages()
{
    // Deleted later: a handler of one of these widgets may still be running.
    m_buttons.clear();
    m_offlineMarks.clear();
    m_linkMarks.clear();
    m_badges.clear();
    while (ui->stackedWidget->count() > 0) {
        QWidget* page = ui->stackedWidget->widget(0);
        ui->stackedWidget->removeWidget(page);
        page->hide();
        page->deleteLater();
    }
}

void DialogChange::ShowHint(bool empty)
{
    ui->label_2->setVisible(empty);
    ui->label_3->setVisible(!empty);
}

void DialogChange::BuildDevicePages()
{
    BusyScope busy(this);
    ClearPages();
    m_duplicates = false;
    if (DeviceList.isEmpty()) {
        ShowHint(true);
        UpdateArrows();
        return;
    }

    const DeviceDiscovery::PidLists lists = DeviceDiscovery::CurrentPidLists();
    const int total = DeviceDiscovery::ModelTotal();
    for (int i = 0; i < DeviceList.size(); ++i)
        CheckDeviceLink(i);

    if (DeviceDiscovery::HasDuplicates(DeviceList, lists, total)) {
        // Two identical devices cannot be told apart: no pages until one goes.
        m_duplicates = true;
        ShowHint(true);
        UpdateArrows();
        if (!m_noticeQueued && !m_noticeOpen) {
            m_noticeQueued = true;
            RunOnGuiThreadLater(this, [this] { ShowDuplicateNotice(); });
        }
        return;
    }
    DeviceDiscovery::DropReceiversBesideCabledMouse(DeviceList, lists, total);

    ShowHint(false);
    const int count = DeviceList.size();
    for (int p = 0; p < DeviceDiscovery::PageCount(count); ++p) {
        // Filled first: children made on a page already shown stay hidden.
        auto* page = new QWidget;
        for (int i = p * 3; i < qMin(count, p * 3 + 3); ++i)
            CreateDeviceWidgets(page, i, count);
        ui->stackedWidget->addWidget(page);
    }
    ui->stackedWidget->setCurrentIndex(0);
    UpdateArrows();

    const QList<mytoolButtonEnter*> buttons = m_buttons;
    for (mytoolButtonEnter* button : buttons) {
        RefreshOnlineState(mytoolButtonEnter::DeviceIndexFromName(button->objectName()));
        connect(button, &QAbstractButton::clicked, this, &DialogChange::slotButtonClicked);
    }
}

void DialogChange::CreateDeviceWidgets(QWidget* page, int index, int count)
{
    const DeviceAllInfo& device = DeviceList.at(index);
    const QPoint place = DeviceDiscovery::ButtonPlace(index, count);
    const bool shortLastPage = DeviceDiscovery::OnShortLastPage(index, count);
    const QString number = QString::number(index);

    auto* button = new mytoolButtonEnter(page);
    button->setObjectName(QStringLiteral("btn") + number);
    button->setFixedSize(284, 360);
    button->setFocusPolicy(Qt::NoFocus);
    button->move(place);
    m_buttons.append(button);

    auto makeMark = [&](const QString& name, const QString& picture) {
        auto* mark = new QLabel(page);
        mark->setObjectName(name);
        mark->setFixedSize(32, 32);
        mark->setFocusPolicy(Qt::NoFocus);
        mark->move(place.x() + 225, 20);
        mark->setStyleSheet(MarkSheet(picture));
        mark->hide();
        return mark;
    };
    QLabel* offline = makeMark(QStringLiteral("label") + number, QStringLiteral("DisOnline.png"));
    offline->setToolTip(OfflineTipText());
    m_offlineMarks.append(offline);
    QLabel* link = makeMark(QStringLiteral("UsbWifi") + number,
                            device.directMouse ? QStringLiteral("OnLineUsb.png") : QStringLiteral("OnLineWifi.png"));
    if (shortLastPage && count % 3 == 1)
        link->setToolTip(OfflineTipText());
    m_linkMarks.append(link);

    const QString badge = DeviceDiscovery::BadgePicture(device.pid, DeviceDiscovery::CurrentPidLists(), shortLastPage);
    if (!badge.isEmpty()) {
        auto* label = new QLabel(page);
        label->setFixedSize(42, 26);
        label->setFocusPolicy(Qt::NoFocus);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->move(place.x() + 7, 10);
        label->setStyleSheet(QStringLiteral("QLabel{background-image: url(") + m_pictureDir + badge
                             + QStringLiteral(");}"));
        m_badges.append(label);
    }
    // The card's picture comes with its state (RefreshOnlineState, right
    // after the pages are built): a first picture here would only be read
    // from disk and replaced before anything is painted.
}

void DialogChange::ApplyLook(int index)
{
    if (index < 0 || index >= DeviceList.size() || index >= m_buttons.size())
        return;
    const DeviceAllInfo& device = DeviceList.at(index);
    mytoolButtonEnter* button = m_buttons.at(index);
    QLabel* offline = m_offlineMarks.value(index);
    QLabel* link = m_linkMarks.value(index);
    const bool unmatched = device.driveIndex == ModelCount.load();
    if (link)
        setSheet(link, MarkSheet(device.directMouse ? QStringLiteral("OnLineUsb.png") : QStringLiteral("OnLineWifi.png")));
    if (unmatched) {
        setSheet(button, ButtonSheet(QStringLiteral("Unknow.png")));
        if (link)
            link->show();
    } else if (device.online) {
        setSheet(button, ButtonSheet(QStringLiteral("OnLine0.png")));
        if (offline)
            offline->hide();
        if (link)
            link->show();
    } else {
        setSheet(button, ButtonSheet(QStringLiteral("DisOnlin0.png")));
        if (offline)
            offline->show();
        if (link)
            link->hide();
    }
}

void DialogChange::UpdateArrows()
{
    const int pages = ui->stackedWidget->count();
    const int current = ui->stackedWidget->currentIndex();
    ui->LeftButton->setVisible(pages > 1 && current > 0);
    ui->RightButton->setVisible(pages > 1 && current >= 0 && current < pages - 1);
}

void DialogChange::on_RightButton_clicked()
{
    ShowHint(false);
    const int next = ui->stackedWidget->currentIndex() + 1;
    if (next < ui->stackedWidget->count())
        ui->stackedWidget->setCurrentIndex(next);
    UpdateArrows();
}

void DialogChange::on_LeftButton_clicked()
{
    ShowHint(false);
    const int previous = ui->stackedWidget->currentIndex() - 1;
    if (previous >= 0)
        ui->stackedWidget->setCurrentIndex(previous);
    UpdateArrows();
}

void DialogChange::ShowDuplicateNotice()
{
    m_noticeQueued = false;
    // A later search may have found the twins gone.
    if (!m_duplicates || m_noticeOpen)
        return;
    BusyScope busy(this);
    m_noticeOpen = true;
    QuestiondialogB notice;
    notice.MoveOver(this);
    notice.exec();
    m_noticeOpen = false;
}

// ---- window buttons, language, repair ---------------------------------------

void DialogChange::WindowClosedA()
{
    close();
}

void DialogChange::WindowMinA()
{
    showMinimized();
}

void DialogChange::on_MinButton_clicked()
{
    PostMsg::GetInstance()->PostChangeSize(2);
}

void DialogChange::on_CloseButton_clicked()
{
    PostMsg::GetInstance()->PostChangeSize(3);
}

void DialogChange::ShowRepair(bool shown)
{
    ui->Repair->setVisible(shown);
    // Without a language file the form's hint stays.
    const QString text = shown && !m_repairText.isEmpty() ? m_repairText : m_noDeviceText;
    if (!text.isEmpty())
        ui->label_2->setText(text);
}

QPoint DialogChange::CentreFor(const QWidget* dialog, int dx) const
{
    const QRect global(mapToGlobal(QPoint(0, 0)), size());
    return DialogStyle::CentredOver(global, dialog->size(), dx, 0);
}

void DialogChange::on_Repair_clicked()
{
    // The repair dialog is made with the pages.
    emit PagesNeeded();
    UpDateRepair* dialog = UpdateRepairDialog;
    if (!dialog)
        return;
    dialog->move(CentreFor(dialog));
    dialog->ResetView();
    dialog->setWindowModality(Qt::ApplicationModal);
    PostMsg::GetInstance()->PostRepairCheckUpdate();
    dialog->show();
}

void DialogChange::on_comboBox_activated(int index)
{
    MacroSettings::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index));
    PostMsg::GetInstance()->PostChangeLanguage(index);
    PostMsg::GetInstance()->PostLanguageSameB(index);
}

void DialogChange::SlotSameLanguageA(int index)
{
    const QSignalBlocker block(ui->comboBox);
    ui->comboBox->setCurrentIndex(index >= 0 && index < ui->comboBox->count() ? index : -1);
}

void DialogChange::SlotUpDateButton(bool repaired)
{
    ShowRepair(!repaired);
}

void DialogChange::SlotEnterKey()
{
    if (ui->FindVer->isVisible())
        ui->FindVer->hide();
    else if (ui->Repair->isVisible())
        on_Repair_clicked();
}

void DialogChange::on_CloseButton_2_clicked()
{
    ui->FindVer->hide();
}

void DialogChange::on_NewHong_clicked()
{
    ui->FindVer->hide();
}

void DialogChange::on_NoApear_clicked(bool ticked)
{
    MacroSettings::GetInstance()->SetValue(QStringLiteral("FindNew"), QStringLiteral("IsShow"),
                                           ticked ? QStringLiteral("1") : QStringLiteral("0"));
}

void DialogChange::ChangeDialogLanguage(int index)
{
    // The hint follows the repair button: the repair text while a failed
    // update is on record, the connect hint otherwise.
    LanguageTexts texts;
    texts.on(QStringLiteral("label_2"),
             [this](const QString& text) {
                 m_noDeviceText = text;
                 if (ui->Repair->isHidden())
                     ui->label_2->setText(text);
             })
        .label(QStringLiteral("label_3"), ui->label_3)
        .store(QStringLiteral("OfflineTips1"), &m_offlineTips1)
        .store(QStringLiteral("OfflineTips2"), &m_offlineTips2)
        .on(QStringLiteral("RepairDevice"),
            [this](const QString& text) {
                m_repairText = text;
                if (!ui->Repair->isHidden())
                    ui->label_2->setText(text);
            })
        .label(QStringLiteral("label"), ui->FindVerlaebl)
        .button(QStringLiteral("NewHong"), ui->NewHong)
        .button(QStringLiteral("NoApear"), ui->NoApear)
        .store(QStringLiteral("MouseIsNewTips"), &MouseIsNewText);
    LoadLanguageSection(index, QStringLiteral("DialogChange"), texts);

    const QString tip = OfflineTipText();
    for (QLabel* mark : qAsConst(m_offlineMarks))
        mark->setToolTip(tip);
    // A single device on the last page carries the tip on its link mark too.
    const int count = m_linkMarks.size();
    if (count % 3 == 1)
        m_linkMarks.last()->setToolTip(tip);
}

void DialogChange::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        {
            const QSignalBlocker block(ui->comboBox);
            ui->retranslateUi(this);
            const int language = StoredLanguageIndex();
            ui->comboBox->setCurrentIndex(language >= 0 && language < ui->comboBox->count() ? language : 0);
        }
        // The form's own texts are the defaults: the chosen language's come back.
        ChangeDialogLanguage(StoredLanguageIndex());
    }
    QWidget::changeEvent(event);
}

// ---- selecting a device --------------------------------------------------------

void DialogChange::slotButtonClicked()
{
    auto* button = qobject_cast<mytoolButtonEnter*>(sender());
    // Only the buttons of the pages shown now (a replaced page may still
    // wait for its deletion).
    if (!button || !m_buttons.contains(button))
        return;
    BusyScope busy(this);
    // Everything below may reach the pages and the device link.
    emit PagesNeeded();
    PostMsg* hub = PostMsg::GetInstance();
    hub->PostSetver(6);

    const int index = mytoolButtonEnter::DeviceIndexFromName(button->objectName());
    if (index < 0 || index >= DeviceList.size())
        return;
    SelectedIndex = index;
    const DeviceAllInfo device = DeviceList.at(index);
    const std::optional<ModelRecord> model = ModelRecordOf(device.driveIndex);
    const int mid = model ? model->mid : 0;
    if (mid == 1)
        hub->PostMouseIndex(0);
    else if (mid == 2)
        hub->PostMouseIndex(1);

    if (TwinNeedsPairing(index) && PairingCheck(device) == PairingOutcome::Done)
        return;
    if (device.driveIndex == ModelCount.load()) {
        // A device of no known model is never opened; a receiver may only
        // need its mouse paired.
        if (!device.directMouse)
            PairingCheck(device);
        return;
    }
    OpenDevice(device);
}

bool DialogChange::TwinNeedsPairing(int index) const
{
    // Two receivers of one identity: the clicked one has lost its mouse
    // while the other one reaches its own.
    if (DeviceList.size() != 2 || index > 1)
        return false;
    const DeviceAllInfo& first = DeviceList.at(0);
    const DeviceAllInfo& second = DeviceList.at(1);
    if (first.cid != second.cid || first.mid != second.mid)
        return false;
    const bool firstOnline = DeviceAnswers(first.path);
    if (index == 0) {
        if (firstOnline)
            return false;
        return DeviceAnswers(second.path);
    }
    if (!firstOnline)
        return false;
    return !DeviceAnswers(second.path);
}

DialogChange::PairingOutcome DialogChange::PairingCheck(const DeviceAllInfo& device)
{
    const FirmwareRelation relation = FirmwareRelationOf(device);
    if (relation == FirmwareRelation::MouseUnknown) {
        // No mouse of this model ever answered: pair one.
        RunPairing(device);
        return PairingOutcome::Done;
    }
    if (relation == FirmwareRelation::Same || relation == FirmwareRelation::Both) {
        RePair question;
        question.move(CentreFor(&question));
        question.exec();
        if (question.IsAccepted())
            RunPairing(device);
        return PairingOutcome::Done;
    }
    if (relation == FirmwareRelation::Mouse) {
        UpDateWarning warning;
        warning.SetText(WiredModeText);
        warning.move(CentreFor(&warning, 20));
        warning.exec();
        return PairingOutcome::Done;
    }
    // Only the receiver's firmware is another: it can be opened and updated.
    return PairingOutcome::Open;
}

void DialogChange::RunPairing(const DeviceAllInfo& device)
{
    // The dialog pairs the clicked receiver; afterwards the list follows USB
    // changes again.
    ::RunPairing(
        [this] {
            Match match;
            match.InitMatch();
            match.move(CentreFor(&match));
            match.exec();
        },
        &device);
}

void DialogChange::OpenDevice(const DeviceAllInfo& device)
{
    PostMsg* hub = PostMsg::GetInstance();
    // The link makes it the current device (direct connection).
    hub->PostSelectMouseInfo(device);
    // A mouse on its cable has no receiver class.
    rateClass = ConfigSettings::RateClassOfType(device.type, 0);
    QString waiting;
    if (QFileInfo(FirmwareFolder()).isDir()) {
        ReceiverUpdateAvailable = FirmwareUpdateAvailable(FirmwareKindReceiver, device.usbVersion, rateClass.load());
        if (ReceiverUpdateAvailable.load())
            waiting = QStringLiteral("true");
    } else {
        // No images, no update.
        ReceiverUpdateAvailable = false;
    }
    hub->PostLabelTextB(device.usbVersion, waiting);
    hub->PostChangeMainDialog(1);
    QThread::msleep(150);
    // The pass must find the pages shown: set before the thread starts.
    OnMainPage = 1;
    WorkerRun = true;
    if (WorkerThread)
        WorkerThread->StartPass(QThread::InheritPriority);
}
