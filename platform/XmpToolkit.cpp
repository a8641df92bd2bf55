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
// Set when a packet parsed since the library's own prefixes were last put
// back may have changed one (see changesKnownPrefixes). Read and written
// under the lock.
bool prefixesTouched = true;

// Whether parsing the packet changes a prefix the toolkit writes with: the
// toolkit registers each namespace a packet declares with the prefix the
// packet gives it (a default namespace with "_dflt_"). So it does when the
// packet declares a namespace the library knows under another prefix
// (xmlns:xap for the one the library writes as xmp), or a prefix the
// library knows for another namespace; and, to be safe, when a
// declaration cannot be read here.
bool changesKnownPrefixes(const std::string &packet)
{
    static const std::string marker = "xmlns";
    static const char *const blanks = " \t\r\n";
    const auto normalised = [](std::string ns) {
        if (!ns.empty() && ns.back() != '/' && ns.back() != '#')
            ns += '/';
        return ns;
    };
    // A packet in UTF-16 or UTF-32 is not read here.
    if (packet.find('\0') != std::string::npos)
        return true;
    for (size_t at = packet.find(marker); at != std::string::npos; at = packet.find(marker, at + 1)) {
        size_t i = at + marker.size();
        std::string prefix = "_dflt_";
        if (i < packet.size() && packet[i] == ':') {
            const size_t end = packet.find_first_of("=/> \t\r\n", i + 1);
            if (end == std::string::npos)
                return true;
            prefix = packet.substr(i + 1, end - i - 1);
            i = end;
        }
        i = packet.find_first_not_of(blanks, i);
        if (i == std::string::npos || packet[i] != '=')
            continue; // the word in a text, not a declaration
        i = packet.find_first_not_of(blanks, i + 1);
        if (i == std::string::npos || (packet[i] != '"' && packet[i] != '\''))
            return true;
        const size_t close = packet.find(packet[i], i + 1);
        if (close == std::string::npos)
            return true;
        const std::string uri = packet.substr(i + 1, close - i - 1);
        // The library's lookup of an empty name throws what no caller of
        // the toolkit expects (std::out_of_range).
        if (uri.empty() || uri.find('&') != std::string::npos)
            return true;
        if ((prefix == "x" && uri == "adobe:ns:meta/")
            || (prefix == "rdf" && uri == "http://www.w3.org/1999/02/22-rdf-syntax-ns#"))
            continue;
        const std::string known = Exiv2::XmpProperties::prefix(uri);
        if (!known.empty() && known != prefix)
            return true;
        if (known.empty()) {
            try {
                if (normalised(Exiv2::XmpProperties::ns(prefix)) != normalised(uri))
                    return true;
            } catch (const Exiv2::AnyError &) {
                // A prefix the library does not know yet: its own.
            }
        }
    }
    return false;
}

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

using platform::XmpToolkit::changesKnownPrefixes;
using platform::XmpToolkit::libraryFunction;
using platform::XmpToolkit::passedOnThisThread;
using platform::XmpToolkit::prefixesTouched;

int Exiv2::XmpParser::decode(XmpData &xmpData, const std::string &xmpPacket)
{
    using Decode = int (*)(XmpData &, const std::string &);
    static const auto library
        = libraryFunction<Decode>("_ZN5Exiv29XmpParser6decodeERNS_7XmpDataERKNSt7__cxx1112basic_"
                                  "stringIcSt11char_traitsIcESaIcEEE");
    const bool changesPrefixes = changesKnownPrefixes(xmpPacket);
    std::lock_guard lock(platform::XmpToolkit::mutex());
    ++passedOnThisThread;
    if (changesPrefixes)
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
