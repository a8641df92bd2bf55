// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/OpenPanel.h"

#include "support/ScopedIsolation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using platform::OpenPanel;

namespace {

class OpenPanelTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("trip"));
        QDir(dir.path()).mkpath(QStringLiteral("Family.photoslibrary"));
        for (const char *name : { "a.JPG", "notes.txt" }) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    QUrl url(const char *name) const { return QUrl::fromLocalFile(dir.filePath(name)); }

    // Begins the panel as a sheet of host; the answer arrives with the event loop.
    std::optional<int> run(OpenPanel *panel)
    {
        std::optional<int> response;
        panel->beginSheet(&host, [&response](int answer) { response = answer; });
        return response;
    }

    QTemporaryDir dir;
    QWidget host;
};

} // namespace

TEST_F(OpenPanelTest, EntriesAreEnabledAndChoosableByTheSettings)
{
    OpenPanel panel;
    panel.setCanChooseFiles(true);
    panel.setCanChooseDirectories(true);
    panel.setAllowedFileTypes({ QStringLiteral("jpg") });
    EXPECT_TRUE(panel.isChoosable(url("a.JPG"))) << "extensions in any case";
    EXPECT_FALSE(panel.isEntryEnabled(url("notes.txt")));
    EXPECT_TRUE(panel.isChoosable(url("trip")));
    EXPECT_FALSE(panel.isEntryEnabled(url("Family.photoslibrary"))) << "a package is a file of another type";

    // A library panel: packages are chosen, folders only opened.
    panel.setCanChooseDirectories(false);
    panel.setAllowedFileTypes({ QStringLiteral("photoslibrary") });
    panel.setShouldEnable([](const QUrl &entry) { return !entry.path().endsWith(QStringLiteral(".txt")); });
    EXPECT_TRUE(panel.isChoosable(url("Family.photoslibrary")));
    EXPECT_TRUE(panel.isEntryEnabled(url("trip")));
    EXPECT_FALSE(panel.isChoosable(url("trip")));
    EXPECT_FALSE(panel.isEntryEnabled(url("notes.txt")));

    panel.setTreatsPackagesAsDirectories(true);
    EXPECT_FALSE(panel.isChoosable(url("Family.photoslibrary")))
        << "now a folder, and folders are not chosen";
}

TEST_F(OpenPanelTest, TheResponderAnswersWithoutAWindow)
{
    OpenPanel::Responder previous = OpenPanel::setResponder([this](const OpenPanel &panel) {
        EXPECT_EQ(panel.prompt(), QStringLiteral("Add"));
        return OpenPanel::Answer { OpenPanel::OK, { url("a.JPG"), url("trip") } };
    });
    auto *panel = new OpenPanel;
    panel->setPrompt(QStringLiteral("Add"));
    QList<QUrl> chosen;
    std::optional<int> response;
    panel->beginSheet(&host, [&, panel](int answer) {
        response = answer;
        chosen = panel->urls();
    });
    EXPECT_FALSE(response) << "the answer comes through the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(response, OpenPanel::OK);
    EXPECT_EQ(chosen, QList<QUrl>({ url("a.JPG"), url("trip") }));
    EXPECT_FALSE(panel->isVisible());
    OpenPanel::setResponder(previous);
}

TEST_F(OpenPanelTest, TheDefaultButtonChoosesTheFolderShownAndATypedLinkIsResolved)
{
    auto *folders = new OpenPanel;
    folders->setCanChooseDirectories(true);
    folders->setDirectoryUrl(url("trip"));
    folders->setPrompt(QStringLiteral("Choose"));
    QList<QUrl> chosen;
    std::optional<int> response;
    folders->beginSheet(&host, [&, folders](int answer) {
        response = answer;
        chosen = folders->urls();
    });
    ASSERT_TRUE(folders->isVisible());
    QPushButton *choose = nullptr;
    for (QPushButton *button : folders->findChildren<QPushButton *>()) {
        if (button->text() == QStringLiteral("Choose"))
            choose = button;
    }
    ASSERT_NE(choose, nullptr);
    choose->click();
    EXPECT_EQ(response, OpenPanel::OK);
    EXPECT_EQ(chosen, QList<QUrl>({ url("trip") }));

    ASSERT_TRUE(QFile::link(dir.filePath("a.JPG"), dir.filePath("link.jpg")));
    auto *files = new OpenPanel;
    files->setAllowedFileTypes({ QStringLiteral("jpg") });
    files->setDirectoryUrl(QUrl::fromLocalFile(dir.path()));
    response.reset();
    files->beginSheet(&host, [&, files](int answer) {
        response = answer;
        chosen = files->urls();
    });
    auto *path = files->findChild<QLineEdit *>();
    ASSERT_NE(path, nullptr);
    path->setText(dir.filePath("notes.txt"));
    emit path->returnPressed();
    EXPECT_FALSE(response) << "a file of another type cannot be chosen";
    path->setText(dir.filePath("link.jpg"));
    emit path->returnPressed();
    EXPECT_EQ(response, OpenPanel::OK);
    EXPECT_EQ(
        chosen, QList<QUrl>({ QUrl::fromLocalFile(QFileInfo(dir.filePath("a.JPG")).canonicalFilePath()) }));

    auto *cancelled = new OpenPanel;
    response.reset();
    cancelled->beginSheet(&host, [&](int answer) { response = answer; });
    cancelled->endPanel(OpenPanel::Cancel);
    EXPECT_EQ(response, OpenPanel::Cancel);
    QCoreApplication::processEvents();
}

