// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleStructure.h"

#include <algorithm>
#include <optional>
#include <set>

namespace mutation {

namespace {

constexpr int maxDirectories = 40;
constexpr quint32 maxEntries = 400;
constexpr int maxBoxDepth = 3;

class Walk
{
public:
    explicit Walk(const QByteArray &bytes)
        : m_bytes(bytes)
    { }

    Structure walkAll()
    {
        jpeg(0);
        thermalRecords();
        trailers();
        if (startsWith(0, QByteArrayLiteral("\xff\x01")))
            jpeg(7); // Exiv2's own metadata file: JPEG segments after its header
        png();
        tiff(0, m_bytes.size());
        photoshop();
        resources();
        boxes(0, m_bytes.size(), 0);
        riff();
        pgf();
        for (const char *marker : { "<?xpacket", "<x:xmpmeta", "</x:xmpmeta>", "<rdf:Description" }) {
            for (qsizetype at = m_bytes.indexOf(marker); at >= 0; at = m_bytes.indexOf(marker, at + 1))
                m_found.landmarks.push_back(at);
        }
        for (const NumberField &field : m_found.fields)
            m_found.landmarks.push_back(field.at);
        for (const Piece &piece : m_found.pieces) {
            m_found.landmarks.push_back(piece.at);
            m_found.landmarks.push_back(piece.at + piece.size);
        }
        return m_found;
    }

private:
    bool has(qsizetype at, qsizetype size) const
    {
        return at >= 0 && size >= 0 && at <= m_bytes.size() && size <= m_bytes.size() - at;
    }
    bool startsWith(qsizetype at, const QByteArray &head) const
    {
        return has(at, head.size()) && m_bytes.mid(at, head.size()) == head;
    }
    quint32 number(qsizetype at, int width, bool bigEndian) const
    {
        quint32 value = 0;
        for (int i = 0; i < width; ++i) {
            const quint32 byte = quint8(m_bytes[at + (bigEndian ? i : width - 1 - i)]);
            value = value << 8 | byte;
        }
        return value;
    }
    // The field's value; the field is noted when it lies within the bytes.
    std::optional<quint32> field(qsizetype at, int width, bool bigEndian = true)
    {
        if (!has(at, width))
            return std::nullopt;
        m_found.fields.push_back({ at, width, bigEndian });
        return number(at, width, bigEndian);
    }
    void piece(qsizetype at, qsizetype size)
    {
        if (has(at, size) && size > 0)
            m_found.pieces.push_back({ at, size });
    }

    void jpeg(qsizetype from)
    {
        if (from == 0 && !startsWith(0, QByteArrayLiteral("\xff\xd8")))
            return;
        if (from != 0 && !startsWith(2, QByteArrayLiteral("Exiv2")))
            return;
        for (qsizetype at = from == 0 ? 2 : from; has(at, 4) && quint8(m_bytes[at]) == 0xff;) {
            const quint8 marker = quint8(m_bytes[at + 1]);
            if (marker == 0xff) {
                ++at;
                continue;
            }
            if (marker == 0xda || marker == 0xd9)
                return;
            const quint32 length = *field(at + 2, 2);
            if (length < 2 || !has(at + 2, length))
                return;
            piece(at, 2 + length);
            const qsizetype payload = at + 4;
            if (marker == 0xe1 && startsWith(payload, QByteArrayLiteral("Exif\0\0")))
                tiff(payload + 6, length - 8);
            if (marker == 0xe0 && length > 26 + 2 && m_bytes.mid(payload + 6, 8) == "HEAPJPGM")
                ciffHeap(payload + 26, length - 2 - 26, m_bytes[payload] == 'M', 0);
            // A part of a thermal camera's file of records: its number and
            // the last part's, then its share of the file.
            if (marker == 0xe1 && length > 10 && startsWith(payload, QByteArrayLiteral("FLIR\0"))) {
                field(payload + 6, 2);
                m_thermalParts.push_back({ payload + 8, qsizetype(length) - 10 });
            }
            at += 2 + length;
        }
    }

    // A camera's heap: its directory's place at its end, the directory's
    // count, and each entry's size and offset.
    void ciffHeap(qsizetype at, qsizetype size, bool bigEndian, int depth)
    {
        if (size < 4 || depth > maxBoxDepth)
            return;
        const quint32 directory = *field(at + size - 4, 4, bigEndian);
        const std::optional<quint32> count
            = directory < size ? field(at + directory, 2, bigEndian) : std::nullopt;
        for (quint32 i = 0; count && i < std::min(*count, maxEntries); ++i) {
            const qsizetype entry = at + directory + 2 + 10 * i;
            if (entry + 10 > at + size - 4)
                return;
            const quint32 tag = number(entry, 2, bigEndian);
            const quint32 length = *field(entry + 2, 4, bigEndian);
            const quint32 offset = *field(entry + 6, 4, bigEndian);
            if ((tag & 0xc000) == 0 && (tag & 0x3800) >= 0x2800 && offset < size && length <= size - offset)
                ciffHeap(at + offset, length, bigEndian, depth + 1);
        }
    }

