#include "FailOnConnectWarning.h"

#include <QCoreApplication>
#include <QThread>
#include <QtTest>

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

using Installer = QtMessageHandler (*)(QtMessageHandler);

// Qt's own qInstallMessageHandler (the one this file stands in front of).
QtMessageHandler installInQt(QtMessageHandler handler)
{
    static const auto real = reinterpret_cast<Installer>(
        dlsym(RTLD_NEXT, "_Z22qInstallMessageHandlerPFv9QtMsgTypeRK18QMessageLogContextRK7QStringE"));
    if (!real) {
        std::fprintf(stderr, "test support: Qt's qInstallMessageHandler not found\n");
        std::abort();
    }
    return real(handler);
}

// The handler the program or QtTest installed last; null: Qt's default.
std::atomic<QtMessageHandler> below{nullptr};

void failingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (QtMessageHandler next = below.load())
        next(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    if (!testsupport::IsFailingWarning(type, message))
        return;
    const char* kind = testsupport::IsConnectWarning(type, message) ? "connect warning" : "style sheet warning";
    QCoreApplication* app = QCoreApplication::instance();
    if (QTest::currentTestFunction() && app && QThread::currentThread() == app->thread()) {
        QTest::qFail(qPrintable(QLatin1String(kind) + QStringLiteral(": ") + message),
                     context.file ? context.file : "unknown file", context.line);
        return;
    }
    std::fprintf(stderr, "FAIL: %s outside a test function or off the GUI thread: %s\n", kind,
                 qPrintable(message));
    std::fflush(stderr);
    std::_Exit(1);
}

void installOnTop()
{
    below = installInQt(failingHandler);
}

}  // namespace

Q_CONSTRUCTOR_FUNCTION(installOnTop)

// Every later installation (QtTest's at the start of a run, a test's own)
// goes below the failing handler, which stays the one Qt calls.
QtMessageHandler qInstallMessageHandler(QtMessageHandler handler)
{
    installInQt(failingHandler);
    return below.exchange(handler);
}

namespace testsupport {

bool IsConnectWarning(QtMsgType type, const QString& message)
{
    return type == QtWarningMsg && message.startsWith(QLatin1String("QObject::connect"));
}

bool IsStyleSheetWarning(QtMsgType type, const QString& message)
{
    return type == QtWarningMsg
           && (message.startsWith(QLatin1String("Could not parse stylesheet of object"))
               || message.startsWith(QLatin1String("Could not parse application stylesheet"))
               || message.startsWith(QLatin1String("QCssParser::")));
}

bool IsFailingWarning(QtMsgType type, const QString& message)
{
    return IsConnectWarning(type, message) || IsStyleSheetWarning(type, message);
}

}  // namespace testsupport
