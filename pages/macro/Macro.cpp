// The page: construction, looks, texts, the macro list and its files, Save,
// New, Delete, Rename and the list's context menu. The event list is in
// MacroEditing.cpp, recording in MacroRecording.cpp, the device and the
// export file in MacroExchange.cpp.
#include "Macro.h"
#include "ui_Macro.h"

#include "ColorText.h"
#include "DeleteConfirm.h"
#include "ExeIsRun.h"
#include "Globals.h"
#include "InportFail.h"
#include "KeyNumberLimit.h"
#include "LanguageLoader.h"
#include "Logging.h"
#include "MacroListItems.h"
#include "MacroName.h"
#include "MacroSettings.h"
#include "PageStyle.h"
#include "PostMsg.h"
#include "QuestionDialog.h"
#include "SafeFileName.h"
#include "SameMacro.h"

#include <QButtonGroup>
#include <QCursor>
#include <QFileInfo>
#include <QMenu>
#include <QSignalBlocker>

using MacroEdit::RepeatMode;

namespace {

// A list of the page: transparent with a thin outline, the selected row in
// the accent colour, no hover look, a wide scroll bar with arrow pictures.
QString listSheet(const QString& name, const QString& pictures)
{
    const QString id = QStringLiteral("#") + name;
    return id + QStringLiteral("{background:transparent;color:rgb(255,255,255);border:1px solid rgb(66,70,82);border-radius:4px;outline:0px;}") + id
           + QStringLiteral("::item:selected:active,") + id
           + QStringLiteral("::item:selected:!active{background-color:#ff6a00;color:rgb(255,255,255);}") + id
           + QStringLiteral("::item:hover:!selected{background:transparent;}")
           + QStringLiteral("QScrollBar:vertical{width:20px;background:rgb(30,30,30);margin:25px 0px 25px 0px;border:none;}"
                            "QScrollBar::handle:vertical{background:rgb(117,117,117);border-radius:4px;min-height:30px;}"
                            "QScrollBar::sub-line:vertical{height:25px;background:rgb(30,30,30);subcontrol-origin:margin;"
                            "subcontrol-position:top;}"
                            "QScrollBar::add-line:vertical{height:25px;background:rgb(30,30,30);subcontrol-origin:margin;"
                            "subcontrol-position:bottom;}"
                            "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;}"
                            "QScrollBar::up-arrow:vertical{width:15px;height:15px;image:url(")
           + pictures + QStringLiteral("Up.png);}QScrollBar::down-arrow:vertical{width:15px;height:15px;image:url(")
           + pictures + QStringLiteral("Down.png);}");
}

QString recordButtonSheet(const QString& color, const QString& picture, const QString& hover)
{
    return QStringLiteral("QPushButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
           + color + QStringLiteral(";);background-image: url(") + picture
           + QStringLiteral(");}QPushButton:hover{background-image: url(") + hover + QStringLiteral("); }");
}

}  // namespace

Macro::Macro(QWidget* parent) : QWidget(parent), ui(new Ui::Macro)
{
    ui->setupUi(this);
    recordTimer.start();
    clock = [this] { return recordTimer.elapsed(); };

    PostMsg* hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Macro::SlotChangeLanguage);
    pictureDir = AppDir() + QStringLiteral("/Picture/Macro/");
    macroDir = keys::MacroFolder();
    rowIcons = keys::RowIconsIn(pictureDir);
    connect(hub, &PostMsg::SigButtonToMacro, this, &Macro::SlotButtonToMacro);
    connect(hub, &PostMsg::SigMacroDownLoadData, this, &Macro::SlotMacroDownLoadData);
    connect(hub, &PostMsg::SigSetMacroPage, this, &Macro::SlotSetMacroPage);

