#include "MacroSettings.h"

#include "Globals.h"
#include "PickedFile.h"
#include "SafeFileName.h"

#include <QMutexLocker>
#include <QSettings>

namespace {
QMutex MacroSettingsMutex;
MacroSettings* macroInstance = nullptr;

// Each change is written at once, and only where the stores' check lets
// it: QSettings would rename its new file over a link's target, and wait
// for ever on a lock file it cannot take. A refused change is logged and
// not made, in the file or in memory.
bool mayWrite(const QString& path)
{
    return MaySettingsStoreWrite(path, "user settings file (Macro.ini)");
}
}  // namespace

MacroSettings* MacroSettings::GetInstance()
{
    QMutexLocker lock(&MacroSettingsMutex);
    if (!macroInstance)
        macroInstance = new MacroSettings;
    return macroInstance;
}

MacroSettings::MacroSettings()
{
    Reload();
}

MacroSettings::~MacroSettings()
{
    delete m_settings;
}

void MacroSettings::Reload()
{
    QMutexLocker lock(&m_mutex);
    delete m_settings;
    m_settings = nullptr;
    m_path = UserDir() + QStringLiteral("/Macro.ini");
    // A file that breaks the file rules counts as missing: every key reads
    // empty, and changes are not kept rather than written through it.
    if (!MayOpenByName(m_path, StartupFileMaxBytes))
        return;
    m_settings = new QSettings(m_path, QSettings::IniFormat);
    m_settings->setIniCodec("UTF-8");
}

QString MacroSettings::GetValue(const QString& group, const QString& key)
{
    QMutexLocker lock(&m_mutex);
    if (!m_settings)
        return QString();
    m_settings->setIniCodec("UTF-8");
    return m_settings->value(group + QLatin1Char('/') + key).toString();
}

void MacroSettings::SetValue(const QString& group, const QString& key, const QString& value)
{
    QMutexLocker lock(&m_mutex);
    if (!mayWrite(m_path) || !m_settings)
        return;
    m_settings->setIniCodec("UTF-8");
    m_settings->setValue(group + QLatin1Char('/') + key, value);
    m_settings->sync();
}

void MacroSettings::RemoveValue(const QString& group, const QString& key)
{
    QMutexLocker lock(&m_mutex);
    if (!mayWrite(m_path) || !m_settings)
        return;
    m_settings->remove(group + QLatin1Char('/') + key);
    m_settings->sync();
}

QStringList MacroSettings::GetValueList(const QString& group, const QString& key)
{
    QMutexLocker lock(&m_mutex);
    if (!m_settings)
        return QStringList();
    m_settings->setIniCodec("UTF-8");
    return m_settings->value(group + QLatin1Char('/') + key).toStringList();
}

int StoredLanguageIndex()
{
    bool ok = false;
    const int index = MacroSettings::GetInstance()->GetValue(QStringLiteral("Language"), QStringLiteral("Language")).toInt(&ok);
    return ok ? index : 0;
}
