// The button page's function menu: the key buttons that open it, the entries
// that give the checked key a function, the combination, fire-key and macro
// entries, the defaults a key gets back when its macro is deleted, and the
// key operations of keys/KeyFunctions.h on the page's members.
#include "Buttoninterface.h"
#include "ui_Buttoninterface.h"

#include "ButtonMenu.h"
#include "ColorText.h"
#include "ConfigSettings.h"
#include "DeviceWriters.h"
#include "FireKey.h"
#include "Globals.h"
#include "GroupKey.h"
#include "KeyRecords.h"
#include "LeftButtonOnly.h"
#include "MakeMacro.h"
#include "OpenViews.h"
#include "PageKit.h"

#include <QButtonGroup>
#include <QMutexLocker>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>

#include <cstring>

namespace {

// The function menu's dialogs stand left of and above the page's centre.
constexpr int MenuDialogShiftX = 50;
constexpr int MenuDialogShiftY = 70;

// The key list's scroll bar while the menu is closed (and while it is open
// for the first key); the other keys hide it under the open menu.
const QString HiddenKeyListScrollBarStyle = QStringLiteral("QScrollBar {width:0px;}");

}  // namespace

// ---------------------------------------------------------------------------
// Building and styling

void Buttoninterface::BuildMenu()
{
    keyGroup = new QButtonGroup(this);
    keyGroup->setExclusive(true);
    for (const buttons::KeyButtonInfo& info : buttons::KeyButtons())
        keyGroup->addButton(KeyButton(info.key));
    menuGroup = new QButtonGroup(this);
    menuGroup->setExclusive(true);
    entryGroup = new QButtonGroup(this);
    entryGroup->setExclusive(true);

    for (const char* name : buttons::MainListEntries()) {
        auto* entry = findChild<QAbstractButton*>(QLatin1String(name));
        Q_ASSERT(entry);
        entries.insert(QLatin1String(name), entry);
        menuGroup->addButton(entry);
    }
    for (const buttons::FunctionEntry& function : buttons::FunctionEntries()) {
        auto* entry = findChild<QAbstractButton*>(QLatin1String(function.objectName));
        Q_ASSERT(entry);
        if (!function.mainList) {
            entries.insert(QLatin1String(function.objectName), entry);
            entryGroup->addButton(entry);
        }
        const buttons::FunctionEntry* f = &function;
        connect(entry, &QAbstractButton::clicked, this, [this, f](bool checked) { ApplyEntry(*f, checked); });
    }
    for (const buttons::SubMenuSwitch& sub : buttons::SubMenuSwitches()) {
        const QString page = QLatin1String(sub.page);
        connect(Entry(QLatin1String(sub.entry)), &QAbstractButton::clicked, this, [this, page] { ShowSubMenu(page); });
    }
    numberGroup = new QButtonGroup(this);
    numberGroup->setExclusive(true);
    for (QToolButton* number : {ui->Number1, ui->Number2, ui->Number3, ui->Number4, ui->Number5, ui->Number6})
        numberGroup->addButton(number);
    // The profile switch and the lights sub-menu are not offered; a key
    // that holds one of them still shows it when its menu opens.
    Entry(QStringLiteral("DPI_3"))->hide();
    Entry(QStringLiteral("DPI_9"))->hide();
}

