// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/FileIcon.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileIcon, EveryFileGetsAnIcon)
{
    QTemporaryDir dir;
    for (const QString &name : { QStringLiteral("photo.jpg"), QStringLiteral("raw.cr2"),
             QStringLiteral("unknown.zzz"), QStringLiteral("missing") }) {
        const QIcon icon = platform::FileIcon::forPath(dir.filePath(name));
        EXPECT_FALSE(icon.isNull()) << qPrintable(name);
        EXPECT_FALSE(icon.pixmap(32, 32).isNull()) << qPrintable(name);
    }
    EXPECT_FALSE(platform::FileIcon::forPath(dir.path()).isNull());
}
