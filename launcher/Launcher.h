// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace launcher {

// Calvorn_Helper's one job, run once at its start: start Calvorn unless it
// runs already, then wait until Calvorn says it is up.
class Launcher : public QObject
{
    Q_OBJECT
public:
    explicit Launcher(const QString &mainProgram, QObject *parent = nullptr);

    // True when the helper should now wait for Calvorn's word; false when
    // it is done at once (Calvorn runs already, or without a session bus
    // nobody could ever tell it to stop).
    bool start();

signals:
    // Calvorn has told the helper to quit.
    void finished();

private:
    QString m_mainProgram;
};

} // namespace launcher
