// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

class QLabel;

// Help > About Calvorn: what the program is, its version, its licence and
// the libraries it is built on with the versions it runs with. Not modal;
// Escape or Close ends it.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);

    // The libraries' names and versions, in the order shown.
    static QList<QPair<QString, QString>> libraries();

    QLabel *lblVersion = nullptr;
    QLabel *lblLicence = nullptr;
    QLabel *lblLibraries = nullptr;
};
