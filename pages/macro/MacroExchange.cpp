// Macros in and out of the page: from and to the device image (for the
// button page) and through the export file of the user's choice.
#include "Macro.h"
#include "ui_Macro.h"

#include "DialogFrame.h"
#include "FileDialogs.h"
#include "Globals.h"
#include "InportFail.h"
#include "Logging.h"
#include "MacroListItems.h"
#include "MacroName.h"
#include "MacroPending.h"
#include "PageKit.h"
#include "PostMsg.h"
#include "SafeFileName.h"
#include "SameMacro.h"

#include <QDir>
#include <QFileDialog>
#include <QSignalBlocker>

namespace {
// The files of export and import: the import lists these only.
const QString ExportSuffix = QStringLiteral("ini");
// The import's name notice is placed as a 300 x 110 dialog.
const QSize ImportNoticeSize(300, 110);
}  // namespace

void Macro::SlotButtonToMacro(FlashDataMap image, int key)
{
    const std::optional<keys::NamedMacro> macro = keys::MacroOfKey(image, key);
    if (!macro)
        return;
    if (!IsSafeFileName(macro->name)) {
        qCWarning(lcFiles) << "the device's macro of key" << key << "has a name that cannot be a file name:" << macro->name;
        return;
    }
    // A file the device did not take yet is newer than the device's record:
    // it stays, and is sent again (MacroPending.h).
    if (keys::IsMacroPending(macro->name)) {
        qCInfo(lcFiles) << "the device's macro" << macro->name << "is older than its file, which is kept";
        return;
    }
    // The whole file from the device's record: the repeat code of the key
    // entry, then the record's rows.
    const int repeat = keys::NormalRepeatCode(image.keys[key].value2);
    if (!keys::SaveMacroFile(macro->name, repeat, macro->rows)) {
        qCWarning(lcFiles) << "the device's macro" << macro->name << "could not be written";
        return;
    }
    // The lists stay as they are while a recording runs (it adds the macro
    // to the list when it stops).
    if (!RecordingMacro && !recordingLook) {
        if (!IsListed(macro->name)) {
            const int current = ui->listWidgetHong->currentRow();
            ui->listWidgetHong->insertItem(current < 0 ? ui->listWidgetHong->count() : current + 1, macro->name);
        } else if (SelectedMacro() == macro->name && !shownEdited) {
            LoadMacroFile();
        }
    }
    PostMsg::GetInstance()->PostAddMacroButton();
}

void Macro::SlotMacroDownLoadData(QString name, int key)
{
    name.remove(QChar(0));
    if (!PageMaySend() || key < 0 || key >= KeyCount)
        return;
    // The macro as it was saved (the button page asks after a save): what
    // the page shows may have changed since. A file the device does not
    // take is remembered, to be sent again.
    (void)keys::SendMacroFileToKey(name, key);  // a failure is logged (and told) there
}

// ---- export and import ------------------------------------------------------------

void Macro::ExPortMacro()
{
    if (SelectedMacro().isEmpty())
        return;
    const QString path = AskSaveFileName(this, ExportSuffix);
    // As a settings export that could not be written: the user learns that
    // no file came of it (the writer logs why).
    if (!path.isEmpty() && !ExportMacroTo(path))
        TellFileNotice(&InportFail::ShowWriteFailed);
}

bool Macro::ExportMacroTo(const QString& path)
{
    const QString name = SelectedMacro();
    if (name.isEmpty())
        return false;
    if (!keys::ExportMacroFile(path, name, RepeatCode(), EventRows(), rowIcons)) {
        qCWarning(lcFiles) << "macro" << name << "could not be exported to" << path;
        return false;
    }
    return true;
}

void Macro::TellFileNotice(void (InportFail::*message)())
{
    InportFail notice;
    (notice.*message)();
    Place(notice);
    notice.exec();
}

void Macro::InPortMacro()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("SelectFile"), QDir::homePath(),
                                                      FileDialogFilter(ExportSuffix));
    if (!path.isEmpty())
        ImportMacroFrom(path);
}

bool Macro::ImportMacroFrom(const QString& path)
{
    const keys::MacroImport import = keys::ImportMacroFile(path, keys::MouseButtonNamesOfLanguages());
    // A taken name is told whatever else the file holds.
    if (!import.name.isEmpty() && IsTaken(import.name)) {
        SameMacro notice;
        notice.move(DialogStyle::CentredOver(QRect(mapToGlobal(QPoint(0, 0)), size()), ImportNoticeSize, 100, 50));
        notice.exec();
        return false;
    }
    if (!import.Ok()) {
        qCWarning(lcFiles) << "macro file" << path << "was not imported, error" << int(import.error);
        // One notice for every kind of damage: the user learns the file was
        // read and refused, not that a click went astray.
        TellFileNotice(&InportFail::ShowNotMacroFile);
        return false;
    }
    if (!keys::SaveMacroFile(import.name, import.repeatCode, import.rows)) {
        qCWarning(lcFiles) << "imported macro" << import.name << "could not be written";
        return false;
    }
    ui->listWidgetHong->addItem(import.name);
    ui->listWidgetHong->setCurrentRow(ui->listWidgetHong->count() - 1);  // shows it
    return true;
}
