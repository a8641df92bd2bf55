#pragma once

#include "batch/NewFileName.h"
#include "batch/UniqueNames.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// The copies of one batch in its destination folder, each under the name
// the rename rule gives it, made unique there. The folder is opened once,
// when the batch starts, and every copy is made relative to it, so a folder
// swapped for a link meanwhile sends nothing elsewhere. A copy is made
// under a hidden temporary name, written there, and takes its name only
// when it is complete; one that fails leaves nothing behind. One object per
// batch, used by the batch's job one file at a time.
class RenamedCopies
{
public:
    // The moment a name's current-date part shows; the system clock unless
    // a test pins it.
    using Now = std::function<QDateTime()>;

    RenamedCopies(const QString &destinationFolder, const Rename &rule, NameSources sources, Now now = {},
        UniqueNames::Exists exists = {});
    ~RenamedCopies();
    RenamedCopies(const RenamedCopies &) = delete;
    RenamedCopies &operator=(const RenamedCopies &) = delete;

    // False when the destination could not be opened as a folder (the
    // reason is in openFailure()); no copy is made then.
    bool isOpen() const { return m_folder >= 0; }
    const QString &openFailure() const { return m_openFailure; }

    // A copy in the making under its hidden temporary name, removed with
    // the object unless finish() gave it its name.
    class Pending
    {
    public:
        Pending(Pending &&other) noexcept;
        Pending &operator=(Pending &&) = delete;
        ~Pending();

        // A path that reaches the temporary file through the folder as it was
        // opened, for writing into it.
        QString path() const;

    private:
        friend class RenamedCopies;
        Pending(int folder, QByteArray name, SplitName original);

        int m_folder;
        QByteArray m_name;
        SplitName m_original;
        bool m_finished = false;
    };

    // Copies the file at sourcePath into the destination under a temporary
    // name. None when that fails, with the reason in *failure.
    std::optional<Pending> begin(const QString &sourcePath, QString *failure);
    // Gives the finished copy its new name, never over anything that
    // exists (when a file appears under the chosen name meanwhile, the next
    // number is taken), and returns its path. None when that fails, with the
    // reason in *failure; the copy is gone then.
    std::optional<QString> finish(Pending &copy, QString *failure);

    // begin() and finish(), for a copy that is not written in between; the
    // reason of a failure is printed to the console.
    std::optional<QString> copy(const QString &sourcePath);

    // Copies made so far; the counters of the next name step this far.
    qint64 copied() const { return m_copied; }
    const UniqueNames &names() const { return m_names; }

private:
    QString m_destination;
    QString m_openFailure;
    int m_folder = -1;
    Rename m_rule;
    NameSources m_sources;
    Now m_now;
    UniqueNames m_names;
    qint64 m_copied = 0;
};
