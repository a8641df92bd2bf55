// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LibraryLog.h"

#include <exiv2/error.hpp>
#include <tiffio.h>

#include <cstdarg>

namespace platform::LibraryLog {

namespace {

Q_LOGGING_CATEGORY(libraries, "calvorn.libraries", QtCriticalMsg)

QLoggingCategory::CategoryFilter &defaultFilter()
{
    static QLoggingCategory::CategoryFilter filter = nullptr;
    return filter;
}

bool isImageReaders(const char *name)
{
    const QLatin1String category(name);
    return category.startsWith(QLatin1String("qt.gui.imageio"))
        || category.startsWith(QLatin1String("qt.imageformats"));
}

// Qt's image readers follow the category: silent with it, heard with it.
void filter(QLoggingCategory *category)
{
    if (QLoggingCategory::CategoryFilter previous = defaultFilter())
        previous(category);
    if (!isImageReaders(category->categoryName()))
        return;
    for (QtMsgType type : { QtDebugMsg, QtInfoMsg, QtWarningMsg })
        category->setEnabled(type, category->isEnabled(type) && libraries().isEnabled(type));
}

void fromExiv2(int, const char *text)
{
    QString line = QString::fromLocal8Bit(text);
    while (line.endsWith(QLatin1Char('\n')))
        line.chop(1);
    warning("exiv2", line);
}

void fromTiff(const char *module, const char *format, va_list arguments)
{
    const QString text = QString::vasprintf(format, arguments);
    warning("libtiff", module ? QString::fromLocal8Bit(module) + QStringLiteral(": ") + text : text);
}

} // namespace

const QLoggingCategory &category()
{
    return libraries();
}

void warning(const char *library, const QString &text)
{
    qCWarning(libraries).noquote() << QLatin1String(library) + QStringLiteral(": ") + text;
}

void install()
{
    // The category exists before the filter runs: making it inside the
    // filter would wait on the registry's own lock.
    const bool heard = libraries().isWarningEnabled();
    defaultFilter() = QLoggingCategory::installFilter(filter);

    Exiv2::LogMsg::setHandler(fromExiv2);
    // Unheard, Exiv2 need not even word its warnings.
    Exiv2::LogMsg::setLevel(heard ? Exiv2::LogMsg::warn : Exiv2::LogMsg::mute);

    TIFFSetWarningHandler(fromTiff);
    TIFFSetErrorHandler(fromTiff);
}

} // namespace platform::LibraryLog
