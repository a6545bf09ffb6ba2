// Asks for the two settings of a fire key: the interval (10 to 255) and the
// count (0 to 3; 0 fires while the key is held). The button page opens it
// from a key's fire-key entry:
//
//     FireKey dialog;
//     dialog.SetInterval(interval);
//     dialog.SetCount(count);
//     dialog.MoveOver(this);
//     dialog.exec();
//     if (dialog.IsAccepted())
//         store(dialog.FireInterval(), dialog.FireCount());
//
// OK takes a value the user is still typing. Close, Cancel and Escape leave
// the answer at 10 and 3 with IsAccepted() false.
#pragma once

#include "DialogFrame.h"

namespace Ui {
class FireKey;
}

class FireKey : public FramelessDialog
{
    Q_OBJECT

public:
    explicit FireKey(QWidget* parent = nullptr);
    ~FireKey() override;

    // The spin boxes keep the values within their ranges.
    void SetInterval(int interval);
    void SetCount(int count);

    bool IsAccepted() const { return m_accepted; }
    int FireInterval() const { return m_interval; }
    int FireCount() const { return m_count; }

public slots:
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();
    void on_CloseButton_clicked();

protected:
    void FillLanguageTexts(LanguageTexts& texts) override;

private:
    Ui::FireKey* ui;
    bool m_accepted = false;
    int m_interval = 10;
    int m_count = 3;
};
