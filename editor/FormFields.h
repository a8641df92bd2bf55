// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Metadata.h"
#include "engine/MetadataFields.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The editing form's layout of the 75 metadata fields, in the fixed field
// order: which control edits each field, what the user may type into it,
// its label's text key and the section it stands in. Names, kinds and keys
// of the values themselves come from MetadataFields.h.

// The control of one field, which also decides what typing it accepts.
enum class FormControl : std::uint8_t {
    TextField, // free text
    TextView, // free text over several lines
    IntegerField, // digits and a leading "-", held within the value range
    DecimalField, // digits, one "." and a leading "-"
    GpsField, // as DecimalField; the sign picks the reference beside it
    PopUp, // one entry of the field's value list
    CountryPopUp, // a country, by name; the value is its code
    DateField, // the summary of the field's date rule, set by the date popover
};

// The headings above the fields: four groups, each over its sections.
enum class FormHeading : std::uint8_t {
    ExifDetails,
    General,
    DateTime,
    Camera,
    CameraSettings,
    AdvanceCameraSetting,
    Lens,
    GPS,
    IPTCDetails,
    Author,
    Information,
    Location,
    Workflow,
    XMPDetails,
    XMPGeneral,
    Photoshop,
    OtherDetails,
    TiffDetails,
    Others,
};

struct FormHeadingInfo
{
    FormHeading heading;
    std::string_view outlet; // "lblExifDetails"
    bool isGroup;
    const char *labelKey;
};

inline constexpr auto formHeadings = std::to_array<FormHeadingInfo>({
    { FormHeading::ExifDetails, "lblExifDetails", true, "QX_ID_74" },
    { FormHeading::General, "lblGeneral", false, "QX_ID_15" },
    { FormHeading::DateTime, "lblDateTime", false, "QX_ID_16" },
    { FormHeading::Camera, "lblCamera", false, "QX_ID_17" },
    { FormHeading::CameraSettings, "lblCameraSettings", false, "QX_ID_87" },
    { FormHeading::AdvanceCameraSetting, "lblAdvanceCameraSetting", false, "QX_ID_94" },
    { FormHeading::Lens, "lblLens", false, "QX_ID_105" },
    { FormHeading::GPS, "lblGPS", false, "QX_ID_109" },
    { FormHeading::IPTCDetails, "lblIPTCDetails", true, "QX_ID_116" },
    { FormHeading::Author, "lblAuthor", false, "QX_ID_117" },
    { FormHeading::Information, "lblInformation", false, "QX_ID_121" },
    { FormHeading::Location, "lblLocation", false, "QX_ID_130" },
    { FormHeading::Workflow, "lblWorkflow", false, "QX_ID_136" },
    { FormHeading::XMPDetails, "lblXMPDetails", true, "QX_ID_141" },
    { FormHeading::XMPGeneral, "lblXMPGeneral", false, "QX_ID_142" },
    { FormHeading::Photoshop, "lblPhotoshop", false, "QX_ID_146" },
    { FormHeading::OtherDetails, "lblOtherDetails", true, "QX_ID_147" },
    { FormHeading::TiffDetails, "lblTiffDetails", false, "QX_ID_148" },
    { FormHeading::Others, "lblOthers", false, "QX_ID_155" },
});

// The extra rows: the map button at the top of the GPS section and the hint
// under the keywords.
inline constexpr const char *editLocationLabelKey = "QX_ID_253";
inline constexpr const char *keywordsHintLabelKey = "QX_ID_129";

struct FormFieldInfo
{
    MetadataField field;
    std::string_view stem; // the outlets' common part: "Artist" gives lblArtist, boxArtist, txtFieldArtist
    FormControl control;
    const char *labelKey;
    FormHeading section;
};

