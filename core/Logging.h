// The program's logging categories, one per module. Warnings (every failure
// a user could ask about) are on by default; the debug level is off until
// asked for, e.g. QT_LOGGING_RULES="dizadi.*.debug=true".
#pragma once

#include "FileSpot.h"  // lcFiles ("dizadi.files"): files the program writes and reads

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLink)     // "dizadi.link": the device link and the writers
Q_DECLARE_LOGGING_CATEGORY(lcLibrary)  // "dizadi.library": answers of the device library
Q_DECLARE_LOGGING_CATEGORY(lcPages)    // "dizadi.pages": windows and pages