    LoadMacroList();
    // A row chosen with the keyboard shows its macro as a click does.
    connect(ui->listWidgetHong, &QListWidget::currentItemChanged, this, [this] { ShowSelectedMacro(); });
    InitButtonGroups();
    ui->StartRecord->setFocusPolicy(Qt::NoFocus);
    // Return must never press a record button: it is a key to record.
    for (QPushButton* button : {ui->StartRecord, ui->StopRecord}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    ui->StopRecord->hide();
    ui->AutoInsertDelay->setChecked(true);
    buttonColorText = OptionColorText(QStringLiteral("ButtonColor"));
    connect(repeatGroup, QOverload<QAbstractButton*, bool>::of(&QButtonGroup::buttonToggled), this,
            &Macro::OnRepeatModeToggled);
    // The texts come before the styles: a restyled list measures its items,
    // and the form's own captions would load the large CJK font for a
    // session in another language.
    SlotChangeLanguage(StoredLanguageIndex());
    ApplyStyles();
    SetSaveReady(false);
}

Macro::~Macro()
{
    // Before the widgets go: no key event may reach the page any more.
    hook.Release();
    if (recordingLook)
        RecordingMacro = false;
    delete ui;
}

void Macro::InitButtonGroups()
{
    delayGroup = new QButtonGroup(this);
    delayGroup->setExclusive(true);
    delayGroup->addButton(ui->AutoInsertDelay);
    delayGroup->addButton(ui->DefaultDelay);
    repeatGroup = new QButtonGroup(this);
    repeatGroup->setExclusive(true);
    for (QAbstractButton* button : {ui->ReUntilLoose, ui->ReUntilClick, ui->ReNumber, ui->ReUntil})
        repeatGroup->addButton(button);
}

QString Macro::ToolButtonSheet(bool active) const
{
    const QString base = QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(");
    if (!active)
        return base + QStringLiteral("127,127,127);background-image: url(") + pictureDir + QStringLiteral("Button.png);}");
    return base + buttonColorText + QStringLiteral(";);background-image: url(") + pictureDir
           + QStringLiteral("Button.png);}QToolButton:hover{background-image: url(") + pictureDir
           + QStringLiteral("ButtonHover.png); }QToolButton:pressed{background-image: url(") + pictureDir
           + QStringLiteral("ButtonClick.png); }");
}

void Macro::ApplyStyles()
{
    ui->listWidgetHong->setStyleSheet(listSheet(QStringLiteral("listWidgetHong"), pictureDir));
    ui->listWidgetKey->setStyleSheet(listSheet(QStringLiteral("listWidgetKey"), pictureDir));
    PageStyle::StyleComboBox(ui->ChooseEvent, pictureDir, 5);

    const QString label = OptionColorText(QStringLiteral("LabelColor"));
    const QString labelSheet = QStringLiteral("QLabel{color: rgb(") + label + QStringLiteral(";);}");
    for (QLabel* l : {ui->label, ui->label_2, ui->label_3, ui->AutoInsertDelayLabel, ui->ReUntilLabel,
                      ui->ReUntilClickLabel, ui->ReUntilLooseLabel})
        l->setStyleSheet(labelSheet);
    const QString checkSheet = QStringLiteral("QCheckBox{color: rgb(") + label
                               + QStringLiteral(";);}QCheckBox::indicator:checked{image: url(") + pictureDir
                               + QStringLiteral("CheckBoxCheck.png);}QCheckBox::indicator:unchecked{image: url(")
                               + pictureDir + QStringLiteral("CheckBox.png);}");
    for (QCheckBox* box : {ui->AutoInsertDelay, ui->DefaultDelay, ui->ReUntilLoose, ui->ReUntilClick, ui->ReUntil,
                           ui->ReNumber})
        box->setStyleSheet(checkSheet);

    for (QToolButton* button : {ui->NewHong, ui->DeleteHong, ui->Amend, ui->DeleteKey})
        button->setStyleSheet(ToolButtonSheet(true));
    ui->StopRecord->setStyleSheet(
        recordButtonSheet(buttonColorText, pictureDir + QStringLiteral("Stop.png"), pictureDir + QStringLiteral("StopHover.png")));
    ui->StartRecord->setStyleSheet(recordButtonSheet(buttonColorText, pictureDir + QStringLiteral("Record.png"),
                                                     pictureDir + QStringLiteral("RecordHover.png")));

    const QString spinSheet = QStringLiteral("QSpinBox{background-color: rgb(63, 63, 63);color: rgb(")
                              + OptionColorText(QStringLiteral("LinEditColorSecond")) + QStringLiteral(";);border: none;}");
    ui->DelayTime->setStyleSheet(spinSheet);
    ui->NumberEdit->setStyleSheet(spinSheet);
}

void Macro::SetSaveReady(bool ready)
{
    ui->Save->setEnabled(ready);
    ui->Save->setStyleSheet(ToolButtonSheet(ready));
}

void Macro::OnRepeatModeToggled(QAbstractButton*, bool)
{
    MarkRepeatChanged();
}

void Macro::MarkRepeatChanged()
{
    repeatChanged = true;
    shownEdited = true;
    SetSaveReady(true);
}

void Macro::Place(FramelessDialog& dialog)
{
    dialog.MoveOver(this, 100, 50);
}

QString Macro::AskMacroName(int prompt)
{
    QuestionDialog question;
    question.SetLabelText(prompt);
    Place(question);
    question.exec();
    return question.ResultText();
}

// ---- texts ------------------------------------------------------------------

void Macro::SlotChangeLanguage(int index)
{
    LanguageTexts texts;
    for (QLabel* label : {ui->label, ui->label_2, ui->label_3})
        texts.label(label->objectName(), label);
    texts.on(QStringLiteral("NewHong"), [this](const QString& t) {
        ui->NewHong->setText(t);
        // Japanese texts do not fit the button: the tool tip shows them whole.
        ui->NewHong->setToolTip(StoredLanguageIndex() == 5 ? t : QString());
    });
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             ui->DeleteHong, ui->Amend, ui->DeleteKey, ui->StartRecord, ui->StopRecord, ui->DefaultDelay, ui->ReNumber,
             ui->Save})
        texts.button(button->objectName(), button);
    texts.label(QStringLiteral("AutoInsertDelay"), ui->AutoInsertDelayLabel)
        .label(QStringLiteral("ReUntilLoose"), ui->ReUntilLooseLabel)
        .label(QStringLiteral("ReUntilClick"), ui->ReUntilClickLabel)
        .label(QStringLiteral("ReUntil"), ui->ReUntilLabel);
    for (int i = 1; i <= 3; ++i)
        texts.on(QStringLiteral("ChooseEvent") + QString::number(i),
                 [this, i](const QString& t) { ui->ChooseEvent->setItemText(i, t); });
    // The mouse-button names of the key vocabulary follow this page's texts.
    QString* const mouseTexts[] = {&MouseLeftText, &MouseRightText, &MouseMiddleText, &MouseForwardText, &MouseBackText};
    for (int i = 4; i <= 8; ++i) {
        QString* target = mouseTexts[i - 4];
        texts.on(QStringLiteral("ChooseEvent") + QString::number(i), [this, i, target](const QString& t) {
            *target = t;
            ui->ChooseEvent->setItemText(i, t);
        });
    }
    texts.store(QStringLiteral("MacroReal"), &macroPrefix)
        .store(QStringLiteral("Key1"), &exportText)
        .store(QStringLiteral("Key2"), &renameText)
        .store(QStringLiteral("Key3"), &deleteText)
        .store(QStringLiteral("Key4"), &newText)
        .store(QStringLiteral("Key5"), &importText);
    LoadLanguageSection(index, QStringLiteral("Macro"), texts);
}

