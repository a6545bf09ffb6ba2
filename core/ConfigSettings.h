// The model table "usersetting/Config.ini" beside the executable: colours in
// group Option and one group "Drive<N>" per device model. Read only.
// Values are addressed as "group/key"; device identity keys are stored as
// Base64 text and come back decoded. A file that breaks the file rules of
// PickedFile.h (no regular file, over StartupFileMaxBytes) counts as missing.
//
// The facts of a device model live here too, in one place: the name of its
// group (ModelGroup; never build "Drive" + N elsewhere) with its values
// (ModelValue, ModelValueList, ModelInt), and the one table of the receiver
// kinds (kind byte 0, 4, 1, 5 = 1, 2, 4, 8 kHz, firmware-name keys DM, D2M,
// D4M, D8M). A caller that may hold no receiver names its own fallback.
#pragma once

#include "ModelRecords.h"

#include <QMutex>
#include <QString>
#include <QStringList>

class QSettings;

class ConfigSettings
{
public:
    static ConfigSettings* GetInstance();

    // Text of group/key; the empty text when the key is missing.
    QString GetValue(const QString& group, const QString& key);
    // The comma-separated list of group/key, each element decoded by the same rule.
    QStringList GetValueList(const QString& group, const QString& key);
    // Convenience for the many numeric keys: decimal, 0 when it does not parse.
    int GetInt(const QString& group, const QString& key);

    // Written at once. Refused (logged) unless a regular file is in the
    // file's place and its lock files may be taken (MaySettingsStoreWrite):
    // QSettings would write through a link, or wait for ever on its lock.
    void SetValue(const QString& group, const QString& key, const QString& value);
    void RemoveValue(const QString& group, const QString& key);
    static QString DecodeBase64(const QString& text);

    // The keys whose stored text is Base64.
    static bool IsBase64Key(const QString& key);
    // Base64 -> UTF-8 text without line breaks, tabs and spaces.
    static QString DecodeValue(const QString& stored);

    // ---- model facts ------------------------------------------------------
    // The group of model index driveIndex (DeviceAllInfo::driveIndex):
    // "Drive" + (driveIndex + 1).
    static QString ModelGroup(int driveIndex);
    // A value of that group, read as GetValue, GetValueList and GetInt do.
    QString ModelValue(int driveIndex, const QString& key);
    QStringList ModelValueList(int driveIndex, const QString& key);
    int ModelInt(int driveIndex, const QString& key);

    // ---- counts -------------------------------------------------------------
    // A count in Config.ini decides loops and allocations, so every count is
    // read through these: clamped into 0..limit (text that does not parse
    // counts as 0), whatever the file says.
    int GetBoundedInt(const QString& group, const QString& key, int limit);
    int ModelBoundedInt(int driveIndex, const QString& key, int limit);
    // The most model groups the program looks at. A device is known by its
    // one-byte model id and the first group of an id wins, so more groups
    // could never be told apart.
    static constexpr int MaxModelGroups = 256;
    // [Option] DeviceTotal, 0..MaxModelGroups: the groups are Drive1 ..
    // Drive<ModelTotal()> and a driveIndex of ModelTotal() marks an
    // unmatched device.
    int ModelTotal();
    // DPIMaxGrade of the model, 0..8 (the image holds eight stage records).
    int ModelStageLimit(int driveIndex);
    // The typed record of every model (see ModelRecords.h), read once per
    // load of the file and read again after Reload, SetValue or RemoveValue.
    QVector<ModelRecord> ModelRecords();

    // Rate class (1, 2, 4, 8 kHz) of a receiver kind byte (0, 4, 1, 5);
    // notReceiver for any other byte (a mouse on its cable).
    static int RateClassOfType(int type, int notReceiver);
    // Key of the receiver's firmware name in its model group (DM, D2M, D4M,
    // D8M), by kind byte or by rate class; empty for anything else.
    static QString ReceiverFirmwareKey(int type);
    static QString ReceiverFirmwareKeyOfRate(int rateClass);

    QString FilePath() const { return m_path; }
    // Reopens the file (tests point the program at another folder).
    void Reload();

private:
    ConfigSettings();
    ~ConfigSettings();

    QMutex m_mutex;
    QString m_path;
    QSettings* m_settings = nullptr;
    bool m_decode = true;
    // The model records of the file as loaded (m_modelsLoaded); m_generation
    // counts the loads and changes, so that records read meanwhile are not kept.
    QVector<ModelRecord> m_models;
    bool m_modelsLoaded = false;
    quint64 m_generation = 0;
};
