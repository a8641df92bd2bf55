// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MetadataOperation.h"

#include "engine/BridgeFrame.h"
#include "engine/BridgeValues.h"
#include "platform/Console.h"
#include "platform/Exiv2Setup.h"

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <iterator>
#include <sstream>

namespace {

using namespace engine::bridge;

std::string valueText(const Exiv2::Metadatum &datum)
{
    if (const std::optional<QString> binary = binaryValueText(datum.value()))
        return binary->toStdString();
    std::ostringstream stream;
    datum.value().write(stream);
    return stream.str();
}

// The text in double quotes, each double quote in it after a backslash.
std::string quoted(const std::string &text)
{
    std::string result;
    result.reserve(text.size() + 2);
    result += '"';
    for (const char c : text) {
        if (c == '"')
            result += '\\';
        result += c;
    }
    result += '"';
    return result;
}

template <typename Container> std::string braceBlock(Container &data)
{
    std::string block = "{\n";
    const auto count = std::distance(data.begin(), data.end());
    decltype(std::distance(data.begin(), data.end())) index = 0;
    for (const auto &datum : data) {
        block += "  " + quoted(datum.key()) + ":" + quoted(valueText(datum));
        if (++index < count)
            block += ",";
        block += "\n";
    }
    block += "}";
    return block;
}

QString columnLine(const Exiv2::Exifdatum &datum)
{
    // A type the library has no name for shows its number.
    const char *typeName = datum.typeName();
    const QString type
        = typeName ? QString::fromLatin1(typeName) : QString::number(static_cast<int>(datum.typeId()));
    return textFromBytes(datum.key()).leftJustified(44) + QLatin1Char(' ') + QStringLiteral("0x")
        + QString::number(datum.tag(), 16).rightJustified(4, QLatin1Char('0')) + QLatin1Char(' ')
        + type.leftJustified(9) + QLatin1Char(' ') + QString::number(datum.count()).rightJustified(3)
        + QStringLiteral("  ") + textFromBytes(valueText(datum));
}

} // namespace

void MetadataOperation::readFrom(const QString &path) const
{
    initializeExiv2();
    runGuarded([&] {
        const auto opened = openForReading(path);
        Exiv2::Image &image = *opened.image;
        for (const Exiv2::Exifdatum &datum : image.exifData())
            platform::Console::out(columnLine(datum));
    });
}

std::optional<QString> MetadataOperation::readJSONStringFrom(const QString &path) const
{
    initializeExiv2();
    QString text;
    const bool read = runGuarded([&] {
        const auto opened = openForReading(path);
        Exiv2::Image &image = *opened.image;
        text = textFromBytes(braceBlock(image.exifData())) + textFromBytes(braceBlock(image.iptcData()))
            + textFromBytes(braceBlock(image.xmpData()));
    });
    if (!read)
        return std::nullopt;
    return text;
}
