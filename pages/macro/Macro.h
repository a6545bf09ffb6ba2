// The macro page: the macros kept on this computer (listWidgetHong, one
// file each in the macro folder), the event list of the selected macro
// (listWidgetKey), editing, recording from the keyboard, the repeat mode,
// saving, export and import, and the exchange of macros with the device
// image for the button page.
//
// Everything stands on the widget-free macro layer (keys/MacroRows.h: rows,
// records, files, export) and the page's rules (MacroEditRules.h); the page
// keeps its rows as list items that carry kind and code (MacroListItems.h).
//
// Files: a click on a macro shows its file; Save writes the whole file at
// once from what the page shows when Save is pressed. A device read (the
// button page shows a key bound to a macro: SlotButtonToMacro) writes that
// macro's file from the device's record; it lists a macro it does not know
// but never moves the selection, and the event list changes only when it
// shows that macro without unsaved edits (never while recording). After a
// save the button page asks for the macro on each of its keys
// (SlotMacroDownLoadData): the record is built from the saved file.
//
// Recording (on_StartRecord_clicked .. on_StopRecord_clicked) installs the
// page's own keyboard hook installation and turns key events into rows
// (MacroEdit::MacroRecorder); every key of the recording table is recorded,
// Return and Escape included. At the 70th key row the hook goes and the
// limit notice follows (queued, never inside the hook's call); the page
// keeps its recording look until Stop.
#pragma once

#include "DeviceImage.h"
#include "KeyboardHook.h"
#include "MacroEditRules.h"
#include "MacroRows.h"

#include <QElapsedTimer>
#include <QModelIndex>
#include <QWidget>

#include <functional>
#include <optional>

class FramelessDialog;
class InportFail;
class QAbstractButton;
class QButtonGroup;
class QListWidgetItem;

namespace Ui {
class Macro;
}

class Macro : public QWidget
{
    Q_OBJECT

public:
    explicit Macro(QWidget* parent = nullptr);
    ~Macro() override;

    Ui::Macro* Form() const { return ui; }
    // The page shows its recording look (from Start until Stop or leaving).
    bool Recording() const { return recordingLook; }
    // The name of the selected macro; empty when none is selected.
    QString SelectedMacro() const;
    // The rows of the event list.
    keys::MacroRows EventRows() const;
    // The repeat code the repeat controls show.
    int RepeatCode() const;
    // Tests: the recorder's clock in ms (monotonic).
    void SetClock(std::function<qint64()> clock);

    // Export and import once a file is chosen (the slots ask for it).
    [[nodiscard]] bool ExportMacroTo(const QString& path);
    bool ImportMacroFrom(const QString& path);

public slots:
    void SlotButtonToMacro(FlashDataMap image, int key);
    void SlotMacroDownLoadData(QString name, int key);
    void SlotSetMacroPage();
    void on_NewHong_clicked();
    void on_DeleteHong_clicked();
    void on_Amend_clicked();
    void on_ChooseEvent_activated(int index);
    void on_DeleteKey_clicked();
    void on_StartRecord_clicked();
    void on_StopRecord_clicked();
    // The recorder's hook callback: (virtual key, key down, repeated).
    void UpdateCapslockTip(int virtualKey, bool down, bool repeat);
    void on_Save_clicked();
    void SlotChangeLanguage(int index);
    void on_listWidgetKey_itemChanged(QListWidgetItem* item);
    void on_NumberEdit_valueChanged(int value);
    void on_listWidgetHong_clicked(const QModelIndex& index);
    void on_listWidgetHong_customContextMenuRequested(const QPoint& pos);
    void ExPortMacro();
    void RenameMacro();
    void DeleteMacro();
    void CreateMewMacro();
    void InPortMacro();
    void on_DelayTime_valueChanged(int value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // ---- construction (Macro.cpp)
    void InitButtonGroups();
    void ApplyStyles();
    void OnRepeatModeToggled(QAbstractButton* button, bool checked);
    QString ToolButtonSheet(bool active) const;
    // ---- the macro list and its files (Macro.cpp)
    void LoadMacroList();
    void AddMissingMacros();
    void LoadMacroFile();
    void ShowSelectedMacro();
    void ShowRepeatCode(int code);
    bool IsListed(const QString& name) const;
    // A macro of that name is listed, or something (a file, a link) is in its
    // file's place: it is never emptied, nor written through.
    bool IsTaken(const QString& name) const;
    // Refuses while recording (the PleaseStop notice).
    bool RefusedWhileRecording();
    void SetSaveReady(bool ready);
    // Notices and the name prompt: centred on the page, 100 px left, 50 up.
    void Place(FramelessDialog& dialog);
    // Shows a notice (a FramelessDialog without an answer) over the page.
    template <typename Notice>
    void Tell()
    {
        Notice notice;
        Place(notice);
        notice.exec();
    }
    // The export's or import's file notice, with the message it calls.
    void TellFileNotice(void (InportFail::*message)());
    // The name prompt's answer (prompt 0 a new macro, 1 a new name); empty
    // when the user gave none.
    QString AskMacroName(int prompt);
    // ---- the event list (MacroEditing.cpp)
    void ShowRows(const keys::MacroRows& rows);
    void ApplySplice(const MacroEdit::RowSplice& splice);
    void AddKeyRow(const keys::MacroRow& row);
    void AddDelayRow(quint32 ms);
    // The key and delay dialogs' answers; nothing when cancelled.
    std::optional<QString> AskKey();
    std::optional<quint32> AskDelay();
    void MarkEventsChanged();
    void MarkRepeatChanged();
    // ---- recording (MacroRecording.cpp)
    void StartRecorder();
    void StopRecorder();
    // Stop or leaving the pages: the recorder and its look go; Save is
    // offered after a Stop only.
    void EndRecording(bool saveReady);
    void ShowRecordingLook(bool recording);
    void ShowLimitNotice();

    Ui::Macro* ui;
    QString macroDir;   // the macro folder
    QString macroFile;  // file of the macro last read or written
    KeyboardHook hook{KeyboardHook::Recorder};
    QButtonGroup* delayGroup = nullptr;
    QButtonGroup* repeatGroup = nullptr;
    MacroEdit::MacroRecorder recorder;
    QElapsedTimer recordTimer;
    std::function<qint64()> clock;
    QString buttonColorText;
    QString pictureDir;
    keys::RowIcons rowIcons;
    bool recordingLook = false;
    bool eventsChanged = false;  // the event list changed since the last save
    bool repeatChanged = false;  // the repeat mode or count changed since the last save
    bool shownEdited = false;    // the shown macro has edits not saved or loaded over
    QString exportText, renameText, deleteText, newText, importText;
    QString macroPrefix;  // caption prefix of a key bound to a macro
};
