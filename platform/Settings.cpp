// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Settings.h"

#include "platform/Archive.h"
#include "platform/MainQueue.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

Settings &Settings::instance()
{
    // Lives for the whole process on the GUI thread, whichever thread asks first.
    static Settings *settings = [] {
        auto *s = new Settings;
        if (auto *app = QCoreApplication::instance())
            s->moveToThread(app->thread());
        return s;
    }();
    return *settings;
}

QString Settings::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Calvorn/Calvorn.conf");
}

static QSettings openFile()
{
    return QSettings(Settings::filePath(), QSettings::IniFormat);
}

bool Settings::contains(const QString &key)
{
    return openFile().contains(key);
}

void Settings::remove(const QString &key)
{
    {
        QSettings file = openFile();
        file.remove(key);
        file.sync();
    }
    MainQueue::post(&instance(), [key] { emit instance().changed(key); });
}

void Settings::store(const QString &key, const QVariant &value)
{
    {
        QSettings file = openFile();
        file.setValue(key, value);
        file.sync();
    }
    MainQueue::post(&instance(), [key] { emit instance().changed(key); });
}

QVariant Settings::load(const QString &key, bool *present)
{
    QSettings file = openFile();
    *present = file.contains(key);
    return *present ? file.value(key) : QVariant();
}

// INI keeps no types once reread: values come back as texts, so each getter
// maps the text back and treats anything it cannot read as absent.
std::optional<bool> Settings::boolValue(const QString &key)
{
    bool present = false;
    const QVariant v = load(key, &present);
    if (!present)
        return std::nullopt;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        if (s == QLatin1String("true"))
            return true;
        if (s == QLatin1String("false"))
            return false;
        bool ok = false;
        const qlonglong n = s.toLongLong(&ok);
        if (ok)
            return n != 0;
    }
    if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
        return v.toLongLong() != 0;
    return std::nullopt;
}

std::optional<qint64> Settings::intValue(const QString &key)
{
    bool present = false;
    const QVariant v = load(key, &present);
    if (!present)
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return v.toLongLong();
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QString: {
        const QString s = v.toString().trimmed();
        bool ok = false;
        const qlonglong n = s.toLongLong(&ok);
        if (ok)
            return n;
        if (s == QLatin1String("true"))
            return 1;
        if (s == QLatin1String("false"))
            return 0;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<double> Settings::realValue(const QString &key)
{
    bool present = false;
    const QVariant v = load(key, &present);
    if (!present)
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return v.toDouble();
    case QMetaType::QString: {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        return ok ? std::optional<double>(d) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<QString> Settings::text(const QString &key)
{
    bool present = false;
    const QVariant v = load(key, &present);
    if (!present)
        return std::nullopt;
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (v.typeId() == QMetaType::QStringList && v.toStringList().size() == 1)
        return v.toStringList().first();
    return std::nullopt;
}

std::optional<QStringList> Settings::textList(const QString &key)
{
    bool present = false;
    const QVariant v = load(key, &present);
    if (!present)
        return std::nullopt;
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList();
    if (v.typeId() == QMetaType::QString)
        return QStringList { v.toString() };
    if (!v.isValid()) // an empty list is written as @Invalid()
        return QStringList {};
    if (v.typeId() == QMetaType::QVariantList) {
        QStringList out;
        for (const QVariant &item : v.toList()) {
            if (item.typeId() != QMetaType::QString)
                return std::nullopt;
            out << item.toString();
        }
        return out;
    }
    return std::nullopt;
}

std::optional<QByteArray> Settings::bytes(const QString &key)
{
    bool present = false;
    const QVariant v = load(key, &present);
    if (!present || v.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return v.toByteArray();
}

std::optional<QVariant> Settings::archived(const QString &key)
{
    const auto data = bytes(key);
    if (!data)
        return std::nullopt;
    return Archive::decode(*data);
}

void Settings::setBool(const QString &key, bool value)
{
    store(key, value);
}
void Settings::setInt(const QString &key, qint64 value)
{
    store(key, QVariant::fromValue<qlonglong>(value));
}
void Settings::setReal(const QString &key, double value)
{
    store(key, value);
}
void Settings::setText(const QString &key, const QString &value)
{
    store(key, value);
}
void Settings::setTextList(const QString &key, const QStringList &value)
{
    store(key, value);
}
void Settings::setBytes(const QString &key, const QByteArray &value)
{
    store(key, value);
}
void Settings::setArchived(const QString &key, const QVariant &tree)
{
    store(key, Archive::encode(tree));
}

} // namespace platform
