// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenTestSupport.h"

#include "browser/DashboardViewController.h"
#include "platform/widgets/DragData.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPushButton>

using namespace screentest;

namespace {

// What happened, in order: page switches and scans.
std::vector<QString> g_log;

class StandInHome : public HomeViewController
{
    Q_OBJECT
public:
    void startScan(const QList<ViewControllerCellViewModel> &items) override
    {
        QStringList paths;
        for (const auto &item : items)
            paths << item.path.value_or(QString()) + (item.isSelected ? "" : " (unselected)");
        g_log.push_back(QStringLiteral("scan ") + paths.join(','));
    }
};

class DashboardTest : public ScreenFixture
{
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        g_log.clear();
        screens.add(QStringLiteral("HomeViewController"), [] { return new StandInHome; });
        dashboard = std::make_unique<DashboardViewController>();
        QObject::connect(dashboard.get(), &DashboardViewController::homePageRequested,
            [] { g_log.push_back(QStringLiteral("home page")); });
    }
    void TearDown() override
    {
        dashboard.reset();
        ScreenFixture::TearDown();
    }

    std::unique_ptr<DashboardViewController> dashboard;
};

} // namespace

TEST_F(DashboardTest, ADropShowsTheMainScreenThenScansATenthOfASecondLater)
{
    const QString folder = dir.filePath("holiday");
    QDir().mkpath(folder);
    const QString text = dir.filePath("notes.txt");
    std::unique_ptr<QMimeData> mime(platform::DragData::mimeDataForFiles({ folder, text }));
    dashboard->show();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dashboard->dropView, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dashboard->dropView, &drop);
    EXPECT_TRUE(g_log.empty());

    advance(HomeViewController::HandOffMs);
    EXPECT_EQ(g_log, (std::vector<QString> { "home page", "scan " + folder + ',' + text }))
        << "the dashboard filters nothing";
}

TEST_F(DashboardTest, ButtonsOpenThePanelsAndTheirChoiceIsScanned)
{
    PanelScript panels;
    const QUrl first = QUrl::fromLocalFile(dir.filePath("1.jpg"));
    const QUrl second = QUrl::fromLocalFile(dir.filePath("2.jpg"));
    const QUrl folder = QUrl::fromLocalFile(dir.filePath("more"));
    const QUrl library = QUrl::fromLocalFile(dir.filePath("Family.photoslibrary"));
    panels.answers.push_back({ platform::OpenPanel::OK, { first, second, folder } });
    panels.answers.push_back({ platform::OpenPanel::Cancel, {} });
    panels.answers.push_back({ platform::OpenPanel::OK, { library } });

    for (QPushButton *button : { dashboard->btnAddPhotos.data(), dashboard->btnPhotosLibrary.data(),
             dashboard->btnPhotosLibrary.data() }) {
        const size_t before = g_log.size();
        button->click();
        drain(); // the panel's answer
        EXPECT_EQ(g_log.size(), before) << "nothing before a tenth of a second";
        advance(HomeViewController::HandOffMs);
    }

    const QString chosen = first.toLocalFile() + ',' + second.toLocalFile() + ',' + folder.toLocalFile();
    EXPECT_EQ(g_log,
        (std::vector<QString> {
            "home page", "scan " + chosen, "home page", "scan " + library.toLocalFile() }));
    ASSERT_EQ(panels.seen.size(), 3u);
    EXPECT_EQ(panels.seen[0].prompt, QStringLiteral("Add"));
    EXPECT_TRUE(panels.seen[0].allowsMultipleSelection && panels.seen[0].canChooseDirectories);
    EXPECT_EQ(panels.seen[1].prompt, QStringLiteral("Add Photos Library"));
    EXPECT_TRUE(panels.seen[1].hasShouldEnable);
    EXPECT_FALSE(panels.seen[1].allowsMultipleSelection);
}

#include "DashboardViewControllerTest.moc"
