// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WriteReport.h"

#include "engine/BridgeFrame.h"
#include "platform/Console.h"

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>

namespace engine::bridge {

namespace {

constexpr long exifTagLimit = 20480;

bool startsWith(const std::string &text, const char *prefix)
{
    return text.rfind(prefix, 0) == 0;
}

template <typename Container>
std::vector<std::string> valuesIn(const Container &container, const std::string &key)
{
    std::vector<std::string> values;
    for (const auto &datum : container) {
        if (datum.key() == key)
            values.push_back(datum.toString());
    }
    return values;
}

} // namespace

std::vector<std::string> valuesOf(const Exiv2::Image &image, const std::string &key)
{
    if (startsWith(key, "Exif."))
        return valuesIn(image.exifData(), key);
    if (startsWith(key, "Iptc."))
        return valuesIn(image.iptcData(), key);
    return valuesIn(image.xmpData(), key);
}

WriteReport::WriteReport(QString path)
    : m_path(std::move(path))
{ }

void WriteReport::refuse(const std::string &key, const QString &reason)
{
    m_refused.emplace_back(key, reason);
}

void WriteReport::shorten(const std::string &key, long limit)
{
    m_shortened.emplace_back(key, limit);
}

void WriteReport::note(const QString &line)
{
    m_notes << line;
}

void WriteReport::expect(const std::string &key, const Exiv2::Image &handedOver)
{
    const bool refused = std::any_of(
        m_refused.begin(), m_refused.end(), [&](const auto &entry) { return entry.first == key; });
    if (refused)
        return;
    long size = 0;
    if (startsWith(key, "Exif.")) {
        if (const auto datum = handedOver.exifData().findKey(Exiv2::ExifKey(key));
            datum != handedOver.exifData().end())
            size = datum->size();
    }
    m_expected.push_back({ key, valuesOf(handedOver, key), size });
}

void WriteReport::check(const Exiv2::Image &written)
{
    // Where the Exif does not fit a JPEG segment, the library leaves out
    // the tags of more than 20 KB.
    const bool jpegSegment
        = written.imageType() == Exiv2::ImageType::jpeg || written.imageType() == Exiv2::ImageType::exv;
    for (const Expected &expected : m_expected) {
        if (valuesOf(written, expected.key) == expected.values)
            continue;
        const bool tooLarge = jpegSegment && expected.size > exifTagLimit;
        m_notKept.emplace_back(expected.key,
            tooLarge ? QStringLiteral("the JPEG file's Exif segment would pass 64 KB")
                     : QStringLiteral("the file format keeps its own value"));
    }
}

void WriteReport::print() const
{
    const auto line = [this](const std::string &key, const QString &reason) {
        platform::Console::err(
            QStringLiteral("%1: %2 not written (%3)").arg(m_path, textFromBytes(key), reason));
    };
    for (const auto &[key, reason] : m_refused)
        line(key, reason);
    for (const auto &[key, reason] : m_notKept)
        line(key, reason);
    for (const auto &[key, limit] : m_shortened)
        platform::Console::err(QStringLiteral("%1: %2 cut to %3 bytes, the most its dataset holds")
                                   .arg(m_path, textFromBytes(key), QString::number(limit)));
    for (const QString &note : m_notes)
        platform::Console::err(m_path + QStringLiteral(": ") + note);
}

} // namespace engine::bridge
