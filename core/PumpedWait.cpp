#include "PumpedWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

void PumpEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        const int left = static_cast<int>(ms - clock.elapsed());
        QCoreApplication::processEvents(QEventLoop::AllEvents, qMin(100, qMax(1, left)));
        // processEvents returns at once when nothing is pending.
        if (clock.elapsed() < ms)
            QThread::msleep(static_cast<unsigned long>(qMin(5, qMax(0, left))));
    }
}
