// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the walks that start from an image the library read,
// as a write makes them: IPTC as stored, maker notes, PGF user data, the
// IPTC digest, the copies other programs and cameras keep where a write or
// a clear leaves them (a maker note's IPTC and rotation, a segment's
// comment, a trailer's IPTC, a value in another directory), and the
// camera's data a write carries, places and checks.
// Only the formats Calvorn lets the library parse are parsed.
#include "engine/BridgeFrame.h"
#include "engine/CopiesLeftAlone.h"
#include "engine/ImageStructure.h"
#include "engine/IptcAsRead.h"
#include "engine/carry/CameraDataCheck.h"
#include "engine/carry/CarriedStructures.h"
#include "engine/carry/PgfUserData.h"
#include "engine/walks/JpegSegments.h"
#include "engine/walks/LibraryCost.h"
#include "engine/walks/PhotoshopResources.h"
#include "platform/Exiv2Setup.h"
#include "platform/SupportedImages.h"
#include "platform/XmpToolkit.h"

#include <exiv2/basicio.hpp>

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    initializeExiv2();
    std::vector<Exiv2::byte> bytes(data, data + size);
    // As the application runs an operation: an exception ends it, as the
    // library throws its own errors and standard exceptions (an overflow, a
    // size no vector holds) alike on damaged files.
    engine::bridge::runGuarded([&] {
        Exiv2::Image::AutoPtr image = platform::SupportedImages::open(
            Exiv2::BasicIo::AutoPtr(new Exiv2::MemIo(bytes.data(), long(size))), "input",
            platform::SupportedImages::Use::Writing);
        // One budget for the file, as a write spends it; the library reads
        // only what it reads in proportion to its bytes.
        engine::bridge::WalkBudget budget = engine::bridge::WalkBudget::forFile(size);
        if (engine::bridge::beyondTheLibrary(bytes, engine::bridge::imageKind(*image), budget))
            return;
        platform::XmpToolkit::readMetadata(*image);
        engine::bridge::storedIptc(*image);
        engine::bridge::hasCurrentIptcDigest(*image);
        engine::bridge::pgfUserData(*image);
        // The copies other programs keep that a write or a clear leaves alone.
        const engine::bridge::CopiesLeftAlone copies
            = engine::bridge::copiesLeftAlone(*image, bytes.data(), long(size), budget);
        const auto told = [](const std::string &, const QString &) {};
        engine::bridge::reportOlderCopies(copies,
            { "Iptc.Application2.City", "Exif.Photo.UserComment", "Exif.Image.Copyright", "Xmp.aux.Lens",
                "Exif.Image.Orientation", "Exif.Image.ImageDescription" },
            told);
        engine::bridge::reportKeptCopies(copies, { true, true, true, true, true, true }, told);
        engine::bridge::jfifDensity(bytes.data(), long(size));
        // As a write that moved nothing would leave the file.
        const engine::bridge::ImageKind kind = engine::bridge::imageKind(*image);
        const Exiv2::ExifData asRead = image->exifData();
        engine::bridge::CarriedStructures carried
            = engine::bridge::CarriedStructures::keep(*image, kind, budget);
        std::vector<Exiv2::byte> written = bytes;
        const QByteArray placed = carried.place(bytes, written.data(), long(written.size()), budget);
        if (!placed.isNull())
            written.assign(placed.begin(), placed.end());
        engine::bridge::checkCameraData(written, kind, carried.makerNote(), asRead, budget);
    });
    return 0;
}
