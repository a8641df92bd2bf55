// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/PopUpValues.h"

#include "editor/NumberText.h"
#include "engine/ValueNames.h"

qsizetype PopUpValues::count() const
{
    return m_integers ? m_integers().size() : m_texts().size();
}

QStringList PopUpValues::titles() const
{
    QStringList titles;
    if (m_integers) {
        for (const qint64 value : m_integers())
            titles << m_integerTitle(value);
    } else {
        for (const QString &value : m_texts())
            titles << m_textTitle(value);
    }
    return titles;
}

Metadata::Value PopUpValues::entry(qsizetype index) const
{
    if (index < 0 || index >= count())
        return {};
    if (m_integers)
        return m_integers().at(index);
    return m_texts().at(index);
}

QString PopUpValues::title(const Metadata::Value &value) const
{
    if (const qint64 *number = std::get_if<qint64>(&value); number && m_integers)
        return m_integerTitle(*number);
    if (const QString *text = std::get_if<QString>(&value); text && m_texts)
        return m_textTitle(*text);
    return {};
}

qsizetype PopUpValues::indexOf(const Metadata::Value &value) const
{
    if (const qint64 *number = std::get_if<qint64>(&value); number && m_integers)
        return m_integers().indexOf(*number);
    if (const QString *text = std::get_if<QString>(&value); text && m_texts)
        return m_texts().indexOf(*text);
    return -1;
}

QString PopUpValues::valueText(const Metadata::Value &value)
{
    if (const qint64 *number = std::get_if<qint64>(&value))
        return numberText(*number);
    if (const QString *text = std::get_if<QString>(&value))
        return *text;
    return {};
}

const PopUpValues *popUpValues(MetadataField field)
{
    static const PopUpValues flash(flashValues, flashDescription);
    static const PopUpValues orientation(orientationValues, orientationDescription);
    static const PopUpValues exposureMode(exposureModeValues, exposureModeDescription);
    static const PopUpValues exposureProgram(exposureProgramValues, exposureProgramDescription);
    static const PopUpValues meteringMode(meteringModeValues, meteringModeDescription);
    static const PopUpValues sceneCaptureType(sceneCaptureTypeValues, sceneCaptureTypeDescription);
    static const PopUpValues sensingMethod(sensingMethodValues, sensingMethodDescription);
    static const PopUpValues subjectDistanceRange(
        subjectDistanceRangeValues, subjectDistanceRangeDescription);
    static const PopUpValues gpsLatitudeRef(gpsLatitudeRefValues, gpsLatitudeRefDescription);
    static const PopUpValues gpsLongitudeRef(gpsLongitudeRefValues, gpsLongitudeRefDescription);
    static const PopUpValues gpsAltitudeRef(gpsAltitudeRefValues, gpsAltitudeRefDescription);
    static const PopUpValues compression(compressionValues, compressionDescription);
    static const PopUpValues sensitivityType(sensitivityTypeValues, sensitivityTypeDescription);
    static const PopUpValues lightSource(lightSourceValues, lightSourceDescription);

    switch (field) {
    case MetadataField::flash:
        return &flash;
    case MetadataField::orientation:
        return &orientation;
    case MetadataField::exposureMode:
        return &exposureMode;
    case MetadataField::exposureProgram:
        return &exposureProgram;
    case MetadataField::meteringMode:
        return &meteringMode;
    case MetadataField::sceneCaptureType:
        return &sceneCaptureType;
    case MetadataField::sensingMethod:
        return &sensingMethod;
    case MetadataField::subjectDistanceRange:
        return &subjectDistanceRange;
    case MetadataField::gpsLatitudeRef:
        return &gpsLatitudeRef;
    case MetadataField::gpsLongitudeRef:
        return &gpsLongitudeRef;
    case MetadataField::gpsAltitudeRef:
        return &gpsAltitudeRef;
    case MetadataField::compression:
        return &compression;
    case MetadataField::sensitivityType:
        return &sensitivityType;
    case MetadataField::lightSource:
        return &lightSource;
    default:
        return nullptr;
    }
}
