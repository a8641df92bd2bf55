#include "platform/DateFormat.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform {

namespace {

struct Overrides
{
    std::mutex mutex;
    QString locale;
    QString zone;
    // Bumped on every override, so per-thread caches drop stale formatters.
    std::atomic<int> generation{0};
};

Overrides &overrides()
{
    static Overrides o;
    return o;
}

icu::UnicodeString toIcu(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const char16_t *>(text.utf16()), int32_t(text.size()));
}

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

icu::Locale localeFor(DateFormat::Kind kind)
{
    if (kind == DateFormat::Kind::File)
        return icu::Locale("en_US_POSIX@calendar=gregorian");
    const QString id = DateFormat::userLocaleId();
    return id.isEmpty() ? icu::Locale::getDefault() : icu::Locale(id.toLatin1().constData());
}

std::unique_ptr<icu::TimeZone> zone()
{
    const QString id = DateFormat::timeZoneId();
    if (id.isEmpty())
        return std::unique_ptr<icu::TimeZone>(icu::TimeZone::detectHostTimeZone());
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(toIcu(id)));
}

struct Cache
{
    int generation = -1;
    std::unordered_map<QString, std::unique_ptr<icu::SimpleDateFormat>> formatters;
};

icu::SimpleDateFormat *formatter(const QString &pattern, DateFormat::Kind kind)
{
    thread_local Cache cache;
    const int generation = overrides().generation.load();
    if (cache.generation != generation) {
        cache.formatters.clear();
        cache.generation = generation;
    }
    const QString key = (kind == DateFormat::Kind::File ? QStringLiteral("F|") : QStringLiteral("U|")) + pattern;
    auto it = cache.formatters.find(key);
    if (it != cache.formatters.end())
        return it->second.get();

    UErrorCode status = U_ZERO_ERROR;
    auto made = std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), localeFor(kind), status);
    if (U_FAILURE(status))
        return nullptr;
    made->adoptTimeZone(zone().release());
    made->setLenient(false);
    icu::SimpleDateFormat *raw = made.get();
    cache.formatters.emplace(key, std::move(made));
    return raw;
}

} // namespace

QString DateFormat::format(const QDateTime &date, const QString &pattern, Kind kind)
{
    if (!date.isValid())
        return QString();
    icu::SimpleDateFormat *f = formatter(pattern, kind);
    if (!f)
        return QString();
    icu::UnicodeString out;
    f->format(UDate(date.toMSecsSinceEpoch()), out);
    return fromIcu(out);
}

std::optional<QDateTime> DateFormat::parse(const QString &text, const QString &pattern, Kind kind)
{
    icu::SimpleDateFormat *f = formatter(pattern, kind);
    if (!f || text.isEmpty())
        return std::nullopt;
    const icu::UnicodeString source = toIcu(text);
    icu::ParsePosition position(0);
    const UDate when = f->parse(source, position);
    if (position.getErrorIndex() != -1 || position.getIndex() != source.length())
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(when));
}

void DateFormat::setUserLocale(const QString &icuLocaleId)
{
    auto &o = overrides();
    std::lock_guard lock(o.mutex);
    o.locale = icuLocaleId;
    ++o.generation;
}

void DateFormat::setTimeZone(const QString &ianaZoneId)
{
    auto &o = overrides();
    std::lock_guard lock(o.mutex);
    o.zone = ianaZoneId;
    ++o.generation;
}

QString DateFormat::userLocaleId()
{
    auto &o = overrides();
    std::lock_guard lock(o.mutex);
    return o.locale;
}

QString DateFormat::timeZoneId()
{
    auto &o = overrides();
    std::lock_guard lock(o.mutex);
    return o.zone;
}

} // namespace platform
