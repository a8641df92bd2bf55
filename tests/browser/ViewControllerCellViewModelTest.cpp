// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ViewControllerCellViewModel.h"

#include "ScanTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ViewControllerCellViewModel, IconIsAThumbnailOrTheFilesIconOrLeftAlone)
{
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("wide.jpg"));
    scantest::writeJpeg(photo, 200, 100);
    ViewControllerCellViewModel entry;
    EXPECT_TRUE(entry.isSelected);
    loadIcon(photo, entry);
    ASSERT_TRUE(entry.icon);
    EXPECT_EQ(entry.icon->availableSizes().value(0), QSize(50, 25));

    QFile text(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("words");
    text.close();
    ViewControllerCellViewModel other;
    loadIcon(text.fileName(), other);
    ASSERT_TRUE(other.icon);
    EXPECT_FALSE(other.icon->isNull());

    // Nothing to show: the earlier picture stays.
    const qint64 before = entry.icon->cacheKey();
    loadIcon(QString(), entry);
    EXPECT_EQ(entry.icon->cacheKey(), before);
}
