// Thread hand-offs and the re-read throttle shared by the link thread, the
// report callback and the check timer. Internal to the device link.
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
