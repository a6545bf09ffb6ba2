#include "FileSpot.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

FileSpot SpotAt(const QString& path)
{
    if (path.isEmpty())
        return FileSpot::Other;
    // lstat, not stat: a link is judged as the link, so a dangling one is
    // seen too (QFileInfo::exists follows it and says nothing is there).
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return (errno == ENOENT || errno == ENOTDIR) ? FileSpot::Free : FileSpot::Other;
    return S_ISREG(st.st_mode) ? FileSpot::File : FileSpot::Other;
}

bool MayWriteFileAt(const QString& path)
{
    return SpotAt(path) != FileSpot::Other;
}
