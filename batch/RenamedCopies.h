// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/NewFileName.h"
#include "batch/UniqueNames.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>

// The copies of one batch in its destination folder, each under the name
// the rename rule gives it, made unique there. The folder is opened once,
// when the batch starts, and every copy is made relative to it, so a folder
// swapped for a link meanwhile sends nothing elsewhere. Names and counters
// are given in batch order when a copy begins, whatever order the copies
// are then written in. A copy is written under a hidden temporary name and
// takes its name only when it is complete; one that fails leaves nothing
// behind. One object per batch; safe to use from the batch's workers.
class RenamedCopies
{
public:
    // The wall clock a name's current-date part shows; the user's clock
    // unless a test pins it.
    using Now = std::function<QDateTime()>;

    RenamedCopies(
        const QString &destinationFolder, const Rename &rule, Now now = {}, UniqueNames::Exists exists = {});
    ~RenamedCopies();
    RenamedCopies(const RenamedCopies &) = delete;
    RenamedCopies &operator=(const RenamedCopies &) = delete;

    // False when the destination could not be opened as a folder (the
    // reason is in openFailure()); no copy is made then.
    bool isOpen() const { return m_folder >= 0; }
    const QString &openFailure() const { return m_openFailure; }

    // A copy in the making: its name chosen, its content written under a
    // hidden temporary name, removed with the object unless finish() gave
    // it its name.
    class Pending
    {
    public:
        Pending(Pending &&other) noexcept;
        Pending &operator=(Pending &&) = delete;
        ~Pending();

        // Writes the copy's whole content, once, into a new temporary file.
        // Not synced: the original stays as it was, so a crash costs at
        // most this copy. An empty text, or why it failed.
        QString write(const char *data, qint64 size);
        // The source's bytes as they are, shared with it where the file
        // system can.
        QString copyContent(const QString &sourcePath);

        // A path that reaches the written temporary file through the folder
        // as it was opened.
        QString path() const;

    private:
        friend class RenamedCopies;
        Pending(int folder, const QString &sourceName, unsigned mode, QString stem, QString extension,
            QString target);
        // Makes the temporary file with make(name), under a fresh name
        // until one is free.
        template <typename Make> QString makeTemporary(Make make);

        int m_folder;
        QString m_sourceName;
        unsigned m_mode;
        QString m_stem;
        QString m_extension;
        // The name chosen for it, in the destination.
        QString m_target;
        // The temporary file's name; empty until it is written.
        QByteArray m_name;
        bool m_finished = false;
    };

    // The next copy of the batch: the source must open as a regular file;
    // the copy gets its name (from the source's own values in sources),
    // counter and number ending now. None when the source cannot be used,
    // with the reason in *failure; it takes no number then.
    std::optional<Pending> begin(const QString &sourcePath, const NameSources &sources, QString *failure);
    // Gives the written copy its name, never over anything that exists
    // (when a file appeared under the chosen name meanwhile, the next
    // number is taken), and returns its path. None when that fails, with
    // the reason in *failure; the copy is gone then.
    std::optional<QString> finish(Pending &copy, QString *failure);

    // begin(), the source's bytes and finish(), for a copy that is not
    // written otherwise; the reason of a failure is printed to the console.
    std::optional<QString> copy(const QString &sourcePath, const NameSources &sources = {});

    // Copies begun so far; the counters of the next name step this far.
    qint64 begun() const;
    // Copies that took their name.
    qint64 copied() const;
    const UniqueNames &names() const { return m_names; }

private:
    QString m_destination;
    QString m_openFailure;
    int m_folder = -1;
    Rename m_rule;
    Now m_now;
    mutable std::mutex m_mutex;
    UniqueNames m_names;
    qint64 m_begun = 0;
    qint64 m_copied = 0;
};
