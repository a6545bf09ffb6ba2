// Shared support of every Qt test (linked by dizadi_add_test): a warning of
// QObject::connect (a misspelt signal or slot, a type that cannot be
// queued, a null sender) or of Qt's style sheet parser (a sheet or a colour
// it cannot parse) fails the test function that caused it, instead of
// scrolling by in the log.
//
// QtTest installs a message handler of its own when a test run starts; the
// support keeps one handler of its own on top of whatever is installed (so
// QtTest still logs the message), and turns such a warning into a
// failure of the current test function. Outside a test function, or on a
// thread other than the GUI thread (where QtTest cannot record a failure),
// the run is ended with a message instead.
#pragma once

#include <QString>
#include <QtGlobal>

namespace testsupport {

// A warning of QObject::connect.
bool IsConnectWarning(QtMsgType type, const QString& message);
// A warning of the style sheet parser: "Could not parse stylesheet of
// object ...", "Could not parse application stylesheet" and the colour
// warnings "QCssParser::...".
bool IsStyleSheetWarning(QtMsgType type, const QString& message);
// True for the messages that fail a test: either kind above.
bool IsFailingWarning(QtMsgType type, const QString& message);

}  // namespace testsupport
