// The start of a test that drives a virtual X server with xdotool (its
// initTestCase):
//     if (const char* missing = testsupport::XdotoolMissing(&m_xdotool))
//         QSKIP(missing);
// Without xvfb-run the test runs offscreen and skips itself.
#pragma once

#include <QGuiApplication>
#include <QStandardPaths>
#include <QString>

namespace testsupport {

// Why the test cannot drive an X server with xdotool; nullptr when it can,
// and then *program is xdotool's path.
inline const char* XdotoolMissing(QString* program)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return "needs an X server (xvfb-run was not found)";
    *program = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    return program->isEmpty() ? "needs xdotool" : nullptr;
}

}  // namespace testsupport