void Buttoninterface::StyleMenu()
{
    const QString button = OptionColorText(QStringLiteral("ButtonColor"));
    const QString label = OptionColorText(QStringLiteral("LabelColor"));
    const QString P = pictureDir;

    ui->scrollArea_11->setFrameShape(QFrame::NoFrame);
    ui->scrollAreaWidgetContents_11->setStyleSheet(
        QStringLiteral("#scrollAreaWidgetContents_11{background:transparent;border:none;}"
                       "QToolButton{color: rgb(") + button
        + QStringLiteral(");border:0px;background-position:center;background-repeat:no-repeat;background-image: url(") + P
        + QStringLiteral("AMenuTitle.png);}QToolButton:checked{background-image: url(") + P
        + QStringLiteral("AMenuTitleChecked.png);}QToolButton:!checked{background-image: url(") + P
        + QStringLiteral("AMenuTitle.png);}QLabel{color: rgb(255,255,255);border:0px;background-position:center;"
                         "background-repeat:no-repeat;background-image: url(") + P + QStringLiteral("LabelNumber.png);}"));

    // The main list: entries that act at once, and those that open a
    // sub-menu (with the "B" pictures).
    const QStringList opening = {QStringLiteral("DPI_13"), QStringLiteral("DPI_11"), QStringLiteral("DPI_10"),
                                 QStringLiteral("DPI_9"),  QStringLiteral("DPI_7"),  QStringLiteral("DPI_12"),
                                 QStringLiteral("DPI_4")};
    for (const char* name : buttons::MainListEntries()) {
        const QString suffix = opening.contains(QLatin1String(name)) ? QStringLiteral("B") : QString();
        Entry(QLatin1String(name))->setStyleSheet(
            QStringLiteral("QToolButton{color: rgb(255,255,255);border:0px;background-position:center;"
                           "background-repeat:no-repeat;background-image: url(") + P + QStringLiteral("BMenuTitle")
            + suffix + QStringLiteral(".png);}QToolButton:checked{background-image: url(") + P
            + QStringLiteral("BMenuTitleChecked") + suffix + QStringLiteral(".png);}"));
    }
    ui->scrollAreaWidgetContents_4->setStyleSheet(QStringLiteral("background:transparent;border:none;"));

    // The number buttons on the mouse picture, the profile icon, the three
    // settings buttons and the lower band.
    const QString numberSheet =
        QStringLiteral("QToolButton{color: rgb(0,0,0);border:0px;padding:0px;background-color:transparent;"
                       "background-position:center;background-repeat:no-repeat;background-image: url(") + P
        + QStringLiteral("NumberOrigin.png);}QToolButton:hover{background-image: url(") + P
        + QStringLiteral("NumberHover.png);}QToolButton:pressed{padding-left:0px;background-image: url(") + P
        + QStringLiteral("NumberClick.png);}");
    for (QAbstractButton* number : numberGroup->buttons())
        number->setStyleSheet(numberSheet);
    ui->label->setStyleSheet(QStringLiteral("QLabel{color: rgb(255,255,255);border:0px;background-position:center;"
                                            "background-repeat:no-repeat;background-image: url(") + P
                             + QStringLiteral("Config.png);}"));
    const QString settingsSheet = QStringLiteral("QToolButton{color: rgb(") + button
                                  + QStringLiteral(");border:0px;border-image: url(") + P
                                  + QStringLiteral("Reset.png);}QToolButton:hover{border-image: url(") + P
                                  + QStringLiteral("ResetHover.png);}QToolButton:pressed{border-image: url(") + P
                                  + QStringLiteral("ResetClick.png);}");
    for (QToolButton* settings : {ui->Reset, ui->ImportData, ui->OutputData})
        settings->setStyleSheet(settingsSheet);
    ui->groupBox->setStyleSheet(QStringLiteral("QGroupBox#groupBox{border:0px;background-image: url(") + P
                                + QStringLiteral("TiltleBack.png);}"));

    const QString subSheet = QStringLiteral("QWidget{background:transparent;}QToolButton{color: rgb(") + button
                             + QStringLiteral(");border:0px;border-image: url(") + P
                             + QStringLiteral("CMenuTitle.png);}QToolButton:checked{color: rgb(") + button
                             + QStringLiteral(");border-image: url(") + P + QStringLiteral("CMenuTitleChecked.png);}");
    for (QWidget* page : {ui->page_3, ui->page_5, ui->page_6, ui->page_8, ui->page_4, ui->page_7, ui->page_10})
        page->setStyleSheet(subSheet);
    for (QScrollArea* area : {ui->scrollArea_4, ui->scrollArea_3, ui->scrollArea_7, ui->scrollArea_8,
                              ui->scrollArea_10, ui->scrollArea_6, ui->scrollArea_9, ui->scrollArea_12})
        area->setStyleSheet(QLatin1Char('#') + area->objectName() + QStringLiteral("{border: 0;}"));
    ui->groupBox_4->setStyleSheet(QStringLiteral("#groupBox_4{border:none;}"));
    ui->groupBox_2->setStyleSheet(QStringLiteral("#groupBox_2{border:none;}"));
    ui->label_3->setStyleSheet(QStringLiteral("color: rgb(") + label + QStringLiteral(");"));
    // The debounce panel reaches past its group's edge: a raised frame
    // would show there cut off.
    ui->DebunceButton->setFrameShape(QFrame::NoFrame);
    ui->scrollArea_11->verticalScrollBar()->setStyleSheet(keys::KeyListScrollBarStyle);
}

// ---------------------------------------------------------------------------
// What the key operations change on the page

QToolButton* Buttoninterface::KeyButton(int key) const
{
    switch (key) {
    case 0: return ui->FireKey;
    case 1: return ui->RightKey;
    case 2: return ui->BackKey;
    case 3: return ui->TopMusic;
    case 4: return ui->StartPause;
    case 5: return ui->BackMusic;
    default: return nullptr;
    }
}

