// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

class ViewController;

// The main window. Its content is the page container; it lives for the
// whole run, so closing it and showing it again brings back the same pages.
class InitialWindowController : public QMainWindow
{
    Q_OBJECT
public:
    InitialWindowController();

    // The one main window, made on first use.
    static InitialWindowController *shared();

    ViewController *contentViewController() const { return m_content; }

    // Keeps the window's size and place for the next start.
    void rememberGeometry();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    ViewController *m_content;
};
