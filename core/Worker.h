// The device link: keeps the link with the selected device. One pass of the
// thread opens the library link and asks for the whole configuration (the
// answers arrive in OnProtocolData on the library's thread), or fills the
// pages from the cached image while the device is offline. A 1300 ms check
// timer watches an offline device and starts a new pass when one is due;
// OnUsbChanged follows the attached devices while the pages are shown.
#pragma once

#include "DeviceRecords.h"

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

class QTimer;

class Worker : public QThread
{
    Q_OBJECT

public:
    // Sets WorkerRun, restarts the re-read window, puts CurrentDevicePath
    // back to the placeholder "a", clears DeviceOnline, creates and starts
    // CheckTimer (1300 ms), connects the selection and page-change signals
    // and reads Option/ShowBatteryValue. Does not start the thread. The
    // first worker becomes WorkerThread.
    explicit Worker(QObject* parent = nullptr);
    // Stops and joins the thread (bounded, processing events) first.
    ~Worker() override;

    // Starts one pass (the caller sets WorkerRun first, as for start()).
    // A request while a pass still runs is not lost: the thread is started
    // again once the running pass has finished. Any thread may call it.
    void StartPass(QThread::Priority priority = QThread::InheritPriority);

    // Starts a pass that asks the device for its whole configuration again
    // even when nothing about the device changed (the factory reset uses it
    // so that the pages refill from what the device now holds). With the
    // link open to the same device the pass only asks again: it neither
    // reopens the link (answers on their way, such as the device's model
    // defaults report, are not lost) nor asks for the apply-and-wait dialog
    // (the caller waits for the refill itself). Sets WorkerRun. Any thread.
    void ReadDeviceAgain();

    // WorkerRun = 0: a pass that has not begun its work returns at once.
    void Stop();
    // Stop, drop a pending restart and wait up to timeoutMs for the thread
    // while the GUI thread keeps processing events (the pass may be waiting
    // for a page on the GUI thread). True when the thread has finished.
    bool StopAndWait(int timeoutMs = 5000);
    // For the owner of WorkerThread (button page, main window): stops and
    // joins it, deletes it once it has finished and clears WorkerThread.
    static void Shutdown(int timeoutMs = 5000);

    // Makes info the current device when it answers, then starts a pass.
    void SelectDevice(DeviceAllInfo info);
    // Identifies the device at path against the model table: 1 a model
    // matched, 2 the maker id is ours but the model is not listed, 3 another
    // maker, 0 the device gave no identity (or no model is configured).
    static int MatchDeviceConfig(DeviceAllInfo& dev, const QByteArray& path);
    // Appends the attached devices with these ids to FoundDevices.
    static void FindDevices(const QString& vid, const QStringList& pids);
    // USB-change callback for StartUsbChanged: hands the work to the GUI
    // thread with one queued call (HandleUsbChanged).
    static void OnUsbChanged();
    static void HandleUsbChanged();

    // Report callback of the link (library thread).
    static void OnProtocolData(unsigned char* header, int headerLength, unsigned char* data,
                               unsigned int dataLength);
    // The read requests that the last status-change report asks for.
    static void ReadChangedStatus();

    static void SetRunFlag();
    static void ClearRunFlag();
    static void Delay(int ms);

public slots:
    // Makes the record the current device: CurrentDeviceInfo, its HID path,
    // its cache file name; the image in memory no longer belongs to it.
    void SlotSelectMouseInfo(DeviceAllInfo info);
    // Back to the device list: the next pass reopens the link.
    void SlotMainPageChange();
    // The 1300 ms check.
    void SlotCheckOnline();

protected:
    void run() override;

private slots:
    void onPassFinished();

private:
    void startNow(QThread::Priority priority);

    QMutex m_startMutex;
    bool m_pending = false;
    bool m_stopping = false;
    QThread::Priority m_pendingPriority = QThread::InheritPriority;
    // Set when the pages were left: the next pass reopens the link whatever
    // the online state (also for a device that was and is offline).
    std::atomic<bool> m_reopen{false};
    // Set by ReadDeviceAgain: the next pass asks for the whole image again.
    std::atomic<bool> m_readAgain{false};
    // The device for which the last link was opened (worker thread only).
    QString m_lastPath;
    int m_lastType = 0;
};
