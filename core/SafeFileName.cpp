#include "SafeFileName.h"

bool IsSafeFileName(const QString& name)
{
    // A leading "." also covers "." and "..", and hides nothing by accident.
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() == 0)
            return false;
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QString SafeFilePath(const QString& folder, const QString& name, const QString& suffix)
{
    if (!IsSafeFileName(name) || !IsSafeFileName(name + suffix))
        return QString();
    constexpr int FileNameMax = 255;
    if ((name + suffix).toUtf8().size() > FileNameMax)
        return QString();
    return folder + QLatin1Char('/') + name + suffix;
}
