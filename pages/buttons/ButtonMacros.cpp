// Macros on the button page's keys: the macro list of the function menu,
// giving the checked key a macro from its file, keys that follow a macro
// the macro page renamed or saved, and the defaults keys get back when their
// macro is deleted.
//
// A key carries macro N when its function is a macro (type 6 in the page's
// key cache) and its caption is the macro word followed by N: the caption
// tells which macro, the function that it is one. A key whose caption only
// happens to read like a macro's is left alone.
#include "Buttoninterface.h"
#include "ui_Buttoninterface.h"

#include "ButtonMenu.h"
#include "ConfigSettings.h"
#include "DeviceWriters.h"
#include "Globals.h"
#include "Logging.h"
#include "MacroName.h"
#include "MacroPending.h"
#include "KeyRecords.h"
#include "MacroRows.h"
#include "PageKit.h"
#include "PostMsg.h"

#include <QButtonGroup>
#include <QFont>
#include <QMutexLocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstring>

namespace {
// After the macro page saved a macro's events, its file is given this long
// to settle before the keys that carry the macro get it again.
constexpr int MacroResendDelayMs = 1500;
// A macro file the device did not take is offered again this often; the
// timer runs only while one waits.
constexpr int PendingRetryMs = 3000;

// The fallback entries (the key buttons' table names them) by their named
// members.
using EntryMember = void (Buttoninterface::*)(bool);
EntryMember FallbackMember(const QString& objectName)
{
    static const QHash<QString, EntryMember> members = {
        {QStringLiteral("LeftKey_3"), &Buttoninterface::on_LeftKey_3_clicked},
        {QStringLiteral("RightKey_3"), &Buttoninterface::on_RightKey_3_clicked},
        {QStringLiteral("MidKey"), &Buttoninterface::on_MidKey_clicked},
        {QStringLiteral("ForWardKey"), &Buttoninterface::on_ForWardKey_clicked},
        {QStringLiteral("BackKey_2"), &Buttoninterface::on_BackKey_2_clicked},
        {QStringLiteral("VolumeUp_8"), &Buttoninterface::on_VolumeUp_8_clicked},
    };
    return members.value(objectName);
}
}  // namespace

void Buttoninterface::InitMacroButtons()
{
    macroListWidget = new QWidget(this);
    macroListWidget->setFixedSize(205, 220);
    macroListWidget->setStyleSheet(QStringLiteral("background-color:transparent;border:none;"));
    macroListLayout = new QVBoxLayout(macroListWidget);
    macroListLayout->setSizeConstraint(QLayout::SetFixedSize);
    ui->scrollArea_7->setWidget(macroListWidget);
    SlotAddMacroButton();
}

void Buttoninterface::InitPendingRetry()
{
    pendingRetry = new QTimer(this);
    pendingRetry->setInterval(PendingRetryMs);
    connect(pendingRetry, &QTimer::timeout, this, &Buttoninterface::RetryPendingMacros);
    // A list left by an earlier session waits for the device as well.
    WatchPendingMacros();
}

void Buttoninterface::WatchPendingMacros()
{
    if (!pendingRetry->isActive() && !keys::PendingMacros().isEmpty())
        pendingRetry->start();
}

void Buttoninterface::RetryPendingMacros()
{
    if (keys::ResendPendingMacros() == 0)
        pendingRetry->stop();
    // The macro keys show what the device has now.
    const FlashDataMap image = SnapshotFlashData();
    for (int k = 0; k < keyType.size() && k < KeyCount; ++k) {
        const KeyFunction& entry = image.keys[k];
        if (keyType.at(k) == keys::FunctionMacro && entry.type == keys::FunctionMacro)
            SetButtonState(k, entry.type, entry.value1, entry.value2);
    }
}

