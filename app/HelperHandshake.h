// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Calvorn's side of its agreement with Calvorn_Helper, the program that
// starts Calvorn when the user logs in.
class HelperHandshake
{
public:
    // helperProgram: where Calvorn_Helper is installed; by default beside
    // this program.
    explicit HelperHandshake(const QString &helperProgram = installedHelper());

    static QString installedHelper();

    // Once start-up has finished: keeps the login item in place while the
    // user wants Calvorn started at login (it is never turned off here),
    // and tells a helper that is waiting for Calvorn that it is up.
    void atLaunch() const;

    // Turns starting at login on or off; false, with the reason in whyNot
    // when given, when it cannot.
    bool setLoginItemEnabled(bool on, QString *whyNot = nullptr) const;

private:
    QString m_helperProgram;
};
