// Shared pieces of the device list tests: an installed-data folder of the
// test's own (model table, the real language files and pictures, firmware
// images on demand), the bench put back to a known state, and running one
// search of the list to its end.
#pragma once

#include "LinkTestSupport.h"

#include "DialogChange.h"
#include "Globals.h"
#include "HIDUsb.h"
#include "mytoolButtonEnter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>

#include <functional>

namespace devlisttest {

using namespace linktest;

// Installed data for the tests: config text, and the language files and
// pictures of the build (linked, not copied).
inline void installAppDir(const QString& appDir, const QString& config)
{
    const QString dist = QCoreApplication::applicationDirPath();
    for (const char* folder : {"Language", "Picture"}) {
        const QString link = appDir + QLatin1Char('/') + QLatin1String(folder);
        if (!QFileInfo::exists(link))
            QVERIFY(QFile::link(dist + QLatin1Char('/') + QLatin1String(folder), link));
    }
    installConfig(appDir, config);
}

// No firmware images beside the "executable" (the folder removed); see
// addFirmware for some.
inline void removeFirmware(const QString& appDir)
{
    QDir(appDir + QStringLiteral("/bin")).removeRecursively();
}

// The default bench (an 8 kHz receiver with its mouse, a mouse of the
// second model on its cable), then the given tool commands, one per entry.
inline void resetBench(const QList<QStringList>& commands = {})
{
    bool ok = false;
    // "list" first: it writes the default bench when there is none, which
    // "init --force" cannot do by itself (it waits for its own lock then).
    bench({QStringLiteral("list")}, &ok);
    QVERIFY(ok);
    bench({QStringLiteral("init"), QStringLiteral("--force")}, &ok);
    QVERIFY(ok);
    for (const QStringList& command : commands) {
        bench(command, &ok);
        QVERIFY2(ok, qPrintable(command.join(QLatin1Char(' '))));
    }
}

// Makes device answer CID 0 / MID 0 to the next count identity queries of
// this process. The fault's serial number must be new to the library, which
// keeps its count per device and serial: "init --force" starts serials
// again from 0, so a plain "fault" command could repeat an old one.
inline QStringList silentFor(const QString& device, int count)
{
    static int serial = 1000;
    return {QStringLiteral("set"), device, QStringLiteral("silent_id=%1").arg(count),
            QStringLiteral("silent_id_serial=%1").arg(++serial)};
}

// Runs one search of the page to its end, as a USB change does.
inline bool search(DialogChange& page)
{
    const int before = page.SearchesRun();
    DialogChange::OnUsbChanged();
    return QTest::qWaitFor([&] { return page.SearchesRun() > before; });
}

// The paths of a device list, in order.
inline QStringList paths(const QList<DeviceAllInfo>& list)
{
    QStringList out;
    for (const DeviceAllInfo& d : list)
        out.append(d.path);
    return out;
}

inline QString benchPath(const QString& id)
{
    return QStringLiteral("hidbench/") + id;
}

// Waits (from the event loop) for the next modal dialog, runs check on it
// and closes it; check gets null when none came within timeoutMs.
inline void whileModal(const std::function<void(QWidget*)>& check, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, check, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && clock->elapsed() < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        check(modal);
        if (modal)
            modal->close();
    });
    timer->start();
}

// The object names, positions and parents of the device buttons.
struct ButtonPlace {
    QString name;
    QPoint pos;
    int page;
};
inline QList<ButtonPlace> buttonPlaces(DialogChange& page)
{
    QList<ButtonPlace> out;
    for (mytoolButtonEnter* b : page.DeviceButtons())
        out.append({b->objectName(), b->pos(), page.Pages()->indexOf(b->parentWidget())});
    return out;
}

}  // namespace devlisttest
