// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Console.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace bridgetest {

// Captures every console line while it lives.
class ConsoleCapture
{
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture &) = delete;
    ConsoleCapture &operator=(const ConsoleCapture &) = delete;

    QStringList lines(platform::Console::Stream stream) const;
    QStringList errors() const { return lines(platform::Console::Stream::Err); }
    // Error lines of the bridge's failure report ("*** error ...").
    QStringList failures() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<platform::Console::Stream, QString>> m_lines;
    platform::Console::Sink m_previous;
};

QByteArray fileBytes(const QString &path);
// Names of the entries of a folder, hidden ones included.
QStringList folderEntries(const QString &folder);

// A line of the exiv2 command-line program's report on one key.
struct PeerValue
{
    QString type;
    QString value;
};
bool hasPeer();
// `exiv2 <arguments> <file>`; its standard output, or none when it failed.
std::optional<QString> runPeer(const QStringList &arguments, const QString &file);
// Everything the peer reads from a file (one run), by key.
class PeerReport
{
public:
    explicit PeerReport(const QString &file);
    // Every occurrence of the key, in file order.
    std::vector<PeerValue> values(const QString &key) const;
    // The one occurrence of the key as "Type value", or a note of how many.
    QString typeAndValue(const QString &key) const;
    const std::vector<std::pair<QString, PeerValue>> &rows() const { return m_rows; }
    bool isEmpty() const { return m_rows.empty(); }

private:
    std::vector<std::pair<QString, PeerValue>> m_rows;
};
std::vector<PeerValue> peerValues(const QString &file, const QString &key);
// Modifies a file with the peer ("set Exif.Image.Artist Someone", ...).
bool peerModify(const QString &file, const QStringList &commands);

// The decoded picture, in one pixel format so two decodings compare.
QImage pixels(const QString &path);

// The keys whose entries differ between two dictionaries, with both values;
// empty when they are equal.
QString differences(const QVariantMap &actual, const QVariantMap &expected);

// The sample images that the bridge writes to, with the file name.
QStringList writableImages();
// Samples of those formats that the check of the whole written file leaves
// as they were, with the start of the reason: a DNG whose picture lies past
// its end is cut short.
QList<std::pair<QString, QString>> leftAsTheyWere();

} // namespace bridgetest

#include "support/QtPrinters.h"
