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
    // initial value (an empty name, a blank record).
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
