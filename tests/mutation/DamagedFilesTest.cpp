// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged copies of every sample image go through what a user does with a
// file: read (its metadata and its pixel size), write, clear, empty. Each operation either succeeds and
// leaves a file that reads, or fails and leaves the file byte for byte as
// it was, with no temporary file left beside it; and nothing reads past
// what the file holds (the sanitizers stop the run there).
//
// A copy that takes longer than a few seconds of processor time fails the
// run as a crash does: no damaged file may hold a batch.
// CALVORN_MUTATION_SECONDS (5 unless given) is how long a copy may take,
// and as long again for each megabyte it holds: the walks take time in
// proportion to a file's bytes, and under the sanitizers the largest
// samples take a few seconds.
//
// CALVORN_MUTATION_SEED (the first seed, 1 unless given) and
// CALVORN_MUTATION_COUNT (how many seeds) choose the copies;
// CALVORN_MUTATION_THREADS runs that many at once, and
// CALVORN_MUTATION_MINUTES stops a long run after that time.

#include "DamagedCopies.h"

#include "engine/FileProperties.h"
#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "platform/Console.h"
#include "platform/LibraryLog.h"
#include "support/TestEnvironment.h"
#include "support/Watchdog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <mutex>
#include <thread>

using mutation::DamagedCopy;

