// Told why settings or a macro did not reach the device or the disk: by LastImportResult
// when an import is refused (1: not a settings file, 2: made for another
// device, 3: the device did not take it), or by one of the Show calls below.
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class InportFail;
}

class InportFail : public FramelessDialog
{
    Q_OBJECT

public:
    explicit InportFail(QWidget* parent = nullptr);
    ~InportFail() override;

    // Another message than the import result's; call before exec().
    void ShowNotTaken();         // "label_2": the device did not take the settings
    void ShowWriteFailed();      // "label_3": the file could not be written (an export, a macro)
    void ShowNothingToExport();  // "label_4": no settings of the device to write
    void ShowNotMacroFile();     // "label_5": a macro file the import refused

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::InportFail* ui;
    QString m_notTaken;
    QString m_writeFailed;
    QString m_nothingToExport;
    QString m_notMacroFile;
};
