// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/check/WriteRequest.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

// What a write was asked for and the written file does not hold as asked,
// or what a clear was asked to take and left; the rest was done.
struct Shortfall
{
    enum class Kind : std::uint8_t {
        // The file has no place for the value, or holds its own instead.
        NotWritten,
        // Cut to the most its IPTC dataset holds.
        Shortened,
        // Written, but its copy in the file's XMP, which cannot be read,
        // keeps the old value.
        CopyNotUpdated,
        // Written, but the copy a PNG's Photoshop profile, which cannot be
        // read, keeps of the IPTC keeps the old value.
        ProfileCopyNotUpdated,
        // Written, but a copy elsewhere in the file keeps an older value: a
        // PNG text that cannot be read, or a copy another program keeps in
        // a place of its own (a maker note, a segment, a sub-image).
        OlderCopyStays,
        // A clear, or a write that emptied the rest, left it in the file.
        Kept,
        // Left out of the written file: an entry of no type other readers
        // know, at which they would stop reading the rest.
        LeftOut,
    };
    Kind kind = Kind::NotWritten;
    // The value's Exiv2 key; for what a clear kept, its choice: "exif",
    // "orientation", "gps", "comment", "iptc" or "xmp".
    QString key;
    // Why, as the console line says it.
    QString reason;

    bool operator==(const Shortfall &) const = default;
};
using Shortfalls = QList<Shortfall>;

// The one place that talks to Exiv2. Each operation opens one image file,
// does its job and lets the file go before it returns; nothing is kept
// between calls, so any instance serves any call from any thread. No
// operation throws: a failure prints one line on standard error
// ("*** error exiv2 exception '<message>' ***" or "*** error exception ***")
// and gives the failure result.
class MetadataOperation
{
public:
    // The check every written file passes before it takes the original's
    // place (engine::check::refusal): why it may not, or none. The owner of
    // an operation that writes hands it over; one without it writes
    // nothing, and a write or a clear through it fails.
    using WrittenFileCheck = std::function<std::optional<std::string>(std::span<const std::uint8_t> original,
        std::span<const std::uint8_t> written, const engine::check::WriteRequest &request)>;
    MetadataOperation() = default;
    explicit MetadataOperation(WrittenFileCheck check)
        : m_check(std::move(check))
    { }

    // Every Exif, IPTC and XMP value of the file, keyed by Exiv2 key
    // ("Exif.Photo.FNumber"): texts as QString, whole numbers as qint64,
    // rationals and GPS coordinates as double, single-precision values as
    // float. A repeatable IPTC dataset gives all its items in one text
    // ("\"Smith, John\", Alps"). Empty for a file without metadata; none
    // when reading failed.
    std::optional<QVariantMap> getMetadata(const QString &path) const;

    // Where a write or a clear puts the file it made: by default the
    // finished bytes replace the file that was read, in one step; a copy
    // in the making takes them into a new file instead, leaving the
    // original as it was. Answers an empty text, or why it failed.
    using Destination = std::function<QString(const char *data, qint64 size)>;

    // Writes the values of the known keys (others are ignored) into the
    // file; a null value, or an empty date, removes its key. With empty set,
    // the file's other Exif, IPTC and XMP values go, but for what its
    // picture needs. "Exif.Photo.UserComment" also sets the JPEG comment.
    // A value that is refused (a number its tag's type cannot hold) or that
    // the written file does not hold is named on standard error, as is an
    // IPTC text cut at its dataset's limit; the others are written all the
    // same, and listed in *shortfalls when it is given. Where the file's XMP
    // repeats a written Exif or IPTC value, the copy takes it too, as does a
    // PNG's Photoshop profile the IPTC and its comment texts the comment; a
    // PNG's text copies of the written values go. The values not named keep
    // theirs, maker notes included; a copy of a written value another
    // program put in another Exif directory takes it too; a copy another
    // program keeps of a written value where it is left alone is listed.
    bool setMetadata(const QString &path, const QVariantMap &values, bool empty, const Destination &into = {},
        Shortfalls *shortfalls = nullptr) const;

    // Removes the chosen groups from every place the file keeps them:
    // general Exif (all but the GPS, the orientation, the user comment and
    // what the picture needs) with a JPEG's camera segments, the
    // orientation of the first and the thumbnail directory, the GPS
    // directory, the user comment with the JPEG comment, all IPTC, all XMP;
    // copies in XMP, and in another Exif directory than their own, go with
    // their Exif; a JPEG's further comment segments and a PNG's text
    // keyed "Comment" in any case go with the comment, and the copies image
    // converters keep in a PNG (text copies of Exif and XMP values, the
    // IPTC of a Photoshop profile) with their group.
    // Fails, leaving the file as it was, when the written file still holds
    // what a choice names; finding nothing to take, leaves the file
    // untouched and succeeds. What a choice leaves on purpose (a raw file's
    // camera, copies in XMP or a Photoshop profile that cannot be read) is
    // printed, and listed in *shortfalls when it is given, as are copies
    // other programs keep where they are left alone (a maker note's IPTC
    // and rotation, a JPEG segment's comment, a trailer's IPTC, a
    // sub-image's XMP).
    bool clearMetadata(const QString &path, bool exif, bool orientation, bool gps, bool comment, bool iptc,
        bool xmp, const Destination &into = {}, Shortfalls *shortfalls = nullptr) const;

    // Why the last call on this thread that failed failed, as its console
    // line says (the library's message, or "unexpected error").
    static QString lastFailure();

    // Prints the file's Exif values in aligned columns on standard output.
    void readFrom(const QString &path) const;
    // The file's Exif, IPTC and XMP values as three brace blocks of quoted
    // key and value pairs, one after the other.
    std::optional<QString> readJSONStringFrom(const QString &path) const;

private:
    WrittenFileCheck m_check;
};
