// SPDX-License-Identifier: GPL-3.0-or-later
#include "BridgeTestSupport.h"

#include "engine/FileReplace.h"
#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

using bridgetest::ConsoleCapture;

namespace {

const QVariantMap someValues { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Someone") },
    { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Somewhere") } };

bool isLibraryFailure(const QString &line)
{
    return line.startsWith(QStringLiteral("*** error exiv2 exception '"))
        && line.endsWith(QStringLiteral("' ***"));
}

// Removes the fault hook however a test ends.
struct FaultHookGuard
{
    explicit FaultHookGuard(engine::ReplaceFaultHook hook) { engine::setReplaceFaultHook(std::move(hook)); }
    ~FaultHookGuard() { engine::setReplaceFaultHook({}); }
};

// Runs the call as an unprivileged user when the tests run as root, whose
// rights would pass over a read-only folder. None when that is not possible.
std::optional<bool> runUnprivileged(const std::function<bool()> &call)
{
    if (::geteuid() != 0)
        return call();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(call() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 2)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

class MetadataOperationSafety : public ::testing::Test
{
protected:
    void SetUp() override { REQUIRE_TEST_DATA(); }
    QString photo(const QString &name = QStringLiteral("FurnaceCreekInn.jpg"))
    {
        return testsupport::copyTestFile(QStringLiteral("images/") + name, m_dir);
    }
    QStringList folder() const { return bridgetest::folderEntries(m_dir.path()); }

    QTemporaryDir m_dir;
    const MetadataOperation m_operation { engine::check::refusal };
};

} // namespace

TEST_F(MetadataOperationSafety, MalformedFilesFailCleanlyAndStayUntouched)
{
    // Files whose write the library completes, with warnings only; and the
    // damaged files the mutation test and the fuzz targets once failed on,
    // which may be written or not, but written must read and not written
    // must stay as they were.
    const QStringList writable { QStringLiteral("issue_2190_poc.jp2"), QStringLiteral("issue_1706_poc.exv"),
        QStringLiteral("converted-broken-profile.png") };
    const QStringList names
        = QDir(testsupport::testDataDir() + QStringLiteral("/malformed")).entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 18);
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        QTemporaryDir dir;
        const QString path = testsupport::copyTestFile(QStringLiteral("malformed/") + name, dir);

        {
            ConsoleCapture console;
            const bool read = m_operation.getMetadata(path).has_value();
            ASSERT_EQ(console.failures().size(), read ? 0 : 1);
            if (!read) {
                EXPECT_TRUE(isLibraryFailure(console.failures().first()))
                    << console.failures().first().toStdString();
            }
            EXPECT_EQ(m_operation.readJSONStringFrom(path).has_value(), read);
        }
        const bool madeByMutation
            = name.startsWith(QLatin1String("mutation-")) || name.startsWith(QLatin1String("fuzz-"));
        for (int operation = 0; operation < 2; ++operation) {
            const QByteArray before = bridgetest::fileBytes(path);
            ConsoleCapture console;
            const bool done = operation == 0
                ? m_operation.setMetadata(path, someValues, false)
                : m_operation.clearMetadata(path, true, false, true, true, true, true);
            if (writable.contains(name) || madeByMutation) {
                if (done) {
                    EXPECT_TRUE(m_operation.getMetadata(path).has_value());
                    EXPECT_EQ(bridgetest::folderEntries(dir.path()), QStringList { name });
                }
                if (done || !madeByMutation)
                    continue;
            }
            EXPECT_FALSE(done);
            ASSERT_EQ(console.failures().size(), 1);
            EXPECT_TRUE(isLibraryFailure(console.failures().first()))
                << console.failures().first().toStdString();
            EXPECT_EQ(bridgetest::fileBytes(path), before);
            EXPECT_EQ(bridgetest::folderEntries(dir.path()), QStringList { name });
            if (name == QLatin1String("issue_ghsa_496f_x7cq_cq39_poc.jpg")) {
                EXPECT_TRUE(console.failures().first().contains(
                    QStringLiteral("Writing to EPS images is not supported")));
            }
        }
    }
}

TEST_F(MetadataOperationSafety, AWriteThatFailsPartWayLeavesTheOriginal)
{
    const QString path = photo();
    const QByteArray original = bridgetest::fileBytes(path);
    for (const engine::ReplaceStep failingStep :
        { engine::ReplaceStep::PartWritten, engine::ReplaceStep::BeforeRename }) {
        QString temporary;
        qint64 temporarySize = -1;
        FaultHookGuard hook([&](engine::ReplaceStep step, const QString &temporaryPath) {
            if (step != failingStep)
                return true;
            temporary = temporaryPath;
            temporarySize = QFileInfo(temporaryPath).size();
            return false;
        });
        ConsoleCapture console;
        EXPECT_FALSE(m_operation.setMetadata(path, someValues, false));
        ASSERT_EQ(console.failures().size(), 1);
        EXPECT_TRUE(isLibraryFailure(console.failures().first()));

        // The new bytes went to a hidden file beside the original...
        EXPECT_EQ(QFileInfo(temporary).absolutePath(), QFileInfo(path).absolutePath());
        EXPECT_TRUE(QFileInfo(temporary).fileName().startsWith(QLatin1Char('.')));
        EXPECT_GT(temporarySize, 0);
        // ...which is gone, and the original is as it was.
        EXPECT_FALSE(QFileInfo::exists(temporary));
        EXPECT_EQ(bridgetest::fileBytes(path), original);
        EXPECT_EQ(folder(), QStringList { QStringLiteral("FurnaceCreekInn.jpg") });

        EXPECT_FALSE(m_operation.clearMetadata(path, true, true, true, true, true, true));
        EXPECT_EQ(bridgetest::fileBytes(path), original);
        EXPECT_EQ(folder(), QStringList { QStringLiteral("FurnaceCreekInn.jpg") });
    }
}

TEST_F(MetadataOperationSafety, AFileRemovedDuringTheWriteIsNotBroughtBack)
{
    const QString path = photo();
    FaultHookGuard hook([&](engine::ReplaceStep step, const QString &) {
        if (step == engine::ReplaceStep::BeforeRename)
            QFile::remove(path);
        return true;
    });
    ConsoleCapture console;
    EXPECT_FALSE(m_operation.setMetadata(path, someValues, false));
    EXPECT_EQ(console.failures().size(), 1);
    EXPECT_TRUE(folder().isEmpty()) << folder().join(u' ').toStdString();
}

// A write killed half way leaves its hidden temporary file; the next write
// into that folder removes it, and never one of a process still running.
TEST_F(MetadataOperationSafety, TheNextWriteRemovesWhatAKilledWriteLeft)
{
    const QString path = photo();
    const pid_t child = ::fork();
    if (child == 0) {
        engine::setReplaceFaultHook(
            [](engine::ReplaceStep, const QString &) { return ::raise(SIGKILL) == 0; });
        m_operation.setMetadata(path, someValues, false);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const QStringList left = folder();
    ASSERT_EQ(left.size(), 2) << "the killed write left its temporary file";
    const QString running = QStringLiteral(".FurnaceCreekInn.jpg.calvorn-%1-abcdef").arg(::getppid());
    QFile(m_dir.filePath(running)).open(QIODevice::WriteOnly);

    ASSERT_TRUE(m_operation.setMetadata(path, someValues, false));
    EXPECT_EQ(folder(), (QStringList { running, QStringLiteral("FurnaceCreekInn.jpg") }));
}

// Anyone who may rename entries in the folder can turn the photo's name
// into a link to another file between the read and the replacement; the
// other file is never written, and such a write fails.
TEST_F(MetadataOperationSafety, OnlyTheFileReadIsReplacedWhileItsNameIsSwappedForALink)
{
    const QString path = photo(QStringLiteral("XMP.jpg"));
    const QByteArray name = QFile::encodeName(path);
    const QByteArray aside = QFile::encodeName(m_dir.filePath(QStringLiteral("aside.jpg")));
    const QByteArray link = QFile::encodeName(m_dir.filePath(QStringLiteral("link")));
    const QString other = m_dir.filePath(QStringLiteral("notes.txt"));
    const QByteArray notes("The user's own notes, which no photo's bytes may replace.\n");
    {
        QFile file(other);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(notes);
    }
    const QByteArray otherBytes = QFile::encodeName(other);
    // The photo goes aside and a link to the other file takes its name;
    // then the photo comes back. Each step is one atomic rename.
    const auto swapIn = [&] {
        ::unlink(link.constData());
        return ::symlink(otherBytes.constData(), link.constData()) == 0
            && ::link(name.constData(), aside.constData()) == 0
            && ::rename(link.constData(), name.constData()) == 0;
    };
    const auto swapBack = [&] { ::rename(aside.constData(), name.constData()); };

    {
        FaultHookGuard hook([&](engine::ReplaceStep step, const QString &) {
            if (step == engine::ReplaceStep::BeforeRename) {
                EXPECT_TRUE(swapIn());
            }
            return true;
        });
        ConsoleCapture console;
        EXPECT_FALSE(m_operation.setMetadata(path, someValues, false));
        ASSERT_EQ(console.failures().size(), 1);
        EXPECT_TRUE(console.failures().first().contains(QStringLiteral("another file took its name")))
            << console.failures().first().toStdString();
        EXPECT_TRUE(QFileInfo(path).isSymLink());
        EXPECT_EQ(bridgetest::fileBytes(other), notes);
        swapBack();
    }

    std::atomic<bool> stop { false };
    std::thread swapper([&] {
        while (!stop) {
            swapIn();
            swapBack();
        }
    });
    ConsoleCapture console;
    int written = 0;
    for (int i = 0; i < 50; ++i) {
        written += m_operation.setMetadata(path, someValues, false) ? 1 : 0;
        ASSERT_EQ(bridgetest::fileBytes(other), notes) << "write " << i;
    }
    stop = true;
    swapper.join();
    EXPECT_GT(written, 0) << console.failures().join(u'\n').toStdString();
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(m_operation.setMetadata(path, someValues, false));
}

TEST_F(MetadataOperationSafety, AMissingFileFailsAndIsNotCreated)
{
    const QString path = m_dir.filePath(QStringLiteral("gone.jpg"));
    ConsoleCapture console;
    EXPECT_FALSE(m_operation.setMetadata(path, someValues, false));
    EXPECT_FALSE(m_operation.clearMetadata(path, true, true, true, true, true, true));
    EXPECT_EQ(console.failures().size(), 2);
    EXPECT_TRUE(isLibraryFailure(console.failures().first()));
    EXPECT_TRUE(folder().isEmpty());
}

// An operation no check of the written file was handed to writes nothing.
TEST_F(MetadataOperationSafety, WithoutTheCheckOfTheWrittenFileNothingIsWritten)
{
    const QString path = photo();
    const QByteArray original = bridgetest::fileBytes(path);
    const MetadataOperation unchecked;
    ConsoleCapture console;
    EXPECT_FALSE(unchecked.setMetadata(path, someValues, false));
    EXPECT_FALSE(unchecked.clearMetadata(path, true, true, true, true, true, true));
    EXPECT_TRUE(MetadataOperation::lastFailure().startsWith(QStringLiteral("no check of the written file")));
    EXPECT_TRUE(bridgetest::fileBytes(path) == original);
    EXPECT_EQ(folder(), QStringList { QStringLiteral("FurnaceCreekInn.jpg") });
}

TEST_F(MetadataOperationSafety, PermissionsAndLinksSurviveAWrite)
{
    const QString path = photo();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    struct stat before
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);

    const QString link = m_dir.filePath(QStringLiteral("link.jpg"));
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(m_operation.setMetadata(link, someValues, false));

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(m_operation.getMetadata(path)->value(QStringLiteral("Exif.Image.Artist")),
        QVariant(QStringLiteral("Someone")));
    struct stat after
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(folder().size(), 2);
}

TEST_F(MetadataOperationSafety, AReadOnlyFolderOrFileIsLeftAlone)
{
    const QString path = photo();
    const QByteArray original = bridgetest::fileBytes(path);
    const QByteArray folderBytes = QFile::encodeName(m_dir.path());
    ASSERT_EQ(::chmod(folderBytes.constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    ConsoleCapture console;
    const std::optional<bool> written
        = runUnprivileged([&] { return m_operation.setMetadata(path, someValues, false); });
    ASSERT_EQ(::chmod(folderBytes.constData(), 0777), 0);
    if (!written)
        GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_FALSE(*written);
    EXPECT_EQ(bridgetest::fileBytes(path), original);
    EXPECT_EQ(folder(), QStringList { QStringLiteral("FurnaceCreekInn.jpg") });

    // A file the user made read-only in a writable folder stays as it is.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const std::optional<bool> forced
        = runUnprivileged([&] { return m_operation.setMetadata(path, someValues, false); });
    ASSERT_EQ(::chmod(folderBytes.constData(), 0700), 0);
    ASSERT_TRUE(forced.has_value());
    EXPECT_FALSE(*forced);
    EXPECT_EQ(bridgetest::fileBytes(path), original);
    EXPECT_EQ(folder(), QStringList { QStringLiteral("FurnaceCreekInn.jpg") });
}
