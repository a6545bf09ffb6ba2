// A debounce panel with a slider (1..20 ms) and a read-only value box; moving
// the slider shows the value and, while PageMaySend(Page::Buttons), writes it
// with SetDebounceTime (a refused write shows the stored value again).
// SetIndex shows a value without writing. Part of the widget set; no window
// creates it.
#pragma once

#include <QFrame>

namespace Ui {
class DebouncetimeB;
}

class DebouncetimeB : public QFrame
{
    Q_OBJECT

public:
    explicit DebouncetimeB(QWidget* parent = nullptr);
    ~DebouncetimeB() override;

    void SetIndex(int value);
    void SetSuffix(const QString& suffix);
    int Value() const;

public slots:
    void on_Debunce_valueChanged(int value);
    void on_spinBoxA_valueChanged(int value);

private:
    Ui::DebouncetimeB* ui;
    QString m_pictureFolder;
};