// ---- the macro list and files --------------------------------------------------------

QString Macro::SelectedMacro() const
{
    const QListWidgetItem* item = ui->listWidgetHong->currentItem();
    return item ? item->text() : QString();
}

bool Macro::IsListed(const QString& name) const
{
    for (int i = 0; i < ui->listWidgetHong->count(); ++i) {
        if (ui->listWidgetHong->item(i)->text() == name)
            return true;
    }
    return false;
}

bool Macro::IsTaken(const QString& name) const
{
    // Anything in the file's place takes the name, a link (dangling too) as
    // well: no writer may go through it.
    return IsListed(name) || SpotAt(keys::MacroFilePath(name)) != FileSpot::Free;
}

void Macro::LoadMacroList()
{
    ui->listWidgetHong->addItems(keys::ListMacros());
}

void Macro::AddMissingMacros()
{
    for (const QString& name : keys::ListMacros()) {
        if (!IsListed(name))
            ui->listWidgetHong->addItem(name);
    }
}

int Macro::RepeatCode() const
{
    RepeatMode mode = RepeatMode::Number;
    if (ui->ReUntilLoose->isChecked())
        mode = RepeatMode::UntilLoose;
    else if (ui->ReUntilClick->isChecked())
        mode = RepeatMode::UntilClick;
    else if (ui->ReUntil->isChecked())
        mode = RepeatMode::Until;
    return MacroEdit::RepeatCodeOf(mode, ui->NumberEdit->value());
}