QString Buttoninterface::EntryText(const QString& objectName) const
{
    const QAbstractButton* entry = Entry(objectName);
    return entry ? entry->text() : QString();
}

void Buttoninterface::SetKeyCaption(int key, const QString& caption)
{
    if (QToolButton* button = KeyButton(key))
        button->setText(caption);
}

void Buttoninterface::ShowNoSubMenu()
{
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
}

void Buttoninterface::ShowFunctionList()
{
    ui->stackedWidget->setCurrentWidget(ui->page_2);
    ui->scrollArea_11->verticalScrollBar()->setStyleSheet(keys::KeyListScrollBarStyle);
}

void Buttoninterface::ShowSubMenu(const QString& pageName)
{
    if (auto* page = ui->stackedWidget_2->findChild<QWidget*>(pageName))
        ui->stackedWidget_2->setCurrentWidget(page);
}

void Buttoninterface::CloseMenu()
{
    ui->stackedWidget->setCurrentWidget(ui->page);
    ui->scrollArea_11->verticalScrollBar()->setStyleSheet(keys::KeyListScrollBarStyle);
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
}

void Buttoninterface::CloseFunctionMenu()
{
    UncheckKeys();
    CloseMenu();
}

int Buttoninterface::CheckedKey() const
{
    for (const buttons::KeyButtonInfo& info : buttons::KeyButtons()) {
        if (KeyButton(info.key)->isChecked())
            return info.key;
    }
    return -1;
}

void Buttoninterface::UncheckKeys()
{
    keyGroup->setExclusive(false);
    for (QAbstractButton* key : keyGroup->buttons())
        key->setChecked(false);
    keyGroup->setExclusive(true);
}

// ---------------------------------------------------------------------------
// The key operations on this page's members

bool Buttoninterface::SetGroupKey(int key, const QString& text)
{
    const bool sent = keys::SetGroupKey(*this, Cache(), key, text);
    if (sent)
        RememberKey(key);
    return sent;
}

bool Buttoninterface::SetMultiMediaKey(int key, int selector)
{
    const bool sent = keys::SetMultiMediaKey(*this, Cache(), key, selector);
    if (sent)
        RememberKey(key);
    return sent;
}

void Buttoninterface::SetButtonState(int key, int type, int value1, int value2)
{
    // Called once the device took the function.
    keys::SetButtonState(Cache(), key, type, value1, value2);
    RememberKey(key);
}

bool Buttoninterface::ApplyKeyParamDefault(int key, const QStringList& items)
{
    const bool sent = keys::ApplyKeyParamDefault(*this, Cache(), key, items);
    if (sent)
        RememberKey(key);
    return sent;
}

void Buttoninterface::RememberKey(int key)
{
    if (!shownImage || key < 0 || key >= KeyCount)
        return;
    const FlashDataMap device = SnapshotFlashData();
    shownImage->keys[key] = device.keys[key];
    shownImage->keyEvents[key] = device.keyEvents[key];
    shownImage->macros[key] = device.macros[key];
}

bool Buttoninterface::KeepsLeftClick(int key, int type, int value1)
{
    if (!keys::TakesLastLeftClick(keyType, keyValue1, key, type, value1))
        return true;
    CloseFunctionMenu();
    LeftButtonOnly notice;
    notice.MoveOver(this, MenuDialogShiftX, MenuDialogShiftY);
    notice.exec();
    return false;
}

int Buttoninterface::DPIValueToIndex(int dpi) const
{
    return keys::DPIValueToIndex(sensorName, sensorDefines, dpi);
}

int Buttoninterface::DPIIndexToValue(int index) const
{
    return keys::DPIIndexToValue(sensorName, sensorDefines, index);
}

std::optional<KeyEventRecord> Buttoninterface::GroupKeyToRecord(const QString& text) const
{
    return keys::GroupKeyToRecord(text);
}

void Buttoninterface::ShowButtonFunction(int key, int type, int value1, int value2, const FlashDataMap* image)
{
    if (image)
        keys::ShowButtonFunction(*this, key, type, value1, value2, *image, macroWord, sensorName, sensorDefines);
}

// ---------------------------------------------------------------------------
// Opening the menu

void Buttoninterface::on_FireKey_clicked() { OpenMenu(ui->FireKey, 0); }
void Buttoninterface::on_RightKey_clicked() { OpenMenu(ui->RightKey, 1); }
void Buttoninterface::on_BackKey_clicked() { OpenMenu(ui->BackKey, 2); }
void Buttoninterface::on_TopMusic_clicked() { OpenMenu(ui->TopMusic, 3); }
void Buttoninterface::on_StartPause_clicked() { OpenMenu(ui->StartPause, 4); }
void Buttoninterface::on_BackMusic_clicked() { OpenMenu(ui->BackMusic, 5); }

