// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Countries.h"

#include "platform/DateFormat.h"

#include <unicode/locid.h>

#include <QSet>

#include <gtest/gtest.h>

TEST(Countries, EveryCodeOnceInEnglishByName)
{
    platform::DateFormat::setUserLocale(QStringLiteral("en_US"));
    const QList<CountryLocale> countries = countryList();
    platform::DateFormat::setUserLocale(QString());

    int codes = 0;
    for (const char *const *code = icu::Locale::getISOCountries(); *code; ++code)
        ++codes;
    ASSERT_EQ(countries.size(), codes);
    QSet<QString> seen;
    for (const auto &country : countries) {
        EXPECT_EQ(country.countryCode.size(), 2) << qPrintable(country.countryCode);
        EXPECT_FALSE(country.countryName.isEmpty());
        seen.insert(country.countryCode);
    }
    EXPECT_EQ(seen.size(), countries.size());

    const auto indexOf = [&](const char *code) {
        for (qsizetype i = 0; i < countries.size(); ++i)
            if (countries[i].countryCode == QLatin1String(code))
                return i;
        return qsizetype(-1);
    };
    ASSERT_GE(indexOf("DE"), 0);
    EXPECT_EQ(countries[indexOf("DE")].countryName, QStringLiteral("Germany"));
    EXPECT_EQ(countries.first().countryCode, QStringLiteral("AF"));
    // Collated, not by code points: Åland sits among the A's.
    EXPECT_LT(indexOf("AF"), indexOf("AX"));
    EXPECT_LT(indexOf("AX"), indexOf("AL"));
    EXPECT_LT(indexOf("US"), indexOf("UY"));
}
