// Asks OK or Cancel before the device's defaults are restored (the button
// page's reset; the main window uses it with a text of its own through
// SetText). After exec() the opener reads IsAccepted(): true only after OK
// (or Return, OK's shortcut); false after Cancel, Close or Escape.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class ContainReset;
}

class ContainReset : public FramelessDialog
{
    Q_OBJECT

public:
    explicit ContainReset(QWidget* parent = nullptr);
    ~ContainReset() override;

    // The label shows text (until the next change of language).
    void SetText(const QString& text);
    bool IsAccepted() const { return m_accepted; }

public slots:
    void on_OK_clicked();
    void on_Cancel_clicked();
    void on_CloseButton_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::ContainReset* ui;
    bool m_accepted = false;
};
