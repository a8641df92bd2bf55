// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/Scanner.h"

#include "browser/PhotosLibraryOperation.h"
#include "browser/ScanVC.h"
#include "browser/ScanViewStatus.h"
#include "common/AppHelpers.h"
#include "common/AppSettings.h"
#include "common/Localization.h"
#include "common/ScanFlags.h"
#include "engine/FileInfo.h"
#include "platform/Console.h"
#include "platform/FileWalk.h"
#include "platform/MainQueue.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <condition_variable>
#include <mutex>

using PhotosLibraryDatabase::Layout;

namespace {

const QString LibraryExtension = QStringLiteral("photoslibrary");

// The lower-cased text after the last dot of the path's last component.
QString extensionOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? path.mid(dot + 1).toLower() : QString();
}

bool isLibrary(const QString &path)
{
    return extensionOf(path) == LibraryExtension;
}

bool isSupported(const QString &path)
{
    return supportedExtensions().contains(extensionOf(path));
}

bool isAtOrBelow(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

// The exclusion folders that apply below folder: a folder the user picked
// is walked even when it lies in an excluded one.
QStringList exclusionsFor(const QString &folder, const QStringList &exclusions)
{
    QStringList applying;
    for (const QString &exclusion : exclusions)
        if (!isAtOrBelow(folder, exclusion))
            applying << exclusion;
    return applying;
}

std::optional<qint64> wholeNumber(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qint64 value = text->trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// Empty files and pictures without a side are no photos; a record whose
// pixel size is unknown is kept.
bool passesSizeFilter(const FileInfo &record, quint64 minimumBytes, qint64 minimumSide)
{
    if (record.sizeBytes && *record.sizeBytes < minimumBytes)
        return false;
    if (record.isVideo)
        return true;
    const auto width = wholeNumber(record.width);
    const auto height = wholeNumber(record.height);
    if (!width || !height)
        return true;
    return *width >= minimumSide && *height >= minimumSide;
}

// A one-shot gate a worker sleeps on until the GUI thread opens it.
struct Gate
{
    std::mutex mutex;
    std::condition_variable opened;
    bool isOpen = false;

    void open()
    {
        {
            std::lock_guard lock(mutex);
            isOpen = true;
        }
        opened.notify_all();
    }
    void wait()
    {
        std::unique_lock lock(mutex);
        opened.wait(lock, [this] { return isOpen; });
    }
};

std::mutex &observerMutex()
{
    static std::mutex mutex;
    return mutex;
}

Scanner::StepObserver &stepObserver()
{
    static Scanner::StepObserver observer;
    return observer;
}

} // namespace

// The state of one walk, shared by the walk's thread and its operations.
class Scanner::Walk
{
public:
    explicit Walk(Scanner &scanner)
        : m_scanner(scanner)
        , m_flags(ScanFlags::shared())
        , m_scanLibrariesInFolders(isScanPhotosLibraryWhenParentFolerScan())
        , m_exclusions(normalized(allExclusionPaths()))
    { }

    Result run(const QList<ViewControllerCellViewModel> &entries)
    {
        ScanViewStatus().post();
        gather(entries);
        const QStringList paths = withoutRepeats(m_tempRetrivedPaths);
        bool going = readLibraries(paths);
        {
            std::lock_guard lock(m_stateLock);
            m_countShowUI = qint64(double(m_total) * 0.05);
            m_posShowUI = 1;
        }
        going = going && processLibraryItems();
        if (going)
            queueFiles(paths);
        m_scanner.m_retrivePathsQueue.waitForDone();

        std::lock_guard lock(m_stateLock);
        ScanViewStatus { PhotosStatus::collecting,
            localizedString(QStringLiteral("QX_ID_267")) + QStringLiteral("..."), 1.0,
            qint64(m_records.size()), m_processed, m_total }
            .post();
        m_tempRetrivedPaths.clear();
        Result result { m_records, {} };
        result.errors.isSomeExtensionsAreNotSupported = m_unsupported.load();
        result.errors.undecodableNames = m_undecodableNames.load();
        return result;
    }

private:
    struct LibraryItem
    {
        PhotosLibraryItem item;
        Layout layout;
    };

    static QStringList normalized(const QStringList &folders)
    {
        QStringList clean;
        for (const QString &folder : folders)
            if (!folder.isEmpty())
                clean << QDir::cleanPath(folder);
        return clean;
    }

    static QStringList withoutRepeats(const QStringList &paths)
    {
        QStringList unique;
        QSet<QString> seen;
        for (const QString &path : paths) {
            if (!seen.contains(path)) {
                seen.insert(path);
                unique << path;
            }
        }
        return unique;
    }

    void gather(const QList<ViewControllerCellViewModel> &entries)
    {
        for (const ViewControllerCellViewModel &entry : entries) {
            if (!m_flags.proceed())
                break;
            if (entry.path)
                m_scanner.m_retrivePathsQueueForCount.run([this, path = *entry.path] { gatherEntry(path); });
        }
        m_scanner.m_retrivePathsQueueForCount.waitForDone();
    }

    void gatherEntry(const QString &requested)
    {
        const QString path = QDir::cleanPath(requested);
        const QFileInfo info(path);
        if (path.isEmpty() || !info.exists())
            return;
        if (isLibrary(path)) {
            std::lock_guard lock(m_stateLock);
            m_tempRetrivedPaths << path;
            return;
        }
        if (!m_flags.proceed())
            return;
        if (!info.isDir()) {
            std::lock_guard lock(m_stateLock);
            ++m_total;
            m_tempRetrivedPaths << path;
            return;
        }
        QList<QByteArray> undecodable;
        const std::optional<QStringList> found = collectFiles(path, &undecodable);
        for (const QByteArray &entry : undecodable)
            platform::Console::err(platform::FileWalk::escapedPath(entry)
                + QStringLiteral(": skipped, the name is not valid UTF-8"));
        m_undecodableNames += undecodable.size();
        if (!found)
            return;
        const QStringList exclusions = exclusionsFor(path, m_exclusions);
        QStringList kept;
        qint64 libraries = 0;
        for (const QString &entry : *found) {
            if (std::any_of(exclusions.begin(), exclusions.end(),
                    [&](const QString &exclusion) { return isAtOrBelow(entry, exclusion); }))
                continue;
            if (isLibrary(entry)) {
                if (!m_scanLibrariesInFolders)
                    continue;
                ++libraries;
            }
            kept << entry;
        }
        std::lock_guard lock(m_stateLock);
        m_total += kept.size() - libraries;
        m_tempRetrivedPaths << kept;
    }

    // False when the walk was stopped.
    bool readLibraries(const QStringList &paths)
    {
        for (const QString &path : paths) {
            if (!m_flags.proceed())
                return false;
            if (!isLibrary(path))
                continue;
            if (isPhotosAppRunning() && !askToQuitPhotos())
                return false;
            if (m_flags.isSkipPhotosLibrary.exchange(false))
                continue;
            if (const auto library = PhotosLibraryOperation::fetchItems(QUrl::fromLocalFile(path))) {
                std::lock_guard lock(m_stateLock);
                m_total += library->items.size();
                for (const PhotosLibraryItem &item : library->items)
                    m_libraryItems.push_back({ item, library->layout });
            }
        }
        return true;
    }

    // The sheet puts the question; the walk waits a moment, then until it
    // is answered. False when the walk was stopped meanwhile.
    bool askToQuitPhotos()
    {
        m_flags.setAskingToQuitPhotos(true);
        platform::MainQueue::post([] { ScanVC::shared()->askToQuitPhotos(); });
        const auto gate = std::make_shared<Gate>();
        platform::MainQueue::after(AskToQuitPhotosWaitMs, nullptr, [gate] { gate->open(); });
        gate->wait();
        return m_flags.waitWhileAskingToQuitPhotos();
    }

    // Library items, on the walk's thread while no operation runs. False
    // when the walk was stopped.
    bool processLibraryItems()
    {
        for (const LibraryItem &entry : m_libraryItems) {
            if (!m_flags.proceed())
                return false;
            const std::optional<QUrl> url = PhotosLibraryOperation::imageURL(entry.item, entry.layout);
            const QString path = url ? url->toLocalFile() : QString();
            // A folder or a missing file is no photo.
            if (url && QFileInfo(path).isFile()) {
                if (!isSupported(path))
                    m_unsupported = true;
                else
                    acceptIfPhoto(FileInfo::create(entry.item, *url));
            }
            step(path);
        }
        return true;
    }

    void queueFiles(const QStringList &paths)
    {
        for (const QString &path : paths) {
            if (!m_flags.proceed())
                return;
            if (!isLibrary(path))
                m_scanner.m_retrivePathsQueue.run([this, path] { processEntry(path); });
        }
    }

    void processEntry(const QString &path)
    {
        const QFileInfo info(path);
        // Dangling links and link loops do not exist.
        if (!info.exists())
            return;
        if (!m_flags.proceed())
            return;
        // Only regular files are read: a pipe or a device named like a
        // photo would block the reader.
        if (info.isFile()) {
            if (!isSupported(path))
                m_unsupported = true;
            else
                acceptIfPhoto(FileInfo::create(QUrl::fromLocalFile(path)));
        }
        step(path);
    }

    void acceptIfPhoto(const std::shared_ptr<FileInfo> &record)
    {
        if (!passesSizeFilter(*record, 1, 1))
            return;
        std::lock_guard lock(m_stateLock);
        m_records << record;
        ++m_accepted;
    }

    // One entry processed; every countShowUI - 1 steps a report goes out.
    void step(const QString &path)
    {
        qint64 processed;
        {
            std::lock_guard lock(m_stateLock);
            processed = ++m_processed;
            // Posted under the lock (posting only queues), so reports reach
            // the sheet in the order of their counts.
            if (++m_posShowUI == m_countShowUI) {
                m_posShowUI = 1;
                ScanViewStatus { PhotosStatus::collecting, path,
                    m_total > 0 ? double(m_processed) / double(m_total) : 0.0, m_accepted, m_processed,
                    m_total }
                    .post();
            }
        }
        StepObserver observer;
        {
            std::lock_guard lock(observerMutex());
            observer = stepObserver();
        }
        if (observer)
            observer(processed);
    }

    Scanner &m_scanner;
    ScanFlags &m_flags;
    const bool m_scanLibrariesInFolders;
    const QStringList m_exclusions;

    // Guards the gathered paths, the counters and the records.
    std::mutex m_stateLock;
    QStringList m_tempRetrivedPaths;
    qint64 m_total = 0;
    qint64 m_processed = 0;
    qint64 m_accepted = 0;
    FileInfoList m_records;
    std::atomic<bool> m_unsupported { false };
    std::atomic<qint64> m_undecodableNames { 0 };
    std::vector<LibraryItem> m_libraryItems;
    // Progress period and position.
    qint64 m_countShowUI = 0;
    qint64 m_posShowUI = 0;
};

Scanner &Scanner::shared()
{
    static Scanner scanner;
    return scanner;
}

Scanner::Result Scanner::scan(const QList<ViewControllerCellViewModel> &items)
{
    ScanFlags &flags = ScanFlags::shared();
    flags.isScanRunning = true;
    flags.setScanStopped(false);
    flags.setScanPaused(false);
    QList<ViewControllerCellViewModel> kept;
    for (const ViewControllerCellViewModel &item : items)
        if (item.isSelected)
            kept << item;
    Result result = Walk(*this).run(kept);
    flags.isScanRunning = false;
    return result;
}

Scanner::StepObserver Scanner::setStepObserver(StepObserver observer)
{
    std::lock_guard lock(observerMutex());
    StepObserver previous = std::move(stepObserver());
    stepObserver() = std::move(observer);
    return previous;
}
