// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the walks over Photoshop resources, in a JPEG's
// segments and in a Photoshop file, and over one block of them, as a PNG's
// Photoshop profile holds it; and the join of a block from pieces, which
// must tell whole blocks as the library's own check does.
#include "engine/BridgeFrame.h"
#include "engine/walks/PhotoshopResources.h"

#include <exiv2/image.hpp>
#include <exiv2/jpgimage.hpp>
#include <exiv2/psdimage.hpp>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace engine::bridge;
    for (const int type : { Exiv2::ImageType::jpeg, Exiv2::ImageType::psd }) {
        std::vector<Exiv2::byte> bytes(data, data + size);
        forEachResourceBlock(bytes.data(), long(size), type, [](Exiv2::byte *block, long blockSize) {
            for (auto found = findResource(block, blockSize, 0, Exiv2::Photoshop::iptc_); found;
                 found = findResource(block, blockSize, found->next, Exiv2::Photoshop::iptc_)) { }
        });
        refreshIptcDigest(bytes.data(), long(size), type);
    }
    std::vector<Exiv2::byte> bytes(data, data + size);
    // The library throws on some blocks it is handed; the application calls
    // this within an operation that such an exception ends.
    runGuarded([&] { withoutLeftoverIptc(bytes.data(), long(size)); });
    const std::span<const Exiv2::byte> block(data, size);
    // The block joined in pieces of the sizes its first bytes give.
    JoinedResources joined;
    for (std::size_t joinedSize = 0, piece = 0; joinedSize < size; ++piece) {
        joinedSize = std::min(size, joinedSize + 1 + (piece < size ? data[piece] % 64 : 64));
        if (joined.whole(block.first(joinedSize)) != Exiv2::Photoshop::valid(data, long(joinedSize)))
            std::abort();
    }
    if (const auto resources = resourcesOf(block)) {
        Exiv2::IptcData iptc;
        iptc["Iptc.Application2.City"] = "Somewhere";
        withIptcResource(block, *resources, iptc);
        withIptcResource(block, *resources, Exiv2::IptcData());
    }
    return 0;
}
