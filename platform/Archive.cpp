// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Archive.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborStreamReader>
#include <QCborValue>
#include <QDateTime>

namespace platform::Archive {

namespace {

QCborValue toCbor(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QVariantMap: {
        QCborMap map;
        const QVariantMap source = v.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it)
            map.insert(it.key(), toCbor(it.value()));
        return map;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QCborArray array;
        for (const QVariant &item : v.toList())
            array.append(toCbor(item));
        return array;
    }
    case QMetaType::QString:
        return v.toString();
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        return qint64(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toDouble();
    case QMetaType::QDateTime:
        return QCborValue(v.toDateTime().toUTC());
    case QMetaType::QByteArray:
        return v.toByteArray();
    default:
        return QCborValue(QCborValue::Null);
    }
}

std::optional<QVariant> fromCbor(const QCborValue &v)
{
    switch (v.type()) {
    case QCborValue::Map: {
        QVariantMap map;
        const QCborMap source = v.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it) {
            if (!it.key().isString())
                return std::nullopt;
            auto item = fromCbor(it.value());
            if (!item)
                return std::nullopt;
            map.insert(it.key().toString(), *item);
        }
        return map;
    }
    case QCborValue::Array: {
        QVariantList list;
        for (const QCborValue &element : v.toArray()) {
            auto item = fromCbor(element);
            if (!item)
                return std::nullopt;
            list.append(*item);
        }
        return list;
    }
    case QCborValue::String:
        return QVariant(v.toString());
    case QCborValue::Integer:
        return QVariant(qint64(v.toInteger()));
    case QCborValue::Double:
        return QVariant(v.toDouble());
    case QCborValue::True:
    case QCborValue::False:
        return QVariant(v.toBool());
    case QCborValue::ByteArray:
        return QVariant(v.toByteArray());
    case QCborValue::DateTime: {
        const QDateTime date = v.toDateTime();
        if (!date.isValid())
            return std::nullopt;
        return QVariant(date);
    }
    case QCborValue::Null:
        return QVariant();
    default:
        return std::nullopt;
    }
}

} // namespace

QByteArray encode(const QVariant &tree)
{
    return toCbor(tree).toCbor();
}

std::optional<QVariant> decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    QCborStreamReader reader(bytes);
    const QCborValue value = QCborValue::fromCbor(reader);
    if (reader.lastError() != QCborError::NoError)
        return std::nullopt;
    // fromCbor stops after one item; anything left over is not ours.
    if (reader.currentOffset() != bytes.size())
        return std::nullopt;
    return fromCbor(value);
}

} // namespace platform::Archive
