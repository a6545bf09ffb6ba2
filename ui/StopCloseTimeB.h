// A sleep-time panel with a slider of eleven positions (10 s .. 40 min) and a
// read-only box that shows the time as 10 or 30 with a seconds suffix or 1,
// 5, 10 .. 40 with a minutes suffix. Moving the slider writes the time like
// StopCloseTime does. Part of the widget set; no window creates it.
#pragma once

#include <QFrame>

namespace Ui {
class StopCloseTimeB;
}

class StopCloseTimeB : public QFrame
{
    Q_OBJECT

public:
    explicit StopCloseTimeB(QWidget* parent = nullptr);
    ~StopCloseTimeB() override;

    // The suffixes are what follows the number in the entry texts handed in
    // (e.g. "10秒" and "1分钟", or "10 s" and "1 min").
    void SetSuffixTexts(const QString& secondsEntry, const QString& minutesEntry);
    // Shows entry index (0..10) without writing.
    void SetIndex(int index);
    QString ShownText() const;

public slots:
    void on_StopClose_valueChanged(int position);

private:
    void ShowPosition(int position);

    Ui::StopCloseTimeB* ui;
    QString m_pictureFolder;
    QString m_secondsSuffix;
    QString m_minutesSuffix;
};