void Buttoninterface::OpenMenu(QToolButton* keyButton, int key)
{
    // The first key's menu leaves the key list's scroll bar in sight.
    ui->scrollArea_11->verticalScrollBar()->setStyleSheet(key == 0 ? keys::KeyListScrollBarStyle
                                                                   : HiddenKeyListScrollBarStyle);
    // A key the cache does not hold yet (no fill so far) marks nothing.
    if (key >= keyType.size() || key >= keyValue1.size())
        return;
    const int type = keyType.at(key);
    const int value1 = keyValue1.at(key);
    const KeyEventRecord record = SnapshotFlashData().keyEvents[key];
    const int dpi = type == keys::FunctionDpiLock ? DPIIndexToValue(value1) : 0;
    const buttons::MenuSelection selection = buttons::SelectionFor(type, value1, record, dpi, key);
    if (!selection.known)
        return;

    ui->stackedWidget->setCurrentWidget(ui->page_2);
    ShowSubMenu(selection.subPage);
    if (QAbstractButton* main = Entry(selection.mainEntry))
        main->setChecked(true);
    if (QAbstractButton* sub = Entry(selection.subEntry))
        sub->setChecked(true);
    for (const buttons::ScrollTo& scroll : selection.scrolls) {
        if (auto* area = findChild<QScrollArea*>(scroll.area))
            area->verticalScrollBar()->setSliderPosition(scroll.pixels);
    }
    if (selection.macroKey) {
        // A macro key is known by its caption: the macro word and the name.
        QString caption = keyButton->text();
        caption.remove(QChar(0));
        for (int i = 0; i < macroButtons.size(); ++i) {
            if (macroWord + macroButtons.at(i)->text() == caption) {
                macroButtons.at(i)->setChecked(true);
                ui->scrollArea_7->verticalScrollBar()->setSliderPosition(buttons::MenuRowPixels * (i + 1));
            }
        }
    }
}

// ---------------------------------------------------------------------------
// The entries

void Buttoninterface::ApplyNamedEntry(const char* objectName, bool checked)
{
    if (const buttons::FunctionEntry* entry = buttons::FindFunctionEntry(QLatin1String(objectName)))
        ApplyEntry(*entry, checked);
}

void Buttoninterface::on_LeftKey_3_clicked(bool checked)
{
    ApplyNamedEntry("LeftKey_3", checked);
}

void Buttoninterface::on_RightKey_3_clicked(bool checked)
{
    ApplyNamedEntry("RightKey_3", checked);
}

void Buttoninterface::on_MidKey_clicked(bool checked)
{
    ApplyNamedEntry("MidKey", checked);
}

void Buttoninterface::on_ForWardKey_clicked(bool checked)
{
    ApplyNamedEntry("ForWardKey", checked);
}

void Buttoninterface::on_BackKey_2_clicked(bool checked)
{
    ApplyNamedEntry("BackKey_2", checked);
}

void Buttoninterface::on_VolumeUp_8_clicked(bool checked)
{
    ApplyNamedEntry("VolumeUp_8", checked);
}

void Buttoninterface::ApplyEntry(const buttons::FunctionEntry& entry, bool checked)
{
    // An entry that was unchecked by the click does nothing.
    if (!checked)
        return;
    if (entry.mainList)
        ClearOptionChecks();
    const QString text = EntryText(QLatin1String(entry.objectName));
    const int key = CheckedKey();
    if (key >= 0 && !KeepsLeftClick(key, entry.type, entry.kind == buttons::FunctionEntry::KeyFunction ? entry.value : 0))
        return;
    if (key >= 0) {
        switch (entry.kind) {
        case buttons::FunctionEntry::KeyFunction:
            WriteThenShow([&] { return SetButtonKey(key, uint8_t(entry.type), uint8_t(entry.value), 0); },
                          [&] {
                              SetKeyCaption(key, text);
                              SetButtonState(key, entry.type, entry.value, 0);
                          });
            break;
        case buttons::FunctionEntry::Consumer:
            // Caption and cache follow inside, once the device took it.
            SetMultiMediaKey(key, entry.value);
            break;
        case buttons::FunctionEntry::DpiLock: {
            // A DPI the sensor has no step for is not sent.
            const int index = DPIValueToIndex(entry.value);
            if (index != keys::DpiIndexNotFound)
                WriteThenShow([&] { return SetButtonKey(key, keys::FunctionDpiLock, uint8_t(index), 0); },
                              [&] {
                                  SetKeyCaption(key, EntryText(QStringLiteral("DPI_4")) + QLatin1Char('-') + text);
                                  SetButtonState(key, keys::FunctionDpiLock, index, 0);
                              });
            break;
        }
        }
    }
    CloseMenu();
}