void Buttoninterface::SlotAddMacroButton()
{
    for (QToolButton* button : macroButtons) {
        entryGroup->removeButton(button);
        button->deleteLater();
    }
    macroButtons.clear();
    QFont font(QStringLiteral("微软雅黑"));
    font.setPointSize(9);
    const QStringList names = keys::ListMacros();
    for (const QString& name : names) {
        auto* button = new QToolButton(macroListWidget);
        button->setFont(font);
        button->setObjectName(QStringLiteral("macro_") + QString::number(macroButtons.size()));
        button->setText(name);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(174, 22);
        macroListLayout->addWidget(button);
        entryGroup->addButton(button);
        macroButtons.append(button);
        connect(button, &QToolButton::clicked, this, &Buttoninterface::slotButtonClicked);
    }
}

void Buttoninterface::ClearOptionChecks()
{
    entryGroup->setExclusive(false);
    for (QAbstractButton* button : entryGroup->buttons())
        button->setChecked(false);
    entryGroup->setExclusive(true);
}

bool Buttoninterface::WriteMacroFile(const QString& name, const QString& text)
{
    return keys::WriteMacroFile(name, text);
}

bool Buttoninterface::ReadMacroFile(MacroRecord& record, const QString& name, int* repeatCode) const
{
    std::memset(&record, 0, sizeof record);
    // Nothing is sent while the page may not send (PageMaySend).
    if (!PageMaySend(Page::Buttons))
        return false;
    const std::optional<keys::MacroFileContent> content = keys::ReadMacroFile(name);
    if (!content)
        return false;
    record = keys::RecordFromRows(name, content->rows);
    if (repeatCode)
        *repeatCode = content->repeatCode;
    return true;
}

QString Buttoninterface::ReadMacroLines(const QString& name) const
{
    const std::optional<keys::MacroFileContent> content = keys::ReadMacroFile(name);
    if (!content || !content->hasRepeatLine)
        return QStringLiteral("0");
    return QString::number(content->repeatCode);
}

QList<int> Buttoninterface::KeysWithMacroCaption(const QString& caption) const
{
    QList<int> found;
    for (const buttons::KeyButtonInfo& info : buttons::KeyButtons()) {
        const int k = info.key;
        const bool macroKey = k < keyType.size() && keyType.at(k) == keys::FunctionMacro;
        if (macroKey && KeyButton(k)->text().remove(QChar(0)) == caption)
            found.append(k);
    }
    return found;
}

bool Buttoninterface::SendMacroToKey(int key, const KeyFunction& entry, const MacroRecord& record)
{
    if (!SetButtonMacro(key, entry, record))
        return false;
    SetButtonState(key, entry.type, entry.value1, entry.value2);
    return true;
}

void Buttoninterface::slotButtonClicked(bool checked)
{
    auto* button = qobject_cast<QToolButton*>(sender());
    if (!checked || !button)
        return;
    const QString name = button->text();
    const int key = CheckedKey();
    if (key >= 0) {
        if (!KeepsLeftClick(key, keys::FunctionMacro, key))
            return;
        MacroRecord record{};
        int repeat = 1;
        if (ReadMacroFile(record, name, &repeat)) {
            const KeyFunction entry{keys::FunctionMacro, uint8_t(key), uint8_t(repeat)};
            WriteThenShow([&] { return SendMacroToKey(key, entry, record); },
                          [&] { SetKeyCaption(key, macroWord + name); });
        } else {
            qCInfo(lcPages) << "macro" << name << "not given to a key: its file cannot be read";
        }
    }
    CloseMenu();
}

void Buttoninterface::SlotMacroRename(QString oldName, QString newName)
{
    const QByteArray nameBytes = keys::EncodeMacroName(newName);
    for (int k : KeysWithMacroCaption(macroWord + oldName)) {
        SetKeyCaption(k, macroWord + newName);
        const FlashDataMap image = SnapshotFlashData();
        MacroRecord record = image.macros[k];
        std::memset(record.name, 0, sizeof record.name);
        std::memcpy(record.name, nameBytes.constData(), size_t(nameBytes.size()));
        record.nameLength = uint8_t(nameBytes.size());
        if (!SendMacroToKey(k, image.keys[k], record))
            qCWarning(lcPages) << "macro" << newName << "renamed: key" << k << "keeps the old name in the device";
    }
}

