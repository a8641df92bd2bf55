// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileWalk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace platform;

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// Relative paths of what a walk over root reports, in order.
QStringList walked(
    const QString &root, const WalkControl *control = nullptr, FileWalk::Outcome *outcome = nullptr)
{
    QStringList entries;
    const auto result = FileWalk::collect(
        root, control, [&](const QString &path) { entries << QDir(root).relativeFilePath(path); });
    if (outcome)
        *outcome = result;
    return entries;
}

} // namespace

TEST(FileWalk, ListsVisibleEntriesDepthFirstInNameOrder)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("b.jpg")));
    touch(dir.filePath(QStringLiteral("a/z.png")));
    touch(dir.filePath(QStringLiteral("a/deep/c.tif")));
    touch(dir.filePath(QStringLiteral(".hidden.jpg")));
    touch(dir.filePath(QStringLiteral(".cache/inside.jpg")));
    touch(dir.filePath(QStringLiteral("a/.secret.jpg")));
    touch(dir.filePath(QStringLiteral("Holiday.photoslibrary/originals/0/photo.jpg")));
    touch(dir.filePath(QStringLiteral("Old.PhotosLibrary/Masters/photo.jpg")));

    FileWalk::Outcome outcome;
    EXPECT_EQ(walked(dir.path(), nullptr, &outcome),
        (QStringList { QStringLiteral("Holiday.photoslibrary"), QStringLiteral("Old.PhotosLibrary"),
            QStringLiteral("a"), QStringLiteral("a/deep"), QStringLiteral("a/deep/c.tif"),
            QStringLiteral("a/z.png"), QStringLiteral("b.jpg") }));
    EXPECT_EQ(outcome, FileWalk::Outcome::Finished);
    // A library asked for directly is walked like any folder.
    EXPECT_EQ(walked(dir.filePath(QStringLiteral("Holiday.photoslibrary"))),
        (QStringList { QStringLiteral("originals"), QStringLiteral("originals/0"),
            QStringLiteral("originals/0/photo.jpg") }));
}

TEST(FileWalk, LinksAreListedButNeverFollowed)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("photos/a.jpg")));
    touch(dir.filePath(QStringLiteral("elsewhere/b.jpg")));
    // A loop back to the root and a link into another folder.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath(QStringLiteral("photos/loop"))));
    ASSERT_TRUE(
        QFile::link(dir.filePath(QStringLiteral("elsewhere")), dir.filePath(QStringLiteral("photos/away"))));
    ASSERT_TRUE(QFile::link(
        dir.filePath(QStringLiteral("elsewhere/b.jpg")), dir.filePath(QStringLiteral("photos/b-link.jpg"))));

    EXPECT_EQ(walked(dir.filePath(QStringLiteral("photos"))),
        (QStringList { QStringLiteral("a.jpg"), QStringLiteral("away"), QStringLiteral("b-link.jpg"),
            QStringLiteral("loop") }));
}

TEST(FileWalk, UnreadableFoldersArePassedOver)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("a.jpg")));
    touch(dir.filePath(QStringLiteral("locked/secret.jpg")));
    touch(dir.filePath(QStringLiteral("vanishing/gone.jpg")));
    touch(dir.filePath(QStringLiteral("z.jpg")));
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFileDevice::Permissions());
    const bool lockHolds = !QDir(dir.filePath(QStringLiteral("locked"))).isReadable();

    // A folder that disappears between being listed and being entered.
    QStringList entries;
    const auto outcome = FileWalk::collect(dir.path(), nullptr, [&](const QString &path) {
        const QString name = QDir(dir.path()).relativeFilePath(path);
        entries << name;
        if (name == QLatin1String("vanishing"))
            QDir(path).removeRecursively();
    });
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    EXPECT_EQ(outcome, FileWalk::Outcome::Finished);
    EXPECT_TRUE(entries.contains(QStringLiteral("locked")));
    EXPECT_TRUE(entries.contains(QStringLiteral("vanishing")));
    EXPECT_FALSE(entries.contains(QStringLiteral("vanishing/gone.jpg")));
    EXPECT_EQ(entries.last(), QStringLiteral("z.jpg"));
    if (lockHolds) {
        EXPECT_FALSE(entries.contains(QStringLiteral("locked/secret.jpg")));
    }

    EXPECT_EQ(FileWalk::collect(dir.filePath(QStringLiteral("missing")), nullptr, [](const QString &) {}),
        FileWalk::Outcome::Unreadable);
    EXPECT_EQ(FileWalk::collect(dir.filePath(QStringLiteral("a.jpg")), nullptr, [](const QString &) {}),
        FileWalk::Outcome::Unreadable);
}

TEST(FileWalk, StopEndsTheWalkBeforeTheNextEntry)
{
    QTemporaryDir dir;
    for (int i = 0; i < 10; ++i)
        touch(dir.filePath(QStringLiteral("f%1.jpg").arg(i)));
    WalkControl control;
    QStringList entries;
    const auto outcome = FileWalk::collect(dir.path(), &control, [&](const QString &path) {
        entries << QFileInfo(path).fileName();
        if (entries.size() == 3)
            control.setStopped(true);
    });
    EXPECT_EQ(outcome, FileWalk::Outcome::Stopped);
    EXPECT_EQ(entries,
        (QStringList { QStringLiteral("f0.jpg"), QStringLiteral("f1.jpg"), QStringLiteral("f2.jpg") }));
}

TEST(FileWalk, PauseHoldsTheWalkUntilResumedOrStopped)
{
    QTemporaryDir dir;
    for (int i = 0; i < 6; ++i)
        touch(dir.filePath(QStringLiteral("f%1.jpg").arg(i)));

    for (const bool stopWhilePaused : { false, true }) {
        WalkControl control;
        std::promise<void> pausedAfterSecond;
        int delivered = 0;
        int deliveredWhilePaused = 0;
        FileWalk::Outcome outcome = FileWalk::Outcome::Unreadable;
        std::thread walker([&] {
            outcome = FileWalk::collect(dir.path(), &control, [&](const QString &) {
                if (control.isPaused())
                    ++deliveredWhilePaused;
                if (++delivered == 2) {
                    control.setPaused(true);
                    pausedAfterSecond.set_value();
                }
            });
        });
        pausedAfterSecond.get_future().wait();
        // The walker is now held before its third entry.
        if (stopWhilePaused)
            control.setStopped(true);
        else
            control.setPaused(false);
        walker.join();

        EXPECT_EQ(deliveredWhilePaused, 0);
        if (stopWhilePaused) {
            EXPECT_EQ(outcome, FileWalk::Outcome::Stopped);
            EXPECT_EQ(delivered, 2);
        } else {
            EXPECT_EQ(outcome, FileWalk::Outcome::Finished);
            EXPECT_EQ(delivered, 6);
        }
    }
}
