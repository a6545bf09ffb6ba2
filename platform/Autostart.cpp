#include "Autostart.h"

#include "FileSpot.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Autostart {

namespace {

QString safeName(const QString& name)
{
    QString out = name;
    out.remove(QLatin1Char('/')).remove(QChar(0));
    if (out.isEmpty() || out == QLatin1String(".") || out == QLatin1String(".."))
        out = QStringLiteral("application");
    return out;
}

// One argument of an Exec line, quoted as desktop entries want it.
QString execArgument(const QString& argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');  // a field code otherwise
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Text of a value of a desktop entry: one line.
QString entryValue(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return out;
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

}  // namespace

QString EntryPath(const QString& name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart/")
           + safeName(name) + QStringLiteral(".desktop");
}

QByteArray EntryText(const Program& program)
{
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=") + entryValue(program.title);
    if (!program.icon.isEmpty())
        text += QStringLiteral("\nIcon=") + entryValue(program.icon);
    text += QStringLiteral("\nExec=") + entryValue(execArgument(program.command))
            + QStringLiteral("\nTerminal=false\nX-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool Enable(const QString& name, const Program& program, QString* error)
{
    return WriteWholeFile(EntryPath(name), EntryText(program), "autostart entry", FileFolder::Make, error);
}

bool Disable(const QString& name, QString* error)
{
    const QString path = EntryPath(name);
    QFile file(path);
    if (!file.exists() && !QFileInfo(path).isSymLink())
        return true;
    if (file.remove())
        return true;
    setError(error, file.errorString());
    return false;
}

}  // namespace Autostart
