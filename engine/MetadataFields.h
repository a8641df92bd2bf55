// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1String>
#include <QString>

#include <array>
#include <cstdint>
#include <string_view>

// The 75 metadata values of one file or preset, in the fixed field order
// that every per-field table of the program shares (form rows, edited and
// export flags, CSV columns, dictionary keys, writes). One line per field:
// name, capitalised name (accessors and edited flag), kind, how a write
// turns the value into the tag's own form, Exiv2 key.
#define CALVORN_METADATA_FIELDS(X)                                                                           \
    X(artist, Artist, Text, Text, "Exif.Image.Artist")                                                       \
    X(imageDescription, ImageDescription, Text, Text, "Exif.Image.ImageDescription")                         \
    X(copyright, Copyright, Text, Text, "Exif.Image.Copyright")                                              \
    X(software, Software, Text, Text, "Exif.Image.Software")                                                 \
    X(userComment, UserComment, Text, Text, "Exif.Photo.UserComment")                                        \
    X(originalDate, OriginalDate, Date, Date, "Exif.Photo.DateTimeOriginal")                                 \
    X(creationDate, CreationDate, Date, Date, "Exif.Photo.DateTimeDigitized")                                \
    X(modifyDate, ModifyDate, Date, Date, "Exif.Image.DateTime")                                             \
    X(make, Make, Text, Text, "Exif.Image.Make")                                                             \
    X(cameraModelName, CameraModelName, Text, Text, "Exif.Image.Model")                                      \
    X(ownerName, OwnerName, Text, Text, "Exif.Photo.CameraOwnerName")                                        \
    X(serialNumber, SerialNumber, Text, Text, "Exif.Photo.BodySerialNumber")                                 \
    X(iso, ISO, Integer, Integer, "Exif.Photo.ISOSpeedRatings")                                              \
    X(fNumber, FNumber, Real, Rational, "Exif.Photo.FNumber")                                                \
    X(focalLength, FocalLength, Real, Rational, "Exif.Photo.FocalLength")                                    \
    X(focalLengthIn35mmFormat, FocalLengthIn35mmFormat, Integer, Integer,                                    \
        "Exif.Photo.FocalLengthIn35mmFilm")                                                                  \
    X(flash, Flash, Integer, Integer, "Exif.Photo.Flash")                                                    \
    X(orientation, Orientation, Integer, Integer, "Exif.Image.Orientation")                                  \
    X(exposureMode, ExposureMode, Integer, Integer, "Exif.Photo.ExposureMode")                               \
    X(exposureProgram, ExposureProgram, Integer, Integer, "Exif.Photo.ExposureProgram")                      \
    X(exposureTime, ExposureTime, Real, Rational, "Exif.Photo.ExposureTime")                                 \
    X(meteringMode, MeteringMode, Integer, Integer, "Exif.Photo.MeteringMode")                               \
    X(sceneCaptureType, SceneCaptureType, Integer, Integer, "Exif.Photo.SceneCaptureType")                   \
    X(whiteBalance, WhiteBalance, Integer, Integer, "Exif.Photo.WhiteBalance")                               \
    X(saturation, Saturation, Integer, Integer, "Exif.Photo.Saturation")                                     \
    X(sensingMethod, SensingMethod, Integer, Integer, "Exif.Photo.SensingMethod")                            \
    X(sharpness, Sharpness, Integer, Integer, "Exif.Photo.Sharpness")                                        \
    X(subjectDistanceRange, SubjectDistanceRange, Integer, Integer, "Exif.Photo.SubjectDistanceRange")       \
    X(lensMake, LensMake, Text, Text, "Exif.Photo.LensMake")                                                 \
    X(lensModel, LensModel, Text, Text, "Exif.Photo.LensModel")                                              \
    X(lensSerialNumber, LensSerialNumber, Text, Text, "Exif.Photo.LensSerialNumber")                         \
    X(gpsLatitude, GPSLatitude, Real, Coordinate, "Exif.GPSInfo.GPSLatitude")                                \
    X(gpsLatitudeRef, GPSLatitudeRef, Text, Text, "Exif.GPSInfo.GPSLatitudeRef")                             \
    X(gpsLongitude, GPSLongitude, Real, Coordinate, "Exif.GPSInfo.GPSLongitude")                             \
    X(gpsLongitudeRef, GPSLongitudeRef, Text, Text, "Exif.GPSInfo.GPSLongitudeRef")                          \
    X(gpsAltitude, GPSAltitude, Real, Altitude, "Exif.GPSInfo.GPSAltitude")                                  \
    X(gpsAltitudeRef, GPSAltitudeRef, Integer, Integer, "Exif.GPSInfo.GPSAltitudeRef")                       \
    X(byLine, ByLine, Text, Text, "Iptc.Application2.Byline")                                                \
    X(byLineTitle, ByLineTitle, Text, Text, "Iptc.Application2.BylineTitle")                                 \
    X(copyrightNotice, CopyrightNotice, Text, Text, "Iptc.Application2.Copyright")                           \
    X(headline, Headline, Text, Text, "Iptc.Application2.Headline")                                          \
    X(captionAbstract, CaptionAbstract, Text, Text, "Iptc.Application2.Caption")                             \
    X(writerEditor, WriterEditor, Text, Text, "Iptc.Application2.Writer")                                    \
    X(objectName, ObjectName, Text, Text, "Iptc.Application2.ObjectName")                                    \
    X(category, Category, Text, Text, "Iptc.Application2.Category")                                          \
    X(supplementalCategories, SupplementalCategories, Text, Text, "Iptc.Application2.SuppCategory")          \
    X(keywords, Keywords, Text, Text, "Iptc.Application2.Keywords")                                          \
    X(subLocation, SubLocation, Text, Text, "Iptc.Application2.SubLocation")                                 \
    X(city, City, Text, Text, "Iptc.Application2.City")                                                      \
    X(provinceState, ProvinceState, Text, Text, "Iptc.Application2.ProvinceState")                           \
    X(countryPrimaryLocationName, CountryPrimaryLocationName, Text, Text, "Iptc.Application2.CountryName")   \
    X(countryPrimaryLocationCode, CountryPrimaryLocationCode, Text, Text, "Iptc.Application2.CountryCode")   \
    X(originalTransmissionRef, OriginalTransmissionRef, Text, Text,                                          \
        "Iptc.Application2.TransmissionReference")                                                           \
    X(specialInstructions, SpecialInstructions, Text, Text, "Iptc.Application2.SpecialInstructions")         \
    X(credit, Credit, Text, Text, "Iptc.Application2.Credit")                                                \
    X(source, Source, Text, Text, "Iptc.Application2.Source")                                                \
    X(serialNumberXMP, SerialNumberXMP, Text, Text, "Xmp.aux.SerialNumber")                                  \
    X(lensXMP, LensXMP, Text, Text, "Xmp.aux.Lens")                                                          \
    X(createDateXMP, CreateDateXMP, Date, Date, "Xmp.xmp.CreateDate")                                        \
    X(modifyDateXMP, ModifyDateXMP, Date, Date, "Xmp.xmp.ModifyDate")                                        \
    X(createDatePhotoshopXMP, CreateDatePhotoshopXMP, Date, Date, "Xmp.photoshop.DateCreated")               \
    X(compression, Compression, Integer, Integer, "Exif.Image.Compression")                                  \
    X(documentName, DocumentName, Text, Text, "Exif.Image.DocumentName")                                     \
    X(fxResolution, FxResolution, Real, Rational, "Exif.Image.XResolution")                                  \
    X(fyResolution, FyResolution, Real, Rational, "Exif.Image.YResolution")                                  \
    X(hostName, HostName, Text, Text, "Exif.Image.HostComputer")                                             \
    X(primaryChromaticities, PrimaryChromaticities, Real, Rational, "Exif.Image.PrimaryChromaticities")      \
    X(specialSensitivity, SpecialSensitivity, Text, Text, "Exif.Photo.SpectralSensitivity")                  \
    X(sensitivityType, SensitivityType, Integer, Integer, "Exif.Photo.SensitivityType")                      \
    X(standardOutputSensitivity, StandardOutputSensitivity, Integer, Integer,                                \
        "Exif.Photo.StandardOutputSensitivity")                                                              \
    X(compressedBitsPerPixel, CompressedBitsPerPixel, Real, Rational, "Exif.Photo.CompressedBitsPerPixel")   \
    X(maxApertureValue, MaxApertureValue, Real, Rational, "Exif.Photo.MaxApertureValue")                     \
    X(colorSpace, ColorSpace, Integer, Integer, "Exif.Photo.ColorSpace")                                     \
    X(lightSource, LightSource, Integer, Integer, "Exif.Photo.LightSource")                                  \
    X(digitalZoomRatio, DigitalZoomRatio, Real, Rational, "Exif.Photo.DigitalZoomRatio")