TEST_F(OpenPanelTest, TheAddDialogListsPlacesTakesTypingAndOpensWhereItWasLeft)
{
    testsupport::ScopedConfigHome config;
    const auto addDialog = [this] {
        auto *panel = new OpenPanel;
        panel->setCanChooseDirectories(true);
        panel->setAllowsMultipleSelection(true);
        panel->setWindowTitle(QStringLiteral("Add Photos"));
        panel->setFolderMemoryKey(QStringLiteral("addPanelFolder"));
        return panel;
    };
    const auto placePaths = [](const OpenPanel *panel) {
        QStringList paths;
        const auto *list = panel->findChild<QListWidget *>(QStringLiteral("places"));
        for (int row = 0; list && row < list->count(); ++row)
            paths << list->item(row)->data(Qt::UserRole).toString();
        return paths;
    };

    OpenPanel *first = addDialog();
    EXPECT_EQ(first->directoryUrl(), QUrl::fromLocalFile(QDir::homePath())) << "nothing remembered yet";
    first->setDirectoryUrl(QUrl::fromLocalFile(dir.path()));
    std::optional<int> response;
    first->beginSheet(&host, [&](int answer) { response = answer; });
    ASSERT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Add Photos"));
    EXPECT_TRUE(placePaths(first).contains(QDir::homePath()));
    EXPECT_TRUE(placePaths(first).contains(QDir::rootPath()));
    auto *path = first->findChild<QLineEdit *>();
    EXPECT_EQ(first->focusWidget(), path) << "the path field takes what is typed";
    path->setText(dir.filePath("trip"));
    emit path->returnPressed();
    EXPECT_FALSE(response) << "a typed folder opens";
    path->setText(dir.filePath("a.JPG"));
    emit path->returnPressed();
    EXPECT_EQ(response, OpenPanel::OK);
    QCoreApplication::processEvents();

    // The next one opens in the folder the user chose in, which the
    // places list among the recent folders.
    OpenPanel *second = addDialog();
    EXPECT_EQ(second->directoryUrl(), url("trip"));
    second->beginSheet(&host, [](int) {});
    EXPECT_EQ(placePaths(second).count(dir.filePath("trip")), 1);
    second->endPanel(OpenPanel::Cancel);
    QCoreApplication::processEvents();
}

TEST_F(OpenPanelTest, AChoiceOfOneFolderIsTheDesktopsFolderDialogWithTheAccessoryBelow)
{
    testsupport::ScopedConfigHome config;
    auto *panel = new OpenPanel;
    panel->setCanChooseFiles(false);
    panel->setCanChooseDirectories(true);
    panel->setCanCreateDirectories(true);
    panel->setWindowTitle(QStringLiteral("Choose the Folder for the Copies"));
    panel->setPrompt(QStringLiteral("Copy Here"));
    panel->setDirectoryUrl(QUrl::fromLocalFile(dir.path()));
    ASSERT_TRUE(panel->usesFolderDialog());
    QList<QUrl> chosen;
    std::optional<int> response;
    panel->beginSheet(&host, [&, panel](int answer) {
        response = answer;
        chosen = panel->urls();
    });
    EXPECT_FALSE(panel->isVisible()) << "the folder dialog stands in for it";
    auto *dialog = host.findChild<QFileDialog *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Choose the Folder for the Copies"));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_EQ(dialog->directory().absolutePath(), dir.path());
    dialog->setDirectory(dir.filePath("trip"));
    static_cast<QDialog *>(dialog)->accept();
    EXPECT_EQ(response, OpenPanel::OK);
    EXPECT_EQ(chosen, QList<QUrl>({ url("trip") }));
    QCoreApplication::processEvents();

    // An accessory's own button ends it: it sits in the dialog.
    auto *withButton = new OpenPanel;
    withButton->setCanChooseFiles(false);
    withButton->setCanChooseDirectories(true);
    auto *inPlace = new QPushButton(QStringLiteral("Change in Place"));
    QObject::connect(inPlace, &QPushButton::clicked, withButton,
        [withButton] { withButton->endPanel(OpenPanel::Cancel); });
    withButton->setAccessoryWidget(inPlace);
    response.reset();
    withButton->beginSheet(&host, [&](int answer) { response = answer; });
    QFileDialog *second = nullptr;
    for (QFileDialog *each : host.findChildren<QFileDialog *>()) {
        if (each->isVisible())
            second = each;
    }
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isAncestorOf(inPlace));
    inPlace->click();
    EXPECT_EQ(response, OpenPanel::Cancel);
    QCoreApplication::processEvents();
}
