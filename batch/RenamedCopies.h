#pragma once

#include "batch/NewFileName.h"
#include "batch/UniqueNames.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// The copies of one batch in its destination folder, each under the name
// the rename rule gives it, made unique there. One object per batch, used
// by the batch's job one file at a time.
class RenamedCopies
{
public:
    // The moment a name's current-date part shows; the system clock unless
    // a test pins it.
    using Now = std::function<QDateTime()>;

    RenamedCopies(const QString &destinationFolder, const Rename &rule, NameSources sources, Now now = {},
                  UniqueNames::Exists exists = {});

    // Copies the file at sourcePath into the destination under its new name
    // and returns the copy's path. The copy is created exclusively, never
    // over anything that exists; when a file appears under the chosen name
    // between the check and the copy, the next number is taken. None when
    // the copy cannot be made (the reason is printed to the console): the
    // batch then writes nothing for this file.
    std::optional<QString> copy(const QString &sourcePath);

    // Copies made so far; the counters of the next name step this far.
    qint64 copied() const { return m_copied; }
    const UniqueNames &names() const { return m_names; }

private:
    Rename m_rule;
    NameSources m_sources;
    Now m_now;
    UniqueNames m_names;
    qint64 m_copied = 0;
};