void Macro::ShowRepeatCode(int code)
{
    // Showing a macro's repeat setting is no change of it.
    const QSignalBlocker group(repeatGroup);
    const QSignalBlocker number(ui->NumberEdit);
    switch (MacroEdit::RepeatModeOf(code)) {
    case RepeatMode::UntilLoose:
        ui->ReUntilLoose->setChecked(true);
        break;
    case RepeatMode::UntilClick:
        ui->ReUntilClick->setChecked(true);
        break;
    case RepeatMode::Until:
        ui->ReUntil->setChecked(true);
        break;
    case RepeatMode::Number:
        ui->ReNumber->setChecked(true);
        ui->NumberEdit->setValue(MacroEdit::RepeatCountOf(code));
        break;
    }
}

void Macro::LoadMacroFile()
{
    ShowRows({});
    shownEdited = false;
    const QString name = SelectedMacro();
    if (name.isEmpty())
        return;
    macroFile = keys::MacroFilePath(name);
    const std::optional<keys::MacroFileContent> content = keys::ReadMacroFile(name);
    if (!content)
        return;
    // An empty file (a new macro) leaves the repeat controls as they are.
    if (content->hasRepeatLine)
        ShowRepeatCode(content->repeatCode);
    ShowRows(content->rows);
}

void Macro::ShowSelectedMacro()
{
    SetSaveReady(false);
    LoadMacroFile();
}

void Macro::on_listWidgetHong_clicked(const QModelIndex&)
{
    ShowSelectedMacro();
}

bool Macro::RefusedWhileRecording()
{
    if (!RecordingMacro)
        return false;
    ExeIsRun notice;
    notice.ShowTextB();
    Place(notice);
    notice.exec();
    return true;
}

void Macro::on_Save_clicked()
{
    if (RefusedWhileRecording())
        return;
    SetSaveReady(false);
    const QString name = SelectedMacro();
    if (name.isEmpty())
        return;
    // Everything the file gets is taken now, before anything is written.
    const int repeat = RepeatCode();
    const keys::MacroRows rows = EventRows();
    bool cut = false;
    if (!keys::SaveMacroFile(name, repeat, rows, &cut)) {
        // Nothing is sent: the device gets a macro only from its file. The
        // edit stays in the editor for another Save.
        qCWarning(lcFiles) << "macro" << name << "could not be saved";
        SetSaveReady(true);
        TellFileNotice(&InportFail::ShowWriteFailed);
        return;
    }
    macroFile = keys::MacroFilePath(name);
    shownEdited = false;
    if (eventsChanged) {
        eventsChanged = false;
        PostMsg::GetInstance()->PostUpDataMacro(name, 0);
    }
    if (repeatChanged) {
        repeatChanged = false;
        PostMsg::GetInstance()->PostUpDataMacro(name, 1);
    }
    if (cut) {
        // The device holds 70 events: the list shows what was kept.
        ShowRows(keys::FitMacro(rows));
        Tell<KeyNumberLimit>();
    }
}

