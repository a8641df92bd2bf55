// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Globals.h"
#include "engine/Metadata.h"

#include <bitset>
#include <memory>
#include <vector>

// Which values the marked files share, for the editing form's record of
// several files. The first marked file is the reference: a field is shared
// when every marked file holds the reference's value of it (sameValue), a
// file whose values have not arrived holding none.
//
// Thousands of files may be marked while their values arrive one by one, so
// the combination is kept between refills of the form: update() folds in
// the files whose values arrived, and the files marked, since the last
// update, at a cost of the arrivals alone plus one pass of pointer
// comparisons. Anything else (a file unmarked or removed, the order
// changed, values replaced) combines all marked files anew. Either way the
// answer is that of combining all marked files now.
//
// sameValue is an equivalence (a NaN, equal to nothing, aside), so files
// are compared with the first values taken rather than the reference's:
// the reference's values arriving late change nothing but one comparison.
// GUI thread only, like the records it reads.
class MarkedValues
{
public:
    // Brings the combination up to date with marked, in displayed order.
    void update(const FileInfoList &marked);
    // Lets go of the files.
    void clear();

    // The first marked file's values; null without marked files or while
    // they have not arrived.
    const std::shared_ptr<Metadata> &reference() const { return m_reference; }
    // Whether every marked file holds the reference's value of field.
    // Meaningful only with a reference.
    bool isShared(MetadataField field) const;

private:
    void combineAnew(const FileInfoList &marked);
    // Whether marked holds the files of the last update in their order, with
    // the values they had then (or values that arrived since).
    bool onlyArrivedOrMarked(const FileInfoList &marked) const;
    // One marked file's values, or none yet.
    void take(const std::shared_ptr<Metadata> &values);
    // A known file's values, when they arrived since they were taken.
    void takeArrived(const std::shared_ptr<Metadata> &values, std::shared_ptr<Metadata> &taken);

    FileInfoList m_files;
    // The values each of m_files was taken with; null while not arrived.
    std::vector<std::shared_ptr<Metadata>> m_taken;
    std::shared_ptr<Metadata> m_reference;
    // The values the others are compared with: the first taken.
    std::shared_ptr<Metadata> m_pivot;
    // Fields in which some file whose values arrived differs from the pivot.
    std::bitset<metadataFieldCount> m_differs;
    // Marked files whose values have not arrived.
    qsizetype m_waiting = 0;
};
