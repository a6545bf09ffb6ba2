// Starting the program with the user's session: the XDG autostart entry
// "<config folder>/autostart/<application name>.desktop" stands for the
// Windows Run value. Writing the value writes the entry (atomically: a
// failed write leaves the old entry), removing it removes the entry.
#pragma once

#include <QByteArray>
#include <QString>

namespace Autostart {

// "$XDG_CONFIG_HOME/autostart/<name>.desktop" (name: the application name,
// with "/" and NUL left out so it stays one file in that folder).
QString EntryPath(const QString& name);

// What the entry starts and how the session's autostart list shows it.
struct Program {
    QString title;    // Name=
    QString command;  // Exec=, one argument: the executable or command to start
    QString icon;     // Icon=, a theme icon name or a picture's path; none when empty
};

// The entry's text: a desktop entry of type Application that runs program.
QByteArray EntryText(const Program& program);

// Writes the entry; false (error says why) when it could not be written,
// or a link (live or dangling) is in its place: never written through.
[[nodiscard]] bool Enable(const QString& name, const Program& program, QString* error = nullptr);
// Removes the entry; a missing entry is no error.
[[nodiscard]] bool Disable(const QString& name, QString* error = nullptr);

}  // namespace Autostart
