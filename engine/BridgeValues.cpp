// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BridgeValues.h"

#include "engine/PropertyList.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <stdexcept>

namespace engine::bridge {

namespace {

constexpr double int32Limit = 2147483648.0;

using plist::isNumber;

// The leading number of a text, or 0 when it starts with none.
double leadingNumber(const QString &text, const QRegularExpression &pattern)
{
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

struct Range
{
    qint64 lowest;
    qint64 highest;
};

// The whole numbers an integer type holds; none for other types.
std::optional<Range> rangeOf(Exiv2::TypeId type)
{
    switch (type) {
    case Exiv2::unsignedByte:
        return Range { 0, 0xff };
    case Exiv2::unsignedShort:
        return Range { 0, 0xffff };
    case Exiv2::unsignedLong:
        return Range { 0, 0xffffffff };
    case Exiv2::signedByte:
        return Range { -0x80, 0x7f };
    case Exiv2::signedShort:
        return Range { -0x8000, 0x7fff };
    case Exiv2::signedLong:
        return Range { -0x80000000LL, 0x7fffffff };
    default:
        return std::nullopt;
    }
}

void tellWhy(QString *whyNot, const QString &reason)
{
    if (whyNot)
        *whyNot = reason;
}

// Exiv2's cast picks its denominator from the whole part alone, so just
// below each of its thresholds the numerator overflows; there one digit
// less is kept.
Exiv2::Rational toRational(float f)
{
    const double whole = std::fabs(std::trunc(static_cast<double>(f)));
    const double denominator = whole > 21474836 ? 1 : whole > 214748 ? 100 : whole > 2147 ? 10000 : 1000000;
    if (std::fabs(static_cast<double>(f)) * denominator + 0.5 < 2147483647.0)
        return Exiv2::floatToRationalCast(f);
    const auto smaller = static_cast<int32_t>(denominator / 100);
    const auto numerator = static_cast<int32_t>(std::lround(static_cast<double>(f) * smaller));
    const int32_t divisor = std::gcd(numerator, smaller);
    return { numerator / divisor, smaller / divisor };
}

} // namespace

QString textOf(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        throw std::invalid_argument("text expected");
    return value.toString();
}

double realOf(const QVariant &value)
{
    static const QRegularExpression real(
        QStringLiteral(R"(^\s*([+-]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][+-]?\d+)?))"));
    if (value.typeId() == QMetaType::QString)
        return leadingNumber(value.toString(), real);
    if (!isNumber(value))
        throw std::invalid_argument("number expected");
    return value.toDouble();
}

std::optional<qint64> integerOf(const QVariant &value)
{
    static const QRegularExpression integer(QStringLiteral(R"(^\s*([+-]?\d+))"));
    constexpr double int64Limit = 9223372036854775808.0;
    double number = 0;
    if (value.typeId() == QMetaType::LongLong)
        return value.toLongLong();
    if (value.typeId() == QMetaType::QString)
        number = leadingNumber(value.toString(), integer);
    else if (isNumber(value))
        number = value.toDouble();
    else
        throw std::invalid_argument("number expected");
    if (std::isnan(number))
        return std::nullopt;
    number = std::trunc(number);
    if (number >= int64Limit)
        return std::numeric_limits<qint64>::max();
    if (number < -int64Limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(number);
}

Exiv2::Value::AutoPtr integerValue(Exiv2::TypeId type, qint64 number, QString *whyNot)
{
    const std::optional<Range> range = rangeOf(type);
    if (!range) {
        tellWhy(whyNot, QStringLiteral("its tag holds no whole number"));
        return Exiv2::Value::AutoPtr();
    }
    if (number < range->lowest || number > range->highest) {
        tellWhy(whyNot,
            QStringLiteral("%1 is outside what its tag holds, %2 to %3")
                .arg(QString::number(number), QString::number(range->lowest),
                    QString::number(range->highest)));
        return Exiv2::Value::AutoPtr();
    }
    Exiv2::Value::AutoPtr value = Exiv2::Value::create(type);
    value->read(QByteArray::number(number).toStdString());
    return value;
}

Exiv2::Value::AutoPtr rationalValue(Exiv2::TypeId type, double number, QString *whyNot)
{
    const auto single = static_cast<float>(number);
    if (!std::isfinite(single) || std::fabs(single) >= static_cast<float>(int32Limit)) {
        tellWhy(whyNot, QStringLiteral("%1 is not a number its tag can hold").arg(QString::number(number)));
        return Exiv2::Value::AutoPtr();
    }
    if (type != Exiv2::unsignedRational && type != Exiv2::signedRational) {
        tellWhy(whyNot, QStringLiteral("its tag holds no fraction"));
        return Exiv2::Value::AutoPtr();
    }
    const Exiv2::Rational r = toRational(single);
    if (type == Exiv2::unsignedRational && r.first < 0) {
        tellWhy(whyNot,
            QStringLiteral("%1 is negative and its tag holds no negative number")
                .arg(QString::number(number)));
        return Exiv2::Value::AutoPtr();
    }
    if (type == Exiv2::unsignedRational && r.second > 0) {
        Exiv2::URationalValue::AutoPtr value(new Exiv2::URationalValue);
        value->value_.emplace_back(static_cast<uint32_t>(r.first), static_cast<uint32_t>(r.second));
        return Exiv2::Value::AutoPtr(value.release());
    }
    Exiv2::RationalValue::AutoPtr value(new Exiv2::RationalValue);
    value->value_.push_back(r);
    return Exiv2::Value::AutoPtr(value.release());
}

Exiv2::Value::AutoPtr textValue(Exiv2::TypeId type, const QString &text, Exiv2::ByteOrder byteOrder)
{
    if (type != Exiv2::comment) {
        Exiv2::Value::AutoPtr value = Exiv2::Value::create(type);
        value->read(text.toUtf8().toStdString());
        return value;
    }
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    QByteArray bytes(ascii ? "ASCII\0\0\0" : "UNICODE\0", 8);
    if (ascii) {
        bytes += text.toLatin1();
    } else {
        if (byteOrder == Exiv2::invalidByteOrder)
            byteOrder = Exiv2::littleEndian;
        const bool bigEndian = byteOrder == Exiv2::bigEndian;
        for (const QChar c : text) {
            const char high = static_cast<char>(c.unicode() >> 8);
            const char low = static_cast<char>(c.unicode() & 0xff);
            bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
        }
    }
    Exiv2::Value::AutoPtr value = Exiv2::Value::create(Exiv2::comment);
    value->read(
        reinterpret_cast<const Exiv2::byte *>(bytes.constData()), static_cast<long>(bytes.size()), byteOrder);
    return value;
}

std::optional<QString> formatGpsCoordinate(double v)
{
    constexpr qint64 perDegree = 60 * 60 * 100;
    const double a = std::fabs(v);
    if (!std::isfinite(a) || a >= int32Limit)
        return std::nullopt;
    // Counted in hundredths of a second first, so rounding never gives 60
    // seconds or 60 minutes.
    const auto hundredths = static_cast<qint64>(std::llround(a * perDegree));
    const qint64 degrees = hundredths / perDegree;
    const qint64 minutes = hundredths % perDegree / 6000;
    const qint64 seconds = hundredths % 6000;
    return QStringLiteral("%1/1 %2/1 %3/100").arg(degrees).arg(minutes).arg(seconds);
}

std::optional<QString> formatHundredths(double v)
{
    const double hundredths = v * 100.0;
    if (!std::isfinite(hundredths) || std::fabs(hundredths) >= int32Limit)
        return std::nullopt;
    const auto n = static_cast<qint32>(hundredths);
    return QStringLiteral("%1/100").arg(n < 0 ? -static_cast<qint64>(n) : n);
}

QString xmpDateText(const QString &text)
{
    static const QRegularExpression exifForm(
        QStringLiteral(R"(^(\d{4}):(\d{2}):(\d{2})(?: (\d{2}:\d{2}(?::\d{2})?))?$)"));
    const QRegularExpressionMatch match = exifForm.match(text);
    if (!match.hasMatch())
        return text;
    QString result
        = match.captured(1) + QLatin1Char('-') + match.captured(2) + QLatin1Char('-') + match.captured(3);
    if (match.hasCaptured(4))
        result += QLatin1Char('T') + match.captured(4);
    return result;
}

std::optional<QString> binaryValueText(const Exiv2::Value &value)
{
    // A few numbers (a version, a component order, a pattern) read as
    // they are; a long run of them is no use to a person or a CSV.
    constexpr long mostShownBytes = 64;
    const Exiv2::TypeId type = value.typeId();
    const bool binary = type == Exiv2::undefined || type == Exiv2::unsignedByte || type == Exiv2::signedByte;
    if (!binary || value.size() <= mostShownBytes || dynamic_cast<const Exiv2::CommentValue *>(&value))
        return std::nullopt;
    return QStringLiteral("(%1 bytes of binary data)").arg(value.size());
}

} // namespace engine::bridge
