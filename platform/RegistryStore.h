// Values that a Windows program keeps in the registry, kept here in one INI
// file per key: "HKEY_CURRENT_USER\Software\A\B" lives in
// "<config folder>/Software/A/B.conf". Thread-safe; never writes anywhere
// but below the user's config folder. A file there that is no regular file
// or larger than 1 MiB counts as missing: reads give the fallback, writes
// are refused. A link to a regular file is read, but every write is refused
// (logged) unless a regular file or nothing is in the file's place.
#pragma once

#include <QString>
#include <QVariant>

class RegistryStore
{
public:
    explicit RegistryStore(const QString& keyPath);

    // False when the key path cannot be mapped (not below HKEY_CURRENT_USER,
    // or a level that would leave the config folder).
    bool isValid() const { return !m_file.isEmpty(); }
    QString filePath() const { return m_file; }

    QVariant value(const QString& name, const QVariant& fallback = QVariant()) const;
    bool contains(const QString& name) const;
    // False when the value could not be stored.
    [[nodiscard]] bool setValue(const QString& name, const QVariant& value);
    bool remove(const QString& name);

    // The file a key path maps to, or an empty text.
    static QString FileForKey(const QString& keyPath);

private:
    QString m_file;
};
