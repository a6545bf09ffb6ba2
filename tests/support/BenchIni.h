// The device bench's state file (bench.ini) as the tests read it: one key of
// one device. Header only, Qt Core only (the end-to-end test uses it too).
#pragma once

#include <QString>
#include <QStringList>

namespace testsupport {

// The value of key in the block of the device id in bench.ini's text; empty
// when the device or the key is not there.
inline QString BenchIniField(const QString& ini, const QString& id, const QString& key)
{
    bool inDevice = false;
    for (const QString& line : ini.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inDevice = false;
        if (line == QStringLiteral("id=") + id)
            inDevice = true;
        if (inDevice && line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return QString();
}

}  // namespace testsupport