void Buttoninterface::SlotUpDataMacro(QString name, int mode)
{
    if (mode == 0) {
        // The keys are looked up when the time has come: a key given
        // another function meanwhile does not get the macro back.
        QTimer::singleShot(MacroResendDelayMs, this, [this, name] { ResendMacro(name); });
    } else if (mode == 1) {
        // Only the repeat setting changed: the events in the device stay.
        const std::optional<keys::MacroFileContent> content = keys::ReadMacroFile(name);
        if (!content)
            return;
        for (int k : KeysWithMacroCaption(macroWord + name)) {
            const FlashDataMap image = SnapshotFlashData();
            const KeyFunction entry{image.keys[k].type, image.keys[k].value1, uint8_t(content->repeatCode)};
            // The file's repeat line is newer than the device's then.
            HeldRefusalNotice notice;  // told once it is known whether the macro is kept past a restart
            if (!SendMacroToKey(k, entry, image.macros[k])) {
                qCWarning(lcPages) << "macro" << name << "re-sent: key" << k << "keeps its old repeat setting";
                keys::KeepRefusedMacro(name, notice);
            }
        }
        WatchPendingMacros();
    }
}

void Buttoninterface::ResendMacro(const QString& name)
{
    for (int k : KeysWithMacroCaption(macroWord + name)) {
        // The macro page builds the record from the macro's file by its name
        // (whatever it shows by now) and sends it to the key.
        PostMsg::GetInstance()->PostMacroDownLoadData(name, k);
        // The page shows of the key what the device took.
        const KeyFunction entry = SnapshotFlashData().keys[k];
        if (entry.type == keys::FunctionMacro && entry.value1 == k)
            SetButtonState(k, entry.type, entry.value1, entry.value2);
    }
    // A send the device refused left the macro pending.
    WatchPendingMacros();
}

void Buttoninterface::SlotDeleteMacroButton(QString caption)
{
    // Offline nothing changes: one notice, no key touched, nothing sent.
    if (!IsDeviceOnline())
        return;
    // The keys are taken before anything changes.
    const QList<int> carrying = KeysWithMacroCaption(caption);
    // The model's event-record defaults ("0x05", ...) by key.
    ConfigSettings* config = ConfigSettings::GetInstance();
    QHash<int, QStringList> defaults;
    for (int i = 1; i <= keys::PageKeyCount; ++i) {
        const QStringList items =
            config->ModelValueList(CurrentDeviceInfo.driveIndex, QStringLiteral("KeyParam") + QString::number(i));
        if (!items.isEmpty() && items.first().trimmed() == QLatin1String("0x05"))
            defaults.insert(i - 1, items);
    }

    for (const buttons::KeyButtonInfo& info : buttons::KeyButtons()) {
        if (!carrying.contains(info.key))
            continue;
        const EntryMember fallback = FallbackMember(QLatin1String(info.fallbackEntry));
        KeyButton(info.key)->setChecked(true);
        Entry(QLatin1String(info.fallbackEntry))->setChecked(true);
        {
            // The macro's events go; the new function brings its own.
            QMutexLocker lock(&FlashDataMutex);
            std::memset(&CurrentFlashData.keyEvents[info.key], 0, sizeof(KeyEventRecord));
        }
        if (defaults.contains(info.key))
            ApplyKeyParamDefault(info.key, defaults.value(info.key));
        else if (fallback)
            (this->*fallback)(true);
    }
    UncheckKeys();
    CloseMenu();
    // The cleared records go to the device too, once more as a whole; only
    // an image read from this device goes back to it.
    if (ImageBelongsToDevice) {
        const FlashDataMap image = SnapshotFlashData();
        if (!SendImage(image))
            qCWarning(lcPages) << "macro" << caption << "deleted: the device did not take the cleared keys";
    }
}
