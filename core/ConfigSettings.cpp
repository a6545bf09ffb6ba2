#include "ConfigSettings.h"

#include "DeviceImage.h"
#include "Globals.h"
#include "PickedFile.h"
#include "SafeFileName.h"

#include <QByteArray>
#include <QMutexLocker>
#include <QSettings>

namespace {
QMutex ConfigSettingsMutex;
ConfigSettings* configInstance = nullptr;

const char* const base64Keys[] = {"MM", "DM", "D2M", "D4M", "D8M", "Sensor", "CID", "VID",
                                  "USB_PID", "Wireless_PID", "Wireless2_PID", "Wireless4_PID",
                                  "Wireless8_PID"};

// The receiver kinds, one row each: kind byte, rate class, firmware-name key.
struct ReceiverKind {
    int type;
    int rateClass;
    const char* firmwareKey;
};
constexpr ReceiverKind receiverKinds[] = {{0, 1, "DM"}, {4, 2, "D2M"}, {1, 4, "D4M"}, {5, 8, "D8M"}};

const ReceiverKind* kindOfType(int type)
{
    for (const ReceiverKind& kind : receiverKinds) {
        if (kind.type == type)
            return &kind;
    }
    return nullptr;
}
}  // namespace

ConfigSettings* ConfigSettings::GetInstance()
{
    QMutexLocker lock(&ConfigSettingsMutex);
    if (!configInstance)
        configInstance = new ConfigSettings;
    return configInstance;
}

ConfigSettings::ConfigSettings()
{
    Reload();
}

ConfigSettings::~ConfigSettings()
{
    delete m_settings;
}

void ConfigSettings::Reload()
{
    QMutexLocker lock(&m_mutex);
    delete m_settings;
    m_settings = nullptr;
    m_modelsLoaded = false;
    ++m_generation;
    m_path = AppDir() + QStringLiteral("/usersetting/Config.ini");
    // A file that breaks the file rules counts as missing: every key reads
    // empty and nothing is written to it.
    if (!MayOpenByName(m_path, StartupFileMaxBytes))
        return;
    m_settings = new QSettings(m_path, QSettings::IniFormat);
    m_settings->setIniCodec("UTF8");
}

bool ConfigSettings::IsBase64Key(const QString& key)
{
    for (const char* k : base64Keys) {
        if (key == QLatin1String(k))
            return true;
    }
    return false;
}

QString ConfigSettings::DecodeValue(const QString& stored)
{
    QString text = QString::fromUtf8(QByteArray::fromBase64(stored.toUtf8()));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\t'));
    text.remove(QLatin1Char(' '));
    return text;
}

QString ConfigSettings::GetValue(const QString& group, const QString& key)
{
    QMutexLocker lock(&m_mutex);
    if (!m_settings)
        return QString();
    m_settings->setIniCodec("UTF8");
    const QVariant value = m_settings->value(group + QLatin1Char('/') + key);
    // A stored value with commas comes back as a list; keep it as written.
    const QString text = value.type() == QVariant::StringList ? value.toStringList().join(QLatin1Char(','))
                                                              : value.toString();
    if (m_decode && IsBase64Key(key))
        return DecodeValue(text);
    return text;
}

QStringList ConfigSettings::GetValueList(const QString& group, const QString& key)
{
    QMutexLocker lock(&m_mutex);
    if (!m_settings)
        return QStringList();
    m_settings->setIniCodec("UTF8");
    QStringList list = m_settings->value(group + QLatin1Char('/') + key).toStringList();
    if (m_decode && IsBase64Key(key)) {
        for (QString& item : list)
            item = DecodeValue(item);
    }
    return list;
}

int ConfigSettings::GetInt(const QString& group, const QString& key)
{
    bool ok = false;
    const int value = GetValue(group, key).trimmed().toInt(&ok);
    return ok ? value : 0;
}

void ConfigSettings::SetValue(const QString& group, const QString& key, const QString& value)
{
    QMutexLocker lock(&m_mutex);
    if (!m_settings || !MaySettingsStoreWrite(m_path, "model table"))
        return;
    m_settings->setIniCodec("UTF8");
    m_settings->setValue(group + QLatin1Char('/') + key, value);
    m_settings->sync();  // now, while the check holds, not at some later event
    m_modelsLoaded = false;
    ++m_generation;
}

