// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CameraSamples.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QtEndian>

#include "support/SecondReader.h"

#include <algorithm>

#include <optional>

namespace camerasamples {

namespace {

// A JPEG's Exif: where its TIFF header stands in the file, and its byte
// order.
struct Exif
{
    qsizetype tiff = 0;
    bool little = false;
};

quint32 read(const QByteArray &file, qsizetype at, int width, bool little)
{
    const auto *p = reinterpret_cast<const uchar *>(file.constData() + at);
    if (width == 2)
        return little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    return little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
}

void write(QByteArray &file, qsizetype at, int width, bool little, quint32 value)
{
    auto *p = reinterpret_cast<uchar *>(file.data() + at);
    if (width == 2)
        little ? qToLittleEndian<quint16>(quint16(value), p) : qToBigEndian<quint16>(quint16(value), p);
    else
        little ? qToLittleEndian<quint32>(value, p) : qToBigEndian<quint32>(value, p);
}

// Where the Exif segment ends, with the Exif it holds.
std::optional<std::pair<Exif, qsizetype>> exifSegment(const QByteArray &file)
{
    for (qsizetype at = 2; at + 4 <= file.size() && uchar(file[at]) == 0xff;) {
        const qsizetype length = qsizetype(read(file, at + 2, 2, false));
        if (uchar(file[at + 1]) == 0xe1 && file.mid(at + 4, 6) == QByteArray("Exif\0\0", 6))
            return std::pair { Exif { at + 10, file[at + 10] == 'I' }, at + 2 + length };
        at += 2 + length;
    }
    return std::nullopt;
}

struct Entry
{
    qsizetype at = 0;
    quint16 tag = 0;
    quint16 type = 0;
    quint32 count = 0;
    quint32 field = 0;
};

QList<Entry> entries(const QByteArray &file, const Exif &exif, quint32 directory)
{
    QList<Entry> found;
    const qsizetype at = exif.tiff + directory;
    const quint32 count = read(file, at, 2, exif.little);
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype entry = at + 2 + 12 * qsizetype(i);
        found << Entry { entry, quint16(read(file, entry, 2, exif.little)),
            quint16(read(file, entry + 2, 2, exif.little)), read(file, entry + 4, 4, exif.little),
            read(file, entry + 8, 4, exif.little) };
    }
    return found;
}

std::optional<Entry> find(const QList<Entry> &in, quint16 tag)
{
    for (const Entry &entry : in) {
        if (entry.tag == tag)
            return entry;
    }
    return std::nullopt;
}

quint32 firstDirectory(const QByteArray &file, const Exif &exif)
{
    return read(file, exif.tiff + 4, 4, exif.little);
}

quint32 nextDirectory(const QByteArray &file, const Exif &exif, quint32 directory)
{
    const quint32 count = read(file, exif.tiff + directory, 2, exif.little);
    return read(file, exif.tiff + directory + 2 + 12 * qsizetype(count), 4, exif.little);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

// Turns the make's first word into another of its length, where the first
// directory holds it.
bool replaceMake(const QString &path, const QByteArray &from, const QByteArray &to)
{
    QByteArray file = bytesOf(path);
    const std::optional<std::pair<Exif, qsizetype>> segment = exifSegment(file);
    if (!segment)
        return false;
    const Exif exif = segment->first;
    const std::optional<Entry> make = find(entries(file, exif, firstDirectory(file, exif)), 0x010f);
    if (!make || make->count <= 4 || file.mid(exif.tiff + make->field, from.size()) != from)
        return false;
    file.replace(exif.tiff + make->field, to.size(), to);
    return save(path, file);
}

// In FLIR_Vue_Pro_640.jpg, the GPS record's entry in the directory of
// records, which starts in the first of its eleven FLIR segments, and the
// record itself, in the last: its version "2200" at 4, then in the order of
// the camera's other records (little-endian) the latitude and longitude
// (doubles) at 16 and 24 and the altitude (a float) at 32.
constexpr qsizetype vueProGpsEntry = 634;
constexpr qsizetype vueProGpsRecord = 659006;

bool isVueProGpsRecord(const QByteArray &file)
{
    return file.mid(vueProGpsEntry, 2) == QByteArray("\0\x2b", 2)
        && file.mid(vueProGpsRecord + 4, 4) == QByteArray("2200");
}

} // namespace

bool movedMakerNote(const QString &canonJpeg, const QString &made)
{
    if (!QFile::copy(canonJpeg, made) || !QFile::setPermissions(made, QFile::ReadOwner | QFile::WriteOwner)
        || !replaceMake(made, "Canon", "Canoo"))
        return false;
    QProcess exiv2;
    exiv2.start(QStringLiteral("exiv2"),
        { QStringLiteral("-M"), QStringLiteral("set Exif.Image.Artist ") + QString(120, QLatin1Char('a')),
            made });
    return exiv2.waitForFinished(60000) && exiv2.exitCode() == 0 && replaceMake(made, "Canoo", "Canon");
}

bool thumbnailPastExif(const QString &jpeg, const QString &made, int past)
{
    QByteArray file = bytesOf(jpeg);
    const std::optional<std::pair<Exif, qsizetype>> segment = exifSegment(file);
    if (!segment)
        return false;
    const Exif exif = segment->first;
    const quint32 thumbnail = nextDirectory(file, exif, firstDirectory(file, exif));
    const std::optional<Entry> length
        = thumbnail ? find(entries(file, exif, thumbnail), 0x0202) : std::nullopt;
    if (!length)
        return false;
    write(file, length->at + 8, 4, exif.little, length->field + quint32(past));
    return save(made, file);
}

bool exifCutBeforeThumbnail(const QString &jpeg, const QString &picture, const QString &made)
{
    const QByteArray file = bytesOf(jpeg);
    const QByteArray other = bytesOf(picture);
    const std::optional<std::pair<Exif, qsizetype>> segment = exifSegment(file);
    if (!segment || !other.startsWith("\xff\xd8"))
        return false;
    const Exif exif = segment->first;
    const quint32 thumbnail = nextDirectory(file, exif, firstDirectory(file, exif));
    const std::optional<Entry> offset
        = thumbnail ? find(entries(file, exif, thumbnail), 0x0201) : std::nullopt;
    if (!offset || exif.tiff + offset->field > segment->second)
        return false;
    // The segments before the Exif, and the Exif to where its thumbnail starts.
    QByteArray cut = file.left(exif.tiff + offset->field);
    write(cut, exif.tiff - 8, 2, false, quint32(exif.tiff + offset->field - (exif.tiff - 8)));
    qsizetype at = 2;
    while (at + 4 <= other.size() && uchar(other[at]) == 0xff && (uchar(other[at + 1]) & 0xf0) == 0xe0)
        at += 2 + qsizetype(read(other, at + 2, 2, false));
    return save(made, cut + other.mid(at));
}

bool multiPicture(const QString &main, const QString &second, const QString &made)
{
    const QByteArray picture = bytesOf(main);
    const QByteArray further = bytesOf(second);
    const std::optional<std::pair<Exif, qsizetype>> segment = exifSegment(picture);
    if (!segment || further.isEmpty())
        return false;
    // The index: its TIFF header, a directory of the format's version, the
    // number of pictures and their entries, then the two entries.
    QByteArray index("MPF\0MM\0*\0\0\0\x08", 12);
    index += QByteArray("\0\x03", 2);
    index += QByteArray("\xb0\x00\0\x07\0\0\0\x04"
                        "0100",
        12);
    index += QByteArray("\xb0\x01\0\x04\0\0\0\x01\0\0\0\x02", 12);
    index += QByteArray("\xb0\x02\0\x07\0\0\0\x20\0\0\0\x32", 12);
    index += QByteArray(4, '\0');
    const qsizetype entriesAt = index.size();
    index += QByteArray(32, '\0');
    QByteArray file = picture.left(segment->second);
    file += QByteArray("\xff\xe2", 2);
    QByteArray length(2, '\0');
    write(length, 0, 2, false, quint32(index.size() + 2));
    file += length + index;
    const qsizetype header = segment->second + 4 + 4;
    file += picture.mid(segment->second);
    const quint32 mainSize = quint32(file.size());
    file += further;
    const qsizetype at = segment->second + 4 + entriesAt;
    write(file, at, 4, false, 0x20030000); // the main picture
    write(file, at + 4, 4, false, mainSize);
    write(file, at + 16, 4, false, 0x00010001); // a larger preview
    write(file, at + 20, 4, false, quint32(further.size()));
    write(file, at + 24, 4, false, quint32(qsizetype(mainSize) - header));
    return save(made, file);
}

bool entryOfNoType(const QString &jpeg, const QString &made)
{
    QByteArray file = bytesOf(jpeg);
    const std::optional<std::pair<Exif, qsizetype>> segment = exifSegment(file);
    if (!segment)
        return false;
    const Exif exif = segment->first;
    const QList<Entry> first = entries(file, exif, firstDirectory(file, exif));
    if (first.size() < 3)
        return false;
    const Entry &middle = first[first.size() / 2];
    write(file, middle.at, 2, exif.little, 0x0001);
    write(file, middle.at + 2, 2, exif.little, 0);
    return save(made, file);
}

bool notePointingAstray(const QString &canonJpeg, const QString &made, Astray where)
{
    QByteArray file = bytesOf(canonJpeg);
    const std::optional<std::pair<Exif, qsizetype>> segment = exifSegment(file);
    if (!segment)
        return false;
    const Exif exif = segment->first;
    const std::optional<Entry> photo = find(entries(file, exif, firstDirectory(file, exif)), 0x8769);
    const std::optional<Entry> note = photo ? find(entries(file, exif, photo->field), 0x927c) : std::nullopt;
    if (!note)
        return false;
    const quint32 exifEnd = quint32(segment->second - exif.tiff);
    for (const Entry &entry : entries(file, exif, note->field)) {
        if (entry.type == 2 && entry.count > 4) {
            const quint32 at = where == Astray::BeforeItself ? 8
                : where == Astray::PastTheExif               ? exifEnd + 64
                                                             : exifEnd - 2;
            write(file, entry.at + 8, 4, exif.little, at);
            return save(made, file);
        }
    }
    return false;
}

bool previewAfterPicture(const QString &pentaxJpeg, const QString &preview, const QString &made)
{
    QByteArray file = bytesOf(pentaxJpeg);
    const QByteArray picture = bytesOf(preview);
    const std::optional<std::pair<Exif, qsizetype>> segment = exifSegment(file);
    if (!segment || picture.isEmpty())
        return false;
    const Exif exif = segment->first;
    const std::optional<Entry> photo = find(entries(file, exif, firstDirectory(file, exif)), 0x8769);
    const std::optional<Entry> note = photo ? find(entries(file, exif, photo->field), 0x927c) : std::nullopt;
    // The note's directory after its header "AOC\0" and its byte order.
    const QList<Entry> notes = note ? entries(file, exif, note->field + 6) : QList<Entry>();
    const std::optional<Entry> length = find(notes, 0x0003);
    const std::optional<Entry> start = find(notes, 0x0004);
    if (!length || !start)
        return false;
    write(file, length->at + 8, 4, exif.little, quint32(picture.size()));
    write(file, start->at + 8, 4, exif.little, quint32(file.size() - exif.tiff));
    return save(made, file + picture);
}

bool copiedCameraData(const QList<CameraDataCopy> &copies)
{
    QStringList commands;
    for (const CameraDataCopy &copy : copies) {
        const std::optional<std::pair<Exif, qsizetype>> segment = exifSegment(bytesOf(copy.camera));
        if (!segment)
            return false;
        commands << QStringLiteral("-o") << copy.made;
        if (copy.otherOrder)
            commands << QStringLiteral("-ExifByteOrder=")
                    + (segment->first.little ? QStringLiteral("MM") : QStringLiteral("II"));
        commands << QStringLiteral("-tagsfromfile") << copy.camera << QStringLiteral("-exif:all")
                 << QStringLiteral("-makernotes:all") << (copy.base.isEmpty() ? copy.camera : copy.base)
                 << QStringLiteral("-execute");
    }
    return secondreader::make(commands)
        && std::all_of(copies.begin(), copies.end(),
            [](const CameraDataCopy &copy) { return QFile::exists(copy.made); });
}

bool olympusRaw(const QString &tiff, const QString &made)
{
    QByteArray file = bytesOf(tiff);
    if (file.startsWith(QByteArray("II*\0", 4)))
        file.replace(2, 2, "RO");
    else if (file.startsWith(QByteArray("MM\0*", 4)))
        file.replace(2, 2, "OR");
    else
        return false;
    return save(made, file);
}

bool interoperabilityInFirstDirectory(const QString &tiff, const QString &made)
{
    QByteArray file = bytesOf(tiff);
    if (file.size() < 8 || (!file.startsWith("II") && !file.startsWith("MM")))
        return false;
    const Exif exif { 0, file.startsWith("II") };
    QList<Entry> first = entries(file, exif, firstDirectory(file, exif));
    // The interoperability directory, its two values in its entries, then
    // the first directory again with an entry that names it.
    if (file.size() % 2)
        file += '\0';
    const quint32 interoperability = quint32(file.size());
    QByteArray directory(2 + 2 * 12 + 4, '\0');
    write(directory, 0, 2, exif.little, 2);
    write(directory, 2, 2, exif.little, 0x0001);
    write(directory, 4, 2, exif.little, 2);
    write(directory, 6, 4, exif.little, 4);
    directory.replace(10, 4, QByteArray("R98\0", 4));
    write(directory, 14, 2, exif.little, 0x0002);
    write(directory, 16, 2, exif.little, 7);
    write(directory, 18, 4, exif.little, 4);
    directory.replace(22, 4, "0100");
    file += directory;
    QByteArray image(2 + (first.size() + 1) * 12 + 4, '\0');
    write(image, 0, 2, exif.little, quint32(first.size() + 1));
    qsizetype at = 2;
    bool named = false;
    for (const Entry &entry : first) {
        if (!named && entry.tag > 0xa005) {
            write(image, at, 2, exif.little, 0xa005);
            write(image, at + 2, 2, exif.little, 4);
            write(image, at + 4, 4, exif.little, 1);
            write(image, at + 8, 4, exif.little, interoperability);
            at += 12;
            named = true;
        }
        image.replace(at, 12, file.mid(entry.at, 12));
        at += 12;
    }
    if (!named) {
        write(image, at, 2, exif.little, 0xa005);
        write(image, at + 2, 2, exif.little, 4);
        write(image, at + 4, 4, exif.little, 1);
        write(image, at + 8, 4, exif.little, interoperability);
    }
    write(file, 4, 4, exif.little, quint32(file.size()));
    file += image;
    return save(made, file);
}

bool thermalPosition(
    const QString &vueProJpeg, const QString &made, double latitude, double longitude, float altitude)
{
    QByteArray file = bytesOf(vueProJpeg);
    if (!isVueProGpsRecord(file))
        return false;
    auto *record = reinterpret_cast<uchar *>(file.data() + vueProGpsRecord);
    qToLittleEndian<double>(latitude, record + 16);
    qToLittleEndian<double>(longitude, record + 24);
    qToLittleEndian<float>(altitude, record + 32);
    return save(made, file);
}

bool thermalRecordOutside(const QString &thermalJpeg, const QString &made)
{
    QByteArray file = bytesOf(thermalJpeg);
    if (!isVueProGpsRecord(file))
        return false;
    write(file, vueProGpsEntry + 12, 4, false, 0x7fff0000);
    return save(made, file);
}

bool wholeDng(const QString &copy)
{
    constexpr qint64 pictureDataEnd = 29303899;
    return QFile::resize(copy, pictureDataEnd);
}

} // namespace camerasamples
