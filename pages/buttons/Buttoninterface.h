// The button mapping page (the first page of the container).
//
// It creates the device link object (WorkerThread) and stops it on
// destruction; it is filled from device images (the key cache and the six key
// captions, debounce, the sleep time for the settings page, its loading and
// updated flags); it holds the profile choice, the macro list, the reset to
// defaults, the factory reset and the settings import, and its language
// texts.
//
// The function menu: a click on a key button opens the menu for that key
// with the entry of its present function marked; a click on an entry gives
// the checked key that entry's function through the device writers, unless
// it would take the mouse's last left click away (KeepsLeftClick). The
// number buttons on the mouse picture check a key button; a left press
// elsewhere on the page closes the menu. The combination and fire-key entries ask through their dialogs;
// the macro entry shows the macro list or, with no macro, the MakeMacro
// notice. The key operations themselves live in keys/KeyFunctions.h; the
// members below forward to them.
//
// Macros on keys (ButtonMacros.cpp): a macro button gives the checked key
// the macro of that file; keys carrying a macro follow its renaming, its
// saving and its deletion on the macro page. Settings (ButtonSettings.cpp):
// export to a settings file, import, factory reset. ButtonProbe.cpp holds
// members nothing calls (caption files, a device probe).
#pragma once

#include "DeviceImage.h"
#include "DeviceRecords.h"
#include "KeyFunctions.h"
#include "SensorDefines.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <optional>

class InportFail;
class QAbstractButton;
class QButtonGroup;
class QMouseEvent;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace Ui {
class Buttoninterface;
}

namespace buttons {
struct FunctionEntry;
}

class Buttoninterface : public QWidget, public keys::ButtonPageView
{
    Q_OBJECT

public:
    explicit Buttoninterface(QWidget* parent = nullptr);
    ~Buttoninterface() override;

    Ui::Buttoninterface* Form() const { return ui; }
    QList<QToolButton*> MacroButtons() const { return macroButtons; }
    // The key button of data key 0..5, null for any other key.
    QToolButton* KeyButton(int key) const;
    // The menu entry (or sub-menu switch) of that object name, or null.
    QAbstractButton* Entry(const QString& objectName) const { return entries.value(objectName); }

    // Replaces the macro's file "<user>/usersetting/MacroPage/<name>.ini"
    // with text and a line end. A name that may not be a file name writes
    // nothing.
    [[nodiscard]] bool WriteMacroFile(const QString& name, const QString& text);
    // The record of macro `name` from its file (and its repeat code); false,
    // with a zero record, when the page may not send (PageMaySend) or when
    // the file cannot be read.
    bool ReadMacroFile(MacroRecord& record, const QString& name, int* repeatCode = nullptr) const;
    // The repeat code of macro `name` in decimal; "0" without a file or a
    // repeat line.
    QString ReadMacroLines(const QString& name) const;
    // The keys 0..5, in page order, whose function is a macro and whose
    // caption is `caption` (the macro word and the macro's name).
    QList<int> KeysWithMacroCaption(const QString& caption) const;

    // Writes the settings export file of the image (and the model's sensor
    // name) whole or not at all; false when it could not be written.
    [[nodiscard]] bool WriteExportFile(const QString& fileName, FlashDataMap image);

    // Members nothing in the program calls. A key caption file
    // "<page folder>/<n>.ini" sets a key's caption and the menu's scroll
    // positions (LoadKeySetting2 .. 6: RightKey, BackKey, StartPause,
    // TopMusic, BackMusic).
    void LoadKeySetting2();
    void LoadKeySetting3();
    void LoadKeySetting4();
    void LoadKeySetting5();
    void LoadKeySetting6();
    // The devices of the model table's ids as the library finds them (path,
    // ids, USB version, CID and MID); interfaceId and deviceId are not used.
    QList<DeviceAllInfo> EnumerateDevices();
    QList<DeviceAllInfo> FindHidDevices(const QString& vid, const QStringList& pids, int interfaceId, int deviceId);
    // The two-event record of the consumer usage high:low.
    KeyEventRecord& ConsumerKeyToRecord(KeyEventRecord& record, int unused, uint8_t high, uint8_t low);
    // Waits ms while the GUI keeps running.
    void Delay(int ms);

