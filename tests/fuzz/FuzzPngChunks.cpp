// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the walk over a PNG's chunks and the pass that finishes
// a written one, with every text a clear takes, a Photoshop profile's IPTC
// to bring in step, and the comment texts and text copies a write brings in
// step or takes; and the converters' raw profile text on its own.
#include "engine/carry/PngExif.h"
#include "engine/carry/PngTextCopies.h"
#include "engine/walks/RawProfile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace engine::bridge;
    Exiv2::ExifData exif;
    exif["Exif.Image.Artist"] = "Someone";
    Exiv2::IptcData iptc;
    iptc["Iptc.Application2.City"] = "Somewhere";
    const ClearChoices everything { true, true, true, true, true, true };
    // A write of the comment and of values with text copies, and one that
    // empties the rest.
    PngTextWrite written { QStringLiteral("Someone's comment"), {}, false };
    for (const char *key : { "Exif.Image.Artist", "Exif.Photo.ISOSpeedRatings", "Xmp.aux.Lens" }) {
        for (const std::string &keyword : textCopyKeywords(key))
            written.copies.push_back({ keyword, key });
    }
    const PngTextWrite emptying { QString(), {}, true };
    for (const PngTextEdit &edit :
        { PngTextEdit { everything, false, Exiv2::IptcData() }, PngTextEdit { {}, true, iptc },
            PngTextEdit { {}, false, iptc, written }, PngTextEdit { {}, false, std::nullopt, emptying } }) {
        findPngTexts(data, long(size), edit);
        finishedPng(data, long(size), exif, Exiv2::littleEndian, edit);
    }
    rawProfileOf(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
