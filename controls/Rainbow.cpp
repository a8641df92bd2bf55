// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Rainbow.h"

#include <QRandomGenerator>

#include <array>

namespace {
QList<QColor> colorList(std::initializer_list<std::array<float, 3>> components)
{
    QList<QColor> colors;
    for (const auto &[red, green, blue] : components)
        colors.append(QColor::fromRgbF(red, green, blue, 1.0f));
    return colors;
}
} // namespace

Rainbow::Rainbow(QWidget *parent)
    : MaterialProgress(parent)
{ }

const QList<QColor> &Rainbow::paleColors()
{
    static const QList<QColor> colors = colorList({
        { 0.9461f, 0.6699f, 0.6243f },
        { 0.8625f, 0.7766f, 0.8767f },
        { 0.6676f, 0.6871f, 0.8313f },
        { 0.7263f, 0.6189f, 0.8379f },
        { 0.8912f, 0.9505f, 0.9971f },
        { 0.7697f, 0.9356f, 0.9692f },
        { 0.3859f, 0.7533f, 0.9477f },
        { 0.6435f, 0.8554f, 0.8145f },
        { 0.8002f, 0.936f, 0.7639f },
        { 0.5362f, 0.8703f, 0.8345f },
        { 0.9785f, 0.8055f, 0.4049f },
        { 1.0f, 0.8667f, 0.6453f },
        { 0.9681f, 0.677f, 0.2837f },
        { 0.9898f, 0.7132f, 0.1746f },
        { 0.8238f, 0.84f, 0.8276f },
        { 0.8532f, 0.8763f, 0.883f },
    });
    return colors;
}

const QList<QColor> &Rainbow::strongColors()
{
    static const QList<QColor> colors = colorList({
        { 0.9472f, 0.2496f, 0.0488f },
        { 0.8098f, 0.1695f, 0.0467f },
        { 0.853f, 0.2302f, 0.3607f },
        { 0.8152f, 0.3868f, 0.5021f },
        { 0.96f, 0.277f, 0.3515f },
        { 0.3686f, 0.3069f, 0.6077f },
        { 0.5529f, 0.3198f, 0.5409f },
        { 0.2132f, 0.4714f, 0.7104f },
        { 0.1706f, 0.2432f, 0.3106f },
        { 0.195f, 0.2982f, 0.3709f },
        { 0.0f, 0.3091f, 0.5859f },
        { 0.2261f, 0.6065f, 0.3403f },
        { 0.1101f, 0.5694f, 0.4522f },
        { 0.1716f, 0.4786f, 0.2877f },
        { 0.8289f, 0.33f, 0.0f },
        { 0.4183f, 0.4842f, 0.5372f },
        { 0.0f, 0.0f, 0.0f },
    });
    return colors;
}

void Rainbow::setUpLayers()
{
    MaterialProgress::setUpLayers();
    setBackground(Qt::transparent);
}

void Rainbow::strokeCycleEnded(bool finished)
{
    MaterialProgress::strokeCycleEnded(finished);
    const QList<QColor> &colors = m_onLightOffDark ? paleColors() : strongColors();
    setArcColor(colors.at(QRandomGenerator::global()->generate() % colors.size()));
}
