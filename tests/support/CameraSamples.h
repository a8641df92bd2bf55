// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Camera photos no sample holds, made from copies of the samples: each
// true when it could be made.
namespace camerasamples {

// A Canon photo whose maker note another program moved without its
// offsets: the library, told a make it has no maker-note layout for, moves
// the note as its bytes when it makes room for a long artist, and the make
// is put back. Its note keeps the footer by which readers find its values.
bool movedMakerNote(const QString &canonJpeg, const QString &made);

// A copy whose thumbnail runs `past` bytes beyond the end of its Exif
// segment, into the file's next segment, where readers still find it.
bool thumbnailPastExif(const QString &jpeg, const QString &made, int past);

// A copy whose Exif segment another program cut short where its thumbnail
// starts, before the picture of another JPEG (its own segments left out):
// the thumbnail's pointer names that picture's bytes, which readers take
// for the thumbnail all the same.
bool exifCutBeforeThumbnail(const QString &jpeg, const QString &picture, const QString &made);

// A multi-picture JPEG: the main picture with an index segment after its
// Exif, and the second picture after the main one.
bool multiPicture(const QString &main, const QString &second, const QString &made);

// A copy whose first directory holds, among its others, an entry of no
// TIFF type whose tag comes before theirs.
bool entryOfNoType(const QString &jpeg, const QString &made);

// A copy of a Canon photo one of whose maker-note entries points astray: at
// data before the note; past the end of the Exif segment, into the
// segments that follow; or at the Exif segment's last bytes and past them.
enum class Astray { BeforeItself, PastTheExif, AcrossTheExifsEnd };
bool notePointingAstray(const QString &canonJpeg, const QString &made, Astray where);

// A copy of a Pentax photo whose preview, which its note names, follows the
// picture, where some cameras keep one too large for the Exif segment.
bool previewAfterPicture(const QString &pentaxJpeg, const QString &preview, const QString &made);

// A camera photo's Exif and maker note copied by exiftool onto another
// picture (base; the photo itself for an Exiv2 sidecar), in the photo's
// byte order or the other.
struct CameraDataCopy
{
    QString camera;
    QString base;
    QString made;
    bool otherOrder = false;
};
bool copiedCameraData(const QList<CameraDataCopy> &copies);

// An Olympus raw file made from a TIFF: the same bytes under the raw
// file's header.
bool olympusRaw(const QString &tiff, const QString &made);

// A copy of a TIFF whose first directory names an interoperability
// directory, as a drone's thermal camera writes it.
bool interoperabilityInFirstDirectory(const QString &tiff, const QString &made);

// Copies of the thermal camera's photo FLIR_Vue_Pro_640.jpg: one whose GPS
// record, which holds no position there, holds this one; and one made
// from such a copy whose directory of records points the GPS record's
// entry past the end of the records.
bool thermalPosition(
    const QString &vueProJpeg, const QString &made, double latitude, double longitude, float altitude);
bool thermalRecordOutside(const QString &thermalJpeg, const QString &made);

// Makes a copy of the DNG sample IMG_1361.dng whole: the sample keeps its
// directories but not the picture data they name (its tiles, a preview, a
// sub-image), which end at 29,303,899 bytes; the copy holds zeros there,
// so that a write may keep it whole rather than leave it as it was, cut
// short.
bool wholeDng(const QString &copy);

} // namespace camerasamples
