#include "engine/MetadataOperation.h"

#include "engine/BridgeFrame.h"
#include "platform/Exiv2Setup.h"

#include <exiv2/exif.hpp>

#include <algorithm>
#include <array>

namespace {

using namespace engine::bridge;

constexpr std::array<const char *, 6> gpsPositionKeys {
    "Exif.GPSInfo.GPSLatitude",
    "Exif.GPSInfo.GPSLatitudeRef",
    "Exif.GPSInfo.GPSLongitude",
    "Exif.GPSInfo.GPSLongitudeRef",
    "Exif.GPSInfo.GPSAltitude",
    "Exif.GPSInfo.GPSAltitudeRef",
};
constexpr const char *orientationKey = "Exif.Image.Orientation";
constexpr const char *userCommentKey = "Exif.Photo.UserComment";

bool isGpsPosition(const std::string &key)
{
    return std::find(gpsPositionKeys.begin(), gpsPositionKeys.end(), key) != gpsPositionKeys.end();
}

void eraseFirst(Exiv2::ExifData &exif, const char *key)
{
    if (auto datum = exif.findKey(Exiv2::ExifKey(key)); datum != exif.end())
        exif.erase(datum);
}

// General Exif: every datum but the GPS position, and the orientation and
// the user comment unless they go too.
void eraseGeneralExif(Exiv2::ExifData &exif, bool orientation, bool comment)
{
    for (auto datum = exif.begin(); datum != exif.end();) {
        const std::string key = datum->key();
        const bool spared = isGpsPosition(key) || (!orientation && key == orientationKey)
            || (!comment && key == userCommentKey);
        datum = spared ? std::next(datum) : exif.erase(datum);
    }
}

} // namespace

bool MetadataOperation::clearMetadata(
    const QString &path, bool exif, bool orientation, bool gps, bool comment, bool iptc, bool xmp) const
{
    initializeExiv2();
    return runGuarded([&] {
        Exiv2::Image::AutoPtr image = openForEditing(path);
        if (image->checkMode(Exiv2::mdExif) != Exiv2::amNone) {
            Exiv2::ExifData &data = image->exifData();
            if (exif && orientation && gps && comment) {
                image->clearExifData();
            } else {
                if (exif)
                    eraseGeneralExif(data, orientation, comment);
                if (orientation)
                    eraseFirst(data, orientationKey);
                if (gps) {
                    for (const char *key : gpsPositionKeys)
                        eraseFirst(data, key);
                }
                if (comment)
                    eraseFirst(data, userCommentKey);
            }
        }
        if (comment && image->checkMode(Exiv2::mdComment) != Exiv2::amNone)
            image->clearComment();
        if (iptc && image->checkMode(Exiv2::mdIptc) != Exiv2::amNone)
            image->clearIptcData();
        if (xmp && image->checkMode(Exiv2::mdXmp) != Exiv2::amNone)
            image->clearXmpData();
        saveEdits(*image, path);
    });
}
