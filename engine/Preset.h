// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Metadata.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <memory>

// A named set of metadata edits the user saves and applies again. The
// preset shares its record (std::shared_ptr): setting another one replaces
// the reference, nothing is copied.
class Preset
{
public:
    Preset();
    explicit Preset(const QString &name);

    // Keys "name" and "metadata"; a missing or mistyped entry leaves its
    // initial value (an empty name, a blank record). Dates are stored as
    // the points in time the record's wall clocks are on the user's clock.
    static Preset fromDictionary(const QVariantMap &dictionary);
    QVariantMap dictionary() const;

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    // Never null.
    const std::shared_ptr<Metadata> &metadata() const { return m_metadata; }
    void setMetadata(std::shared_ptr<Metadata> metadata);

private:
    QString m_name;
    std::shared_ptr<Metadata> m_metadata;
};

// The presets kept in the settings under "presets", in stored order; none
// when the entry is missing or is not a list of dictionaries.
QList<Preset> loadPresets();
// Replaces the stored list as a whole (an empty list is stored as such).
void savePresets(const QList<Preset> &presets);

// What the entry under "presets" holds: the presets that could be read, in
// stored order, and whether they are the whole entry. An entry that cannot
// be read whole (undecodable, not a list, or with elements that are not
// presets) is never to be written back from what was read of it unless the
// user changes the presets: that would erase the presets it holds.
struct StoredPresets
{
    QList<Preset> presets;
    bool isWhole = true;
};
StoredPresets readPresets();

// Orders presets by name as the user reads a list (nameOrderKey()), keeping
// the order of equal names.
void sortPresetsByName(QList<Preset> &presets, bool descending);
// Whether name clashes with a preset's name, letter case ignored; the
// preset at index except (one being renamed) is left out.
bool isPresetNameTaken(const QList<Preset> &presets, const QString &name, qsizetype except = -1);
