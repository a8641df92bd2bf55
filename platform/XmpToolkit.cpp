// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/XmpToolkit.h"

#include <QtGlobal>

#include <exiv2/error.hpp>
#include <exiv2/properties.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <dlfcn.h>

#include <atomic>
#include <string>

namespace platform::XmpToolkit {

namespace {

// Calls of the two functions below on this thread, from anywhere.
thread_local unsigned long passedOnThisThread = 0;
std::atomic<bool> libraryPasses { false };
// Parsing registers each namespace a packet declares with the prefix the
// packet gives it, for every packet serialised afterwards; set when that
// may have happened since the library's own prefixes were last put back.
// Read and written under the lock.
bool prefixesTouched = true;

// The library's own definition of a function this program provides too.
template <typename Function> Function libraryFunction(const char *symbol)
{
    void *found = ::dlsym(RTLD_NEXT, symbol);
    if (!found)
        qFatal("Exiv2 provides no %s", symbol);
    return reinterpret_cast<Function>(found);
}

} // namespace

std::recursive_mutex &mutex()
{
    static std::recursive_mutex lock;
    return lock;
}

void lockFunction(void *data, bool lock)
{
    auto *toolkit = static_cast<std::recursive_mutex *>(data);
    if (lock)
        toolkit->lock();
    else
        toolkit->unlock();
}

void checkLibraryCalls()
{
    // A packet the library parses from inside readMetadata.
    static const char sidecar[]
        = "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
          "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">"
          "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
          "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
          " dc:format=\"image/jpeg\"/></rdf:RDF></x:xmpmeta><?xpacket end=\"w\"?>";
    const unsigned long before = passedOnThisThread;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
            reinterpret_cast<const Exiv2::byte *>(sidecar), long(sizeof sidecar - 1));
        image->readMetadata();
    } catch (const Exiv2::AnyError &) { }
    libraryPasses = passedOnThisThread != before;
}

bool libraryCallsPassThrough()
{
    return libraryPasses;
}

void readMetadata(Exiv2::Image &image)
{
    if (libraryPasses) {
        image.readMetadata();
        return;
    }
    std::lock_guard lock(mutex());
    image.readMetadata();
}

void writeMetadata(Exiv2::Image &image)
{
    if (libraryPasses) {
        image.writeMetadata();
        return;
    }
    std::lock_guard lock(mutex());
    image.writeMetadata();
}

} // namespace platform::XmpToolkit

using platform::XmpToolkit::libraryFunction;
using platform::XmpToolkit::passedOnThisThread;
using platform::XmpToolkit::prefixesTouched;

int Exiv2::XmpParser::decode(XmpData &xmpData, const std::string &xmpPacket)
{
    using Decode = int (*)(XmpData &, const std::string &);
    static const auto library
        = libraryFunction<Decode>("_ZN5Exiv29XmpParser6decodeERNS_7XmpDataERKNSt7__cxx1112basic_"
                                  "stringIcSt11char_traitsIcESaIcEEE");
    std::lock_guard lock(platform::XmpToolkit::mutex());
    ++passedOnThisThread;
    prefixesTouched = true;
    return library(xmpData, xmpPacket);
}

int Exiv2::XmpParser::encode(
    std::string &xmpPacket, const XmpData &xmpData, uint16_t formatFlags, uint32_t padding)
{
    using Encode = int (*)(std::string &, const XmpData &, uint16_t, uint32_t);
    static const auto library
        = libraryFunction<Encode>("_ZN5Exiv29XmpParser6encodeERNSt7__cxx1112basic_stringIcSt11char_"
                                  "traitsIcESaIcEEERKNS_7XmpDataEtj");
    std::lock_guard lock(platform::XmpToolkit::mutex());
    ++passedOnThisThread;
    if (prefixesTouched && !xmpData.empty()) {
        // Every namespace the library knows gets its own prefix back, so
        // the packet's bytes do not depend on what was read before: asked
        // for its list, the library first registers each of them with the
        // toolkit. The listing that follows fails when parsed packets left
        // the toolkit's two tables disagreeing; the prefixes are back all
        // the same.
        try {
            Exiv2::Dictionary namespaces;
            Exiv2::XmpProperties::registeredNamespaces(namespaces);
        } catch (const Exiv2::AnyError &) { }
        prefixesTouched = false;
    }
    return library(xmpPacket, xmpData, formatFlags, padding);
}
