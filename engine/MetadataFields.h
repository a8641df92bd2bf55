// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1String>
#include <QString>

#include <array>
#include <cstdint>
#include <string_view>

// The 75 metadata values of one file or preset, in the fixed field order
// that every per-field table of the program shares (form rows, edited and
// export flags, CSV columns, dictionary keys). One line per field:
// name, capitalised name (accessors and edited flag), kind, Exiv2 key.
#define CALVORN_METADATA_FIELDS(X)                                                                           \
    X(artist, Artist, Text, "Exif.Image.Artist")                                                             \
    X(imageDescription, ImageDescription, Text, "Exif.Image.ImageDescription")                               \
    X(copyright, Copyright, Text, "Exif.Image.Copyright")                                                    \
    X(software, Software, Text, "Exif.Image.Software")                                                       \
    X(userComment, UserComment, Text, "Exif.Photo.UserComment")                                              \
    X(originalDate, OriginalDate, Date, "Exif.Photo.DateTimeOriginal")                                       \
    X(creationDate, CreationDate, Date, "Exif.Photo.DateTimeDigitized")                                      \
    X(modifyDate, ModifyDate, Date, "Exif.Image.DateTime")                                                   \
    X(make, Make, Text, "Exif.Image.Make")                                                                   \
    X(cameraModelName, CameraModelName, Text, "Exif.Image.Model")                                            \
    X(ownerName, OwnerName, Text, "Exif.Photo.CameraOwnerName")                                              \
    X(serialNumber, SerialNumber, Text, "Exif.Photo.BodySerialNumber")                                       \
    X(iso, ISO, Integer, "Exif.Photo.ISOSpeedRatings")                                                       \
    X(fNumber, FNumber, Real, "Exif.Photo.FNumber")                                                          \
    X(focalLength, FocalLength, Real, "Exif.Photo.FocalLength")                                              \
    X(focalLengthIn35mmFormat, FocalLengthIn35mmFormat, Integer, "Exif.Photo.FocalLengthIn35mmFilm")         \
    X(flash, Flash, Integer, "Exif.Photo.Flash")                                                             \
    X(orientation, Orientation, Integer, "Exif.Image.Orientation")                                           \
    X(exposureMode, ExposureMode, Integer, "Exif.Photo.ExposureMode")                                        \
    X(exposureProgram, ExposureProgram, Integer, "Exif.Photo.ExposureProgram")                               \
    X(exposureTime, ExposureTime, Real, "Exif.Photo.ExposureTime")                                           \
    X(meteringMode, MeteringMode, Integer, "Exif.Photo.MeteringMode")                                        \
    X(sceneCaptureType, SceneCaptureType, Integer, "Exif.Photo.SceneCaptureType")                            \
    X(whiteBalance, WhiteBalance, Integer, "Exif.Photo.WhiteBalance")                                        \
    X(saturation, Saturation, Integer, "Exif.Photo.Saturation")                                              \
    X(sensingMethod, SensingMethod, Integer, "Exif.Photo.SensingMethod")                                     \
    X(sharpness, Sharpness, Integer, "Exif.Photo.Sharpness")                                                 \
    X(subjectDistanceRange, SubjectDistanceRange, Integer, "Exif.Photo.SubjectDistanceRange")                \
    X(lensMake, LensMake, Text, "Exif.Photo.LensMake")                                                       \
    X(lensModel, LensModel, Text, "Exif.Photo.LensModel")                                                    \
    X(lensSerialNumber, LensSerialNumber, Text, "Exif.Photo.LensSerialNumber")                               \
    X(gpsLatitude, GPSLatitude, Real, "Exif.GPSInfo.GPSLatitude")                                            \
    X(gpsLatitudeRef, GPSLatitudeRef, Text, "Exif.GPSInfo.GPSLatitudeRef")                                   \
    X(gpsLongitude, GPSLongitude, Real, "Exif.GPSInfo.GPSLongitude")                                         \
    X(gpsLongitudeRef, GPSLongitudeRef, Text, "Exif.GPSInfo.GPSLongitudeRef")                                \
    X(gpsAltitude, GPSAltitude, Real, "Exif.GPSInfo.GPSAltitude")                                            \
    X(gpsAltitudeRef, GPSAltitudeRef, Integer, "Exif.GPSInfo.GPSAltitudeRef")                                \
    X(byLine, ByLine, Text, "Iptc.Application2.Byline")                                                      \
    X(byLineTitle, ByLineTitle, Text, "Iptc.Application2.BylineTitle")                                       \
    X(copyrightNotice, CopyrightNotice, Text, "Iptc.Application2.Copyright")                                 \
    X(headline, Headline, Text, "Iptc.Application2.Headline")                                                \
    X(captionAbstract, CaptionAbstract, Text, "Iptc.Application2.Caption")                                   \
    X(writerEditor, WriterEditor, Text, "Iptc.Application2.Writer")                                          \
    X(objectName, ObjectName, Text, "Iptc.Application2.ObjectName")                                          \
    X(category, Category, Text, "Iptc.Application2.Category")                                                \
    X(supplementalCategories, SupplementalCategories, Text, "Iptc.Application2.SuppCategory")                \
    X(keywords, Keywords, Text, "Iptc.Application2.Keywords")                                                \
    X(subLocation, SubLocation, Text, "Iptc.Application2.SubLocation")                                       \
    X(city, City, Text, "Iptc.Application2.City")                                                            \
    X(provinceState, ProvinceState, Text, "Iptc.Application2.ProvinceState")                                 \
    X(countryPrimaryLocationName, CountryPrimaryLocationName, Text, "Iptc.Application2.CountryName")         \
    X(countryPrimaryLocationCode, CountryPrimaryLocationCode, Text, "Iptc.Application2.CountryCode")         \
    X(originalTransmissionRef, OriginalTransmissionRef, Text, "Iptc.Application2.TransmissionReference")     \
    X(specialInstructions, SpecialInstructions, Text, "Iptc.Application2.SpecialInstructions")               \
    X(credit, Credit, Text, "Iptc.Application2.Credit")                                                      \
    X(source, Source, Text, "Iptc.Application2.Source")                                                      \
    X(serialNumberXMP, SerialNumberXMP, Text, "Xmp.aux.SerialNumber")                                        \
    X(lensXMP, LensXMP, Text, "Xmp.aux.Lens")                                                                \
    X(createDateXMP, CreateDateXMP, Date, "Xmp.xmp.CreateDate")                                              \
    X(modifyDateXMP, ModifyDateXMP, Date, "Xmp.xmp.ModifyDate")                                              \
    X(createDatePhotoshopXMP, CreateDatePhotoshopXMP, Date, "Xmp.photoshop.DateCreated")                     \
    X(compression, Compression, Integer, "Exif.Image.Compression")                                           \
    X(documentName, DocumentName, Text, "Exif.Image.DocumentName")                                           \
    X(fxResolution, FxResolution, Real, "Exif.Image.XResolution")                                            \
    X(fyResolution, FyResolution, Real, "Exif.Image.YResolution")                                            \
    X(hostName, HostName, Text, "Exif.Image.HostComputer")                                                   \
    X(primaryChromaticities, PrimaryChromaticities, Real, "Exif.Image.PrimaryChromaticities")                \
    X(specialSensitivity, SpecialSensitivity, Text, "Exif.Photo.SpectralSensitivity")                        \
    X(sensitivityType, SensitivityType, Integer, "Exif.Photo.SensitivityType")                               \
    X(standardOutputSensitivity, StandardOutputSensitivity, Integer, "Exif.Photo.StandardOutputSensitivity") \
    X(compressedBitsPerPixel, CompressedBitsPerPixel, Real, "Exif.Photo.CompressedBitsPerPixel")             \
    X(maxApertureValue, MaxApertureValue, Real, "Exif.Photo.MaxApertureValue")                               \
    X(colorSpace, ColorSpace, Integer, "Exif.Photo.ColorSpace")                                              \
    X(lightSource, LightSource, Integer, "Exif.Photo.LightSource")                                           \
    X(digitalZoomRatio, DigitalZoomRatio, Real, "Exif.Photo.DigitalZoomRatio")