// Field numbers 0-74.
enum class MetadataField : std::uint8_t {
#define CALVORN_FIELD_ENUM(name, Name, kind, conversion, key) name,
    CALVORN_METADATA_FIELDS(CALVORN_FIELD_ENUM)
#undef CALVORN_FIELD_ENUM
};

// Text: a string, possibly empty. Integer: signed 64 bits. Real: double.
// Date: a point in time.
enum class FieldKind : std::uint8_t { Text, Integer, Real, Date };

// How a write turns a dictionary value into the tag's own form. Text: the
// text as the tag's type reads it. Date: the same, an empty text removing
// the tag; XMP dates take the XMP form. Integer: a whole number of the
// tag's type. Rational: a real number as a fraction of the tag's type.
// Coordinate: degrees, minutes and seconds of the absolute value.
// Altitude: hundredths of the absolute value.
enum class WriteConversion : std::uint8_t { Text, Date, Integer, Rational, Coordinate, Altitude };

struct MetadataFieldInfo
{
    std::string_view name; // "artist"
    std::string_view editedFlag; // "isArtistEdited"
    FieldKind kind;
    WriteConversion conversion;
    std::string_view key; // the Exiv2 key, also the dictionary key
};

inline constexpr auto metadataFields = std::to_array<MetadataFieldInfo>({
#define CALVORN_FIELD_INFO(name, Name, kind, conversion, key)                                                \
    { #name, "is" #Name "Edited", FieldKind::kind, WriteConversion::conversion, key },
    CALVORN_METADATA_FIELDS(CALVORN_FIELD_INFO)
#undef CALVORN_FIELD_INFO
});

// A conversion takes the values of its field's kind.
constexpr bool conversionsFitKinds()
{
    for (const auto &f : metadataFields) {
        const bool real = f.conversion == WriteConversion::Rational
            || f.conversion == WriteConversion::Coordinate || f.conversion == WriteConversion::Altitude;
        const bool fits = f.kind == FieldKind::Real ? real
            : f.kind == FieldKind::Text             ? f.conversion == WriteConversion::Text
            : f.kind == FieldKind::Integer          ? f.conversion == WriteConversion::Integer
                                                    : f.conversion == WriteConversion::Date;
        if (!fits)
            return false;
    }
    return true;
}
static_assert(conversionsFitKinds());

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
