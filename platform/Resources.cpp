// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Resources.h"

#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>

namespace platform::Resources {

namespace {

// Reads the value whose start element the reader stands on; leaves the
// reader on its end element.
std::optional<QVariant> readValue(QXmlStreamReader &xml)
{
    const QStringView tag = xml.name();
    if (tag == u"dict") {
        QVariantMap map;
        while (xml.readNextStartElement()) {
            if (xml.name() != u"key")
                return std::nullopt;
            const QString key = xml.readElementText();
            if (!xml.readNextStartElement())
                return std::nullopt;
            auto value = readValue(xml);
            if (!value)
                return std::nullopt;
            map.insert(key, *value);
        }
        return map;
    }
    if (tag == u"array") {
        QVariantList list;
        while (xml.readNextStartElement()) {
            auto value = readValue(xml);
            if (!value)
                return std::nullopt;
            list.append(*value);
        }
        return list;
    }
    if (tag == u"string")
        return QVariant(xml.readElementText());
    if (tag == u"integer") {
        bool ok = false;
        const qint64 n = xml.readElementText().trimmed().toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant(n)) : std::nullopt;
    }
    if (tag == u"real") {
        bool ok = false;
        const double d = xml.readElementText().trimmed().toDouble(&ok);
        return ok ? std::optional<QVariant>(QVariant(d)) : std::nullopt;
    }
    if (tag == u"true" || tag == u"false") {
        const bool b = tag == u"true";
        xml.skipCurrentElement();
        return QVariant(b);
    }
    if (tag == u"date") {
        const QDateTime date = QDateTime::fromString(xml.readElementText().trimmed(), Qt::ISODate);
        return date.isValid() ? std::optional<QVariant>(QVariant(date)) : std::nullopt;
    }
    if (tag == u"data") {
        const QByteArray text = xml.readElementText().toLatin1();
        auto decoded = QByteArray::fromBase64Encoding(text.simplified().replace(' ', ""));
        return decoded ? std::optional<QVariant>(QVariant(*decoded)) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<QVariant> parsePlist(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != u"plist")
        return std::nullopt;
    if (!xml.readNextStartElement())
        return std::nullopt;
    auto value = readValue(xml);
    if (!value || xml.hasError())
        return std::nullopt;
    return value;
}

std::optional<QVariantMap> loadPlist(const QString &name)
{
    QFile file(QStringLiteral(":/%1.plist").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    auto value = parsePlist(file.readAll());
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

} // namespace platform::Resources