inline constexpr auto formFields = std::to_array<FormFieldInfo>({
    { MetadataField::artist, "Artist", FormControl::TextField, "QX_ID_75", FormHeading::General },
    { MetadataField::imageDescription, "ImageDescription", FormControl::TextField, "QX_ID_76",
        FormHeading::General },
    { MetadataField::copyright, "Copyright", FormControl::TextField, "QX_ID_77", FormHeading::General },
    { MetadataField::software, "Software", FormControl::TextField, "QX_ID_78", FormHeading::General },
    { MetadataField::userComment, "UserComment", FormControl::TextView, "QX_ID_79", FormHeading::General },
    { MetadataField::originalDate, "OriginalDate", FormControl::DateField, "QX_ID_80",
        FormHeading::DateTime },
    { MetadataField::creationDate, "CreationDateExif", FormControl::DateField, "QX_ID_81",
        FormHeading::DateTime },
    { MetadataField::modifyDate, "ModifyDateExif", FormControl::DateField, "QX_ID_82",
        FormHeading::DateTime },
    { MetadataField::make, "Make", FormControl::TextField, "QX_ID_83", FormHeading::Camera },
    { MetadataField::cameraModelName, "CameraModelName", FormControl::TextField, "QX_ID_84",
        FormHeading::Camera },
    { MetadataField::ownerName, "OwnerName", FormControl::TextField, "QX_ID_85", FormHeading::Camera },
    { MetadataField::serialNumber, "SerialNumber", FormControl::TextField, "QX_ID_86", FormHeading::Camera },
    { MetadataField::iso, "ISO", FormControl::IntegerField, "QX_ID_88", FormHeading::CameraSettings },
    { MetadataField::fNumber, "FNumber", FormControl::DecimalField, "QX_ID_89", FormHeading::CameraSettings },
    { MetadataField::focalLength, "FocalLength", FormControl::DecimalField, "QX_ID_90",
        FormHeading::CameraSettings },
    { MetadataField::focalLengthIn35mmFormat, "FocalLength35mm", FormControl::IntegerField, "QX_ID_91",
        FormHeading::CameraSettings },
    { MetadataField::flash, "Flash", FormControl::PopUp, "QX_ID_92", FormHeading::CameraSettings },
    { MetadataField::orientation, "Orientation", FormControl::PopUp, "QX_ID_93",
        FormHeading::CameraSettings },
    { MetadataField::exposureMode, "ExposureMode", FormControl::PopUp, "QX_ID_95",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::exposureProgram, "ExposureProgram", FormControl::PopUp, "QX_ID_96",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::exposureTime, "ExposureTime", FormControl::DecimalField, "QX_ID_97",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::meteringMode, "MeteringMode", FormControl::PopUp, "QX_ID_98",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::sceneCaptureType, "SceneCaptureType", FormControl::PopUp, "QX_ID_99",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::whiteBalance, "WhiteBalance", FormControl::IntegerField, "QX_ID_100",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::saturation, "Saturation", FormControl::IntegerField, "QX_ID_101",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::sensingMethod, "SensingMethod", FormControl::PopUp, "QX_ID_102",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::sharpness, "Sharpness", FormControl::IntegerField, "QX_ID_103",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::subjectDistanceRange, "SubjectDistanceRange", FormControl::PopUp, "QX_ID_104",
        FormHeading::AdvanceCameraSetting },
    { MetadataField::lensMake, "LensMake", FormControl::TextField, "QX_ID_106", FormHeading::Lens },
    { MetadataField::lensModel, "LensModel", FormControl::TextField, "QX_ID_107", FormHeading::Lens },
    { MetadataField::lensSerialNumber, "LensSerialNumber", FormControl::TextField, "QX_ID_108",
        FormHeading::Lens },
    { MetadataField::gpsLatitude, "GPSLatitude", FormControl::GpsField, "QX_ID_110", FormHeading::GPS },
    { MetadataField::gpsLatitudeRef, "GPSLatitudeRef", FormControl::PopUp, "QX_ID_111", FormHeading::GPS },
    { MetadataField::gpsLongitude, "GPSLongitude", FormControl::GpsField, "QX_ID_112", FormHeading::GPS },
    { MetadataField::gpsLongitudeRef, "GPSLongitudeRef", FormControl::PopUp, "QX_ID_113", FormHeading::GPS },
    { MetadataField::gpsAltitude, "GPSAltitude", FormControl::GpsField, "QX_ID_114", FormHeading::GPS },
    { MetadataField::gpsAltitudeRef, "GPSAltitudeRef", FormControl::PopUp, "QX_ID_115", FormHeading::GPS },
    { MetadataField::byLine, "ByLine", FormControl::TextField, "QX_ID_118", FormHeading::Author },
    { MetadataField::byLineTitle, "ByLineTitle", FormControl::TextField, "QX_ID_119", FormHeading::Author },
    { MetadataField::copyrightNotice, "CopyrightNotice", FormControl::TextField, "QX_ID_120",
        FormHeading::Author },
    { MetadataField::headline, "Headline", FormControl::TextField, "QX_ID_122", FormHeading::Information },
    { MetadataField::captionAbstract, "CaptionAbstract", FormControl::TextField, "QX_ID_123",
        FormHeading::Information },
    { MetadataField::writerEditor, "WriterEditor", FormControl::TextField, "QX_ID_124",
        FormHeading::Information },
    { MetadataField::objectName, "ObjectName", FormControl::TextField, "QX_ID_125",
        FormHeading::Information },
    { MetadataField::category, "Category", FormControl::TextField, "QX_ID_126", FormHeading::Information },
    { MetadataField::supplementalCategories, "SupplementalCategories", FormControl::TextField, "QX_ID_127",
        FormHeading::Information },
    { MetadataField::keywords, "Keywords", FormControl::TextView, "QX_ID_128", FormHeading::Information },
    { MetadataField::subLocation, "SubLocation", FormControl::TextField, "QX_ID_131", FormHeading::Location },
    { MetadataField::city, "City", FormControl::TextField, "QX_ID_132", FormHeading::Location },
    { MetadataField::provinceState, "ProvinceState", FormControl::TextField, "QX_ID_133",
        FormHeading::Location },
    { MetadataField::countryPrimaryLocationName, "CountryPrimaryLocationName", FormControl::TextField,
        "QX_ID_134", FormHeading::Location },
    { MetadataField::countryPrimaryLocationCode, "CountryPrimaryLocationCode", FormControl::CountryPopUp,
        "QX_ID_135", FormHeading::Location },
    { MetadataField::originalTransmissionRef, "OriginalTransmissionRef", FormControl::TextField, "QX_ID_137",
        FormHeading::Workflow },
    { MetadataField::specialInstructions, "SpecialInstructions", FormControl::TextField, "QX_ID_138",
        FormHeading::Workflow },
    { MetadataField::credit, "Credit", FormControl::TextField, "QX_ID_139", FormHeading::Workflow },
    { MetadataField::source, "Source", FormControl::TextField, "QX_ID_140", FormHeading::Workflow },
    { MetadataField::serialNumberXMP, "SerialNumberXMP", FormControl::TextField, "QX_ID_86",
        FormHeading::XMPGeneral },
    { MetadataField::lensXMP, "LensXMP", FormControl::TextField, "QX_ID_144", FormHeading::XMPGeneral },
    { MetadataField::createDateXMP, "CreateDateXMP", FormControl::DateField, "QX_ID_145",
        FormHeading::XMPGeneral },
    { MetadataField::modifyDateXMP, "ModifyDateXMP", FormControl::DateField, "QX_ID_82",
        FormHeading::XMPGeneral },
    { MetadataField::createDatePhotoshopXMP, "CreateDatePhotoshopXMP", FormControl::DateField, "QX_ID_145",
        FormHeading::Photoshop },
    { MetadataField::compression, "CompressionOther", FormControl::PopUp, "QX_ID_149",
        FormHeading::TiffDetails },
    { MetadataField::documentName, "DocumentNameOther", FormControl::TextField, "QX_ID_150",
        FormHeading::TiffDetails },
    { MetadataField::fxResolution, "FXResolutionOther", FormControl::DecimalField, "QX_ID_151",
        FormHeading::TiffDetails },
    { MetadataField::fyResolution, "FYResolutionOther", FormControl::DecimalField, "QX_ID_152",
        FormHeading::TiffDetails },
    { MetadataField::hostName, "HostComputer", FormControl::TextField, "QX_ID_153",
        FormHeading::TiffDetails },
    { MetadataField::primaryChromaticities, "PrimaryChromaticities", FormControl::DecimalField, "QX_ID_154",
        FormHeading::TiffDetails },
    { MetadataField::specialSensitivity, "SpectralSensitivity", FormControl::TextField, "QX_ID_156",
        FormHeading::Others },
    { MetadataField::sensitivityType, "SensitivityType", FormControl::PopUp, "QX_ID_157",
        FormHeading::Others },
    { MetadataField::standardOutputSensitivity, "StandardOutputSensitivity", FormControl::IntegerField,
        "QX_ID_158", FormHeading::Others },
    { MetadataField::compressedBitsPerPixel, "CompressedBitsPerPixel", FormControl::DecimalField, "QX_ID_159",
        FormHeading::Others },
    { MetadataField::maxApertureValue, "MaxApertureValue", FormControl::DecimalField, "QX_ID_160",
        FormHeading::Others },
    { MetadataField::colorSpace, "ColorSpace", FormControl::IntegerField, "QX_ID_161", FormHeading::Others },
    { MetadataField::lightSource, "LightSource", FormControl::PopUp, "QX_ID_162", FormHeading::Others },
    { MetadataField::digitalZoomRatio, "DigitalZoomRatio", FormControl::DecimalField, "QX_ID_163",
        FormHeading::Others },
});

