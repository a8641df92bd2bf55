// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MetadataOperation.h"

#include <QString>

#include <exiv2/image.hpp>

#include <string>
#include <vector>

// What a write was asked for and did not do. Fields a write refuses, and
// fields the written file does not hold as they were handed to the
// library, each give one console line naming the file, the key and why,
// and one shortfall for the caller; the write stays a success for the
// others.
namespace engine::bridge {

class WriteReport
{
public:
    explicit WriteReport(QString path);

    void refuse(const std::string &key, const QString &reason);
    // The value was cut to the most bytes its dataset holds.
    void shorten(const std::string &key, long limit);
    // The keys were written, but their copies in the file's XMP, which
    // cannot be read, keep what they held.
    void copiesNotUpdated(const std::vector<std::string> &keys);
    // The IPTC keys were written, but the copy of the IPTC in a PNG's
    // Photoshop profile, which cannot be read, keeps what it held.
    void profileCopiesNotUpdated(const std::vector<std::string> &keys);
    // The key was written, but a copy elsewhere in the file keeps an older
    // value, as where says.
    void olderCopyStays(const std::string &key, const QString &where);
    // What a write that emptied the rest left of a group, by its clear
    // choice's name.
    void kept(const std::string &choice, const QString &reason);
    // An entry the write left out of the file, by its Exiv2 key.
    void leftOut(const std::string &key, const QString &reason);
    // The values of key in the containers handed to the library (none when
    // it was removed), to compare with the written file.
    void expect(const std::string &key, const Exiv2::Image &handedOver);
    void check(const Exiv2::Image &written);
    void print() const;

    const Shortfalls &shortfalls() const { return m_shortfalls; }

private:
    struct Expected
    {
        std::string key;
        std::vector<std::string> values;
        long size;
    };
    void add(Shortfall::Kind kind, const std::string &key, const QString &reason);

    QString m_path;
    std::vector<Expected> m_expected;
    Shortfalls m_shortfalls;
};

// Every value of key in the image's container of its family, in order.
std::vector<std::string> valuesOf(const Exiv2::Image &image, const std::string &key);

} // namespace engine::bridge
