#include "PumpedWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

void PumpEventsFor(int ms)
{
    if (ms <= 0)
        return;
    QElapsedTimer clock;
    clock.start();
    if (QCoreApplication::instance()) {
        // Sleeps in the event loop until an event or the timer comes.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(ms);
        loop.exec();
    }
    // A loop does not run while the application is quitting (exec returns
    // at once), nor without an application: the rest of the wait processes
    // what is pending in short steps.
    while (clock.elapsed() < ms) {
        const int left = static_cast<int>(ms - clock.elapsed());
        QCoreApplication::processEvents(QEventLoop::AllEvents, qMin(100, qMax(1, left)));
        if (clock.elapsed() < ms)
            QThread::msleep(static_cast<unsigned long>(qMin(5, qMax(0, left))));
    }
}