constexpr const FormFieldInfo &formField(MetadataField field)
{
    return formFields[std::size_t(field)];
}

constexpr const FormHeadingInfo &formHeading(FormHeading heading)
{
    return formHeadings[std::size_t(heading)];
}

// The one-line text fields: every control but the text views and pop-ups.
constexpr bool isTextField(FormControl control)
{
    return control != FormControl::TextView && control != FormControl::PopUp
        && control != FormControl::CountryPopUp;
}

constexpr bool isPopUp(FormControl control)
{
    return control == FormControl::PopUp || control == FormControl::CountryPopUp;
}

// The value kind a control can hold.
constexpr bool controlHoldsKind(FormControl control, FieldKind kind)
{
    switch (control) {
    case FormControl::TextField:
    case FormControl::TextView:
    case FormControl::CountryPopUp:
        return kind == FieldKind::Text;
    case FormControl::IntegerField:
        return kind == FieldKind::Integer;
    case FormControl::DecimalField:
    case FormControl::GpsField:
        return kind == FieldKind::Real;
    case FormControl::PopUp:
        return kind == FieldKind::Integer || kind == FieldKind::Text;
    case FormControl::DateField:
        return kind == FieldKind::Date;
    }
    return false;
}

constexpr bool formTablesAgree()
{
    for (std::size_t i = 0; i < formFields.size(); ++i) {
        const FormFieldInfo &row = formFields[i];
        if (std::size_t(row.field) != i || !controlHoldsKind(row.control, fieldKind(row.field))
            || formHeading(row.section).isGroup)
            return false;
    }
    for (std::size_t i = 0; i < formHeadings.size(); ++i) {
        if (std::size_t(formHeadings[i].heading) != i)
            return false;
    }
    return true;
}
static_assert(formFields.size() == std::size_t(metadataFieldCount));
static_assert(
    formTablesAgree(), "form rows follow the fixed field order with controls of their value's kind");

// The date rule that changes a date field; none for other fields.
constexpr std::optional<DateRule> dateRuleOf(MetadataField field)
{
    for (std::size_t i = 0; i < dateRules.size(); ++i) {
        if (dateRules[i].field == field)
            return DateRule(i);
    }
    return std::nullopt;
}

// The name the form gives a field, as its label shows it; where fields
// share a label, the family of the field's key follows it ("Serial Number
// (XMP)").
QString formFieldName(MetadataField field);
// The same for an Exiv2 key the program writes: the IPTC date and time
// datasets, which the digitized date sets, go by that date's name and
// "(IPTC)". None for another key.
std::optional<QString> formNameOfKey(const QString &key);

// Outlet names: the kind prefix and the row's stem.
enum class FormOutlet : std::uint8_t { Label, Box, Control, Button };
QString formOutletName(const FormFieldInfo &row, FormOutlet outlet);
