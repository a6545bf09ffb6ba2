// A recording layer over the device library for the shell's tests: the
// calls the windows make are counted here and passed on to the real
// simulated library (symbol interposition, the real one found with
// dlsym(RTLD_NEXT)). Include in exactly one test source.
#pragma once

#include "HIDUsb.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QString>

#include <dlfcn.h>

struct LibCall {
    QString name;
    long long argument = 0;
};

namespace recorder {
inline QMutex& mutex()
{
    static QMutex m;
    return m;
}
inline QList<LibCall>& calls()
{
    static QList<LibCall> list;
    return list;
}
inline void record(const char* name, long long argument = 0)
{
    QMutexLocker lock(&mutex());
    calls().append({QString::fromLatin1(name), argument});
}
inline void clear()
{
    QMutexLocker lock(&mutex());
    calls().clear();
}
inline QList<LibCall> snapshot()
{
    QMutexLocker lock(&mutex());
    return calls();
}
inline int count(const QString& name, long long argument = -1)
{
    int n = 0;
    for (const LibCall& call : snapshot()) {
        if (call.name == name && (argument == -1 || call.argument == argument))
            ++n;
    }
    return n;
}
// Index of the first call of name (and argument), -1 when none.
inline int indexOf(const QString& name, long long argument = -1)
{
    const QList<LibCall> list = snapshot();
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].name == name && (argument == -1 || list[i].argument == argument))
            return i;
    }
    return -1;
}
inline long long lastArgument(const QString& name)
{
    const QList<LibCall> list = snapshot();
    for (int i = list.size() - 1; i >= 0; --i) {
        if (list[i].name == name)
            return list[i].argument;
    }
    return 0;
}
template <typename F>
F real(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
}  // namespace recorder

extern "C" {
bool UsbServer_SetPCDriverStatus(int status)
{
    recorder::record("SetPCDriverStatus", status);
    return recorder::real<bool (*)(int)>("UsbServer_SetPCDriverStatus")(status);
}
void StartUsbChanged(UsbChangedCallback callback, int interval)
{
    recorder::record("StartUsbChanged", reinterpret_cast<long long>(callback));
    recorder::record("StartUsbChangedInterval", interval);
    recorder::real<void (*)(UsbChangedCallback, int)>("StartUsbChanged")(callback, interval);
}
void StopUsbChanged(void)
{
    recorder::record("StopUsbChanged");
    recorder::real<void (*)()>("StopUsbChanged")();
}
void UsbServer_Exit(void)
{
    recorder::record("UsbServer_Exit");
    recorder::real<void (*)()>("UsbServer_Exit")();
}
bool UsbServerC_Start(const char* path, const char* path2, ProtocolDataCallback callback)
{
    recorder::record("UsbServerC_Start", reinterpret_cast<long long>(callback));
    return recorder::real<bool (*)(const char*, const char*, ProtocolDataCallback)>("UsbServerC_Start")(path, path2,
                                                                                                      callback);
}
}
