// SPDX-License-Identifier: GPL-3.0-or-later
// Every window and sheet of the program, laid out at its least size, shows
// each of its texts whole: no label or button narrower or lower than its
// text, none reaching outside the window (within a scroll area only the
// width counts: the rest scrolls).

#include "ShellFixture.h"

#include "app/InitialWindowController.h"
#include "app/PreferencesWindowController.h"
#include "app/ViewController.h"
#include "batch/ProgressViewController.h"
#include "batch/RenameViewController.h"
#include "batch/Result.h"
#include "batch/ResultViewController.h"
#include "browser/HomeViewController.h"
#include "browser/PreviewViewController.h"
#include "browser/ScanVC.h"
#include "editor/DateTimeViewController.h"
#include "editor/EditLocationViewController.h"
#include "editor/MetadataEditorViewController.h"
#include "editor/PresetViewController.h"
#include "editor/PresetsListViewController.h"
#include "engine/FileInfo.h"
#include "platform/widgets/Alert.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QScrollArea>

using shelltest::ShellFixture;

namespace {

QString describe(const QWidget *widget, const QString &text, const QString &why)
{
    return QStringLiteral("%1 \"%2\" in %3: %4")
        .arg(QLatin1String(widget->metaObject()->className()), text, widget->window()->objectName(), why);
}

QString shownText(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    return {};
}

// The texts of window that its layout cuts, each described.
QStringList cutTexts(QWidget *window)
{
    // Shown first: some windows fill themselves as they appear; the
    // layout requests then travel up one level per pass.
    window->show();
    for (int pass = 0; pass < 8; ++pass)
        QCoreApplication::processEvents();
    window->resize(window->minimumSizeHint().expandedTo(window->minimumSize()));
    for (int pass = 0; pass < 8; ++pass)
        QCoreApplication::processEvents();

    QStringList cut;
    const QRect inside = window->rect();
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const QString text = shownText(widget);
        if (text.isEmpty() || !widget->isVisibleTo(window))
            continue;
        const auto *label = qobject_cast<const QLabel *>(widget);
        const QSize needed = widget->minimumSizeHint();
        const bool wraps = label && label->wordWrap();
        if (!wraps && widget->width() < needed.width())
            cut << describe(
                widget, text, QStringLiteral("%1 wide of %2").arg(widget->width()).arg(needed.width()));
        const int height = wraps ? label->heightForWidth(widget->width()) : needed.height();
        QWidget *area = widget;
        while (area && !qobject_cast<QScrollArea *>(area))
            area = area->parentWidget();
        if (area) {
            // Scrolled content: only its width must fit the viewport.
            const auto *viewport = static_cast<QScrollArea *>(area)->viewport();
            const QRect spot(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
            if (spot.left() < 0 || spot.right() > viewport->width())
                cut << describe(widget, text, QStringLiteral("outside its scroll area's width"));
            continue;
        }
        if (widget->height() < height)
            cut << describe(widget, text, QStringLiteral("%1 high of %2").arg(widget->height()).arg(height));
        const QRect spot(widget->mapTo(window, QPoint(0, 0)), widget->size());
        if (!inside.contains(spot))
            cut << describe(widget, text, QStringLiteral("outside the window"));
    }
    return cut;
}

void expectWhole(QWidget *window, const char *name)
{
    const QStringList cut = cutTexts(window);
    EXPECT_TRUE(cut.isEmpty()) << name << ":\n" << qPrintable(cut.join(QLatin1Char('\n')));
}

class MinimumSizeTest : public ShellFixture
{
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        platform::Clock::setManual(true);
        delegate->applicationWillFinishLaunching();
    }
    void TearDown() override
    {
        allFiles().clear();
        displayedFiles().clear();
        ShellFixture::TearDown();
    }
};

} // namespace

TEST_F(MinimumSizeTest, EveryWindowAndSheetShowsItsTextsWholeAtItsLeastSize)
{
    InitialWindowController *main = InitialWindowController::shared();
    main->setObjectName(QStringLiteral("the main window"));
    ViewController *container = ViewController::current();

    expectWhole(main, "dashboard");
    container->showPage(ContainerPage::home);
    auto file = std::make_shared<FileInfo>();
    file->fileName = QStringLiteral("a photo with a rather long file name.jpg");
    file->isMark = true;
    allFiles() << file;
    displayedFiles() << file;
    HomeViewController::shared()->updateCounts();
    expectWhole(main, "main screen");
    HomeViewController::shared()->showEditingOption(true);
    expectWhole(main, "main screen with the clean options");
    HomeViewController::shared()->showEditingOption(false);

    batchResult() = Result { 3, 4, 12, 2, 1, QUrl::fromLocalFile(QStringLiteral("/tmp/copies")), false,
        { { QStringLiteral("/tmp/photos/IMG_0001.jpg"), QStringLiteral("Permission denied") } },
        { { QStringLiteral("/tmp/photos/IMG_0002.webp"),
            { { Shortfall::Kind::NotWritten, QStringLiteral("Iptc.Application2.Copyright"),
                QStringLiteral("WebP files have no place for IPTC values") } } } } };
    container->showPage(ContainerPage::result);
    ResultViewController::shared()->displayResult();
    expectWhole(main, "result page");
    container->showPage(ContainerPage::dashboard);

    std::vector<std::pair<QWidget *, const char *>> windows {
        { PreferencesWindowController::shared(), "preferences" },
        { RenameViewController::shared(), "rename window" },
        { PreviewViewController::shared(), "preview" },
        { ProgressViewController::shared(), "progress sheet" },
        { ScanVC::shared(), "scan sheet" },
        { HomeViewController::shared()->editingForm()->sharedDateTime(), "date popover" },
        { HomeViewController::shared()->editingForm()->sharedLocationEditor(), "location editor" },
        { PresetViewController::shared(), "preset manager" },
        { PresetsListViewController::shared(), "presets list" },
    };
    std::unique_ptr<platform::Alert> alert(platform::Alert::warning(nullptr,
        QStringLiteral("Apply your edits to the marked photos?"),
        QStringLiteral(
            "The values you changed are written into every marked photo; all other values stay as they are."),
        { QStringLiteral("Yes"), QStringLiteral("No") }));
    windows.emplace_back(alert.get(), "alert");
    for (const auto &[window, name] : windows) {
        window->setObjectName(QLatin1String(name));
        expectWhole(window, name);
        window->hide();
    }
}