    // Where the byte at this offset of the thermal camera's file of records
    // lies, its parts joined; -1 past their end.
    qsizetype inThermalFile(qsizetype at) const
    {
        for (const Piece &part : m_thermalParts) {
            if (at < part.size)
                return part.at + at;
            at -= part.size;
        }
        return -1;
    }
    // A number of that file, noted where one part holds all of it.
    std::optional<quint32> thermalField(qsizetype at, int width, bool bigEndian)
    {
        const qsizetype first = inThermalFile(at);
        if (first < 0 || inThermalFile(at + width - 1) != first + width - 1)
            return std::nullopt;
        return field(first, width, bigEndian);
    }

    // The file's version, which tells its byte order, its directory's place
    // and count, and each entry's type, offset and length; the GPS record.
    void thermalRecords()
    {
        const qsizetype header = inThermalFile(0);
        if (header < 0 || inThermalFile(63) != header + 63
            || (!startsWith(header, QByteArrayLiteral("FFF\0"))
                && !startsWith(header, QByteArrayLiteral("AFF\0"))))
            return;
        const quint32 version = *field(header + 20, 4);
        const bool bigEndian = version >= 100 && version < 200;
        const std::optional<quint32> directory = thermalField(24, 4, bigEndian);
        const std::optional<quint32> count = thermalField(28, 4, bigEndian);
        for (quint32 i = 0; directory && count && i < std::min(*count, maxEntries); ++i) {
            const qsizetype entry = qsizetype(*directory) + 32 * qsizetype(i);
            const std::optional<quint32> type = thermalField(entry, 2, bigEndian);
            const std::optional<quint32> offset = thermalField(entry + 12, 4, bigEndian);
            const std::optional<quint32> length = thermalField(entry + 16, 4, bigEndian);
            const qsizetype record = offset ? inThermalFile(*offset) : -1;
            if (type == 0x2b && record >= 0 && length && *length > 0
                && inThermalFile(*offset + qsizetype(*length) - 1) == record + qsizetype(*length) - 1)
                piece(record, *length);
        }
    }

    // What follows a JPEG's picture, from the file's end: an "AXS"
    // trailer's footer, header and entries, a trailer of records' sizes,
    // and the IPTC in them.
    void trailers()
    {
        if (!startsWith(0, QByteArrayLiteral("\xff\xd8")))
            return;
        qsizetype end = m_bytes.size();
        for (int trailer = 0; trailer < maxDirectories && end > 12; ++trailer) {
            if (m_bytes.mid(end - 12, 3) == "AXS") {
                const bool bigEndian = m_bytes[end - 9] == '!';
                const quint32 start = *field(end - 8, 4, bigEndian);
                if (start >= end - 12 || !startsWith(start, m_bytes.mid(end - 12, 4)))
                    return;
                const quint32 count = *field(start + 6, 2, bigEndian);
                for (quint32 i = 0; i < std::min(count, maxEntries) && has(start + 12 + 12 * i, 12); ++i) {
                    const qsizetype entry = start + 12 + 12 * i;
                    const quint32 size = *field(entry + 4, 4, bigEndian);
                    const quint32 offset = *field(entry + 8, 4, bigEndian);
                    if (m_bytes.mid(entry, 4) == "IPTC" && has(offset, size))
                        iptc(offset, size);
                }
                end = start;
            } else if (m_bytes.mid(end - 4, 4) == "\xa1\xb2\xc3\xd4") {
                const quint32 size = *field(end - 8, 4);
                if (size < 10 || size > end)
                    return;
                piece(end - size, size);
                if (number(end - 10, 2, true) == 1)
                    iptc(end - size, size - 10);
                end -= size;
            } else {
                return;
            }
        }
    }

    void png()
    {
        if (!startsWith(0, QByteArrayLiteral("\x89PNG\r\n\x1a\n")))
            return;
        for (qsizetype at = 8; has(at, 12);) {
            const quint32 length = *field(at, 4);
            if (!has(at + 12, length))
                return;
            piece(at, 12 + length);
            if (startsWith(at + 4, QByteArrayLiteral("eXIf")))
                tiff(at + 8, length);
            at += 12 + length;
        }
    }

