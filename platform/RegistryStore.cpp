#include "RegistryStore.h"

#include "FileRead.h"
#include "FileSpot.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QStandardPaths>

namespace {
QMutex& registryMutex()
{
    static QMutex mutex;
    return mutex;
}

// Value names become INI keys: keep them flat so that "a/b" is one name.
QString iniName(const QString& name)
{
    QString flat = name;
    flat.replace(QLatin1Char('/'), QLatin1Char('_'));
    flat.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QStringLiteral("Values/") + flat;
}

// QSettings opens the store's file by name and reads it whole, so it is
// looked at first, by the rule of every file the program reads at start:
// only nothing at all or a regular file within the cap is handed to
// QSettings. Anything else (a FIFO that would block, a device that never
// ends, a huge file) counts as missing and is never written over.
bool storeFileUsable(const QString& file)
{
    return MayOpenByName(file, StartupFileMaxBytes);
}

// Reading follows a link to a regular file; writing never does: QSettings
// writes a new file and renames it over the link's target (a device node
// included), and waits for ever on a lock file it cannot take. Checked
// before each write, with the store's lock held.
bool mayWrite(const QString& file)
{
    return MaySettingsStoreWrite(file, "registry store");
}
}  // namespace

QString RegistryStore::FileForKey(const QString& keyPath)
{
    const QString root = QStringLiteral("HKEY_CURRENT_USER\\");
    if (!keyPath.startsWith(root, Qt::CaseInsensitive))
        return QString();
    const QStringList levels = keyPath.mid(root.size()).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (levels.isEmpty())
        return QString();
    for (const QString& level : levels) {
        if (level == QLatin1String(".") || level == QLatin1String("..") || level.contains(QLatin1Char('/'))
            || level.contains(QChar(0)))
            return QString();
    }
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return QString();
    return base + QLatin1Char('/') + levels.join(QLatin1Char('/')) + QStringLiteral(".conf");
}

RegistryStore::RegistryStore(const QString& keyPath) : m_file(FileForKey(keyPath)) {}

QVariant RegistryStore::value(const QString& name, const QVariant& fallback) const
{
    if (!isValid() || !storeFileUsable(m_file))
        return fallback;
    QMutexLocker lock(&registryMutex());
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(iniName(name), fallback);
}

bool RegistryStore::contains(const QString& name) const
{
    if (!isValid() || !storeFileUsable(m_file))
        return false;
    QMutexLocker lock(&registryMutex());
    QSettings settings(m_file, QSettings::IniFormat);
    return settings.contains(iniName(name));
}

bool RegistryStore::setValue(const QString& name, const QVariant& value)
{
    if (!isValid() || !storeFileUsable(m_file))
        return false;
    QMutexLocker lock(&registryMutex());
    if (!mayWrite(m_file))
        return false;
    if (!QDir().mkpath(QFileInfo(m_file).absolutePath()))
        return false;
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.setValue(iniName(name), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool RegistryStore::remove(const QString& name)
{
    if (!isValid())
        return false;
    QMutexLocker lock(&registryMutex());
    if (!QFileInfo::exists(m_file))
        return true;
    if (!storeFileUsable(m_file) || !mayWrite(m_file))
        return false;
    QSettings settings(m_file, QSettings::IniFormat);
    settings.remove(iniName(name));
    settings.sync();
    return settings.status() == QSettings::NoError;
}
