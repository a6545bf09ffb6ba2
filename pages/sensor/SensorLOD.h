// The lift-off panels: the distance the sensor stops tracking at, image
// byte 5 (1 = 1 mm, 2 = 2 mm, 3 = 0.7 mm). SensorLOD offers it in a combo
// box ("1mm", "2mm", and "0.7mm" first after AddLOD07), SensorLODB as a row
// of exclusive check boxes. No window places them; texts are the forms'
// unless the host sets them.
//
// A choice by the user writes its code (SetLOD) while UiReady is set and the
// sensor page is not being filled; a refused write (offline: the writer
// asks for the notice) shows the stored code again. Only the codes 1, 2 and
// 3 are ever sent.
#pragma once

#include <QFrame>

class QButtonGroup;

namespace Ui {
class SensorLOD;
class SensorLODB;
}  // namespace Ui

class SensorLOD : public QFrame
{
    Q_OBJECT

public:
    explicit SensorLOD(QWidget* parent = nullptr);
    ~SensorLOD() override;

    // "0.7mm" in front of two items; nothing otherwise. Neither sends.
    void AddLOD07();
    // Removes "0.7mm" from three items; nothing otherwise.
    void RemoveLOD07();
    // Selects the item of code v + 1; an index without an item changes
    // nothing. A changed index sends as a user choice does (guarded).
    void SetIndex(int v);
    void SetLabelText(const QString& text);
    void SetLabelToolTip(const QString& text);
    Ui::SensorLOD* Form() const { return ui; }

public slots:
    void on_LOD_currentIndexChanged(int index);

private:
    Ui::SensorLOD* ui;
    QString picturePath;
};

class SensorLODB : public QFrame
{
    Q_OBJECT

public:
    explicit SensorLODB(QWidget* parent = nullptr);
    ~SensorLODB() override;

    // Shows "0mm" (0.7 mm) first in the row; HideLOD07 closes the gap.
    void ShowLOD07();
    void HideLOD07();
    // Enables or disables the 1 mm and 2 mm boxes (not the 0.7 mm one).
    void SetButtonsEnabled(bool on);
    void SetLabelText(const QString& text);
    void SetLabelToolTip(const QString& text);
    Ui::SensorLODB* Form() const { return ui; }

public slots:
    void on_MM0_clicked(bool checked);
    void on_MM1_clicked(bool checked);
    void on_MM2_clicked(bool checked);

private:
    void BoxClicked(int box);

    Ui::SensorLODB* ui;
    QString picturePath;
    QButtonGroup* buttonGroup = nullptr;
};
