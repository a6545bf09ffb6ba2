// A progress bar from 0 to 100 that shows its percentage with one decimal
// ("37.5%") and moves smoothly: the work is split into equal stages, a
// coarse timer walks the target from one stage boundary to the next, and a
// fine 5 ms timer eases the shown value towards the target (at least 0.1 %
// per tick).
// A report of real progress (SetStage, Finish) moves the target at once.
#pragma once

#include <QProgressBar>
#include <QTimer>

class MyProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    static constexpr int FineIntervalMs = 5;

    explicit MyProgressBar(QWidget* parent = nullptr);

    // Starts at 0 with stages equal stages; the target passes one boundary
    // every stageMs (not beyond the last one but the end: Finish reaches 100).
    void Start(int stages, int stageMs);
    // The target becomes the boundary of stage (0..stages).
    void SetStage(int stage);
    // The target becomes 100 %.
    void Finish();
    // Stops both timers; the shown value stays.
    void Stop();
    // Shows percent at once (0..100) without animation.
    void SetPercent(double percent);

    double Percent() const { return m_percent; }
    double Target() const { return m_target; }
    int Stages() const { return m_stages; }
    bool IsRunning() const { return m_fine.isActive(); }

    // Boundary of stage of stages, in percent.
    static double StageBoundary(int stage, int stages);
    // The text shown for percent: "%1%" with one decimal.
    static QString PercentText(double percent);

private:
    void StepFine();
    void StepCoarse();
    void Show(double percent);

    QTimer m_fine;
    QTimer m_coarse;
    int m_stages = 1;
    int m_stage = 0;
    double m_percent = 0.0;
    double m_target = 0.0;
};