namespace {

const QVariantMap someValues { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Someone") },
    { QStringLiteral("Exif.Image.Copyright"), QStringLiteral("Someone's") },
    { QStringLiteral("Exif.Photo.UserComment"), QStringLiteral("Some comment") },
    { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Somewhere") },
    { QStringLiteral("Xmp.aux.Lens"), QStringLiteral("Some lens") } };

qint64 setting(const char *name, qint64 fallback)
{
    bool ok = false;
    const qint64 value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok ? value : fallback;
}

// The sample images, then the camera photos, whose maker notes a write
// carries by their makers' layouts.
std::vector<mutation::Sample> samples()
{
    std::vector<mutation::Sample> found;
    for (const QString &kind : { QStringLiteral("/images"), QStringLiteral("/cameras") }) {
        const QDir folder(testsupport::testDataDir() + kind);
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                found.push_back({ name, file.readAll() });
        }
    }
    return found;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString failedInputPath(const DamagedCopy &copy)
{
    return QDir::tempPath() + QStringLiteral("/calvorn-mutation/seed-%1-%2").arg(copy.seed).arg(copy.sample);
}

QString replayLine(uint32_t seed)
{
    return QStringLiteral("CALVORN_MUTATION_SEED=%1 CALVORN_MUTATION_COUNT=1 test_mutation").arg(seed);
}

void keepFailedInput(const DamagedCopy &copy, const std::string &path)
{
    ::mkdir(QFile::encodeName(QFileInfo(QString::fromStdString(path)).path()).constData(), 0755);
    if (std::FILE *file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(copy.bytes.constData(), 1, size_t(copy.bytes.size()), file);
        std::fclose(file);
    }
}

// The copy a worker is on, for the report of a sanitizer that stops the
// process in its midst: only the thread that faulted knows which it was.
struct InProgress
{
    const DamagedCopy *copy = nullptr;
    std::string path;
    std::string description;
};
thread_local InProgress inProgress;

void reportCopyInProgress()
{
    if (!inProgress.copy)
        return;
    keepFailedInput(*inProgress.copy, inProgress.path);
    std::fputs(("\n" + inProgress.description + "\n").c_str(), stderr);
}

std::string describe(const DamagedCopy &copy)
{
    return QStringLiteral("damaged copy: seed %1, sample %2, %3; input kept in %4; replay with %5")
        .arg(copy.seed)
        .arg(copy.sample, copy.damage, failedInputPath(copy), replayLine(copy.seed))
        .toStdString();
}

// What went wrong with the copy; empty when nothing did.
QStringList problemsWith(const DamagedCopy &copy, const MetadataOperation &operation)
{
    QStringList problems;
    const auto placed = [&](const QTemporaryDir &dir) {
        const QString path = dir.filePath(copy.sample);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(copy.bytes) != copy.bytes.size())
            problems << QStringLiteral("the copy could not be placed in ") + dir.path();
        return path;
    };
    // A failure names the library's reason, not an unexpected exception.
    const auto saysWhy = [] {
        const QString why = MetadataOperation::lastFailure();
        return !why.isEmpty() && why != QLatin1String("unexpected error");
    };
    {
        QTemporaryDir dir;
        const QString path = placed(dir);
        if (!operation.getMetadata(path) && !saysWhy())
            problems << QStringLiteral("a failed read gave no reason");
        operation.readJSONStringFrom(path);
        imagePixelSize(path);
        if (fileBytes(path) != copy.bytes)
            problems << QStringLiteral("a read changed the file");
    }
    // Which groups the clear takes, from the seed: clears that keep the
    // IPTC walk its stored datasets, clears of the Exif its XMP copies.
    const uint32_t groups = 1 + copy.seed % 63;
    const std::pair<const char *, std::function<bool(const QString &)>> changes[] = {
        { "write", [&](const QString &path) { return operation.setMetadata(path, someValues, false); } },
        { "clear",
            [&](const QString &path) {
                return operation.clearMetadata(
                    path, groups & 1, groups & 2, groups & 4, groups & 8, groups & 16, groups & 32);
            } },
        { "empty write", [&](const QString &path) { return operation.setMetadata(path, {}, true); } },
    };
    for (const auto &[what, change] : changes) {
        QTemporaryDir dir;
        const QString path = placed(dir);
        const bool done = change(path);
        const QString name = QLatin1String(what);
        if (!done && fileBytes(path) != copy.bytes)
            problems << QStringLiteral("a failed %1 changed the file").arg(name);
        if (!done && !saysWhy())
            problems << QStringLiteral("a failed %1 gave no reason").arg(name);
        if (done && !operation.getMetadata(path))
            problems << QStringLiteral("a %1 said it succeeded, but the file no longer reads").arg(name);
        const QStringList left
            = QDir(dir.path())
                  .entryList(
                      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        if (left != QStringList { copy.sample })
            problems << QStringLiteral("a %1 left %2 in the folder").arg(name, left.join(u' '));
    }
    return problems;
}

// Drops the operations' console lines: thousands of failures are expected.
struct QuietConsole
{
    QuietConsole()
    {
        m_previous = platform::Console::setSink([](platform::Console::Stream, const QString &) {});
    }
    ~QuietConsole() { platform::Console::setSink(std::move(m_previous)); }
    QuietConsole(const QuietConsole &) = delete;
    QuietConsole &operator=(const QuietConsole &) = delete;
    platform::Console::Sink m_previous;
};

} // namespace

TEST(DamagedFiles, EveryDamagedCopyOfTheSamplesIsHandledWithinItsBounds)
{
    REQUIRE_TEST_DATA();
    // As the program does: the decoders' complaints about damaged files
    // stay off the console.
    platform::LibraryLog::install();
    const std::vector<mutation::Sample> originals = samples();
    ASSERT_FALSE(originals.empty());
    const uint32_t firstSeed = uint32_t(setting("CALVORN_MUTATION_SEED", 1));
    const qint64 count = setting("CALVORN_MUTATION_COUNT", 750);
    const int threads = int(std::max<qint64>(1, setting("CALVORN_MUTATION_THREADS", 1)));
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::minutes(setting("CALVORN_MUTATION_MINUTES", 24 * 60));
    const qint64 secondsACopy = setting("CALVORN_MUTATION_SECONDS", 5);
    testsupport::Watchdog watchdog((std::size_t(threads)));
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(reportCopyInProgress);
#endif

    std::atomic<qint64> next { 0 };
    std::atomic<qint64> covered { 0 };
    std::mutex failuresLock;
    std::vector<std::string> failures;
    const auto work = [&](std::size_t worker) {
        const MetadataOperation operation(engine::check::refusal);
        for (qint64 i = next++; i < count && std::chrono::steady_clock::now() < deadline; i = next++) {
            const DamagedCopy copy = mutation::damagedCopy(firstSeed + uint32_t(i), originals);
            inProgress = { &copy, failedInputPath(copy).toStdString(), describe(copy) };
            const qint64 forItsBytes = (secondsACopy * copy.bytes.size() + (1 << 20) - 1) >> 20;
            watchdog.started(worker, std::chrono::seconds(secondsACopy + forItsBytes),
                [&copy, path = inProgress.path, description = inProgress.description](
                    std::chrono::seconds limit) {
                    keepFailedInput(copy, path);
                    const QString late
                        = QStringLiteral("\nstill at work after %1 s of processor time: ").arg(limit.count());
                    std::fputs((late.toStdString() + description + "\n").c_str(), stderr);
                });
            const QStringList problems = problemsWith(copy, operation);
            watchdog.finished(worker);
            if (!problems.isEmpty()) {
                keepFailedInput(copy, inProgress.path);
                const std::lock_guard lock(failuresLock);
                failures.push_back(
                    problems.join(QStringLiteral("; ")).toStdString() + "\n" + inProgress.description);
            }
            inProgress = {};
            ++covered;
        }
    };
    {
        const QuietConsole quiet;
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t)
            workers.emplace_back(work, std::size_t(t));
        for (std::thread &worker : workers)
            worker.join();
    }
    const auto seconds
        = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    std::cout << QStringLiteral("%1 damaged copies from seed %2 in %3 s on %4 threads")
                     .arg(covered.load())
                     .arg(firstSeed)
                     .arg(seconds)
                     .arg(threads)
                     .toStdString()
              << std::endl;
    for (const std::string &failure : failures)
        ADD_FAILURE() << failure;
}
