// Told when another instance runs (label text), at start when the user
// folder cannot be written (ShowCannotSave), or by the macro page with text
// A (ShowTextA) or text B (ShowTextB).
// A notice on the frame of DialogFrame.h: built on the opener's stack, moved
// and run with exec(); OK, the close button and Escape end it.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class ExeIsRun;
}

class ExeIsRun : public FramelessDialog
{
    Q_OBJECT

public:
    explicit ExeIsRun(QWidget* parent = nullptr);
    ~ExeIsRun() override;

    // The label shows text A (element "label_2") or text B ("PleaseStop");
    // empty when the language file has none. Call before exec().
    void ShowTextA();
    void ShowTextB();
    // "CannotSave": settings cannot be saved, the user folder cannot be written.
    void ShowCannotSave();
    QString TextA() const { return m_textA; }
    QString TextB() const { return m_textB; }

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::ExeIsRun* ui;
    QString m_textA;
    QString m_textB;
    QString m_cannotSave;
};
