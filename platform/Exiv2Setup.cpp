// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Exiv2Setup.h"

#include <exiv2/error.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <mutex>

namespace {

std::mutex &xmpToolkitMutex()
{
    static std::mutex mutex;
    return mutex;
}

void lockXmpToolkit(void *data, bool lock)
{
    auto *mutex = static_cast<std::mutex *>(data);
    if (lock)
        mutex->lock();
    else
        mutex->unlock();
}

} // namespace

void initializeExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::LogMsg::setHandler(nullptr);
        Exiv2::XmpParser::initialize(lockXmpToolkit, &xmpToolkitMutex());
    });
}
