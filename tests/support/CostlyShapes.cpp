// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CostlyShapes.h"

#include <QBuffer>
#include <QImage>
#include <QList>
#include <QtEndian>

namespace costlyshapes {

namespace {

template <typename Number> QByteArray little(Number n)
{
    QByteArray bytes(sizeof n, '\0');
    qToLittleEndian(n, bytes.data());
    return bytes;
}

template <typename Number> QByteArray big(Number n)
{
    QByteArray bytes(sizeof n, '\0');
    qToBigEndian(n, bytes.data());
    return bytes;
}

QByteArray picture(const char *format)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray jpegSegment(uchar marker, const QByteArray &payload)
{
    return QByteArray(1, char(0xff)) + char(marker) + big(quint16(payload.size() + 2)) + payload;
}

// A small picture with these segments after its JFIF header, where
// cameras and the library put the Exif.
QByteArray jpegWith(const QByteArray &segments)
{
    const QByteArray jpeg = picture("JPG");
    const qsizetype header
        = jpeg.mid(2, 2) == "\xff\xe0" ? 4 + qFromBigEndian<quint16>(jpeg.constData() + 4) : 2;
    return jpeg.left(header) + segments + jpeg.mid(header);
}

// One little-endian TIFF directory entry: a value of four bytes or less
// stands in its field, a longer one where field says.
struct Entry
{
    quint16 tag = 0;
    quint16 type = 0;
    quint32 count = 0;
    quint32 field = 0;
};

QByteArray directory(const QList<Entry> &entries, quint32 next = 0)
{
    QByteArray bytes = little(quint16(entries.size()));
    for (const Entry &entry : entries)
        bytes += little(entry.tag) + little(entry.type) + little(entry.count) + little(entry.field);
    return bytes + little(next);
}

constexpr quint16 shortType = 3;
constexpr quint16 longType = 4;
constexpr quint16 asciiType = 2;
constexpr quint16 undefinedType = 7;

quint32 directorySize(int entries)
{
    return 2 + 12 * quint32(entries) + 4;
}

constexpr Entry orientation { 0x0112, shortType, 1, 1 };

// A TIFF of one grey pixel, its orientation told, whose first directory
// holds these entries too
// (with tags above 0x0117) after those of the picture, and whose values
// and notes are the bytes that follow the directory, from `after` on.
QByteArray tinyTiff(const QList<Entry> &more, const QByteArray &after)
{
    const quint32 first = 8;
    const quint32 pixel = first + directorySize(int(9 + more.size()));
    QList<Entry> entries { { 0x0100, shortType, 1, 1 }, { 0x0101, shortType, 1, 1 },
        { 0x0102, shortType, 1, 8 }, { 0x0103, shortType, 1, 1 }, { 0x0106, shortType, 1, 1 },
        { 0x0111, longType, 1, pixel }, orientation, { 0x0116, shortType, 1, 1 },
        { 0x0117, longType, 1, 1 } };
    entries += more;
    return QByteArray("II*\0", 4) + little(first) + directory(entries) + QByteArray(4, '\x80') + after;
}

// Where a tinyTiff's bytes after its directory start.
quint32 tinyTiffAfter(int more)
{
    return 8 + directorySize(9 + more) + 4;
}

// Where exifWithNote puts the note: after the first directory, the make
// (up to 16 bytes) and the Exif directory.
constexpr quint32 exifNoteAt = 8 + 2 + 3 * 12 + 4 + 16 + 18;

// An Exif of a camera's make, its orientation told, whose Exif directory
// holds only its maker note: the note's bytes as given, its offsets
// counting from the TIFF header, where it starts at exifNoteAt.
QByteArray exifWithNote(const QByteArray &make, const QByteArray &note)
{
    const quint32 makeAt = 8 + directorySize(3);
    const quint32 exifAt = makeAt + 16;
    QByteArray tiff = QByteArray("II*\0", 4) + little(quint32(8))
        + directory({ { 0x010f, asciiType, quint32(make.size() + 1), makeAt }, orientation,
            { 0x8769, longType, 1, exifAt } });
    tiff += (make + QByteArray(16, '\0')).left(16);
    tiff += directory({ { 0x927c, undefinedType, quint32(note.size()), exifNoteAt } });
    Q_ASSERT(tiff.size() == qsizetype(exifNoteAt));
    return tiff + note;
}

QByteArray exifSegment(const QByteArray &tiff)
{
    return jpegSegment(0xe1, QByteArray("Exif\0\0", 6) + tiff);
}

QByteArray photoshopResource(quint16 id, const QByteArray &data)
{
    QByteArray padded = data;
    if (padded.size() % 2)
        padded += '\0';
    return QByteArray("8BIM") + big(id) + QByteArray(2, '\0') + big(quint32(data.size())) + padded;
}

QByteArray riffChunk(const QByteArray &type, const QByteArray &data)
{
    return type + little(quint32(data.size())) + data
        + (data.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

} // namespace

QByteArray heapSegment(quint16 entriesALevel)
{
    QByteArray heap = little<quint16>(0) + little<quint32>(0);
    for (int level = 0; level < 8; ++level) {
        const auto below = quint32(heap.size());
        heap += little(entriesALevel);
        for (quint16 i = 0; i < entriesALevel; ++i)
            heap += little<quint16>(0x280a) + little(below) + little<quint32>(0);
        heap += little(below);
    }
    return jpegSegment(0xe0, QByteArray("II\x1a\0\0\0HEAPJPGM", 14) + QByteArray(12, '\0') + heap);
}

QByteArray axsTrailer(quint16 entriesAMark)
{
    constexpr quint32 pastTheFile = 0x7fff0000;
    const quint32 data = 12 + 12 * quint32(entriesAMark);
    const QByteArray mark = QByteArray("AXS!\0\0", 6) + big(entriesAMark) + big(pastTheFile + data);
    return mark.repeated(entriesAMark + 1) + QByteArray(qsizetype(data) + entriesAMark, '\0') + "AXS!"
        + big(pastTheFile) + QByteArray(4, '\0');
}

QByteArray olympusChain()
{
    constexpr int directories = 4;
    constexpr int entries = 160;
    constexpr quint32 before = 8;
    // The note's header, then its directories one after the other.
    QByteArray note("OLYMP\0\x01\0", 8);
    for (int d = 0; d < directories; ++d) {
        const quint32 next = exifNoteAt + 8 + quint32(d + 1) * directorySize(entries);
        QList<Entry> list;
        for (int e = 0; e < entries; ++e) {
            const bool last = d == directories - 1 || e == entries - 1;
            list << (last ? Entry { 0x0200, asciiType, 8, before } : Entry { 0x2010, longType, 1, next });
        }
        note += directory(list);
    }
    return jpegWith(exifSegment(exifWithNote("OLYMPUS", note)));
}

QByteArray noteInComments()
{
    constexpr int values = 2000;
    constexpr int comments = 100000;
    constexpr int commentSize = 12;
    constexpr qsizetype segmentSize = 4 + commentSize;
    // The Exif segment's size, then where the comments start, from the
    // TIFF header.
    const qsizetype exifSegmentSize = 4 + 6 + qsizetype(exifNoteAt) + qsizetype(directorySize(values));
    const qsizetype firstComment = exifSegmentSize - 4 - 6;
    QList<Entry> list;
    for (int v = 0; v < values; ++v) {
        // Not the first comment, which the library writes anew.
        const qsizetype comment = 1 + qsizetype(v) * (comments / values);
        list << Entry { quint16(0x1000 + v), undefinedType, commentSize,
            quint32(firstComment + comment * segmentSize + 4) };
    }
    const QByteArray exif = exifSegment(exifWithNote("Canon", directory(list)));
    Q_ASSERT(exif.size() == exifSegmentSize);
    QByteArray segments = exif;
    segments.reserve(exif.size() + comments * segmentSize);
    for (int c = 0; c < comments; ++c)
        segments += jpegSegment(0xfe, QByteArray::number(c).rightJustified(commentSize, 'c'));
    return jpegWith(segments);
}

QByteArray noteNamingOnePreview()
{
    constexpr int entries = 1000;
    const QByteArray preview = "\xff\xd8" + QByteArray(64 * 1024, '\x55') + "\xff\xd9";
    // Where the preview will stand, from the TIFF header: after the
    // picture, whose size the note's does not change.
    const auto file = [&](quint32 previewAt) {
        QList<Entry> note;
        for (int e = 0; e < entries; ++e)
            note << Entry { quint16(0x1000 + e), undefinedType, quint32(preview.size()), previewAt };
        return jpegWith(exifSegment(exifWithNote("Canon", directory(note))));
    };
    const QByteArray picture = file(0);
    const qsizetype tiff = picture.indexOf("Exif\0\0II", 0) + 6;
    return file(quint32(picture.size() - tiff)) + preview;
}

QByteArray canonNoteNamingOneBlock()
{
    constexpr int entries = 250;
    constexpr quint32 blockSize = 1 << 20;
    const quint32 makeAt = tinyTiffAfter(2);
    const quint32 exifAt = makeAt + 6;
    const quint32 noteAt = exifAt + directorySize(1);
    const quint32 blockAt = noteAt + directorySize(entries);
    QList<Entry> note;
    for (int e = 0; e < entries; ++e)
        note << Entry { quint16(0x1000 + e), undefinedType, blockSize, blockAt };
    QByteArray block(blockSize, '\0');
    for (quint32 i = 0; i < blockSize; ++i)
        block[i] = char(i * 7);
    return tinyTiff({ { 0x010f, asciiType, 6, makeAt }, { 0x8769, longType, 1, exifAt } },
        QByteArray("Canon\0", 6) + directory({ { 0x927c, undefinedType, directorySize(entries), noteAt } })
            + directory(note) + block);
}

QByteArray layeredTiff(int layerMegabytes)
{
    const quint32 size = quint32(layerMegabytes) << 20;
    QByteArray layers("Adobe Photoshop Document Data Block\0", 36);
    layers.reserve(size);
    while (quint32(layers.size()) < size)
        layers += "8BIMLr16" + QByteArray(248, char(layers.size() / 256 % 251));
    layers.truncate(size);
    return tinyTiff({ { 0x935c, undefinedType, size, tinyTiffAfter(1) } }, layers);
}

QByteArray splitIptc()
{
    constexpr int segments = 24000;
    // The smallest resource there is: no name, no data.
    const QByteArray filler = photoshopResource(0x0fa0, QByteArray());
    const QByteArray iptc = photoshopResource(0x0404, QByteArray("\x1c\x02\x5a\0\x09Somewhere", 14));
    const qsizetype half = filler.size() / 2;
    QByteArray all;
    for (int s = 0; s < segments; ++s) {
        // The tail of the resource the last segment began, two whole
        // resources, and the head of one that runs on into the next.
        QByteArray resources = s > 0 ? filler.mid(half) : QByteArray();
        resources += filler + filler;
        resources += s + 1 < segments ? filler.left(half) : iptc;
        all += jpegSegment(0xed, QByteArray("Photoshop 3.0\0", 14) + resources);
    }
    return jpegWith(all);
}

QByteArray manyWebpChunks()
{
    constexpr int chunks = 2000;
    constexpr int exifEntries = 60;
    const QByteArray image = picture("WEBP");
    // The picture's own chunk, after "RIFF", its size and "WEBP".
    const QByteArray pictureChunk = image.mid(12);
    QList<Entry> entries { { 0x013b, asciiType, 8, directorySize(exifEntries) + 8 } };
    for (int e = 1; e < exifEntries; ++e)
        entries << Entry { quint16(0xc000 + e), shortType, 1, quint32(e) };
    const QByteArray exif
        = QByteArray("II*\0", 4) + little(quint32(8)) + directory(entries) + QByteArray("Someone\0", 8);
    const QByteArray xmp
        = "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?><x:xmpmeta xmlns:x='adobe:ns:meta/'>"
          "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
          "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>"
          "<dc:source>"
        + QByteArray(1000, 's') + "</dc:source></rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>";
    // Its canvas, with the flags for Exif and XMP.
    QByteArray body = "WEBP"
        + riffChunk("VP8X", QByteArray(1, '\x0c') + QByteArray(3, '\0') + QByteArray("\x07\0\0\x07\0\0", 6))
        + pictureChunk;
    for (int c = 0; c < chunks; ++c)
        body += c % 2 ? riffChunk("XMP ", xmp) : riffChunk("EXIF", exif);
    return "RIFF" + little(quint32(body.size())) + body;
}

} // namespace costlyshapes
