// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SecondReader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>

namespace secondreader {

namespace {

// Runs exiftool on many files at once, with the paths in an argument file.
QByteArray runExiftool(const QStringList &options, const QStringList &paths)
{
    QTemporaryFile list;
    if (!list.open())
        return {};
    list.write(paths.join(QLatin1Char('\n')).toUtf8());
    list.flush();
    QProcess process;
    process.start(
        QStringLiteral("exiftool"), options + QStringList { QStringLiteral("-@"), list.fileName() });
    if (!process.waitForFinished(600000))
        return {};
    return process.readAllStandardOutput();
}

quint32 bigEndian32(const QByteArray &data, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

QList<qint64> numbers(const QJsonValue &value)
{
    QList<qint64> result;
    if (value.isDouble())
        result << qint64(value.toDouble());
    for (const QString &part : value.toString().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        result << part.toLongLong();
    return result;
}

// The strips and tiles of every directory, as far as the file holds them.
QByteArray tiffImageData(const QByteArray &file, const Reading &reading)
{
    QByteArray data;
    const QStringList keys = reading.tags.keys();
    for (const QString &key : keys) {
        for (const QString &kind : { QStringLiteral("Strip"), QStringLiteral("Tile") }) {
            if (tagName(key) != kind + QStringLiteral("Offsets"))
                continue;
            const QString group = key.left(key.lastIndexOf(QLatin1Char(':')) + 1);
            const QList<qint64> offsets = numbers(reading.value(key));
            const QList<qint64> counts = numbers(reading.value(group + kind + QStringLiteral("ByteCounts")));
            for (qsizetype i = 0; i < std::min(offsets.size(), counts.size()); ++i) {
                if (offsets[i] > 0 && offsets[i] + counts[i] <= file.size())
                    data += group.toUtf8() + file.mid(offsets[i], counts[i]);
            }
        }
    }
    return data;
}

// The code stream box of a JPEG 2000 file.
QByteArray jpeg2000CodeStream(const QByteArray &file)
{
    for (qsizetype at = 0; at + 8 <= file.size();) {
        qint64 length = bigEndian32(file, at);
        const QByteArray type = file.mid(at + 4, 4);
        qsizetype header = 8;
        if (length == 1 && at + 16 <= file.size()) {
            length = qint64(bigEndian32(file, at + 8)) << 32 | bigEndian32(file, at + 12);
            header = 16;
        } else if (length == 0) {
            length = file.size() - at;
        }
        if (type == "jp2c")
            return file.mid(at + header, length - header);
        if (length < header)
            break;
        at += length;
    }
    return {};
}

// What follows the header, colour mode, resources and layers of a
// Photoshop file.
QByteArray photoshopImageData(const QByteArray &file)
{
    qsizetype at = 26;
    for (int section = 0; section < 3; ++section) {
        if (at + 4 > file.size())
            return {};
        at += 4 + qsizetype(bigEndian32(file, at));
    }
    return file.mid(at);
}

// What follows the PGF header (with its metadata).
QByteArray pgfImageData(const QByteArray &file)
{
    if (file.size() < 8)
        return {};
    const auto *p = reinterpret_cast<const uchar *>(file.constData() + 4);
    const qsizetype header
        = qsizetype(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
    return file.mid(8 + header);
}

} // namespace

bool hasExiftool()
{
    return !QStandardPaths::findExecutable(QStringLiteral("exiftool")).isEmpty();
}

bool make(const QStringList &arguments)
{
    QProcess process;
    process.start(
        QStringLiteral("exiftool"), QStringList { QStringLiteral("-q"), QStringLiteral("-q") } + arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

QHash<QString, Reading> readAll(const QStringList &paths)
{
    QHash<QString, Reading> readings;
    if (paths.isEmpty())
        return readings;
    // -m decodes large arrays (strip offsets) too.
    const QByteArray json
        = runExiftool({ QStringLiteral("-j"), QStringLiteral("-a"), QStringLiteral("-G0:1"),
                          QStringLiteral("-n"), QStringLiteral("-b"), QStringLiteral("-m") },
            paths);
    for (const QJsonValue &entry : QJsonDocument::fromJson(json).array()) {
        QJsonObject tags = entry.toObject();
        const QString path = tags.take(QStringLiteral("SourceFile")).toString();
        readings[path].tags = tags;
    }
    // The text form lists every warning, repeated ones too; with two files
    // or more it heads each file's lines with "======== path".
    QStringList twice = paths;
    if (paths.size() == 1)
        twice << paths;
    const QString text
        = QString::fromUtf8(runExiftool({ QStringLiteral("-a"), QStringLiteral("-s3"),
                                            QStringLiteral("-validate"), QStringLiteral("-warning") },
            twice));
    static const QRegularExpression summary(QStringLiteral("^\\s+\\d+ (image files|files|directories) "));
    QString current;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("======== "))) {
            current = line.mid(9);
            readings[current].warnings.clear();
        } else if (!current.isEmpty() && !line.trimmed().isEmpty() && !summary.match(line).hasMatch()) {
            readings[current].warnings << line;
        }
    }
    // The first line is the count of warnings, which the lines themselves tell.
    for (Reading &reading : readings) {
        if (!reading.warnings.isEmpty())
            reading.warnings.removeFirst();
    }
    return readings;
}

Reading read(const QString &path)
{
    return readAll({ path }).value(path);
}

QString tagName(const QString &key)
{
    return key.section(QLatin1Char(':'), -1);
}

QString family0(const QString &key)
{
    return key.section(QLatin1Char(':'), 0, 0);
}

QString family1(const QString &key)
{
    const int parts = key.count(QLatin1Char(':')) + 1;
    return parts == 3 ? key.section(QLatin1Char(':'), 1, 1) : family0(key);
}

bool isExifTextCopy(const QString &key)
{
    return family0(key) == QLatin1String("PNG") && family1(key) == QLatin1String("PNG")
        && (tagName(key).startsWith(QLatin1String("Exif")) || tagName(key).startsWith(QLatin1String("Tiff")));
}

bool isXmpTextCopy(const QString &key)
{
    static const QStringList prefixes { QStringLiteral("Aux"), QStringLiteral("Dc"),
        QStringLiteral("Photoshop"), QStringLiteral("Xmp") };
    return family0(key) == QLatin1String("PNG") && family1(key) == QLatin1String("PNG")
        && std::any_of(prefixes.begin(), prefixes.end(),
            [&](const QString &prefix) { return tagName(key).startsWith(prefix); });
}

QByteArray picture(const QString &path, const Reading &reading)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return {};
    const QByteArray file = source.readAll();
    const QString type = reading.value(QStringLiteral("File:FileType")).toString();
    QByteArray data;
    // In a TIFF-based file the offsets count from the file's start.
    if (file.startsWith("II*") || file.startsWith("MM\0*"))
        data += tiffImageData(file, reading);
    if (type == QLatin1String("JP2"))
        data += jpeg2000CodeStream(file);
    else if (type == QLatin1String("PSD"))
        data += photoshopImageData(file);
    else if (type == QLatin1String("PGF"))
        data += pgfImageData(file);
    else if (type != QLatin1String("EXV")) {
        QImage image;
        if (image.loadFromData(file)) {
            image = image.convertToFormat(QImage::Format_ARGB32);
            data += QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
        }
    }
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256) + QByteArray::number(data.size());
}

} // namespace secondreader
