// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// The values the editing form offers for each enumerated field, in pop-up
// order, and the English title of each. Every list starts with -1 (the text
// "-1" for the two GPS direction references), which leaves the field blank.
// Lists are made once, on first use, and shared.

const QList<qint64> &flashValues();
const QList<qint64> &orientationValues();
const QList<qint64> &exposureModeValues();
const QList<qint64> &exposureProgramValues();
const QList<qint64> &meteringModeValues();
const QList<qint64> &sceneCaptureTypeValues();
const QList<qint64> &sensingMethodValues();
const QList<qint64> &subjectDistanceRangeValues();
const QList<QString> &gpsLatitudeRefValues();
const QList<QString> &gpsLongitudeRefValues();
const QList<qint64> &gpsAltitudeRefValues();
const QList<qint64> &compressionValues();
const QList<qint64> &sensitivityTypeValues();
const QList<qint64> &lightSourceValues();

// Titles: -1 is "Leave Blank"; a value without a title of its own gets the
// fallback "Unsupported" ("Flash mode unsupported" for the flash). Exact
// match only: no clamping, no case folding, no trimming.
QString flashDescription(qint64 value);
QString orientationDescription(qint64 value);
QString exposureModeDescription(qint64 value);
QString exposureProgramDescription(qint64 value);
QString meteringModeDescription(qint64 value);
QString sceneCaptureTypeDescription(qint64 value);
QString sensingMethodDescription(qint64 value);
QString subjectDistanceRangeDescription(qint64 value);
QString gpsLatitudeRefDescription(const QString &value);
QString gpsLongitudeRefDescription(const QString &value);
QString gpsAltitudeRefDescription(qint64 value);
QString compressionDescription(qint64 value);
QString sensitivityTypeDescription(qint64 value);
QString lightSourceDescription(qint64 value);
