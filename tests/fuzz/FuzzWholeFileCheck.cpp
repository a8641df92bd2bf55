// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the check of a whole written file, which reads the
// original and the written file each by its own walk. The input is both
// at once, as a write that changed nothing would leave it, and again beside
// itself cut where its first byte says, as a write that lost the rest; each
// under a request that lets nothing change and one that lets everything.
#include "engine/check/WholeFileCheck.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::span<const std::uint8_t> file(data, size);
    const std::span<const std::uint8_t> cut = file.first(size == 0 ? 0 : size * data[0] / 256);
    engine::check::WriteRequest nothing;
    engine::check::WriteRequest everything;
    everything.exifTaken = everything.orientationTaken = everything.gpsTaken = everything.commentTaken = true;
    everything.iptcMayChange = everything.xmpMayChange = everything.commentMayChange = true;
    everything.written
        = { { engine::check::Place::Page, 1, 0x013b }, { engine::check::Place::Exif, 1, 0x9003 } };
    for (const engine::check::WriteRequest *request : { &nothing, &everything }) {
        engine::check::refusal(file, file, *request);
        engine::check::refusal(file, cut, *request);
    }
    return 0;
}
