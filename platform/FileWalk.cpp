// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileWalk.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace platform {

void WalkControl::set(std::atomic<bool> &flag, bool on)
{
    {
        // Under the lock, so a sleeper cannot miss the change between its
        // check and its wait.
        std::lock_guard lock(m_mutex);
        flag.store(on);
    }
    m_changed.notify_all();
}

void WalkControl::waitUntil(const std::function<bool()> &done) const
{
    if (done())
        return;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, done);
}

bool WalkControl::proceed() const
{
    if (m_paused.load())
        waitUntil([this] { return !m_paused.load() || m_stopped.load(); });
    return !m_stopped.load();
}

namespace FileWalk {

namespace {

const std::string PackageSuffix = ".photoslibrary";

bool isHidden(const std::string &name)
{
    return !name.empty() && name.front() == '.';
}

bool isPackage(const std::string &name)
{
    if (name.size() <= PackageSuffix.size())
        return false;
    const size_t start = name.size() - PackageSuffix.size();
    for (size_t i = 0; i < PackageSuffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[start + i])) != PackageSuffix[i])
            return false;
    return true;
}

struct Entry
{
    std::string name;
    bool enter = false;
};

// The visible entries of one folder in name order; false when it cannot be
// listed at all.
bool listFolder(const fs::path &folder, std::vector<Entry> &entries)
{
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (ec)
        return false;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        std::string name = it->path().filename().native();
        if (isHidden(name))
            continue;
        std::error_code typeError;
        // symlink_status: a link to a folder is an entry, never a way in.
        const fs::file_status status = it->symlink_status(typeError);
        const bool enter = !typeError && fs::is_directory(status) && !isPackage(name);
        entries.push_back({ std::move(name), enter });
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
    return true;
}

// Depth first with an explicit stack, so a deep tree cannot exhaust the
// thread's stack.
bool walk(const fs::path &root, const WalkControl *control,
    const std::function<void(const QString &)> &onEntry,
    const std::function<void(const QByteArray &)> &onUndecodable)
{
    struct Level
    {
        fs::path folder;
        std::vector<Entry> entries;
        size_t next = 0;
    };
    std::vector<Level> stack(1);
    stack.back().folder = root;
    listFolder(root, stack.back().entries);
    while (!stack.empty()) {
        Level &level = stack.back();
        if (level.next == level.entries.size()) {
            stack.pop_back();
            continue;
        }
        const Entry &entry = level.entries[level.next++];
        if (control && !control->proceed())
            return false;
        fs::path path = level.folder / entry.name;
        const QByteArray bytes = QByteArray::fromStdString(path.native());
        const QString decoded = QFile::decodeName(bytes);
        if (QFile::encodeName(decoded) != bytes) {
            if (onUndecodable)
                onUndecodable(bytes);
            continue;
        }
        onEntry(decoded);
        if (!entry.enter)
            continue;
        Level inner;
        // A sub-folder that cannot be listed is passed over.
        if (listFolder(path, inner.entries)) {
            inner.folder = std::move(path);
            stack.push_back(std::move(inner));
        }
    }
    return true;
}

} // namespace

Outcome collect(const QString &folder, const WalkControl *control,
    const std::function<void(const QString &path)> &onEntry,
    const std::function<void(const QByteArray &path)> &onUndecodable)
{
    const fs::path root(QFile::encodeName(folder).toStdString());
    std::error_code ec;
    if (fs::directory_iterator(root, ec); ec)
        return Outcome::Unreadable;
    return walk(root, control, onEntry, onUndecodable) ? Outcome::Finished : Outcome::Stopped;
}

QString escapedPath(const QByteArray &path)
{
    QString text;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\')
            text += QStringLiteral("\\\\");
        else if (byte >= 0x20 && byte < 0x7f)
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

} // namespace FileWalk
} // namespace platform
