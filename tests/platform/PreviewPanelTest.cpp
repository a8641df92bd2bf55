// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/PreviewPanel.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::PreviewPanel;

TEST(PreviewPanelTest, ShowsOneFileAtATimeAndClosesWithSpace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QString photo = dir.filePath("green.png");
    ASSERT_TRUE(picture.save(photo));
    const QString other = dir.filePath("notes.jpg");
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no picture");
    file.close();

    platform::ScreenRegistry screens;
    PreviewPanel *panel = PreviewPanel::shared();
    EXPECT_EQ(PreviewPanel::shared(), panel) << "one panel";
    panel->showFile(photo, picture);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->path(), photo);
    EXPECT_EQ(panel->image().size(), QSize(400, 300));

    panel->showFile(other, QImage());
    EXPECT_EQ(panel->path(), other);
    EXPECT_TRUE(panel->image().isNull());
    auto *label = panel->findChild<QLabel *>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("notes.jpg"));

    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(panel, &space);
    EXPECT_FALSE(panel->isVisible());
}
