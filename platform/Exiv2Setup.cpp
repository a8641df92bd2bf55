// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Exiv2Setup.h"

#include "platform/XmpToolkit.h"

#include <exiv2/error.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <mutex>

void initializeExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::LogMsg::setHandler(nullptr);
        Exiv2::XmpParser::initialize(platform::XmpToolkit::lockFunction, &platform::XmpToolkit::mutex());
        platform::XmpToolkit::checkLibraryCalls();
    });
}
