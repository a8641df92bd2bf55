// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace platform {

// Whole console lines, safe from any thread. Tests install a sink to
// capture what would have been printed.
class Console
{
public:
    enum class Stream { Out, Err };
    using Sink = std::function<void(Stream, const QString &line)>;

    static void out(const QString &line);
    static void err(const QString &line);
    // A line on standard error prefixed with the time and the process,
    // for diagnostics a developer reads.
    static void log(const QString &line);

    // Returns the previous sink; an empty sink restores the real streams.
    static Sink setSink(Sink sink);
};

} // namespace platform
