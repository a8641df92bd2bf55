// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenTestSupport.h"

#include "browser/GridThumbnails.h"
#include "browser/PreviewViewController.h"
#include "browser/QorCollectionGridViewItem.h"
#include "platform/widgets/PreviewPanel.h"
#include "support/AlertScript.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QMenu>

using namespace screentest;

namespace {

class GridItemTest : public ScreenFixture
{
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        GridThumbnails::shared().clearCache();
        home = std::make_unique<HomeViewController>();
    }
    void TearDown() override
    {
        GridThumbnails::shared().waitForDone();
        drain();
        home.reset();
        ScreenFixture::TearDown();
    }

    // A picture of one colour, 320 x 200, saved as PNG.
    std::shared_ptr<FileInfo> picture(const QString &name, QColor colour)
    {
        QImage image(320, 200, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        auto file = record(name);
        file->url = QUrl::fromLocalFile(path);
        return file;
    }

    // Fills the cell for file at index, as the grid does.
    void show(QorCollectionGridViewItem &cell, const std::shared_ptr<FileInfo> &file, qint64 index)
    {
        file->item = index;
        home->willShowViewController(home->qorCollectionView, &cell, QVariant::fromValue(file));
    }

    static void thumbnailsArrive()
    {
        GridThumbnails::shared().waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    static QColor centreColour(const QImage &image)
    {
        return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
    }
    static QColor shownColour(const QorCollectionGridViewItem &cell)
    {
        return centreColour(cell.imageView->image());
    }

    std::unique_ptr<HomeViewController> home;
};

} // namespace

TEST_F(GridItemTest, ShowsNameMarkBadgeAndThumbnailOfTheFile)
{
    platform::DateFormat::setUserLocale(QStringLiteral("en_US"));
    platform::DateFormat::setTimeZone(QStringLiteral("UTC"));
    auto library = picture("red.png", Qt::red);
    library->isPhotoLibrary = true;
    library->isMark = true;
    library->creationDate = QDateTime(QDate(2019, 7, 14), QTime(9, 30), Qt::UTC);
    library->size = QStringLiteral("1.2 MB");
    auto plain = picture("blue.png", Qt::blue);

    QorCollectionGridViewItem cell;
    show(cell, library, 3);
    EXPECT_EQ(cell.name->text(), QStringLiteral("red.png"));
    EXPECT_EQ(cell.date->text(), QStringLiteral("Jul 14, 2019"));
    EXPECT_EQ(cell.size->text(), QStringLiteral("1.2 MB"));
    EXPECT_FALSE(cell.imageViewPhotosLib->isHidden());
    EXPECT_TRUE(cell.checkBox->isChecked());
    EXPECT_EQ(cell.checkBox->objectName(), QStringLiteral("0,3"));
    EXPECT_EQ(cell.item, 3);
    EXPECT_EQ(cell.owner, home.get());
    thumbnailsArrive();
    EXPECT_EQ(shownColour(cell), QColor(Qt::red));
    EXPECT_LE(
        std::max(cell.imageView->image().width(), cell.imageView->image().height()), GridThumbnails::MaxSide);

    // The same cell, recycled for a plain file without a known date or size.
    show(cell, plain, 0);
    EXPECT_TRUE(cell.imageViewPhotosLib->isHidden());
    EXPECT_FALSE(cell.checkBox->isChecked());
    EXPECT_TRUE(cell.date->text().isEmpty());
    EXPECT_TRUE(cell.size->text().isEmpty());
    EXPECT_TRUE(cell.imageView->image().isNull()) << "no picture of the previous file meanwhile";
    EXPECT_FALSE(cell.imageView->showsPlaceholder());
    thumbnailsArrive();
    EXPECT_EQ(shownColour(cell), QColor(Qt::blue));
    platform::DateFormat::setUserLocale(QString());
    platform::DateFormat::setTimeZone(QString());
}

TEST_F(GridItemTest, ARecycledCellDropsTheLateThumbnailOfItsEarlierFile)
{
    auto red = picture("red.png", Qt::red);
    auto blue = picture("blue.png", Qt::blue);
    {
        // Another cell has blue's thumbnail made: it is cached from now on.
        QorCollectionGridViewItem other;
        show(other, blue, 1);
        thumbnailsArrive();
    }
    QorCollectionGridViewItem cell;
    show(cell, red, 0);
    // Recycled before red's thumbnail is back; blue shows at once.
    show(cell, blue, 1);
    EXPECT_EQ(shownColour(cell), QColor(Qt::blue));
    thumbnailsArrive();
    EXPECT_EQ(shownColour(cell), QColor(Qt::blue)) << "red's thumbnail came late and must be dropped";
}

TEST_F(GridItemTest, AFileThatIsNoPictureClearsTheThumbnail)
{
    auto red = picture("red.png", Qt::red);
    auto text = record("notes.jpg");
    const QString path = dir.filePath("notes.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    text->url = QUrl::fromLocalFile(path);

    QorCollectionGridViewItem cell;
    show(cell, red, 0);
    thumbnailsArrive();
    ASSERT_EQ(shownColour(cell), QColor(Qt::red));
    show(cell, text, 1);
    thumbnailsArrive();
    EXPECT_TRUE(cell.imageView->image().isNull());
    EXPECT_TRUE(cell.imageView->showsPlaceholder()) << "an icon, not an empty tile";
}

TEST_F(GridItemTest, ContextMenuListsItsCommandsInOrderAndReachesTheScreen)
{
    QorCollectionGridViewItem cell;
    auto red = picture("red.png", Qt::red);
    auto other = record("other.jpg");
    allFiles() = { red, other };
    displayedFiles() = allFiles();
    show(cell, red, 0);

    std::unique_ptr<QMenu> menu(cell.makeContextMenu());
    QStringList titles;
    for (QAction *action : menu->actions())
        titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(titles,
        QStringList(
            { "T281", "T280", "-", "T276", "-", "T277", "T278", "T279", "-", "T282", "T283", "T284" }));

    setLocalizationDictionary(std::nullopt);
    std::unique_ptr<QMenu> bare(cell.makeContextMenu());
    EXPECT_EQ(bare->actions().size(), 12) << "missing texts leave the entries in place";
    setLocalizationDictionary(keyTexts());

    {
        Presentations presented;
        menu->actions().at(0)->trigger();
        ASSERT_EQ(presented.events.size(), 1u);
        EXPECT_EQ(PreviewViewController::shared()->fileInfo(), red);
    }

    menu->actions().at(1)->trigger();
    EXPECT_TRUE(red->isMark && other->isMark);

    menu->actions().at(10)->trigger();
    ASSERT_TRUE(screens.isShared(QStringLiteral("platform::PreviewPanel")));
    EXPECT_EQ(platform::PreviewPanel::shared()->path(), red->path());
    EXPECT_EQ(centreColour(platform::PreviewPanel::shared()->image()), QColor(Qt::red));

    {
        testsupport::AlertScript alerts;
        alerts.answer(platform::Alert::FirstButton + 1);
        menu->actions().at(5)->trigger();
        EXPECT_EQ(alerts.shown().at(0).message, QStringLiteral("T270"));
        EXPECT_EQ(allFiles(), FileInfoList({ other }));
    }
}

TEST_F(GridItemTest, QuickLookNeedsAFileWithAUrlInTheDisplayedList)
{
    QorCollectionGridViewItem cell;
    auto red = picture("red.png", Qt::red);
    displayedFiles() = { red };
    show(cell, red, 3);
    cell.quickLookFile();
    EXPECT_FALSE(screens.isShared(QStringLiteral("platform::PreviewPanel")))
        << "index beyond the displayed list";
    red->url.reset();
    show(cell, red, 0);
    cell.quickLookFile();
    EXPECT_FALSE(screens.isShared(QStringLiteral("platform::PreviewPanel")));
    EXPECT_FALSE(cell.url.has_value());
}
