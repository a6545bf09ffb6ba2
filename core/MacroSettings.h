// The per-user "Macro.ini": language index, autostart switch, notice switch.
// A file that breaks the file rules of PickedFile.h (no regular file, over
// StartupFileMaxBytes) counts as missing, and changes are then not kept.
// A link to a regular file is read, but never written through: a change is
// refused (logged) unless a regular file or nothing is in the file's place.
#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

class QSettings;

class MacroSettings
{
public:
    static MacroSettings* GetInstance();

    QString GetValue(const QString& group, const QString& key);
    void SetValue(const QString& group, const QString& key, const QString& value);
    void RemoveValue(const QString& group, const QString& key);
    QStringList GetValueList(const QString& group, const QString& key);

    QString FilePath() const { return m_path; }
    // Reopens the file (tests change HOME between cases).
    void Reload();

private:
    MacroSettings();
    ~MacroSettings();

    QMutex m_mutex;
    QString m_path;
    QSettings* m_settings = nullptr;
};

// The language index stored in Macro.ini (0 when missing or not a number).
int StoredLanguageIndex();
