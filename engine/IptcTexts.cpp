// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/IptcTexts.h"

#include <QStringDecoder>
#include <QTextBoundaryFinder>

#include <exiv2/datasets.hpp>
#include <exiv2/value.hpp>

namespace engine::bridge {

namespace {

const Exiv2::IptcKey &characterSetKey()
{
    static const Exiv2::IptcKey key("Iptc.Envelope.CharacterSet");
    return key;
}
const std::string utf8Designation("\x1b%G");

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder.decode(bytes); // decodes only when it becomes a text
    return !decoder.hasError();
}

QByteArray untilNul(const std::string &bytes)
{
    const size_t end = bytes.find('\0');
    return QByteArray(bytes.data(), static_cast<qsizetype>(end == std::string::npos ? bytes.size() : end));
}

bool needsQuotes(const QString &item)
{
    return item.contains(QLatin1Char(',')) || item.contains(QLatin1Char('"')) || item != item.trimmed();
}

} // namespace

bool isRepeatable(const Exiv2::IptcKey &key)
{
    return Exiv2::IptcDataSets::dataSetRepeatable(key.tag(), key.record());
}

QString joinedItems(const QStringList &items)
{
    QStringList texts;
    for (const QString &item : items) {
        if (needsQuotes(item))
            texts << QLatin1Char('"') + QString(item).replace(QLatin1Char('"'), QLatin1String("\"\""))
                    + QLatin1Char('"');
        else
            texts << item;
    }
    return texts.join(QLatin1String(", "));
}

QStringList splitItems(const QString &text)
{
    QStringList items;
    QString current;
    qsizetype itemStart = 0;
    bool quoted = false;
    bool inQuotes = false;
    const auto finish = [&](qsizetype end) {
        // An opening quote that never closes was no quote.
        const QString item = inQuotes ? text.mid(itemStart, end - itemStart).trimmed()
            : quoted                  ? current
                                      : current.trimmed();
        if (!item.trimmed().isEmpty())
            items << item;
        current.clear();
        quoted = inQuotes = false;
        itemStart = end + 1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c != QLatin1Char('"'))
                current += c;
            else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                current += text.at(++i);
            else
                inQuotes = false;
        } else if (c == QLatin1Char(',')) {
            finish(i);
        } else if (c == QLatin1Char('"') && !quoted && current.trimmed().isEmpty()) {
            current.clear();
            quoted = inQuotes = true;
        } else if (!quoted || !c.isSpace()) {
            current += c;
        }
    }
    finish(text.size());
    return items;
}

bool isMarkedUtf8(const Exiv2::IptcData &iptc)
{
    const auto marker = iptc.findKey(characterSetKey());
    return marker != iptc.end() && marker->toString() == utf8Designation;
}

QString undeclaredText(const std::string &bytes)
{
    return iptcText(bytes, false);
}

QString iptcText(const std::string &bytes, bool markedUtf8)
{
    const QByteArray text = untilNul(bytes);
    if (markedUtf8 || isValidUtf8(text))
        return QString::fromUtf8(text);
    return QString::fromLatin1(text);
}

void declareUtf8(Exiv2::IptcData &iptc)
{
    if (isMarkedUtf8(iptc))
        return;
    for (Exiv2::Iptcdatum &datum : iptc) {
        if (datum.typeId() != Exiv2::string || datum.key() == characterSetKey().key())
            continue;
        const std::string bytes = datum.toString();
        if (isValidUtf8(QByteArray::fromStdString(bytes)))
            continue;
        datum.setValue(QString::fromLatin1(QByteArray::fromStdString(bytes)).toUtf8().toStdString());
    }
    Exiv2::StringValue designation(utf8Designation);
    if (auto marker = iptc.findKey(characterSetKey()); marker != iptc.end())
        marker->setValue(&designation);
    else
        iptc.add(characterSetKey(), &designation);
}

std::optional<long> datasetLimit(const Exiv2::IptcKey &key)
{
    const Exiv2::DataSet *list = key.record() == Exiv2::IptcDataSets::application2
        ? Exiv2::IptcDataSets::application2RecordList()
        : Exiv2::IptcDataSets::envelopeRecordList();
    for (; list->number_ != 0xffff; ++list) {
        if (list->number_ == key.tag())
            return list->maxbytes_ > 0 ? std::optional<long>(long(list->maxbytes_)) : std::nullopt;
    }
    return std::nullopt;
}

QString cutToBytes(const QString &text, long limit)
{
    if (text.toUtf8().size() <= limit)
        return text;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    long bytes = 0;
    for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
        bytes += long(QStringView(text).mid(end, next - end).toUtf8().size());
        if (bytes > limit)
            break;
        end = next;
    }
    return text.left(end);
}

} // namespace engine::bridge
