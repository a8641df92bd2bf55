// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WriteReport.h"

#include "engine/BridgeFrame.h"
#include "engine/FormatName.h"
#include "platform/Console.h"

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>
#include <utility>

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

void WriteReport::add(Shortfall::Kind kind, const std::string &key, const QString &reason)
{
    m_shortfalls.append({ kind, textFromBytes(key), reason });
}

void WriteReport::refuse(const std::string &key, const QString &reason)
{
    add(Shortfall::Kind::NotWritten, key, reason);
}

void WriteReport::shorten(const std::string &key, long limit)
{
    add(Shortfall::Kind::Shortened, key,
        QStringLiteral("%1 bytes, the most its dataset holds").arg(QString::number(limit)));
}

void WriteReport::copiesNotUpdated(const std::vector<std::string> &keys)
{
    for (const std::string &key : keys)
        add(Shortfall::Kind::CopyNotUpdated, key, QStringLiteral("the file's XMP cannot be read"));
}

void WriteReport::profileCopiesNotUpdated(const std::vector<std::string> &keys)
{
    for (const std::string &key : keys)
        add(Shortfall::Kind::ProfileCopyNotUpdated, key, QStringLiteral("the profile cannot be read"));
}

void WriteReport::olderCopyStays(const std::string &key, const QString &where)
{
    add(Shortfall::Kind::OlderCopyStays, key, where);
}

void WriteReport::kept(const std::string &choice, const QString &reason)
{
    add(Shortfall::Kind::Kept, choice, reason);
}

void WriteReport::leftOut(const std::string &key, const QString &reason)
{
    add(Shortfall::Kind::LeftOut, key, reason);
}

void WriteReport::expect(const std::string &key, const Exiv2::Image &handedOver)
{
    const QString name = textFromBytes(key);
    const bool refused = std::any_of(m_shortfalls.cbegin(), m_shortfalls.cend(), [&](const Shortfall &entry) {
        return entry.kind == Shortfall::Kind::NotWritten && entry.key == name;
    });
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
    const QString ownValue = QStringLiteral("%1 files keep their own value").arg(formatName(written, m_path));
    for (const Expected &expected : m_expected) {
        if (valuesOf(written, expected.key) == expected.values)
            continue;
        const bool tooLarge = jpegSegment && expected.size > exifTagLimit;
        refuse(expected.key,
            tooLarge ? QStringLiteral("the JPEG file's Exif segment would pass 64 KB") : ownValue);
    }
}

void WriteReport::print() const
{
    bool copiesTold = false;
    bool profileTold = false;
    for (const Shortfall &entry : m_shortfalls) {
        switch (entry.kind) {
        case Shortfall::Kind::NotWritten:
            platform::Console::err(
                QStringLiteral("%1: %2 not written (%3)").arg(m_path, entry.key, entry.reason));
            break;
        case Shortfall::Kind::Shortened:
            platform::Console::err(QStringLiteral("%1: %2 cut to %3").arg(m_path, entry.key, entry.reason));
            break;
        case Shortfall::Kind::CopyNotUpdated:
            if (!std::exchange(copiesTold, true))
                platform::Console::err(m_path
                    + QStringLiteral(
                        ": the XMP cannot be read, so any copies of the written values in it stay"));
            break;
        case Shortfall::Kind::ProfileCopyNotUpdated:
            if (!std::exchange(profileTold, true))
                platform::Console::err(m_path
                    + QStringLiteral(
                        ": the Photoshop profile cannot be read, so its copy of the written IPTC "
                        "values stays"));
            break;
        case Shortfall::Kind::OlderCopyStays:
            platform::Console::err(QStringLiteral("%1: %2 written, but an older copy stays (%3)")
                                       .arg(m_path, entry.key, entry.reason));
            break;
        case Shortfall::Kind::Kept:
            platform::Console::err(m_path + QStringLiteral(": ") + entry.reason);
            break;
        case Shortfall::Kind::LeftOut:
            platform::Console::err(
                QStringLiteral("%1: %2 left out (%3)").arg(m_path, entry.key, entry.reason));
            break;
        }
    }
}

} // namespace engine::bridge
