// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MetadataOperation.h"

#include "engine/BridgeFrame.h"
#include "engine/CopiesLeftAlone.h"
#include "engine/ImageStructure.h"
#include "engine/IptcAsRead.h"
#include "engine/MisplacedExif.h"
#include "engine/WriteReport.h"
#include "engine/XmpPacket.h"
#include "engine/XmpPositions.h"
#include "engine/carry/PgfUserData.h"
#include "engine/carry/PngExif.h"
#include "engine/walks/CameraSegments.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/ThermalSegments.h"
#include "platform/Console.h"
#include "platform/Exiv2Setup.h"

#include <exiv2/exif.hpp>
#include <exiv2/iptc.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/pgfimage.hpp>
#include <exiv2/pngimage.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <algorithm>

namespace {

using namespace engine::bridge;

constexpr const char *orientationKey = "Exif.Image.Orientation";
// Readers that find no orientation in the first directory take the
// thumbnail directory's.
constexpr const char *thumbnailOrientationKey = "Exif.Thumbnail.Orientation";
constexpr const char *userCommentKey = "Exif.Photo.UserComment";
constexpr const char *xmpOrientationKey = "Xmp.tiff.Orientation";
constexpr const char *xmpUserCommentKey = "Xmp.exif.UserComment";

// What the file's texts hold of what the clear takes, beyond what the
// library reads: a JPEG's comment segments, a PNG's texts and Photoshop
// profile, or those of the small PNG that holds a PGF's metadata, which the
// library leaves out when it writes that PNG anew.
PngTexts textsOf(const Exiv2::Image &image, const Exiv2::byte *data, long size, const ClearChoices &clear)
{
    PngTexts texts;
    const SavedContent content { clear.iptc ? IptcContent::Changed : IptcContent::Kept, clear };
    switch (image.imageType()) {
    case Exiv2::ImageType::jpeg:
        texts.found.comment = clear.comment && holdsJpegComment(const_cast<Exiv2::byte *>(data), size);
        break;
    case Exiv2::ImageType::png:
        texts = findPngTexts(data, size, pngTextEdit(image, content));
        break;
    case Exiv2::ImageType::pgf: {
        const QByteArray png = pgfUserData(image);
        texts = findPngTexts(reinterpret_cast<const Exiv2::byte *>(png.constData()), long(png.size()),
            pngTextEdit(image, content));
        break;
    }
    default:
        break;
    }
    return texts;
}

bool startsWith(const std::string &text, const char *prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// Whether a clear takes the Exif datum. General Exif is everything but the
// GPS directory, the orientation and the user comment, which have choices
// of their own, and what the picture needs. A value in another directory
// than its own goes with its own.
bool isCleared(const Exiv2::Exifdatum &datum, const ClearChoices &clear, const ImageKind &kind)
{
    const std::string key = homeKey(datum);
    if (datum.groupName() == "GPSInfo")
        return clear.gps;
    if (key == orientationKey)
        return clear.orientation;
    // Outside TIFF-based files the thumbnail goes with the Exif, and its
    // orientation with it. A document's second page keeps its own.
    if (key == thumbnailOrientationKey)
        return (clear.orientation && !kind.paged) || (clear.exif && !kind.tiffBased);
    if (key == userCommentKey)
        return clear.comment;
    return clear.exif && !isKeptByClear(datum, kind);
}

// Where XMP repeats what the Exif holds: the position (wherever the XMP
// holds one), the orientation, the user comment and, for general Exif, the
// rest of the Exif, TIFF and Exif extension namespaces.
bool isXmpCopy(const std::string &key, const ClearChoices &clear)
{
    if (isXmpPosition(key))
        return clear.gps;
    if (key == xmpOrientationKey)
        return clear.orientation;
    if (key == xmpUserCommentKey)
        return clear.comment;
    return clear.exif
        && (startsWith(key, "Xmp.exif.") || startsWith(key, "Xmp.exifEX.") || startsWith(key, "Xmp.tiff."));
}

// True when it took any copy.
bool clearXmpCopies(Exiv2::Image &image, const ClearChoices &clear)
{
    Exiv2::XmpData xmp = image.xmpData();
    bool changed = false;
    for (auto datum = xmp.begin(); datum != xmp.end();) {
        const bool copy = isXmpCopy(datum->key(), clear);
        changed = changed || copy;
        datum = copy ? xmp.erase(datum) : std::next(datum);
    }
    if (!changed) {
        keepXmpAsItIs(image);
        return false;
    }
    dropEmptyContainers(xmp);
    removeXmp(image);
    image.setXmpData(xmp);
    return true;
}

[[noreturn]] void stillThere(const std::string &what)
{
    throw Exiv2::Error(Exiv2::kerErrorMessage, what + " still in the written file");
}

template <typename Container, typename Predicate>
void requireNone(const Container &container, Predicate taken)
{
    const auto left = std::find_if(container.begin(), container.end(), taken);
    if (left != container.end())
        stillThere(left->key());
}

// A clear that did not take what it names fails, and the file stays as it was.
void checkCleared(
    const Exiv2::Image &written, const ClearChoices &clear, const ImageKind &kind, bool xmpCopiesRead)
{
    if (supports(written, Exiv2::mdExif))
        requireNone(written.exifData(), [&](const Exiv2::Exifdatum &d) { return isCleared(d, clear, kind); });
    if (clear.comment && supports(written, Exiv2::mdComment) && !written.comment().empty())
        stillThere("The comment");
    if (clear.iptc && supports(written, Exiv2::mdIptc))
        requireNone(written.iptcData(), [](const Exiv2::Iptcdatum &) { return true; });
    if (!supports(written, Exiv2::mdXmp))
        return;
    if (clear.xmp) {
        requireNone(written.xmpData(), [](const Exiv2::Xmpdatum &) { return true; });
        if (hasUnreadableXmp(written))
            stillThere("XMP");
    }
    if (xmpCopiesRead)
        requireNone(written.xmpData(), [&](const Exiv2::Xmpdatum &d) { return isXmpCopy(d.key(), clear); });
}

// The choices that take from the Exif.
ClearChoices exifSide(const ClearChoices &clear)
{
    return { clear.exif, clear.orientation, clear.gps, clear.comment, false, false };
}

// What the texts keep that the clear names: a Photoshop profile that
// cannot be read, and a readable one's copies of other groups, which would
// have to be taken apart to reach.
void keepWhatTextsKeep(const PngTexts &texts, const ClearChoices &clear,
    const std::function<void(std::string_view, const QString &)> &keep)
{
    if (texts.unreadableProfile && clear.iptc)
        keep("iptc",
            QStringLiteral("a Photoshop profile in the file cannot be read, so any IPTC in it stays"));
    if (texts.profileHoldsXmp && clear.xmp)
        keep("xmp", QStringLiteral("the copy in the file's Photoshop profile stays"));
    if (texts.profileHoldsExif)
        forEachChoice(exifSide(clear), [&](const char *choice) {
            keep(choice, QStringLiteral("the Exif copy in the file's Photoshop profile stays"));
        });
}

// The PGF's own writer leaves its texts out; should one stay, it is told.
void keepWhatPgfKeeps(
    const ClearChoices &left, const std::function<void(std::string_view, const QString &)> &keep)
{
    forEachChoice(left, [&](const char *choice) {
        keep(choice,
            left.comment && std::string_view(choice) == "comment"
                ? QStringLiteral("PGF files keep their comment where it cannot be removed safely")
                : QStringLiteral("PGF files keep a copy where it cannot be removed safely"));
    });
}

// Whether a page of a document after the first says how it is turned.
bool furtherPageTurns(const Exiv2::ExifData &exif)
{
    constexpr uint16_t orientationTag = 0x0112;
    return std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum &d) {
        const std::string group = d.groupName();
        return d.tag() == orientationTag && (group == "Thumbnail" || group == "Image2" || group == "Image3");
    });
}

