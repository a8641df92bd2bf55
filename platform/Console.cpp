// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Console.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>
#include <mutex>

namespace platform {

namespace {
std::mutex &consoleMutex()
{
    static std::mutex m;
    return m;
}
Console::Sink &currentSink()
{
    static Console::Sink sink;
    return sink;
}

void write(Console::Stream stream, const QString &line)
{
    std::lock_guard lock(consoleMutex());
    if (auto &sink = currentSink()) {
        sink(stream, line);
        return;
    }
    const QByteArray bytes = line.toUtf8() + '\n';
    FILE *file = stream == Console::Stream::Out ? stdout : stderr;
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), file);
    std::fflush(file);
}
} // namespace

void Console::out(const QString &line)
{
    write(Stream::Out, line);
}

void Console::err(const QString &line)
{
    write(Stream::Err, line);
}

void Console::log(const QString &line)
{
    const QString name
        = QCoreApplication::instance() ? QCoreApplication::applicationName() : QStringLiteral("Calvorn");
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    write(Stream::Err,
        QStringLiteral("%1 %2[%3] %4").arg(stamp, name).arg(QCoreApplication::applicationPid()).arg(line));
}

Console::Sink Console::setSink(Sink sink)
{
    std::lock_guard lock(consoleMutex());
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

} // namespace platform
