// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WriteReport.h"

#include "engine/BridgeFrame.h"
#include "platform/Console.h"

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>

namespace engine::bridge {

namespace {

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

void WriteReport::expect(const std::string &key, const Exiv2::Image &handedOver)
{
    const bool refused = std::any_of(
        m_refused.begin(), m_refused.end(), [&](const auto &entry) { return entry.first == key; });
    if (!refused)
        m_expected.push_back({ key, valuesOf(handedOver, key) });
}

void WriteReport::check(const Exiv2::Image &written)
{
    for (const Expected &expected : m_expected) {
        if (valuesOf(written, expected.key) != expected.values)
            m_notKept.push_back(expected.key);
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
    for (const std::string &key : m_notKept)
        line(key, QStringLiteral("the file format keeps its own value"));
}

} // namespace engine::bridge
