// The sleep-time panel: a combo box of eleven times from 10 seconds to 40
// minutes. A choice by the user writes the time into byte 8 of the device
// image in units of 10 seconds (1, 3, 6, 30, 60, 90, 120, 150, 180, 210, 240)
// with SetSleepTime, while PageMaySend(Page::Light) (on either page); every
// choice writes, also of the entry already shown, and a refused write shows
// the stored time again (WriteOrRevert). The lighting and settings
// pages embed it (object name frameClose), fill it with SetIndex (never
// writes) and name the entries with SetItemText. The combo box takes the
// panels' look and list (PageStyle::StyleComboBox) when the panel is first
// shown: the form's entries are Chinese until the page names them, and a
// list laid out before that would load the CJK fonts in every language.
#pragma once

#include <QFrame>

namespace Ui {
class StopCloseTime;
}

class StopCloseTime : public QFrame
{
    Q_OBJECT

public:
    static constexpr int EntryCount = 11;

    explicit StopCloseTime(QWidget* parent = nullptr);
    ~StopCloseTime() override;

    // Units of 10 s that entry index stands for; 0 for an index outside 0..10.
    static int UnitsForIndex(int index);
    // The entry that shows a sleep time of seconds (byte 8 x 10); -1 when no
    // entry does (the pages then leave the shown entry as it is).
    static int IndexForSeconds(int seconds);

    // Shows entry index without writing; an index outside 0..10 changes nothing.
    void SetIndex(int index);
    void SetItemText(int index, const QString& text);
    int CurrentIndex() const;
    QString PictureFolder() const { return m_pictureFolder; }

public slots:
    void on_StopClose_activated(int index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    Ui::StopCloseTime* ui;
    QString m_pictureFolder;
    bool m_styled = false;
};
