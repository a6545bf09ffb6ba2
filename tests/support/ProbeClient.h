// The test side of the observer that the end-to-end tests load into the
// program (tests/e2e/E2eProbe.cpp): the environment that loads it into a
// started program, and one question to it. Header only: the test links
// Qt5::Network itself.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <functional>

namespace testsupport {

// The program on the X server with the observer loaded from pluginRoot
// (the folder holding generic/), answering in probeDir.
inline QProcessEnvironment ProbeEnvironment(const QString& pluginRoot, const QString& probeDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    env.insert(QStringLiteral("QT_PLUGIN_PATH"), pluginRoot);
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("e2eprobe"));
    env.insert(QStringLiteral("DIZADI_E2E_PROBE_DIR"), probeDir);
    return env;
}

// The observer's answer to request (its "result"); empty when the program
// does not run or does not answer.
inline QJsonArray AskProbe(const QString& probeDir, const QProcess* process, const QString& request)
{
    if (!process || process->state() != QProcess::Running)
        return {};
    QLocalSocket socket;
    socket.connectToServer(probeDir + QStringLiteral("/probe-%1").arg(process->processId()));
    if (!socket.waitForConnected(2000))
        return {};
    socket.write(request.toUtf8() + '\n');
    socket.flush();
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(10000))
            return {};
    }
    return QJsonDocument::fromJson(socket.readLine()).object().value(QStringLiteral("result")).toArray();
}

// Polls condition (events pumped) until it holds or timeoutMs has passed.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(100);
    }
    return true;
}

}  // namespace testsupport
