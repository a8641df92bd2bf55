#pragma once

#include "engine/DateTime.h"
#include "platform/DateFormat.h"

#include <QDateTime>
#include <QTimeZone>

#include <memory>

#include <gtest/gtest.h>

// Dates are computed in a fixed zone and locale, whatever the machine uses.
class BatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        platform::DateFormat::setTimeZone(QStringLiteral("Europe/Berlin"));
        platform::DateFormat::setUserLocale(QStringLiteral("en_US"));
    }
    void TearDown() override
    {
        platform::DateFormat::setTimeZone(QString());
        platform::DateFormat::setUserLocale(QString());
    }

public:
    // A wall-clock time in Berlin.
    static QDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute, second),
                         QTimeZone(QByteArrayLiteral("Europe/Berlin")));
    }

    // A rule with one mode set up by the caller.
    template<class Setup>
    static std::shared_ptr<DateTime> rule(Setup setup)
    {
        auto r = std::make_shared<DateTime>();
        setup(*r);
        return r;
    }
};

// Readable values in failure messages.
#include <QVariant>
#include <ostream>
inline void PrintTo(const QString &text, std::ostream *stream)
{
    *stream << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QDateTime &date, std::ostream *stream)
{
    *stream << date.toString(Qt::ISODateWithMs).toStdString();
}
inline void PrintTo(const QVariant &value, std::ostream *stream)
{
    *stream << value.typeName() << '(' << value.toString().toStdString() << ')';
}
