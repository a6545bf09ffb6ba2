// Asks for one delay of a macro, 10 to 65535 ms. The macro page opens it to
// change a delay row and to insert one:
//
//     AddDelayTime dialog;
//     dialog.MoveOver(this);
//     dialog.exec();
//     if (dialog.IsAccepted())
//         use(dialog.DelayValue());
//
// It always opens at 10. OK takes a value the user is still typing. Close,
// Cancel and Escape leave IsAccepted() false and the value 0.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class AddDelayTime;
}

class AddDelayTime : public FramelessDialog
{
    Q_OBJECT

public:
    explicit AddDelayTime(QWidget* parent = nullptr);
    ~AddDelayTime() override;

    bool IsAccepted() const { return m_accepted; }
    int DelayValue() const { return m_delay; }

public slots:
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();
    void on_CloseButton_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::AddDelayTime* ui;
    bool m_accepted = false;
    int m_delay = 0;
};