    // keys::ButtonPageView
    QString EntryText(const QString& objectName) const override;
    void SetKeyCaption(int key, const QString& caption) override;
    void ShowNoSubMenu() override;
    // Unchecks the sub-menu entries and the macro buttons.
    void ClearOptionChecks() override;
    void ShowFunctionList() override;

    // Closes the function menu and lets go of the key, as a left press
    // beside the menu does (the container, when the pages are left).
    void CloseFunctionMenu();

    // The one left-click check of every assignment (menu entries, fire key,
    // key combination, macro list): true when `key` may get the function
    // {type, value1}. When that would take away the mouse's last left click
    // (from the key cache), the menu closes with no key checked, the
    // LeftButtonOnly notice shows and the result is false: the caller then
    // writes nothing.
    bool KeepsLeftClick(int key, int type, int value1);

    // The key operations (keys/KeyFunctions.h) on this page's members.
    bool SetGroupKey(int key, const QString& text);
    bool SetMultiMediaKey(int key, int selector);
    void SetButtonState(int key, int type, int value1, int value2);
    bool ApplyKeyParamDefault(int key, const QStringList& items);
    int DPIValueToIndex(int dpi) const;  // keys::DpiIndexNotFound: send nothing
    int DPIIndexToValue(int index) const;
    std::optional<KeyEventRecord> GroupKeyToRecord(const QString& text) const;
    void ShowButtonFunction(int key, int type, int value1, int value2, const FlashDataMap* image);

    // The entries a key gets back when its macro is deleted, by name: each
    // gives the checked key its entry of the menu table (checked true).
    // Plain members, not slots: the menu table already connects the
    // entries' clicks.
    void on_LeftKey_3_clicked(bool checked);
    void on_RightKey_3_clicked(bool checked);
    void on_MidKey_clicked(bool checked);
    void on_ForWardKey_clicked(bool checked);
    void on_BackKey_2_clicked(bool checked);
    void on_VolumeUp_8_clicked(bool checked);

    // The page's cache of each key's function (type, value1, value2).
    QVector<int> keyType;
    QVector<int> keyValue1;
    QVector<int> keyValue2;
    QString sensorName;
    SensorDefines sensorDefines;
    QString macroWord;      // language "Macro_": prefix of macro captions
    QString configPrefix;   // language "Config": prefix of profile items
    // The values of the last accepted fire-key dialog.
    int fireInterval = 10;
    int fireCount = 3;

public slots:
    void SlotAddMacroButton();
    void SlotMouseIndex(int index);
    void SlotUpDataButtonUIButton(FlashDataMap image);
    void SlotUpDataButtonUIB(FlashDataMap image);
    void SlotUpDataConfigUI(int count, int current, bool enabled);
    void SlotFormResetButton();
    void SlotChangeLanguage(int index);
    // A macro was deleted: the keys whose caption is `caption` get their
    // model's default back.
    void SlotDeleteMacroButton(QString caption);
    // A macro button: gives the checked key that macro (checked true).
    void slotButtonClicked(bool checked);
    // The macro page renamed a macro: its keys show and carry the new name.
    void SlotMacroRename(QString oldName, QString newName);
    // The macro page saved a macro: mode 0 its events (1500 ms later its
    // keys ask the macro page for it again, SigMacroDownLoadData, which
    // sends it from its file), mode 1 only its repeat setting.
    void SlotUpDataMacro(QString name, int mode);
    void on_Reset_clicked();
    void on_ImportData_clicked();
    void on_OutputData_clicked();
    void on_ProjectChoose_activated(int index);

