// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchSupport.h"

#include "platform/Console.h"
#include "platform/Memory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>
#include <memory>
#include <vector>

namespace bench {

void prepareProcess()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::Memory::keepFreedMemoryForReuse();
}

double timeProgram(const QString &program, const QStringList &options, const QStringList &files)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return -1;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, options + files);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

double timeProgramSideBySide(
    const QString &program, const QStringList &options, const QStringList &files, int processes)
{
    if (QStandardPaths::findExecutable(program).isEmpty() || processes < 1)
        return -1;
    std::vector<std::unique_ptr<QProcess>> running;
    QElapsedTimer timer;
    timer.start();
    const qsizetype share = (files.size() + processes - 1) / processes;
    for (qsizetype first = 0; first < files.size(); first += share) {
        auto &process = running.emplace_back(std::make_unique<QProcess>());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(program, options + files.mid(first, share));
    }
    bool ok = true;
    for (auto &process : running)
        ok = process->waitForFinished(-1) && process->exitStatus() == QProcess::NormalExit && ok;
    return ok ? double(timer.nsecsElapsed()) / 1e9 : -1;
}

void printRatio(const char *peer, double peerSeconds, double calvornSeconds)
{
    if (peerSeconds < 0) {
        std::printf("  %-22s not installed (bench/setup installs it)\n", peer);
        return;
    }
    std::printf("  %-22s %8.3f s   Calvorn %.2fx %s\n", peer, peerSeconds,
        calvornSeconds < peerSeconds ? peerSeconds / calvornSeconds : calvornSeconds / peerSeconds,
        calvornSeconds < peerSeconds ? "faster" : "slower");
}

void silenceConsole()
{
    platform::Console::setSink([](platform::Console::Stream stream, const QString &line) {
        if (stream == platform::Console::Stream::Out)
            std::printf("%s\n", qPrintable(line));
    });
}

double totalMegabytes(const QStringList &files)
{
    qint64 bytes = 0;
    for (const QString &file : files)
        bytes += QFileInfo(file).size();
    return double(bytes) / 1e6;
}

qint64 statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong();
    return 0;
}

} // namespace bench
