// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainMenu.h"

#include "app/ViewController.h"
#include "browser/DashboardViewController.h"
#include "browser/HomeViewController.h"
#include "platform/widgets/ThemeIcon.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

template <class Page> Page *shownPage()
{
    ViewController *container = ViewController::current();
    return container ? qobject_cast<Page *>(container->shownPage()) : nullptr;
}

HomeViewController *home()
{
    return shownPage<HomeViewController>();
}

bool usable(const QPushButton *button)
{
    return button && button->isEnabled() && !button->isHidden();
}

} // namespace

MainMenu::MainMenu(QMainWindow *window)
    : QObject(window)
{
    QMenuBar *bar = window->menuBar();
    m_file = bar->addMenu(tr("&File"));
    m_edit = bar->addMenu(tr("&Edit"));
    m_view = bar->addMenu(tr("&View"));
    m_help = bar->addMenu(tr("&Help"));

    // Adding photos works from the dashboard as from the main screen.
    const auto adding = [this](const QString &title, const char *icon, void (HomeViewController::*onHome)(),
                            void (DashboardViewController::*onDashboard)()) {
        return addCommand(
            m_file, title, icon, [] { return home() || shownPage<DashboardViewController>(); },
            [onHome, onDashboard] {
                if (HomeViewController *screen = home())
                    (screen->*onHome)();
                else if (auto *dashboard = shownPage<DashboardViewController>())
                    (dashboard->*onDashboard)();
            });
    };
    addPhotos = adding(tr("&Add Photos…"), "document-open", &HomeViewController::showAddPhotosPanel,
        &DashboardViewController::showAddPhotosPanel);
    addPhotos->setShortcut(QKeySequence::Open);
    addPhotosLibrary = adding(tr("Add Photo &Library…"), "folder-pictures",
        &HomeViewController::showAddPhotosLibraryPanel, &DashboardViewController::showAddPhotosLibraryPanel);

    m_file->addSeparator();
    exportMetadata = addCommand(
        m_file, tr("&Export Metadata as CSV…"), "document-export",
        [] { return home() && usable(home()->btnExportMetadata); },
        [] { home()->btnExportMetadata->click(); });

    markAll = addCommand(
        m_edit, tr("&Mark or Unmark All"), "edit-select-all", [] { return home() != nullptr; },
        [] { home()->markOrUnmarkAll(); });
    markAll->setShortcut(QKeySequence::SelectAll);
    removeMarked = addCommand(
        m_edit, tr("&Remove Marked Photos"), "list-remove",
        [] { return home() && usable(home()->btnRemove); }, [] { home()->btnRemove->click(); });
    removeMarked->setShortcut(QKeySequence::Delete);
    m_edit->addSeparator();
    find = addCommand(
        m_edit, tr("&Find by Name"), "edit-find", [] { return home() != nullptr; },
        [] {
            home()->searchField->setFocus(Qt::ShortcutFocusReason);
            home()->searchField->selectAll();
        });
    find->setShortcut(QKeySequence::Find);
    m_edit->addSeparator();
    presets = addCommand(
        m_edit, tr("&Presets…"), "bookmarks", [] { return home() && usable(home()->btnPresets); },
        [] { home()->btnPresets->click(); });
    rename = addCommand(
        m_edit, tr("Re&name Rule…"), "edit-rename", [] { return home() && usable(home()->btnRename); },
        [] { home()->btnRename->click(); });
    resetAll = addCommand(
        m_edit, tr("Rese&t All Edits…"), "edit-undo", [] { return home() && usable(home()->btnResetAll); },
        [] { home()->btnResetAll->click(); });
    m_edit->addSeparator();
    startProcess = addCommand(
        m_edit, tr("&Start"), "media-playback-start",
        [] { return home() && usable(home()->btnStartProcess); }, [] { home()->btnStartProcess->click(); });

    auto *methods = new QActionGroup(this);
    const auto sortEntry = [this, methods](const QString &title, void (HomeViewController::*sort)(),
                               std::function<bool(const HomeViewController &)> isChosen) {
        QAction *entry = addCommand(
            m_view, title, nullptr, [] { return home() != nullptr; }, [sort] { (home()->*sort)(); },
            [isChosen] { return home() && isChosen(*home()); });
        methods->addAction(entry);
        return entry;
    };
    sortByName = sortEntry(tr("Sort by &Name"), &HomeViewController::sortByName,
        [](const HomeViewController &screen) { return screen.sortMethod == SortMethods::name; });
    sortBySize = sortEntry(tr("Sort by &Size"), &HomeViewController::sortBySize,
        [](const HomeViewController &screen) { return screen.sortMethod == SortMethods::size; });
    sortByDate = sortEntry(tr("Sort by &Date"), &HomeViewController::sortByDate,
        [](const HomeViewController &screen) { return screen.sortMethod == SortMethods::date; });
    m_view->addSeparator();
    auto *orders = new QActionGroup(this);
    const auto orderEntry
        = [this, orders](const QString &title, void (HomeViewController::*sort)(), SortOrder order) {
              QAction *entry = addCommand(
                  m_view, title, nullptr, [] { return home() != nullptr; }, [sort] { (home()->*sort)(); },
                  [order] { return home() && home()->sortOrder == order; });
              orders->addAction(entry);
              return entry;
          };
    sortAscending
        = orderEntry(tr("&Ascending"), &HomeViewController::sortWithAscending, SortOrder::ascending);
    sortDescending
        = orderEntry(tr("D&escending"), &HomeViewController::sortWithDescending, SortOrder::descending);
    m_view->addSeparator();

    for (QMenu *menu : { m_file, m_edit, m_view })
        connect(menu, &QMenu::aboutToShow, this, &MainMenu::refresh);
    if (ViewController *container = ViewController::current())
        connect(container, &ViewController::pageShown, this, &MainMenu::refresh);
    refresh();
}

QAction *MainMenu::addCommand(QMenu *menu, const QString &title, const char *icon,
    std::function<bool()> applies, std::function<void()> run, std::function<bool()> checked)
{
    QAction *action = menu->addAction(title);
    if (icon)
        action->setIcon(platform::themeIcon(QLatin1String(icon)));
    action->setCheckable(bool(checked));
    connect(action, &QAction::triggered, this, [this, action] {
        // A shortcut may come while the page changed since the last check.
        refresh();
        for (const Command &command : m_commands) {
            if (command.action == action && command.applies())
                command.run();
        }
        refresh();
    });
    m_commands.push_back(Command { action, std::move(applies), std::move(run), std::move(checked) });
    return action;
}

void MainMenu::refresh()
{
    // The remove entry follows the marks as the remove button does.
    if (HomeViewController *screen = home(); screen && screen != m_watched) {
        m_watched = screen;
        connect(screen, &HomeViewController::countsChanged, this, &MainMenu::refresh, Qt::UniqueConnection);
    }
    for (const Command &command : m_commands) {
        if (!command.action)
            continue;
        command.action->setEnabled(command.applies());
        if (command.checked)
            command.action->setChecked(command.checked());
    }
}
