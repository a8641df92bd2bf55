// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Countries.h"

#include "platform/IcuSupport.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <memory>

using platform::icusupport::fromIcu;

QList<CountryLocale> countryList()
{
    QList<CountryLocale> countries;
    const icu::Locale english("en_US");
    for (const char *const *code = icu::Locale::getISOCountries(); code && *code; ++code) {
        icu::UnicodeString name;
        icu::Locale("", *code).getDisplayCountry(english, name);
        const QString codeText = QString::fromLatin1(*code);
        const QString nameText = fromIcu(name);
        // A code without an English name is shown by its code.
        countries.append({ codeText, nameText.isEmpty() ? codeText : nameText });
    }

    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(platform::icusupport::userLocale(), status));
    if (U_FAILURE(status) || !collator) {
        std::stable_sort(
            countries.begin(), countries.end(), [](const CountryLocale &a, const CountryLocale &b) {
                return a.countryName.compare(b.countryName, Qt::CaseInsensitive) < 0;
            });
        return countries;
    }
    // Secondary strength: letters and accents count, letter case does not.
    collator->setStrength(icu::Collator::SECONDARY);
    std::stable_sort(countries.begin(), countries.end(), [&](const CountryLocale &a, const CountryLocale &b) {
        UErrorCode s = U_ZERO_ERROR;
        return collator->compare(
                   platform::icusupport::toIcu(a.countryName), platform::icusupport::toIcu(b.countryName), s)
            == UCOL_LESS;
    });
    return countries;
}
