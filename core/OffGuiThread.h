// Work that must not run on the GUI thread (a read that may block, the
// device library's image calls over several files), handed back to a window
// when it is done.
#pragma once

#include "LinkSupport.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

// Runs work() on a thread of the global pool and hands its result to
// done(result) on the GUI thread; nothing when context is gone by then. The
// global pool is waited for when the application object goes.
template <typename Work, typename Done>
void RunOffGuiThread(QObject* context, Work work, Done done)
{
    QPointer<QObject> guard(context);
    QThreadPool::globalInstance()->start([guard, work, done] {
        auto result = work();
        // The application is going: nobody is left to hand the result to.
        if (!QCoreApplication::instance())
            return;
        // Handed over without the context, which may go meanwhile; the guard
        // is read on the GUI thread.
        RunOnGuiThreadLater([guard, done, result] {
            if (guard)
                done(result);
        });
    });
}
