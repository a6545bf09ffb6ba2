#include "Logging.h"

Q_LOGGING_CATEGORY(lcLink, "dizadi.link", QtInfoMsg)
Q_LOGGING_CATEGORY(lcLibrary, "dizadi.library", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPages, "dizadi.pages", QtInfoMsg)
