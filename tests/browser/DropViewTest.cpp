// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/DropView.h"

#include "platform/widgets/DragData.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct RecordingDelegate : DropViewDelegate, TableDropViewDelegate
{
    std::vector<QStringList> drops;
    void filesDropped(const QStringList &paths) override { drops.push_back(paths); }
    void filesDroppedOnTable(const QStringList &paths) override { drops.push_back(paths); }
};

class DropViewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        view.delegate = &delegate;
        view.resize(200, 200);
        table.delegateDrop = &delegate;
    }

    QString make(const QString &name)
    {
        const QString path = dir.filePath(name);
        if (name.endsWith('/')) {
            QDir().mkpath(path);
        } else {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        }
        return QDir::cleanPath(path);
    }

    // Sends a drag event of these paths; answers whether it was taken.
    static bool send(QWidget *target, QEvent::Type type, const QMimeData *mime)
    {
        std::unique_ptr<QDropEvent> event;
        const QPoint at(10, 10);
        if (type == QEvent::DragEnter)
            event
                = std::make_unique<QDragEnterEvent>(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        else if (type == QEvent::DragMove)
            event
                = std::make_unique<QDragMoveEvent>(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        else
            event = std::make_unique<QDropEvent>(
                QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        event->setAccepted(false);
        QApplication::sendEvent(target, event.get());
        return event->isAccepted() && event->dropAction() == Qt::CopyAction;
    }
    bool enters(const QStringList &paths)
    {
        std::unique_ptr<QMimeData> mime(platform::DragData::mimeDataForFiles(paths));
        return send(&view, QEvent::DragEnter, mime.get());
    }

    QTemporaryDir dir;
    RecordingDelegate delegate;
    DropView view;
    TableDropView table;
};

} // namespace

TEST_F(DropViewTest, OnlyTheFirstItemDecidesAndEveryPathIsHandedOn)
{
    const QString photo = make("A.JPG");
    const QString text = make("notes.txt");
    const QString tiff = make("scan.TIFF");
    const QString folder = make("holiday/");
    const QString library = make("Family.photoslibrary/");
    const QString bare = make("README");

    EXPECT_TRUE(enters({ photo, text }));
    EXPECT_FALSE(enters({ text, photo }));
    EXPECT_TRUE(enters({ tiff }));
    EXPECT_TRUE(enters({ folder, text }));
    EXPECT_TRUE(enters({ library })) << "a library package is a folder";
    EXPECT_FALSE(enters({ bare }));
    EXPECT_FALSE(enters({}));

    QMimeData remote;
    remote.setUrls({ QUrl("https://example.org/a.jpg") });
    EXPECT_FALSE(send(&view, QEvent::DragEnter, &remote)) << "nothing but local files";
    QMimeData plain;
    plain.setText(photo);
    EXPECT_FALSE(send(&view, QEvent::DragEnter, &plain));

    std::unique_ptr<QMimeData> mime(platform::DragData::mimeDataForFiles({ photo, text, folder }));
    EXPECT_TRUE(send(&view, QEvent::Drop, mime.get()));
    ASSERT_EQ(delegate.drops.size(), 1u);
    EXPECT_EQ(delegate.drops[0], QStringList({ photo, text, folder })) << "unfiltered, in order";
    EXPECT_FALSE(send(&view, QEvent::Drop, &plain));
    EXPECT_EQ(delegate.drops.size(), 1u);
}

TEST_F(DropViewTest, TintWhileAnAcceptedDragHoversAndClearAfterwards)
{
    const QString photo = make("a.jpg");
    EXPECT_EQ(view.backgroundColor().alpha(), 0);
    ASSERT_TRUE(enters({ photo }));
    EXPECT_NE(view.backgroundColor().alpha(), 0);
    QDragLeaveEvent leave;
    QApplication::sendEvent(&view, &leave);
    EXPECT_EQ(view.backgroundColor().alpha(), 0);

    ASSERT_TRUE(enters({ photo }));
    std::unique_ptr<QMimeData> mime(platform::DragData::mimeDataForFiles({ photo }));
    send(&view, QEvent::Drop, mime.get());
    EXPECT_EQ(view.backgroundColor().alpha(), 0) << "a drop ends the drag";

    EXPECT_FALSE(enters({ make("b.txt") }));
    EXPECT_EQ(view.backgroundColor().alpha(), 0) << "a refused drag leaves no tint";
}

TEST_F(DropViewTest, TableKeepsItsVerdictForMovesAndRecordsTheFirstDroppedPath)
{
    const QString folder = make("trip/");
    const QString text = make("x.txt");
    std::unique_ptr<QMimeData> good(platform::DragData::mimeDataForFiles({ folder, text }));
    std::unique_ptr<QMimeData> bad(platform::DragData::mimeDataForFiles({ text }));

    EXPECT_TRUE(send(table.viewport(), QEvent::DragEnter, good.get()));
    EXPECT_TRUE(table.fileTypeIsOk);
    EXPECT_TRUE(send(table.viewport(), QEvent::DragMove, bad.get())) << "moves repeat the entry's verdict";
    EXPECT_FALSE(send(table.viewport(), QEvent::DragEnter, bad.get()));
    EXPECT_FALSE(send(table.viewport(), QEvent::DragMove, good.get()));

    EXPECT_TRUE(send(table.viewport(), QEvent::Drop, good.get()));
    EXPECT_EQ(table.droppedFilePath, folder);
    ASSERT_EQ(delegate.drops.size(), 1u);
    EXPECT_EQ(delegate.drops[0], QStringList({ folder, text }));
}
