#include "MyProgressBar.h"

MyProgressBar::MyProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 100);
    setTextVisible(true);
    m_fine.setInterval(FineIntervalMs);
    connect(&m_fine, &QTimer::timeout, this, &MyProgressBar::StepFine);
    connect(&m_coarse, &QTimer::timeout, this, &MyProgressBar::StepCoarse);
    Show(0.0);
}

double MyProgressBar::StageBoundary(int stage, int stages)
{
    if (stages <= 0)
        return 100.0;
    return 100.0 * qBound(0, stage, stages) / stages;
}

QString MyProgressBar::PercentText(double percent)
{
    return QStringLiteral("%1%").arg(percent, 0, 'f', 1);
}

void MyProgressBar::Start(int stages, int stageMs)
{
    m_stages = qMax(1, stages);
    m_stage = 0;
    m_target = 0.0;
    Show(0.0);
    m_coarse.setInterval(qMax(1, stageMs));
    m_coarse.start();
    m_fine.start();
}

void MyProgressBar::SetStage(int stage)
{
    m_stage = qBound(0, stage, m_stages);
    m_target = qMax(m_target, StageBoundary(m_stage, m_stages));
    if (!m_fine.isActive())
        m_fine.start();
}

void MyProgressBar::Finish()
{
    m_stage = m_stages;
    m_target = 100.0;
    m_coarse.stop();
    if (!m_fine.isActive())
        m_fine.start();
}

void MyProgressBar::Stop()
{
    m_fine.stop();
    m_coarse.stop();
}

void MyProgressBar::SetPercent(double percent)
{
    m_target = qBound(0.0, percent, 100.0);
    Show(m_target);
}

void MyProgressBar::StepCoarse()
{
    // The walk stops one stage short of the end: only Finish() says "done".
    if (m_stage + 1 < m_stages)
        SetStage(m_stage + 1);
    else
        m_coarse.stop();
}

void MyProgressBar::StepFine()
{
    // Eases towards the target: a twentieth of the way per tick, at least 0.1 %.
    if (m_percent < m_target)
        Show(qMin(m_target, m_percent + qMax(0.1, (m_target - m_percent) / 20.0)));
    if (m_percent >= m_target && !m_coarse.isActive())
        m_fine.stop();
}

void MyProgressBar::Show(double percent)
{
    m_percent = qBound(0.0, percent, 100.0);
    setValue(int(m_percent));
    setFormat(PercentText(m_percent));
}
