// The debounce panel: a combo box of 21 entries, 0 to 20 ms, whose index is
// the debounce time written into byte 6 of the device image. The button page
// embeds it (object name DebunceButton), fills it with SetIndex and names the
// entries with SetItemText.
//
// Filling never writes: SetIndex blocks the combo box's signals and ignores
// an index outside 0..20. A choice by the user (a changed index) writes it
// with SetDebounceTime while PageMaySend(Page::Buttons); the writer shows the offline
// notice when the device is not reachable, and a refused write shows the
// stored value again (WriteOrRevert).
#pragma once

#include <QFrame>

namespace Ui {
class DebounceTime;
}

class DebounceTime : public QFrame
{
    Q_OBJECT

public:
    static constexpr int EntryCount = 21;

    explicit DebounceTime(QWidget* parent = nullptr);
    ~DebounceTime() override;

    // Shows entry index (0..20) without writing; other values change nothing.
    void SetIndex(int index);
    // Entry index shows the number index followed by suffix ("7" + "ms").
    void SetItemText(int index, const QString& suffix);
    int CurrentIndex() const;
    QString PictureFolder() const { return m_pictureFolder; }

public slots:
    void on_Debunce_currentIndexChanged(int index);

private:
    Ui::DebounceTime* ui;
    QString m_pictureFolder;
};
