// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Console.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// XDG_CONFIG_HOME on a fresh folder for one test, restored afterwards.
class ScopedConfigHome
{
public:
    ScopedConfigHome()
        : m_saved(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path()));
    }
    ~ScopedConfigHome() { qputenv("XDG_CONFIG_HOME", m_saved); }
    ScopedConfigHome(const ScopedConfigHome &) = delete;
    ScopedConfigHome &operator=(const ScopedConfigHome &) = delete;

    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
};

// The lines printed through platform::Console while it lives.
class ConsoleCapture
{
public:
    ConsoleCapture()
        : m_previous(platform::Console::setSink(
            [this](platform::Console::Stream, const QString &line) { m_lines << line; }))
    { }
    ~ConsoleCapture() { platform::Console::setSink(m_previous); }
    ConsoleCapture(const ConsoleCapture &) = delete;
    ConsoleCapture &operator=(const ConsoleCapture &) = delete;

    const QStringList &lines() const { return m_lines; }

private:
    QStringList m_lines;
    platform::Console::Sink m_previous;
};

} // namespace testsupport
