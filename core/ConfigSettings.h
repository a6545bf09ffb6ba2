// The model table "usersetting/Config.ini" beside the executable: colours in
// group Option and one group "Drive<N>" per device model. Read only.
// Values are addressed as "group/key"; device identity keys are stored as
// Base64 text and come back decoded.
#pragma once

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

    void SetValue(const QString& group, const QString& key, const QString& value);
    void RemoveValue(const QString& group, const QString& key);
    static QString DecodeBase64(const QString& text);

    // The keys whose stored text is Base64.
    static bool IsBase64Key(const QString& key);
    // Base64 -> UTF-8 text without line breaks, tabs and spaces.
    static QString DecodeValue(const QString& stored);

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
};
