// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace platform;
using Code = FileOps::Result::Code;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct stat statOf(const QString &path)
{
    struct stat st = {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

} // namespace

TEST(FileOps, AttributesOfFilesFoldersAndLinks)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.jpg"));
    writeFile(file, QByteArray(1500, 'x'));
    const QString link = dir.filePath(QStringLiteral("link.jpg"));
    ASSERT_TRUE(QFile::link(file, link));

    const auto a = FileOps::attributes(file);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->size, 1500u);
    EXPECT_FALSE(a->isFolder);
    EXPECT_TRUE(a->modified.isValid());
    EXPECT_TRUE(a->permissions & QFileDevice::ReadOwner);
    EXPECT_EQ(a->ownerId, ::getuid());
    // Where the file system records a birth time it is near the change time.
    if (a->created) {
        EXPECT_LE(qAbs(a->created->secsTo(a->modified)), 5);
    }

    EXPECT_EQ(FileOps::attributes(link)->size, 1500u);
    EXPECT_FALSE(FileOps::attributes(link)->isSymbolicLink);
    EXPECT_TRUE(FileOps::attributes(link, FileOps::Links::DoNotFollow)->isSymbolicLink);
    EXPECT_TRUE(FileOps::attributes(dir.path())->isFolder);

    QString error;
    EXPECT_FALSE(
        FileOps::attributes(dir.filePath(QStringLiteral("missing")), FileOps::Links::Follow, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing")));
    EXPECT_TRUE(error.contains(QStringLiteral("No such file")));
}

TEST(FileOps, CopyNewKeepsContentPermissionsAndModificationTime)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.jpg"));
    QByteArray content(300000, '\0');
    for (int i = 0; i < content.size(); ++i)
        content[i] = char(i * 7);
    writeFile(source, content);
    QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(FileOps::setModificationTime(source, QDateTime::fromSecsSinceEpoch(1500000000)).ok());

    const QString target = dir.filePath(QStringLiteral("copy.jpg"));
    const auto result = FileOps::copyNew(source, target);
    ASSERT_TRUE(result.ok()) << qPrintable(result.message);
    EXPECT_EQ(readFile(target), content);
    EXPECT_EQ(statOf(target).st_mode & 0777, 0640u);
    EXPECT_EQ(FileOps::attributes(target)->modified, QDateTime::fromSecsSinceEpoch(1500000000));
}

TEST(FileOps, CopyNeverReplacesAndLeavesNothingBehindOnFailure)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.jpg"));
    const QString existing = dir.filePath(QStringLiteral("existing.jpg"));
    writeFile(source, "new content");
    writeFile(existing, "precious");

    const auto onto = FileOps::copyNew(source, existing);
    EXPECT_EQ(onto.code, Code::Exists);
    EXPECT_FALSE(onto.message.isEmpty());
    EXPECT_EQ(readFile(existing), QByteArray("precious"));
    EXPECT_EQ(readFile(source), QByteArray("new content"));

    const QString target = dir.filePath(QStringLiteral("never.jpg"));
    EXPECT_EQ(FileOps::copyNew(dir.filePath(QStringLiteral("gone.jpg")), target).code, Code::NotFound);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(
        FileOps::copyNew(source, dir.filePath(QStringLiteral("no/such/folder/x.jpg"))).code, Code::NotFound);
    // A folder is not a file to copy.
    EXPECT_EQ(FileOps::copyNew(dir.path(), target).code, Code::Failed);
    EXPECT_FALSE(QFile::exists(target));
}

TEST(FileOps, ModificationTimeIsSetAndCreationTimeIsUnsupported)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.jpg"));
    writeFile(file, "x");
    ASSERT_TRUE(FileOps::setModificationTime(file, QDateTime::fromSecsSinceEpoch(1000)).ok());
    const struct stat before = statOf(file);

    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1262304000123); // 2010, with milliseconds
    ASSERT_TRUE(FileOps::setModificationTime(file, when).ok());
    EXPECT_EQ(FileOps::attributes(file)->modified, when);
    const struct stat after = statOf(file);
    EXPECT_EQ(after.st_atim.tv_sec, before.st_atim.tv_sec);
    EXPECT_EQ(after.st_atim.tv_nsec, before.st_atim.tv_nsec);

    // Before 1970 too.
    const QDateTime old = QDateTime::fromMSecsSinceEpoch(-86400500);
    ASSERT_TRUE(FileOps::setModificationTime(file, old).ok());
    EXPECT_EQ(FileOps::attributes(file)->modified, old);

    const auto creation = FileOps::setCreationTime(file, when);
    EXPECT_EQ(creation.code, Code::Unsupported);
    EXPECT_FALSE(creation.message.isEmpty());
    EXPECT_EQ(FileOps::setModificationTime(dir.filePath(QStringLiteral("gone")), when).code, Code::NotFound);
}

TEST(FileOps, WriteNewFileIsCompleteOrAbsentAndNeverReplaces)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("export.csv"));
    ASSERT_TRUE(FileOps::writeNewFile(target, "a, b\n").ok());
    EXPECT_EQ(readFile(target), QByteArray("a, b\n"));

    const auto again = FileOps::writeNewFile(target, "other");
    EXPECT_EQ(again.code, Code::Exists);
    EXPECT_EQ(readFile(target), QByteArray("a, b\n"));
    // No temporary file is left beside it.
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("export.csv") });

    EXPECT_EQ(
        FileOps::writeNewFile(dir.filePath(QStringLiteral("missing/export.csv")), "x").code, Code::NotFound);
}

TEST(FileOps, RemoveFilesLinksAndFolders)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.jpg"));
    writeFile(file, "x");
    const QString link = dir.filePath(QStringLiteral("link"));
    const QString folder = dir.filePath(QStringLiteral("folder"));
    QDir().mkpath(folder + QStringLiteral("/inner"));
    writeFile(folder + QStringLiteral("/inner/b.jpg"), "y");
    ASSERT_TRUE(QFile::link(folder, link));

    // Removing a link to a folder leaves the folder alone.
    EXPECT_TRUE(FileOps::remove(link).ok());
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/inner/b.jpg")));
    EXPECT_TRUE(FileOps::remove(file).ok());
    EXPECT_TRUE(FileOps::remove(folder).ok());
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_EQ(FileOps::remove(file).code, Code::NotFound);
}