bool keepsCameraForRawData(const Exiv2::ExifData &exif, const ImageKind &kind)
{
    return kind.raw && std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum &d) {
        return d.key() == "Exif.Image.Make" || d.key() == "Exif.Image.Model";
    });
}

} // namespace

bool MetadataOperation::clearMetadata(const QString &path, bool exif, bool orientation, bool gps,
    bool comment, bool iptc, bool xmp, const Destination &into, Shortfalls *shortfalls) const
{
    initializeExiv2();
    const ClearChoices clear { exif, orientation, gps, comment, iptc, xmp };
    if (shortfalls)
        shortfalls->clear();
    Shortfalls kept;
    const auto keep = [&](std::string_view choice, const QString &reason) {
        kept.append(
            { Shortfall::Kind::Kept, QLatin1String(choice.data(), qsizetype(choice.size())), reason });
        platform::Console::err(path + QStringLiteral(": ") + reason);
    };
    const bool done = runGuarded([&] {
        const EditedImage edited = openForEditing(path);
        Exiv2::Image *image = edited.image.get();
        const ImageKind kind = imageKind(*image);
        // Whether the file holds anything the clear takes.
        bool changed = false;

        if (supports(*image, Exiv2::mdExif) && clear.anyExif()) {
            Exiv2::ExifData data = image->exifData();
            for (auto datum = data.begin(); datum != data.end();) {
                const bool cleared = isCleared(*datum, clear, kind);
                changed = changed || cleared;
                datum = cleared ? data.erase(datum) : std::next(datum);
            }
            dropIdleTags(data, image->exifData(), kind, clear.exif);
            if (clear.orientation && kind.paged && furtherPageTurns(data))
                keep("orientation",
                    QStringLiteral("each further page of the document keeps its own orientation"));
            if (clear.exif && keepsCameraForRawData(data, kind))
                keep("exif",
                    QStringLiteral("the camera's make, model and maker note stay, as raw converters need "
                                   "them to decode the picture"));
            image->setExifData(data);
        }
        // A camera's own segments go with the maker note.
        if (clear.exif && kind.jpeg)
            changed = holdsCameraSegment(edited.bytes.get(), edited.size, *edited.budget) || changed;
        // A thermal camera's own GPS record goes with the position, and
        // with the rest of the camera's data.
        if ((clear.gps || clear.exif) && kind.jpeg)
            changed = thermalSegmentsOf(edited.bytes.get(), edited.size, *edited.budget).position || changed;
        if (clear.comment && supports(*image, Exiv2::mdComment)) {
            changed = changed || !image->comment().empty();
            image->clearComment();
        }
        if (supports(*image, Exiv2::mdIptc)) {
            if (clear.iptc) {
                changed = changed || !image->iptcData().empty();
                image->clearIptcData();
            } else {
                Exiv2::IptcData kept = image->iptcData();
                keepStoredDatesAndTimes(kept, storedIptc(*image), {});
                image->setIptcData(kept);
            }
        }

        bool xmpCopiesRead = false;
        if (supports(*image, Exiv2::mdXmp)) {
            if (clear.xmp) {
                changed = changed || !image->xmpData().empty() || holdsXmpPacket(*image);
                removeXmp(*image);
            } else if (!clear.anyExif()) {
                keepXmpAsItIs(*image);
            } else if (hasUnreadableXmp(*image)) {
                keepXmpAsItIs(*image);
                forEachChoice(exifSide(clear), [&](const char *choice) {
                    kept.append({ Shortfall::Kind::Kept, QLatin1String(choice),
                        QStringLiteral("any copies in the file's XMP stay, as the XMP cannot be read") });
                });
                platform::Console::err(path
                    + QStringLiteral(
                        ": the XMP cannot be read, so any copies of the cleared Exif values in it stay"));
            } else {
                changed = clearXmpCopies(*image, clear) || changed;
                xmpCopiesRead = true;
            }
        }
        const PngTexts texts = textsOf(*image, edited.bytes.get(), edited.size, clear);
        if (!changed && !texts.found.any()) {
            // Nothing to take: the file stays as it is, byte for byte.
            keepWhatTextsKeep(texts, clear, keep);
            reportKeptCopies(
                copiesLeftAlone(*image, edited.bytes.get(), edited.size, *edited.budget), clear, keep);
            keepAsItIs(*image, into);
            return;
        }
        if (supports(*image, Exiv2::mdExif)) {
            WriteReport leftOut(path);
            for (const std::string &key : dropEntriesOfNoType(image->exifData()))
                leftOut.leftOut(key, noTypeReason());
            leftOut.print();
            kept.append(leftOut.shortfalls());
        }
        const SavedContent content { clear.iptc ? IptcContent::Changed : IptcContent::Kept, clear };
        saveEdits(
            edited, path, content, m_check,
            [&](const Exiv2::Image &written) {
                checkCleared(written, clear, kind, xmpCopiesRead);
                PngTexts left;
                CopiesLeftAlone copies;
                bool cameraSegment = false;
                readFileBytes(written, [&](const Exiv2::byte *data, long size) {
                    left = textsOf(written, data, size, clear);
                    copies = copiesLeftAlone(written, data, size, *edited.budget);
                    cameraSegment = clear.exif && kind.jpeg && holdsCameraSegment(data, size, *edited.budget);
                });
                if (written.imageType() != Exiv2::ImageType::pgf && left.found.any())
                    stillThere(left.found.comment ? "The comment" : "A copy of the cleared values");
                if (cameraSegment)
                    stillThere("A camera's own segment");
                if ((clear.gps || clear.exif) && copies.thermalSegments.position)
                    stillThere("A thermal camera's GPS record");
                keepWhatPgfKeeps(left.found, keep);
                keepWhatTextsKeep(left, clear, keep);
                reportKeptCopies(copies, clear, keep);
            },
            into);
    });
    if (done && shortfalls)
        *shortfalls = kept;
    return done;
}