    // A TIFF structure: its directories and the ones they point at.
    void tiff(qsizetype start, qsizetype size)
    {
        if (!has(start, size) || size < 8)
            return;
        bool bigEndian = false;
        if (startsWith(start, QByteArrayLiteral("MM")))
            bigEndian = true;
        else if (!startsWith(start, QByteArrayLiteral("II")))
            return;
        std::vector<quint32> pending { *field(start + 4, 4, bigEndian) };
        std::set<quint32> seen;
        for (int directories = 0; !pending.empty() && directories < maxDirectories; ++directories) {
            const quint32 offset = pending.back();
            pending.pop_back();
            if (offset < 8 || offset >= size || !seen.insert(offset).second)
                continue;
            const qsizetype directory = start + offset;
            const std::optional<quint32> count = field(directory, 2, bigEndian);
            if (!count)
                continue;
            quint32 entry = 0;
            for (; entry < std::min(*count, maxEntries) && has(directory + 2 + 12 * entry, 12); ++entry) {
                const qsizetype at = directory + 2 + 12 * entry;
                const quint32 tag = number(at, 2, bigEndian);
                const quint32 type = number(at + 2, 2, bigEndian);
                const quint32 values = *field(at + 4, 4, bigEndian);
                const quint32 value = *field(at + 8, 4, bigEndian);
                const bool pointer = tag == 0x8769 || tag == 0x8825 || tag == 0xa005 || tag == 0x014a;
                if (pointer && (type == 4 || type == 13))
                    pending.push_back(value);
                if ((tag == 0x927c || tag == 0x83bb || tag == 0x8649) && values > 4 && value < size)
                    piece(start + value, std::min<qsizetype>(values, size - value));
                if (tag == 0x83bb && values > 4 && value < size)
                    iptc(start + value, std::min<qsizetype>(values * (type == 4 ? 4 : 1), size - value));
                if (tag == 0x927c && values > 18 && value < size
                    && startsWith(start + value, QByteArrayLiteral("Nikon\0\2")))
                    tiff(start + value + 10, std::min<qsizetype>(values, size - value) - 10);
            }
            piece(directory, 2 + 12 * entry + 4);
            if (const std::optional<quint32> next = field(directory + 2 + 12 * entry, 4, bigEndian))
                pending.push_back(*next);
        }
    }

    void iptc(qsizetype at, qsizetype size)
    {
        const qsizetype end = at + size;
        while (has(at, 5) && at + 5 <= end && m_bytes[at] == '\x1c') {
            const quint32 length = *field(at + 3, 2);
            if (length & 0x8000 || !has(at + 5, length))
                return;
            piece(at, 5 + length);
            at += 5 + length;
        }
    }

    // Photoshop image resources wherever they are: a JPEG's APP13
    // segments, a Photoshop file's resource section, a TIFF tag.
    void resources()
    {
        const QByteArray signature = QByteArrayLiteral("8BIM");
        for (qsizetype at = m_bytes.indexOf(signature); at >= 0; at = m_bytes.indexOf(signature, at + 1)) {
            if (!has(at, 8))
                return;
            const quint32 id = number(at + 4, 2, true);
            const qsizetype name = 1 + quint8(m_bytes[at + 6]);
            const qsizetype sizeAt = at + 6 + name + (name & 1);
            const std::optional<quint32> size = field(sizeAt, 4);
            if (!size || !has(sizeAt + 4, *size))
                continue;
            piece(at, sizeAt + 4 + *size - at);
            if (id == 0x0404)
                iptc(sizeAt + 4, *size);
        }
    }

    void photoshop()
    {
        if (!startsWith(0, QByteArrayLiteral("8BPS")))
            return;
        const std::optional<quint32> colourMode = field(26, 4);
        if (!colourMode || !has(30, *colourMode))
            return;
        const qsizetype resourcesAt = 30 + qsizetype(*colourMode);
        const std::optional<quint32> resourcesSize = field(resourcesAt, 4);
        if (resourcesSize && has(resourcesAt + 4, *resourcesSize))
            field(resourcesAt + 4 + *resourcesSize, 4); // the layers' section
    }

    // JPEG 2000 boxes, and the TIFF structure of an Exif box.
    void boxes(qsizetype at, qsizetype end, int depth)
    {
        if (depth == 0 && !startsWith(0, QByteArrayLiteral("\0\0\0\x0cjP  \r\n\x87\n")))
            return;
        while (has(at, 8) && at + 8 <= end && depth <= maxBoxDepth) {
            const quint32 length = *field(at, 4);
            if (length < 8 || !has(at, length) || at + length > end)
                return;
            piece(at, length);
            const QByteArray type = m_bytes.mid(at + 4, 4);
            if (type == "jp2h" || type == "res ")
                boxes(at + 8, at + length, depth + 1);
            if (type == "uuid" && length > 24) {
                const qsizetype data = at + 24;
                tiff(startsWith(data, QByteArrayLiteral("Exif\0\0")) ? data + 6 : data, at + length - data);
            }
            at += length;
        }
    }

    void riff()
    {
        if (!startsWith(0, QByteArrayLiteral("RIFF")))
            return;
        field(4, 4, false);
        for (qsizetype at = 12; has(at, 8);) {
            const quint32 size = *field(at + 4, 4, false);
            if (!has(at + 8, size))
                return;
            piece(at, 8 + size);
            if (startsWith(at, QByteArrayLiteral("EXIF")))
                tiff(startsWith(at + 8, QByteArrayLiteral("Exif\0\0")) ? at + 14 : at + 8, size);
            at += 8 + size + (size & 1);
        }
    }

    void pgf()
    {
        if (!startsWith(0, QByteArrayLiteral("PGF")))
            return;
        const std::optional<quint32> header = field(4, 4, false);
        if (header && has(8, *header))
            piece(8, *header);
    }

    const QByteArray &m_bytes;
    Structure m_found;
    // The parts of a thermal camera's file of records, in the file's order.
    std::vector<Piece> m_thermalParts;
};

} // namespace

Structure structureOf(const QByteArray &bytes)
{
    return Walk(bytes).walkAll();
}

} // namespace mutation
