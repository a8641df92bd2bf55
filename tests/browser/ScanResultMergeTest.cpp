// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ScanResultMerge.h"

#include "engine/FileInfo.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<FileInfo> record(const QString &path)
{
    auto file = std::make_shared<FileInfo>();
    if (!path.isEmpty())
        file->url = QUrl::fromLocalFile(path);
    return file;
}

class ScanResultMergeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        allFiles().clear();
        displayedFiles().clear();
    }
    void TearDown() override { SetUp(); }
};

} // namespace

TEST_F(ScanResultMergeTest, NothingFoundLeavesTheListsAlone)
{
    const auto loaded = record(QStringLiteral("/a.jpg"));
    allFiles() << loaded;
    ScanErrors scanned;
    scanned.isSomeExtensionsAreNotSupported = true;
    const ScanErrors errors = mergeScanResult({}, scanned);
    EXPECT_TRUE(errors.isResultNotFound);
    EXPECT_TRUE(errors.isSomeExtensionsAreNotSupported);
    EXPECT_FALSE(errors.isPathsAlreadyExistInArray);
    EXPECT_EQ(allFiles(), FileInfoList { loaded });
    EXPECT_TRUE(displayedFiles().isEmpty());
}

TEST_F(ScanResultMergeTest, KnownFilesAreReportedAndNewOnesArriveMarked)
{
    const auto loaded = record(QStringLiteral("/a.jpg"));
    allFiles() << loaded;
    const auto again = record(QStringLiteral("/a.jpg"));
    const auto fresh = record(QStringLiteral("/b.jpg"));
    const auto twice = record(QStringLiteral("/b.jpg"));
    const auto noUrl = record(QString());
    const auto noUrlAgain = record(QString());

    const ScanErrors errors = mergeScanResult({ again, fresh, twice, noUrl, noUrlAgain }, ScanErrors());
    EXPECT_TRUE(errors.isPathsAlreadyExistInArray);
    EXPECT_FALSE(errors.isResultNotFound);
    EXPECT_EQ(allFiles(), (FileInfoList { loaded, fresh, noUrl }));
    EXPECT_EQ(displayedFiles(), allFiles());
    EXPECT_FALSE(loaded->isMark);
    EXPECT_TRUE(fresh->isMark);
    EXPECT_TRUE(noUrl->isMark);

    EXPECT_FALSE(
        mergeScanResult({ record(QStringLiteral("/c.jpg")) }, ScanErrors()).isPathsAlreadyExistInArray);
    EXPECT_EQ(allFiles().size(), 4);
}
