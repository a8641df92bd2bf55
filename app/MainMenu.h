// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class HomeViewController;
class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

// The main window's menu bar beyond the application's own items: the
// commands of the screens (adding photos, exporting, marking, removing,
// presets, resetting, renaming, starting, searching and sorting) with the desktop's usual
// shortcuts. An entry is enabled exactly while its command applies to the
// page shown (its button there is enabled) and runs what that button runs.
class MainMenu : public QObject
{
    Q_OBJECT
public:
    explicit MainMenu(QMainWindow *window);

    QMenu *fileMenu() const { return m_file; }
    QMenu *editMenu() const { return m_edit; }
    QMenu *viewMenu() const { return m_view; }
    QMenu *helpMenu() const { return m_help; }

    QPointer<QAction> addPhotos;
    QPointer<QAction> addPhotosLibrary;
    QPointer<QAction> exportMetadata;
    QPointer<QAction> markAll;
    QPointer<QAction> removeMarked;
    QPointer<QAction> resetAll;
    QPointer<QAction> presets;
    QPointer<QAction> rename;
    QPointer<QAction> startProcess;
    QPointer<QAction> find;
    QPointer<QAction> sortByName;
    QPointer<QAction> sortBySize;
    QPointer<QAction> sortByDate;
    QPointer<QAction> sortAscending;
    QPointer<QAction> sortDescending;

    // Brings every entry in line with the page shown.
    void refresh();

private:
    struct Command
    {
        QPointer<QAction> action;
        std::function<bool()> applies;
        std::function<void()> run;
        std::function<bool()> checked;
    };
    QAction *addCommand(QMenu *menu, const QString &title, const char *icon, std::function<bool()> applies,
        std::function<void()> run, std::function<bool()> checked = {});

    QMenu *m_file;
    QMenu *m_edit;
    QMenu *m_view;
    QMenu *m_help;
    std::vector<Command> m_commands;
    QPointer<HomeViewController> m_watched;
};
