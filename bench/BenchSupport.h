// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What the benchmarks share: timing the peer programs and printing ratios.
namespace bench {

// Before the application object: no display needed, and freed memory kept
// for reuse as the application keeps it.
void prepareProcess();

// Wall time in seconds of program over all files, output discarded;
// negative when the program is missing or fails.
double timeProgram(const QString &program, const QStringList &options, const QStringList &files);

// Wall time in seconds of processes copies of program started side by
// side, each over its own run of the files (a quarter each for four);
// negative when the program is missing or one of them fails.
double timeProgramSideBySide(
    const QString &program, const QStringList &options, const QStringList &files, int processes);

// One line: the peer's time and how Calvorn's compares.
void printRatio(const char *peer, double peerSeconds, double calvornSeconds);

// Keeps the reader's diagnostics from drowning the figures: console lines
// for standard error are dropped.
void silenceConsole();

double totalMegabytes(const QStringList &files);

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM").
qint64 statusKilobytes(const char *field);

} // namespace bench
