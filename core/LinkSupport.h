// Thread hand-offs and the re-read throttle shared by the link thread, the
// report callback and the check timer. The two hand-offs to the GUI thread
// are the program's only ones: every module hands work over through them.
// The throttle is internal to the device link.
#pragma once

#include "DeviceRecords.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <utility>

// Runs fn on the GUI thread and waits for it; at once when already there or
// when no application object exists. The globals that the GUI thread owns
// (the current device record and the texts beside it) are only touched
// through here from other threads.
template <typename F>
void RunOnGuiThread(F&& fn)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::forward<F>(fn), Qt::BlockingQueuedConnection);
}

// Hands fn to the GUI thread to run later from its event loop, never inside
// this call, also when called on the GUI thread (a queued call). Without an
// application object no event loop would ever run it: it runs at once.
template <typename F>
void RunOnGuiThreadLater(F&& fn)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::forward<F>(fn), Qt::QueuedConnection);
}

// The same for work that belongs to context, an object of the GUI thread:
// nothing runs when context is gone by then. The caller keeps context alive
// during this call (another thread holds a lock around it, for instance).
template <typename F>
void RunOnGuiThreadLater(QObject* context, F&& fn)
{
    Q_ASSERT(context && QCoreApplication::instance()
             && context->thread() == QCoreApplication::instance()->thread());
    QMetaObject::invokeMethod(context, std::forward<F>(fn), Qt::QueuedConnection);
}

// A copy of CurrentDeviceInfo taken on the GUI thread.
DeviceAllInfo CurrentDeviceSnapshot();

// Full re-read requests of status-change reports: at most one honoured per
// 3000 ms window. A request inside the window is remembered and honoured by
// HonourDeferredReread once the window has passed. Honouring sets ReadAgain
// and ReloadPending.
void RequestFullReread();
void HonourDeferredReread();
// Restarts the window (the link's construction does).
void RestartReadThrottle();
