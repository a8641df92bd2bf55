// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <ostream>

// Readable Qt values in test failure messages.
inline void PrintTo(const QString &text, std::ostream *stream)
{
    *stream << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QVariant &value, std::ostream *stream)
{
    *stream << value.typeName() << '(' << value.toString().toStdString() << ')';
}
inline void PrintTo(const QDateTime &date, std::ostream *stream)
{
    *stream << date.toString(Qt::ISODateWithMs).toStdString();
}
