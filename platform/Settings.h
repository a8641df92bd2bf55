// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace platform {

// The user defaults: typed values by key in an INI file under the XDG
// config folder ("Calvorn/Calvorn.conf"). Every call opens the file afresh,
// so it is usable from any thread; writes are synced at once. An absent key
// reads as std::nullopt, distinct from false, 0 and empty.
class Settings : public QObject
{
    Q_OBJECT
public:
    // The object that emits changed(); lives on the GUI thread.
    static Settings &instance();

    static QString filePath();

    static bool contains(const QString &key);
    static void remove(const QString &key);

    static std::optional<bool> boolValue(const QString &key);
    static std::optional<qint64> intValue(const QString &key);
    static std::optional<double> realValue(const QString &key);
    static std::optional<QString> text(const QString &key);
    static std::optional<QStringList> textList(const QString &key);
    static std::optional<QByteArray> bytes(const QString &key);
    // A tree stored through Archive; absent when missing or undecodable.
    static std::optional<QVariant> archived(const QString &key);

    static void setBool(const QString &key, bool value);
    static void setInt(const QString &key, qint64 value);
    static void setReal(const QString &key, double value);
    static void setText(const QString &key, const QString &value);
    static void setTextList(const QString &key, const QStringList &value);
    static void setBytes(const QString &key, const QByteArray &value);
    static void setArchived(const QString &key, const QVariant &tree);

signals:
    void changed(const QString &key);

private:
    Settings() = default;
    static void store(const QString &key, const QVariant &value);
    static QVariant load(const QString &key, bool *present);
};

} // namespace platform
