#include "BridgeTestSupport.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
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
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

bool hasPeer()
{
    return !QStandardPaths::findExecutable(QStringLiteral("exiv2")).isEmpty();
}

std::optional<QString> runPeer(const QStringList &arguments, const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("exiv2"), arguments + QStringList{file});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    if (process.exitCode() != 0 && process.exitCode() != 253) // 253: some keys absent
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

std::vector<PeerValue> peerValues(const QString &file, const QString &key)
{
    static const QRegularExpression line(QStringLiteral(R"(^(\S+) +(\S+) +(.*)$)"));
    std::vector<PeerValue> values;
    const std::optional<QString> output = runPeer({QStringLiteral("-q"), QStringLiteral("-K"), key,
                                                   QStringLiteral("-Pkyv")},
                                                  file);
    if (!output)
        return values;
    for (const QString &text : output->split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch() && match.captured(1) == key)
            values.push_back({match.captured(2), match.captured(3)});
        else if (text.startsWith(key + QLatin1Char(' ')))
            values.push_back({text.mid(key.size()).trimmed(), QString()});
    }
    return values;
}

bool peerModify(const QString &file, const QStringList &commands)
{
    QStringList arguments{QStringLiteral("-q")};
    for (const QString &command : commands)
        arguments << QStringLiteral("-M") << command;
    return runPeer(arguments, file).has_value();
}

QImage pixels(const QString &path)
{
    QImage image(path);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_ARGB32);
}

QStringList writableImages()
{
    return {
        QStringLiteral("Reagan.jpg"),        QStringLiteral("exiv2-empty.jpg"), QStringLiteral("Reagan.tiff"),
        QStringLiteral("ReaganSmallPng.png"), QStringLiteral("1343_empty.png"), QStringLiteral("exiv2-bug1199.webp"),
        QStringLiteral("exiv2-photoshop.psd"), QStringLiteral("Reagan.jp2"),    QStringLiteral("imagemagick.pgf"),
        QStringLiteral("Stonehenge.exv"),     QStringLiteral("IMG_1361.dng"),   QStringLiteral("CanonRaw.cr2"),
        QStringLiteral("Nikon.nef"),          QStringLiteral("Olympus_u10D.exv"),
    };
}

} // namespace bridgetest