// Field numbers 0-74.
enum class MetadataField : std::uint8_t {
#define CALVORN_FIELD_ENUM(name, Name, kind, key) name,
    CALVORN_METADATA_FIELDS(CALVORN_FIELD_ENUM)
#undef CALVORN_FIELD_ENUM
};

// Text: a string, possibly empty. Integer: signed 64 bits. Real: double.
// Date: a point in time.
enum class FieldKind : std::uint8_t { Text, Integer, Real, Date };

struct MetadataFieldInfo
{
    std::string_view name; // "artist"
    std::string_view editedFlag; // "isArtistEdited"
    FieldKind kind;
    std::string_view key; // the Exiv2 key, also the dictionary key
};

inline constexpr auto metadataFields = std::to_array<MetadataFieldInfo>({
#define CALVORN_FIELD_INFO(name, Name, kind, key) { #name, "is" #Name "Edited", FieldKind::kind, key },
    CALVORN_METADATA_FIELDS(CALVORN_FIELD_INFO)
#undef CALVORN_FIELD_INFO
});

inline constexpr int metadataFieldCount = int(metadataFields.size());
static_assert(metadataFieldCount == 75);
static_assert(int(MetadataField::digitalZoomRatio) == metadataFieldCount - 1);

constexpr const MetadataFieldInfo &fieldInfo(MetadataField field)
{
    return metadataFields[std::size_t(field)];
}

constexpr FieldKind fieldKind(MetadataField field)
{
    return fieldInfo(field).kind;
}

constexpr MetadataField metadataField(int number)
{
    return MetadataField(number);
}

inline QLatin1String fieldKey(MetadataField field)
{
    const std::string_view key = fieldInfo(field).key;
    return QLatin1String(key.data(), qsizetype(key.size()));
}

constexpr int countOfKind(FieldKind kind)
{
    int n = 0;
    for (const auto &f : metadataFields)
        n += f.kind == kind ? 1 : 0;
    return n;
}
static_assert(countOfKind(FieldKind::Text) == 38 && countOfKind(FieldKind::Integer) == 19
    && countOfKind(FieldKind::Real) == 12 && countOfKind(FieldKind::Date) == 6);

// Every field in order, for table-driven loops.
constexpr auto allMetadataFields()
{
    std::array<MetadataField, metadataFields.size()> all {};
    for (int i = 0; i < metadataFieldCount; ++i)
        all[std::size_t(i)] = MetadataField(i);
    return all;
}