    // The key buttons open the function menu for their key.
    void on_FireKey_clicked();
    void on_RightKey_clicked();
    void on_BackKey_clicked();
    void on_TopMusic_clicked();
    void on_StartPause_clicked();
    void on_BackMusic_clicked();
    // Key combination through the GroupKey dialog.
    void on_DPI_8_clicked();
    // Fire key through the FireKey dialog; the bool form assigns the last
    // accepted values when checked is true.
    void on_DPI_6_clicked();
    void on_DPI_6_clicked(bool checked);
    // The macro list, or the MakeMacro notice when there is no macro.
    void on_DPI_10_clicked();
    // The number buttons on the mouse picture check the key button of their
    // number (the menu, open or not, stays as it is).
    void on_Number1_clicked();
    void on_Number2_clicked();
    void on_Number3_clicked();
    void on_Number4_clicked();
    void on_Number5_clicked();
    void on_Number6_clicked();
    void on_stackedWidget_currentChanged(int index);

protected:
    // A left press outside the open menu closes it and releases the keys.
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Fill(const FlashDataMap& image);
    // The key cache and the key captions from the image's key entries.
    void ShowKeyFunctions(const FlashDataMap& image);
    // The key's function and records in shownImage follow what the device
    // took for it.
    void RememberKey(int key);
    // Geometry of a widget of the page in the page's coordinates.
    QRect PageRect(const QWidget* widget) const;
    void LoadLanguage(int index, bool languageChange);
    QString MousePictureSheet() const;
    QPoint DialogPosition(const QWidget* dialog) const;
    int KeyNumber() const;

    // Macros on keys (ButtonMacros.cpp).
    [[nodiscard]] bool SendMacroToKey(int key, const KeyFunction& entry, const MacroRecord& record);
    void ResendMacro(const QString& name);
    // Macro files the device did not take are sent again every few seconds
    // while there are any (MacroPending.h).
    void InitPendingRetry();
    void WatchPendingMacros();
    void RetryPendingMacros();
    // Settings (ButtonSettings.cpp): a notice of the settings file.
    void ShowSettingsNotice(void (InportFail::*message)());
    // The macro list's widget and layout in its sub-menu, and its first
    // buttons (ButtonMacros.cpp).
    void InitMacroButtons();
    // Caption files (ButtonProbe.cpp).
    void LoadKeySetting(int number, QToolButton* keyButton);

    // Function menu (ButtonFunctionMenu.cpp).
    void BuildMenu();
    void StyleMenu();
    void OpenMenu(QToolButton* keyButton, int key);
    void ApplyEntry(const buttons::FunctionEntry& entry, bool checked);
    void ApplyNamedEntry(const char* objectName, bool checked);
    void CloseMenu();
    void ShowSubMenu(const QString& pageName);
    // The data key of the first checked key button in page order, -1: none.
    int CheckedKey() const;
    void UncheckKeys();
    void CheckKeyByNumber(int number);
    keys::KeyCache Cache() { return keys::KeyCache{keyType, keyValue1, keyValue2}; }

    Ui::Buttoninterface* ui;
    QWidget* macroListWidget = nullptr;
    QVBoxLayout* macroListLayout = nullptr;
    QList<QToolButton*> macroButtons;
    QTimer* pendingRetry = nullptr;
    QButtonGroup* keyGroup = nullptr;
    QButtonGroup* menuGroup = nullptr;   // the main list
    QButtonGroup* entryGroup = nullptr;  // the sub-menu entries and macro buttons
    QButtonGroup* numberGroup = nullptr; // the number buttons on the mouse picture
    QHash<QString, QAbstractButton*> entries;
    QString pictureDir;
    QString pageFolder;
    // The last image a fill gave the page, with the page's own assignments
    // since: a language change shows the captions again from it.
    std::optional<FlashDataMap> shownImage;
};