void Macro::on_NewHong_clicked()
{
    CreateMewMacro();
}

void Macro::on_DeleteHong_clicked()
{
    DeleteMacro();
}

void Macro::CreateMewMacro()
{
    if (RefusedWhileRecording())
        return;
    const QString name = AskMacroName(0);
    if (name.isEmpty())
        return;
    // A macro of that name, listed or only in the folder, is never emptied.
    if (IsTaken(name)) {
        Tell<SameMacro>();
        return;
    }
    if (!keys::CreateMacroFile(name)) {
        qCWarning(lcFiles) << "macro" << name << "could not be created";
        return;
    }
    ui->listWidgetHong->addItem(name);
    ui->listWidgetHong->setCurrentRow(ui->listWidgetHong->count() - 1);  // shows it
    ui->ReNumber->setChecked(true);
    ui->NumberEdit->setValue(1);
}

void Macro::DeleteMacro()
{
    if (RefusedWhileRecording())
        return;
    QListWidgetItem* item = ui->listWidgetHong->currentItem();
    if (!item)
        return;
    DeleteConfirm confirm;
    Place(confirm);
    confirm.exec();
    if (!confirm.IsAccepted())
        return;
    const QString name = item->text();
    if (!keys::DeleteMacroFile(name) && QFileInfo::exists(keys::MacroFilePath(name))) {
        qCWarning(lcFiles) << "macro file of" << name << "could not be deleted";
        return;
    }
    PostMsg::GetInstance()->PostDeleteMacroButton(macroPrefix + name);
    {
        const QSignalBlocker block(ui->listWidgetHong);
        delete ui->listWidgetHong->takeItem(ui->listWidgetHong->row(item));
        ui->listWidgetHong->setCurrentRow(-1);
    }
    ShowRows({});
    shownEdited = false;
}

void Macro::RenameMacro()
{
    QListWidgetItem* item = ui->listWidgetHong->currentItem();
    if (!item)
        return;
    const QString oldName = item->text();
    const QString newName = AskMacroName(1);
    if (newName.isEmpty())
        return;
    const keys::RenameResult result =
        IsListed(newName) ? keys::RenameResult::Exists : keys::RenameMacroFile(oldName, newName);
    if (result == keys::RenameResult::Exists) {
        Tell<SameMacro>();
        return;
    }
    if (result != keys::RenameResult::Renamed) {
        qCWarning(lcFiles) << "macro" << oldName << "was not renamed to" << newName;
        return;
    }
    item->setText(newName);
    macroFile = keys::MacroFilePath(newName);
    PostMsg::GetInstance()->PostMacroRename(oldName, newName);
}

void Macro::on_listWidgetHong_customContextMenuRequested(const QPoint& pos)
{
    // One menu per request, gone with this call; dark like the page.
    QMenu menu(this);
    menu.setStyleSheet(QStringLiteral("QMenu{background-color: rgb(46,49,58);color: rgb(")
                       + OptionColorText(QStringLiteral("LabelColor"))
                       + QStringLiteral(");border:1px solid rgb(70,74,86);padding:2px;}"
                                        "QMenu::item{padding:4px 24px 4px 16px;}"
                                        "QMenu::item:selected{background-color:#ff6a00;color:rgb(255,255,255);}"));
    if (ui->listWidgetHong->itemAt(pos)) {
        connect(menu.addAction(exportText), &QAction::triggered, this, &Macro::ExPortMacro);
        connect(menu.addAction(renameText), &QAction::triggered, this, &Macro::RenameMacro);
        connect(menu.addAction(deleteText), &QAction::triggered, this, &Macro::DeleteMacro);
    } else {
        connect(menu.addAction(newText), &QAction::triggered, this, &Macro::CreateMewMacro);
        connect(menu.addAction(importText), &QAction::triggered, this, &Macro::InPortMacro);
    }
    menu.exec(QCursor::pos());
}
