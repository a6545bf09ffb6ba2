#include "UserFolders.h"

#include "Logging.h"
#include "SafeFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

QStringList UserFolderNames()
{
    return {QStringLiteral("/Log"),
            QStringLiteral("/Device_Info"),
            QStringLiteral("/Exception"),
            QStringLiteral("/usersetting"),
            QStringLiteral("/usersetting/MainPage"),
            QStringLiteral("/usersetting/MacroPage"),
            QStringLiteral("/usersetting/SensorPage")};
}

void PrepareUserFolders(const QString& root)
{
    QDir dir;
    for (const QString& name : UserFolderNames()) {
        if (!dir.exists(root + name))
            dir.mkpath(root + name);
    }
    // An empty settings file where none is. Anything but a regular file is
    // left and logged: a dangling link's target is not made.
    const QString macroIni = root + QStringLiteral("/Macro.ini");
    if (SpotAt(macroIni) != FileSpot::File)
        (void)WriteWholeFile(macroIni, QByteArray(), "user settings file");  // a refusal is logged there
}

bool UserFolderWritable(const QString& root)
{
    QStringList folders{root};
    for (const QString& name : UserFolderNames())
        folders.append(root + name);
    for (const QString& folder : folders) {
        // A hidden name: the pruning never sees it, and it is gone at once.
        QTemporaryFile probe(folder + QStringLiteral("/.write-test-XXXXXX"));
        if (!probe.open()) {
            qCWarning(lcFiles) << "the user folder cannot be written:" << folder << probe.errorString();
            return false;
        }
    }
    return true;
}

void PruneOldFiles(const QString& folder)
{
    PruneOldFiles(folder, QDateTime::currentDateTime());
}

void PruneOldFiles(const QString& folder, const QDateTime& now)
{
    // One listing, taken before anything is removed; hidden entries are
    // not listed and so never removed.
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const qint64 nowSecs = now.toSecsSinceEpoch();
    for (const QFileInfo& entry : entries) {
        if (entry.isDir())
            continue;
        const qint64 age = nowSecs - entry.lastModified().toSecsSinceEpoch();
        if (age < 0)
            continue;  // dated in the future
        if (age / 86400 > 7)
            QFile::remove(entry.absoluteFilePath());
    }
}
