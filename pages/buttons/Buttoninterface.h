// The button mapping page (the first page of the container).
//
// Built so far: the page's spine. It creates the device link object
// (WorkerThread) and stops it on destruction; it is filled from device
// images (the key cache, debounce, the sleep time for the settings page,
// its loading and updated flags); the profile choice, the macro list, the
// reset to defaults, the factory reset and the settings import, and its
// language texts. The key captions, the function menu and its entries come
// with the key vocabulary and the page's own work.
#pragma once

#include "DeviceImage.h"
#include "SensorDefines.h"

#include <QList>
#include <QString>
#include <QVector>
#include <QWidget>

class QButtonGroup;
class QToolButton;
class QVBoxLayout;

namespace Ui {
class Buttoninterface;
}

class Buttoninterface : public QWidget
{
    Q_OBJECT

public:
    explicit Buttoninterface(QWidget* parent = nullptr);
    ~Buttoninterface() override;

    Ui::Buttoninterface* Form() const { return ui; }
    QList<QToolButton*> MacroButtons() const { return macroButtons; }

    // Replaces the macro's file "<user>/usersetting/MacroPage/<name>.ini"
    // with text and a line end. A name that may not be a file name writes
    // nothing.
    bool WriteMacroFile(const QString& name, const QString& text);
    // Unchecks the option entries and the macro buttons.
    void ClearOptionChecks();

    // The page's cache of each key's function (type, value1, value2).
    QVector<int> keyType;
    QVector<int> keyValue1;
    QVector<int> keyValue2;
    QString sensorName;
    SensorDefines sensorDefines;
    QString macroWord;      // language "Macro_": prefix of macro captions
    QString configPrefix;   // language "Config": prefix of profile items

public slots:
    void SlotAddMacroButton();
    void SlotMouseIndex(int index);
    void SlotUpDataButtonUIButton(FlashDataMap image);
    void SlotUpDataButtonUIB(FlashDataMap image);
    void SlotUpDataConfigUI(int count, int current, bool enabled);
    void SlotFormResetButton();
    void SlotChangeLanguage(int index);
    void on_Reset_clicked();
    void on_ImportData_clicked();
    void on_ProjectChoose_activated(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Fill(const FlashDataMap& image);
    void ReadLanguageLabels(int index);
    QString MousePictureSheet() const;
    QPoint DialogPosition(const QWidget* dialog) const;

    Ui::Buttoninterface* ui;
    QWidget* macroListWidget = nullptr;
    QVBoxLayout* macroListLayout = nullptr;
    QList<QToolButton*> macroButtons;
    QButtonGroup* keyGroup = nullptr;
    QButtonGroup* entryGroup = nullptr;
    QString pictureDir;
    QString pageFolder;
};
