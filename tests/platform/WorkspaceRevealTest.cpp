// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Workspace.h"
#include "support/FakeFileManager.h"
#include "support/UrlRecorder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class WorkspaceReveal : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (!fileManager.isRegistered())
            GTEST_SKIP() << "no session bus";
        QFile file(dir.filePath(QStringLiteral("a b.jpg")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        filePath = file.fileName();
    }

    static QString uri(const QString &path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); }

    QTemporaryDir dir;
    QString filePath;
    testsupport::FakeFileManager fileManager;
    UrlRecorder opened { QStringLiteral("file") };
};

TEST_F(WorkspaceReveal, FoldersOpenAndFilesAreShownInTheirFolder)
{
    EXPECT_TRUE(platform::Workspace::reveal({ dir.path(), filePath }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fileManager.shownItems.isEmpty(); }, 30000));
    EXPECT_EQ(fileManager.shownFolders, QStringList { uri(dir.path()) });
    EXPECT_EQ(fileManager.shownItems, QStringList { uri(filePath) }) << "the blank is encoded";
    EXPECT_TRUE(opened.urls.isEmpty());
    EXPECT_FALSE(platform::Workspace::reveal({}));
}

} // namespace
