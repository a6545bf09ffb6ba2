// Asks to confirm a deletion (the macro page, before it deletes a macro).
// After exec() the opener reads IsAccepted(): true only after OK; false
// after the close button (its only way to say no) or Escape.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class DeleteConfirm;
}

class DeleteConfirm : public FramelessDialog
{
    Q_OBJECT

public:
    explicit DeleteConfirm(QWidget* parent = nullptr);
    ~DeleteConfirm() override;

    bool IsAccepted() const { return m_accepted; }

public slots:
    void on_NewHong_clicked();
    void on_CloseButton_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::DeleteConfirm* ui;
    bool m_accepted = false;
};
