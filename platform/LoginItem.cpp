// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LoginItem.h"

#include "platform/Console.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform::LoginItem {

namespace {

// A desktop entry string value: backslash and control characters escaped.
QString escapeString(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString entryText(const QString &helperProgram)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Calvorn\n"
                          "Comment=Starts Calvorn when you log in\n"
                          "Icon=" CALVORN_APP_ID "\n"
                          "Exec=%1\n"
                          "TryExec=%2\n"
                          "NoDisplay=true\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execValue(helperProgram), escapeString(helperProgram));
}

bool fail(bool on, const QString &reason, QString *whyNot)
{
    Console::err(QStringLiteral("Could not turn %1 start at login: %2")
                     .arg(on ? QStringLiteral("on") : QStringLiteral("off"), reason));
    if (whyNot)
        *whyNot = reason;
    return false;
}

bool writeEntry(const QString &path, const QString &helperProgram, QString *whyNot)
{
    const QFileInfo program(helperProgram);
    if (!program.isAbsolute())
        return fail(true, QStringLiteral("%1 is not an absolute path").arg(helperProgram), whyNot);
    if (!program.isFile() || !program.isExecutable())
        return fail(true, QStringLiteral("Calvorn_Helper is missing at %1").arg(helperProgram), whyNot);

    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(true, QStringLiteral("cannot make the folder %1").arg(folder), whyNot);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(true, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()), whyNot);
    file.write(entryText(helperProgram).toUtf8());
    if (!file.commit())
        return fail(true, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()), whyNot);
    return true;
}

bool removeEntry(const QString &path, QString *whyNot)
{
    QFile file(path);
    if (!QFileInfo(path).isSymLink() && !file.exists())
        return true;
    if (!file.remove())
        return fail(false, QStringLiteral("cannot remove %1: %2").arg(path, file.errorString()), whyNot);
    return true;
}

} // namespace

QString entryPath(const QString &helperId)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/") + helperId + QStringLiteral(".desktop");
}

bool setEnabled(const QString &helperId, bool on, const QString &helperProgram, QString *whyNot)
{
    const QString path = entryPath(helperId);
    return on ? writeEntry(path, helperProgram, whyNot) : removeEntry(path, whyNot);
}

QString execValue(const QString &program)
{
    // Quoting first: inside double quotes, ", `, $ and \ take a backslash.
    // "%" starts a field code anywhere in Exec, so a literal one is doubled.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // Readers undo the string escapes before they unquote.
    return escapeString(quoted);
}

} // namespace platform::LoginItem
