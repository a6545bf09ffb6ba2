#include "Resources.h"

#include <QDir>

// No qt.conf is compiled in: on Linux any qt.conf makes Qt look for its
// plugins beside the executable instead of where the system keeps them.
static void initAll()
{
    Q_INIT_RESOURCE(resources);
}

void InitResources()
{
    static bool done = false;
    if (!done) {
        initAll();
        done = true;
    }
}

QIcon ProgramIcon()
{
    InitResources();
    QIcon icon;
    const QDir folder(QStringLiteral(":/icons"));
    for (const QString& name : folder.entryList({QStringLiteral("logo-*.png")}, QDir::Files))
        icon.addFile(folder.filePath(name));
    return icon;
}
