// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/image.hpp>
#include <exiv2/iptc.hpp>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The IPTC datasets as the file holds them. The library writes every date
// and time it read in its own form (a time stored without its zone gets
// "+0000"), so a write that does not name them would otherwise change them.
namespace engine::bridge {

struct StoredDataset
{
    uint16_t record = 0;
    uint16_t number = 0;
    std::string bytes;
};

// The IPTC datasets of the file in their order, as the library finds them
// in a JPEG's Photoshop segments, a Photoshop file's resources or a
// TIFF-based file's first directory; none for other formats.
std::vector<StoredDataset> storedIptc(Exiv2::Image &image);

// The datasets that follow one another from the bytes' start, each whole
// and of a plain size, up to the first byte that does not start one: an
// IPTC stream kept inside another structure, with what follows it.
std::vector<StoredDataset> leadingDatasets(std::span<const Exiv2::byte> bytes);

// Gives every date and time dataset of iptc, but for the keys named, the
// bytes the file held, where the library would write them otherwise.
void keepStoredDatesAndTimes(
    Exiv2::IptcData &iptc, const std::vector<StoredDataset> &stored, const std::vector<std::string> &named);

} // namespace engine::bridge
