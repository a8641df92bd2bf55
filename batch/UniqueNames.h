// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QUrl>

#include <functional>

// Longest file name, in bytes, that Linux file systems take.
inline constexpr qsizetype fileNameByteLimit = 255;

// stem, the number ending " (n)" when number > 0, and the extension, with
// the stem shortened on a character boundary so the name fits
// fileNameByteLimit bytes of UTF-8.
QString fittedFileName(const QString &stem, qint64 number, const QString &extension);

// Free names in one folder for the files of one batch. A name is taken as
// it is when nothing (file, folder or link) exists under it; otherwise the
// first free " (1)", " (2)", ... ending is added. The last number handed
// out for each name is remembered, so a whole batch colliding on one name
// costs about one file-system check per file, not one per earlier file.
class UniqueNames
{
public:
    // Whether anything exists at a path; the file system's answer unless a
    // test stands in for it.
    using Exists = std::function<bool(const QString &path)>;

    explicit UniqueNames(const QString &folder, Exists exists = {});

    // The path of a free name in the folder, which the caller is about to
    // create. Nothing is reserved: the caller creates the file exclusively
    // and asks again when someone else got there first.
    QString next(const QString &stem, const QString &extension);

    // How often the file system was asked whether a path exists.
    qint64 checks() const { return m_checks; }

private:
    bool exists(const QString &path);

    QString m_folder;
    Exists m_exists;
    QHash<QString, qint64> m_lastNumber;
    qint64 m_checks = 0;
};

// The URL itself when nothing exists at it, else its first free variant
// with a number ending.
QUrl uniqueFileURL(const QUrl &url);
