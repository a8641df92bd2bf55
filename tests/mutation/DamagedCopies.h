// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// Damaged copies of the sample images, each made from one seed alone, so
// that a seed names its copy for ever: bytes flipped, runs zeroed or set
// to 0xff, length fields set to 0, 1, their maximum, one off or a few less, the file
// cut short, pieces cut out, pieces of another sample spliced in.
namespace mutation {

struct Sample
{
    QString name;
    QByteArray bytes;
};

struct DamagedCopy
{
    uint32_t seed = 0;
    QString sample;
    QString damage; // what was done, in words
    QByteArray bytes;
};

DamagedCopy damagedCopy(uint32_t seed, const std::vector<Sample> &samples);

} // namespace mutation
