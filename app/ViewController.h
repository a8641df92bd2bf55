// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ContainerPage.h"

#include <QFrame>
#include <QPointer>
#include <QWidget>

// The main window's content: shows one page at a time (the dashboard, the
// main screen with the grid, or the result of the last batch). The pages
// are the shared screens registered under pageIdentifier(). A page keeps
// its state while another one is shown.
class ViewController : public QWidget
{
    Q_OBJECT
public:
    // Loads the interface texts and makes itself current; opens on the
    // dashboard.
    explicit ViewController(QWidget *parent = nullptr);
    // Hands the page shown back to the registry that owns it.
    ~ViewController() override;

    // The container of the main window; null until one exists. Callers that
    // switch pages do nothing while it is null.
    static ViewController *current();

    static QString pageIdentifier(ContainerPage page);

    // Replaces whatever the container shows by the page's shared screen,
    // made now on its first use. Showing the page already shown shows it
    // anew.
    void showPage(ContainerPage page);

    // The screen shown now.
    QWidget *shownPage() const;

    QPointer<QFrame> boxParent;
    QPointer<QWidget> containerView;

signals:
    // Another page (or the same anew) is shown.
    void pageShown();

private:
    static QWidget *pageScreen(ContainerPage page);
    void takePagesOut();
};