void ConfigSettings::RemoveValue(const QString& group, const QString& key)
{
    QMutexLocker lock(&m_mutex);
    if (!m_settings || !MaySettingsStoreWrite(m_path, "model table"))
        return;
    m_settings->remove(group + QLatin1Char('/') + key);
    m_settings->sync();
    m_modelsLoaded = false;
    ++m_generation;
}

QString ConfigSettings::DecodeBase64(const QString& text)
{
    return QString::fromLocal8Bit(QByteArray::fromBase64(text.toLocal8Bit()));
}

QString ConfigSettings::ModelGroup(int driveIndex)
{
    return QStringLiteral("Drive") + QString::number(driveIndex + 1);
}

QString ConfigSettings::ModelValue(int driveIndex, const QString& key)
{
    return GetValue(ModelGroup(driveIndex), key);
}

QStringList ConfigSettings::ModelValueList(int driveIndex, const QString& key)
{
    return GetValueList(ModelGroup(driveIndex), key);
}

int ConfigSettings::ModelInt(int driveIndex, const QString& key)
{
    return GetInt(ModelGroup(driveIndex), key);
}

int ConfigSettings::GetBoundedInt(const QString& group, const QString& key, int limit)
{
    return qBound(0, GetInt(group, key), qMax(0, limit));
}

int ConfigSettings::ModelBoundedInt(int driveIndex, const QString& key, int limit)
{
    return GetBoundedInt(ModelGroup(driveIndex), key, limit);
}

int ConfigSettings::ModelTotal()
{
    return GetBoundedInt(QStringLiteral("Option"), QStringLiteral("DeviceTotal"), MaxModelGroups);
}

int ConfigSettings::ModelStageLimit(int driveIndex)
{
    return ModelBoundedInt(driveIndex, QStringLiteral("DPIMaxGrade"), DpiStageCount);
}

QVector<ModelRecord> ConfigSettings::ModelRecords()
{
    quint64 generation = 0;
    {
        QMutexLocker lock(&m_mutex);
        if (m_modelsLoaded)
            return m_models;
        generation = m_generation;
    }
    // Read without the lock (every value takes it); kept only when the file
    // did not change meanwhile.
    QVector<ModelRecord> models;
    const QString cidText = GetValue(QStringLiteral("Option"), QStringLiteral("CID"));
    const int cid = GetInt(QStringLiteral("Option"), QStringLiteral("CID"));
    const int total = ModelTotal();
    for (int index = 0; index < total; ++index) {
        ModelRecord model;
        model.driveIndex = index;
        model.cid = cid;
        model.cidText = cidText;
        model.midText = ModelValue(index, QStringLiteral("MID"));
        model.mid = ModelInt(index, QStringLiteral("MID"));
        model.stageLimit = ModelStageLimit(index);
        model.mouseFirmware = ModelValue(index, QStringLiteral("MM"));
        for (const ReceiverKind& kind : receiverKinds)
            model.receiverFirmware.append({kind.type, ModelValue(index, QString::fromLatin1(kind.firmwareKey))});
        models.append(model);
    }
    QMutexLocker lock(&m_mutex);
    if (generation == m_generation) {
        m_models = models;
        m_modelsLoaded = true;
    }
    return models;
}

int ConfigSettings::RateClassOfType(int type, int notReceiver)
{
    const ReceiverKind* kind = kindOfType(type);
    return kind ? kind->rateClass : notReceiver;
}

QString ConfigSettings::ReceiverFirmwareKey(int type)
{
    const ReceiverKind* kind = kindOfType(type);
    return kind ? QString::fromLatin1(kind->firmwareKey) : QString();
}

QString ConfigSettings::ReceiverFirmwareKeyOfRate(int rateClass)
{
    for (const ReceiverKind& kind : receiverKinds) {
        if (kind.rateClass == rateClass)
            return QString::fromLatin1(kind.firmwareKey);
    }
    return QString();
}
