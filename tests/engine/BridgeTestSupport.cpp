// SPDX-License-Identifier: GPL-3.0-or-later
#include "BridgeTestSupport.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace bridgetest {

ConsoleCapture::ConsoleCapture()
{
    m_previous = platform::Console::setSink([this](platform::Console::Stream stream, const QString &line) {
        std::lock_guard lock(m_mutex);
        m_lines.emplace_back(stream, line);
    });
}

ConsoleCapture::~ConsoleCapture()
{
    platform::Console::setSink(std::move(m_previous));
}

QStringList ConsoleCapture::lines(platform::Console::Stream stream) const
{
    std::lock_guard lock(m_mutex);
    QStringList result;
    for (const auto &[kind, line] : m_lines) {
        if (kind == stream)
            result << line;
    }
    return result;
}

QStringList ConsoleCapture::failures() const
{
    QStringList result;
    for (const QString &line : errors()) {
        if (line.startsWith(QStringLiteral("*** error")))
            result << line;
    }
    return result;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

bool hasPeer()
{
    return !QStandardPaths::findExecutable(QStringLiteral("exiv2")).isEmpty();
}

std::optional<QString> runPeer(const QStringList &arguments, const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("exiv2"), arguments + QStringList { file });
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    if (process.exitCode() != 0 && process.exitCode() != 253) // 253: some keys absent
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

PeerReport::PeerReport(const QString &file)
{
    static const QRegularExpression line(QStringLiteral(R"(^(\S+) +(\S+) +(.*)$)"));
    const std::optional<QString> output = runPeer({ QStringLiteral("-q"), QStringLiteral("-PEIXkyv") }, file);
    if (!output)
        return;
    for (const QString &text : output->split(QLatin1Char('\n'))) {
        if (const QRegularExpressionMatch match = line.match(text); match.hasMatch())
            m_rows.emplace_back(match.captured(1), PeerValue { match.captured(2), match.captured(3) });
        else if (const QString key = text.section(QLatin1Char(' '), 0, 0); key.count(QLatin1Char('.')) >= 2)
            m_rows.emplace_back(key, PeerValue { text.mid(key.size()).trimmed(), QString() });
    }
}

std::vector<PeerValue> PeerReport::values(const QString &key) const
{
    std::vector<PeerValue> found;
    for (const auto &[name, value] : m_rows) {
        if (name == key)
            found.push_back(value);
    }
    return found;
}

QString PeerReport::typeAndValue(const QString &key) const
{
    const std::vector<PeerValue> found = values(key);
    if (found.size() != 1)
        return QStringLiteral("%1 occurrences").arg(found.size());
    return found[0].type + QLatin1Char(' ') + found[0].value;
}

std::vector<PeerValue> peerValues(const QString &file, const QString &key)
{
    return PeerReport(file).values(key);
}

bool peerModify(const QString &file, const QStringList &commands)
{
    QStringList arguments { QStringLiteral("-q") };
    for (const QString &command : commands)
        arguments << QStringLiteral("-M") << command;
    return runPeer(arguments, file).has_value();
}

QImage pixels(const QString &path)
{
    // The raw samples hold stubs for pictures, which the TIFF decoder only
    // complains about.
    static const QStringList raw { QStringLiteral("cr2"), QStringLiteral("nef"), QStringLiteral("dng") };
    if (raw.contains(QFileInfo(path).suffix().toLower()))
        return QImage();
    QImage image(path);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

QString differences(const QVariantMap &actual, const QVariantMap &expected)
{
    QStringList keys = actual.keys() + expected.keys();
    keys.removeDuplicates();
    keys.sort();
    QString report;
    for (const QString &key : keys) {
        const QVariant a = actual.value(key), e = expected.value(key);
        if (a != e)
            report += QStringLiteral("%1: %2 instead of %3\n")
                          .arg(key, a.isValid() ? a.toString().left(80) : QStringLiteral("(none)"),
                              e.isValid() ? e.toString().left(80) : QStringLiteral("(none)"));
    }
    return report;
}

QStringList writableImages()
{
    return {
        QStringLiteral("Reagan.jpg"),
        QStringLiteral("exiv2-empty.jpg"),
        QStringLiteral("Reagan.tiff"),
        QStringLiteral("ReaganSmallPng.png"),
        QStringLiteral("1343_empty.png"),
        QStringLiteral("exiv2-bug1199.webp"),
        QStringLiteral("exiv2-photoshop.psd"),
        QStringLiteral("Reagan.jp2"),
        QStringLiteral("imagemagick.pgf"),
        QStringLiteral("Stonehenge.exv"),
        QStringLiteral("CanonRaw.cr2"),
        QStringLiteral("Nikon.nef"),
        QStringLiteral("Olympus_u10D.exv"),
    };
}

QList<std::pair<QString, QString>> leftAsTheyWere()
{
    return { { QStringLiteral("IMG_1361.dng"), QStringLiteral("the file is cut short") } };
}

} // namespace bridgetest
