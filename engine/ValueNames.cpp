// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ValueNames.h"

#include <span>

namespace {

const char *const leaveBlank = "Leave Blank";
const char *const unsupported = "Unsupported";

template <typename Code> struct Title
{
    Code code;
    const char *title;
};

using CodeTitle = Title<qint64>;
using TextTitle = Title<const char *>;

// Each table is in pop-up order; the value list is -1 followed by its codes.
constexpr CodeTitle flashTitles[] = {
    { 0, "Flash did not fire" },
    { 1, "Flash fired" },
    { 5, "Strobe return light not detected" },
    { 7, "Strobe return light detected" },
    { 9, "Flash fired, compulsory flash mode" },
    { 13, "Flash fired, compulsory flash mode, return light not detected" },
    { 15, "Flash fired, compulsory flash mode, return light detected" },
    { 16, "Flash did not fire, compulsory flash mode" },
    { 24, "Flash did not fire, auto mode" },
    { 25, "Flash fired, auto mode" },
    { 29, "Flash fired, auto mode, return light not detected" },
    { 31, "Flash fired, auto mode, return light detected" },
    { 32, "No flash function" },
    { 65, "Flash fired, red-eye reduction mode" },
    { 69, "Flash fired, red-eye reduction mode, return light not detected" },
    { 71, "Flash fired, red-eye reduction mode, return light detected" },
    { 73, "Flash fired, compulsory flash mode, red-eye reduction mode" },
    { 77, "Flash fired, compulsory flash mode, red-eye reduction mode, return light not detected" },
    { 79, "Flash fired, compulsory flash mode, red-eye reduction mode, return light detected" },
    { 89, "Flash fired, auto mode, red-eye reduction mode" },
    { 93, "Flash fired, auto mode, return light not detected, red-eye reduction mode" },
    { 95, "Flash fired, auto mode, return light detected, red-eye reduction mode" },
};

constexpr CodeTitle orientationTitles[] = {
    { 1, "Horizontal (normal)" },
    { 2, "Mirror horizontal" },
    { 3, "Rotate 180" },
    { 4, "Mirror vertical" },
    { 5, "Mirror horizontal and rotate 270 CW" },
    { 6, "Rotate 90 CW" },
    { 7, "Mirror horizontal and rotate 90 CW" },
    { 8, "Rotate 270 CW" },
};

constexpr CodeTitle exposureModeTitles[] = { { 0, "Auto" }, { 1, "Manual" }, { 2, "Auto bracket" } };

constexpr CodeTitle exposureProgramTitles[] = {
    { 0, "Not defined" },
    { 1, "Manual" },
    { 2, "Normal program" },
    { 3, "Aperture priority" },
    { 4, "Shutter priority" },
    { 5, "Creative program" },
    { 6, "Action program" },
    { 7, "Portrait mode" },
    { 8, "Landscape mode" },
};

constexpr CodeTitle meteringModeTitles[] = {
    { 0, "Unknown" },
    { 1, "Average" },
    { 2, "CenterWeightedAverage" },
    { 3, "Spot" },
    { 4, "MultiSpot" },
    { 5, "Pattern" },
    { 6, "Partial" },
    { 255, "Other" },
};

constexpr CodeTitle sceneCaptureTypeTitles[]
    = { { 0, "Standard" }, { 1, "Landscape" }, { 2, "Portrait" }, { 3, "Night scene" } };

constexpr CodeTitle sensingMethodTitles[] = {
    { 1, "Not defined" },
    { 2, "One-chip color area sensor" },
    { 3, "Two-chip color area sensor" },
    { 4, "Three-chip color area sensor" },
    { 5, "Color sequential area sensor" },
    { 7, "Trilinear sensor" },
    { 8, "Color sequential linear sensor" },
};

constexpr CodeTitle subjectDistanceRangeTitles[]
    = { { 0, "Unknown" }, { 1, "Macro" }, { 2, "Close view" }, { 3, "Distant view" } };

constexpr TextTitle gpsLatitudeRefTitles[] = { { "N", "North" }, { "S", "South" } };
constexpr TextTitle gpsLongitudeRefTitles[] = { { "E", "East" }, { "W", "West" } };

constexpr CodeTitle gpsAltitudeRefTitles[] = { { 0, "Above sea level" }, { 1, "Below sea level" } };

// Pop-up order: Deflate (8) stands between 32946 and 32947.
constexpr CodeTitle compressionTitles[] = {
    { 1, "No compression" },
    { 2, "CCITT modified Huffman RLE" },
    { 3, "CCITT Group 3 fax encoding" },
    { 4, "CCITT Group 4 fax encoding" },
    { 5, "LZW" },
    { 6, "OJPEG / (JPEG ('old-style' JPEG, later overridden in Technote2))" },
    { 7, "JPEG ('new-style' JPEG)" },
    { 32766, "NEXT" },
    { 32771, "CCITTRLEW" },
    { 32773, "PackBits compression, aka Macintosh RLE" },
    { 32809, "THUNDERSCAN" },
    { 32895, "IT8CTPAD" },
    { 32896, "IT8LW" },
    { 32897, "IT8MP" },
    { 32898, "IT8BL" },
    { 32908, "PIXARFILM" },
    { 32909, "PIXARLOG" },
    { 32946, "DEFLATE" },
    { 8, "Deflate ('Adobe-style')" },
    { 32947, "DCS" },
    { 34661, "JBIG" },
    { 34676, "SGILOG" },
    { 34677, "SGILOG24" },
    { 34712, "JP2000" },
};

constexpr CodeTitle sensitivityTypeTitles[] = {
    { 0, "Unknown" },
    { 1, "Standard output sensitivity (SOS)" },
    { 2, "Recommended exposure index (REI)" },
    { 3, "ISO speed" },
    { 4, "Standard output sensitivity (SOS) and recommended exposure index (REI)" },
    { 5, "Standard output sensitivity (SOS) and ISO speed" },
    { 6, "Recommended exposure index (REI) and ISO speed" },
    { 7, "Standard output sensitivity (SOS) and recommended exposure index (REI) and ISO speed" },
};

constexpr CodeTitle lightSourceTitles[] = {
    { 0, "Unknown" },
    { 1, "Daylight" },
    { 2, "Fluorescent" },
    { 3, "Tungsten (incandescent light)" },
    { 4, "Flash" },
    { 9, "Fine weather" },
    { 10, "Cloudy weather" },
    { 11, "Shade" },
    { 12, "Daylight fluorescent (D 5700 - 7100K)" },
    { 13, "Day white fluorescent (N 4600 - 5400K)" },
    { 14, "Cool white fluorescent (W 3900 - 4500K)" },
    { 15, "White fluorescent (WW 3200 - 3700K)" },
    { 17, "Standard light A" },
    { 18, "Standard light B" },
    { 19, "Standard light C" },
    { 20, "D55" },
    { 21, "D65" },
    { 22, "D75" },
    { 23, "D50" },
    { 24, "ISO studio tungsten" },
    { 255, "Other light source" },
};

QList<qint64> valuesOf(std::span<const CodeTitle> titles)
{
    QList<qint64> values { -1 };
    for (const auto &t : titles)
        values.append(t.code);
    return values;
}

QList<QString> valuesOf(std::span<const TextTitle> titles)
{
    QList<QString> values { QStringLiteral("-1") };
    for (const auto &t : titles)
        values.append(QString::fromLatin1(t.code));
    return values;
}

QString describe(std::span<const CodeTitle> titles, qint64 value, const char *fallback)
{
    if (value == -1)
        return QString::fromLatin1(leaveBlank);
    for (const auto &t : titles)
        if (t.code == value)
            return QString::fromLatin1(t.title);
    return QString::fromLatin1(fallback);
}

QString describe(std::span<const TextTitle> titles, const QString &value, const char *fallback)
{
    if (value == QLatin1String("-1"))
        return QString::fromLatin1(leaveBlank);
    for (const auto &t : titles)
        if (value == QLatin1String(t.code))
            return QString::fromLatin1(t.title);
    return QString::fromLatin1(fallback);
}

} // namespace

// Each field's value list (a function-local static: made once, safely
// across threads, on first use) and its title function.
#define CALVORN_VALUE_NAMES(field, Type, Argument, fallback)                                                 \
    const QList<Type> &field##Values()                                                                       \
    {                                                                                                        \
        static const QList<Type> values = valuesOf(field##Titles);                                           \
        return values;                                                                                       \
    }                                                                                                        \
    QString field##Description(Argument value)                                                               \
    {                                                                                                        \
        return describe(field##Titles, value, fallback);                                                     \
    }

CALVORN_VALUE_NAMES(flash, qint64, qint64, "Flash mode unsupported")
CALVORN_VALUE_NAMES(orientation, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(exposureMode, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(exposureProgram, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(meteringMode, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(sceneCaptureType, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(sensingMethod, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(subjectDistanceRange, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(gpsLatitudeRef, QString, const QString &, unsupported)
CALVORN_VALUE_NAMES(gpsLongitudeRef, QString, const QString &, unsupported)
CALVORN_VALUE_NAMES(gpsAltitudeRef, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(compression, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(sensitivityType, qint64, qint64, unsupported)
CALVORN_VALUE_NAMES(lightSource, qint64, qint64, unsupported)
#undef CALVORN_VALUE_NAMES
