#include "Installation.h"

#include "Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString InstalledCommand(const QString& executable)
{
    const QFileInfo program(executable);
    const QFileInfo folder(program.absolutePath());  // <prefix>/lib/<folder>
    const QFileInfo lib(folder.absolutePath());      // <prefix>/lib
    if (lib.fileName() != QLatin1String("lib") || folder.fileName().isEmpty())
        return QString();
    const QString command = QDir::cleanPath(lib.absolutePath() + QStringLiteral("/bin/") + folder.fileName());
    const QString resolved = QFileInfo(command).canonicalFilePath();
    if (resolved.isEmpty() || resolved != program.canonicalFilePath())
        return QString();
    return command;
}

Autostart::Program AutostartProgram()
{
    const QString executable = QCoreApplication::applicationFilePath();
    const QString command = InstalledCommand(executable);
    if (command.isEmpty())
        return {AppName, executable, AppDir() + QStringLiteral("/Picture/Dialog/Logo.png")};
    return {AppName, command, DesktopId};
}