void Buttoninterface::on_DPI_8_clicked()
{
    // A key that must keep its left click is told so before the dialog.
    const int before = CheckedKey();
    if (before >= 0 && !KeepsLeftClick(before, keys::FunctionEventRecord, 0))
        return;
    GroupKey dialog;
    dialog.MoveOver(this, MenuDialogShiftX, MenuDialogShiftY);
    TieToOwner(&dialog, this);  // leaving the device cancels it
    dialog.exec();
    if (!dialog.IsAccepted())
        return;
    // The key is looked up after the dialog: a fill or a number button may
    // have changed it meanwhile. The menu stays open on the main list.
    const int key = CheckedKey();
    if (key >= 0 && !KeepsLeftClick(key, keys::FunctionEventRecord, 0))
        return;
    SetGroupKey(key, dialog.ResultText());
}

void Buttoninterface::on_DPI_6_clicked()
{
    // Offline the fire key is not offered: the menu closes without a word
    // (the key stays checked).
    if (!CurrentDeviceAnswers() && !PageFilling(Page::Buttons)) {
        ui->stackedWidget->setCurrentWidget(ui->page);
        ui->stackedWidget_2->setCurrentWidget(ui->page_9);
        return;
    }
    int interval = 10;
    int count = 3;
    const int key = CheckedKey();
    if (key >= 0 && !KeepsLeftClick(key, keys::FunctionFireKey, 0))
        return;
    if (key >= 0 && key < keyValue1.size() && key < keyValue2.size()
        && KeyButton(key)->text() == EntryText(QStringLiteral("DPI_6"))) {
        interval = keyValue1.at(key);
        count = keyValue2.at(key);
    }
    FireKey dialog;
    dialog.SetInterval(interval);
    dialog.SetCount(count);
    dialog.MoveOver(this, MenuDialogShiftX, MenuDialogShiftY);
    TieToOwner(&dialog, this);  // leaving the device cancels it
    dialog.exec();
    if (!dialog.IsAccepted())
        return;
    fireInterval = dialog.FireInterval();
    fireCount = dialog.FireCount();
    on_DPI_6_clicked(true);
}

void Buttoninterface::on_DPI_6_clicked(bool checked)
{
    if (!checked)
        return;
    ClearOptionChecks();
    const int key = CheckedKey();
    if (key >= 0 && !KeepsLeftClick(key, keys::FunctionFireKey, 0))
        return;
    if (key >= 0)
        WriteThenShow(
            [&] { return SetButtonKey(key, keys::FunctionFireKey, uint8_t(fireInterval), uint8_t(fireCount)); },
            [&] {
                SetKeyCaption(key, EntryText(QStringLiteral("DPI_6")));
                SetButtonState(key, keys::FunctionFireKey, fireInterval, fireCount);
            });
    CloseMenu();
}

void Buttoninterface::on_DPI_10_clicked()
{
    if (!macroButtons.isEmpty()) {
        ui->stackedWidget_2->setCurrentWidget(ui->page_5);
        return;
    }
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    MakeMacro notice;
    notice.MoveOver(this, MenuDialogShiftX, MenuDialogShiftY);
    notice.exec();
}

// ---------------------------------------------------------------------------
// The number buttons and the menu stack

void Buttoninterface::on_Number1_clicked() { CheckKeyByNumber(1); }
void Buttoninterface::on_Number2_clicked() { CheckKeyByNumber(2); }
void Buttoninterface::on_Number3_clicked() { CheckKeyByNumber(3); }
void Buttoninterface::on_Number4_clicked() { CheckKeyByNumber(4); }
void Buttoninterface::on_Number5_clicked() { CheckKeyByNumber(5); }
void Buttoninterface::on_Number6_clicked() { CheckKeyByNumber(6); }

void Buttoninterface::CheckKeyByNumber(int number)
{
    // Asked for its offline notice only: the key is checked either way, and
    // the next assignment of an open menu goes to it.
    static_cast<void>(IsDeviceOnline());
    KeyButton(buttons::KeyButtons().at(number - 1).key)->setChecked(true);
}

void Buttoninterface::on_stackedWidget_currentChanged(int index)
{
    // The menu group lets go of its check mark and takes it again.
    if (index != 0 && menuGroup) {
        menuGroup->setExclusive(false);
        menuGroup->setExclusive(true);
    }
}
