// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/DragData.h"

#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

using namespace platform;

TEST(DragData, LocalFilesOnlyWhenEveryUrlIsALocalFile)
{
    std::unique_ptr<QMimeData> files(DragData::mimeDataForFiles({ "/tmp/a b.jpg", "/tmp/c.JPG" }));
    EXPECT_EQ(DragData::localFiles(files.get()), (QStringList { "/tmp/a b.jpg", "/tmp/c.JPG" }));

    QMimeData mixed;
    mixed.setUrls({ QUrl::fromLocalFile("/tmp/a.jpg"), QUrl("https://example.org/b.jpg") });
    EXPECT_TRUE(DragData::localFiles(&mixed).isEmpty());

    QMimeData text;
    text.setText("/tmp/a.jpg");
    EXPECT_TRUE(DragData::localFiles(&text).isEmpty());
    EXPECT_TRUE(DragData::localFiles(nullptr).isEmpty());
}

TEST(DragData, TheDragImageIsAHalfTransparentPictureOfTheSource)
{
    QWidget source;
    source.resize(20, 10);
    source.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::red);
    source.setPalette(palette);
    const QImage image = DragData::translucentGrab(&source).toImage();
    ASSERT_EQ(image.size(), QSize(20, 10));
    const QColor pixel = image.pixelColor(5, 5);
    EXPECT_NEAR(pixel.alpha(), 128, 2);
    EXPECT_EQ(pixel.red(), 255);

    EXPECT_TRUE(DragData::translucentGrab(nullptr).isNull());
    QWidget empty;
    empty.resize(0, 0);
    EXPECT_TRUE(DragData::translucentGrab(&empty).isNull());
}

TEST(DragData, APerformerStandsInForTheDragLoopAndTheDragOwnsItsData)
{
    QString seen;
    auto previous = DragData::setPerformer([&](const DragData::Drag &drag) {
        seen = drag.mimeData->text();
        return Qt::MoveAction;
    });
    DragData::Drag drag;
    auto *mime = new QMimeData;
    mime->setText("carried");
    QPointer<QMimeData> watch(mime);
    drag.mimeData = mime;
    EXPECT_EQ(DragData::exec(drag), Qt::MoveAction);
    EXPECT_EQ(seen, QStringLiteral("carried"));
    EXPECT_TRUE(watch.isNull());
    DragData::setPerformer(previous);
}
