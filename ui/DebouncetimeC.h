// A debounce panel with a read-only value box (0..20 ms) between a - and a +
// button that step it by 1 (+ stops at 20, - at 1); each step is written with
// SetDebounceTime while PageMaySend(Page::Buttons) (a refused write shows the
// stored value again). SetIndex shows a value without writing. Part of the
// widget set; no window creates it.
#pragma once

#include <QFrame>

namespace Ui {
class DebouncetimeC;
}

class DebouncetimeC : public QFrame
{
    Q_OBJECT

public:
    explicit DebouncetimeC(QWidget* parent = nullptr);
    ~DebouncetimeC() override;

    void SetIndex(int value);
    int Value() const;

public slots:
    void on_AddLevelA_clicked();
    void on_ReduceLevelA_clicked();

private:
    void Step(int delta);

    Ui::DebouncetimeC* ui;
    QString m_pictureFolder;
};
