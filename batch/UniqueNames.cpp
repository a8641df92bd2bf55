// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/UniqueNames.h"

#include "batch/NewFileName.h"

#include <QFileInfo>
#include <QTextBoundaryFinder>

namespace {

qsizetype utf8Size(QStringView text)
{
    return text.toUtf8().size();
}

// The longest start of text of at most budget UTF-8 bytes that ends on a
// character (grapheme) boundary; on a code point boundary when not even the
// first character fits.
QString truncated(const QString &text, qsizetype budget)
{
    if (utf8Size(text) <= budget)
        return text;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype bytes = 0;
    qsizetype end = 0;
    for (qsizetype start = 0, next = graphemes.toNextBoundary(); next > 0;
         next = graphemes.toNextBoundary()) {
        bytes += utf8Size(QStringView(text).mid(start, next - start));
        if (bytes > budget)
            break;
        end = start = next;
    }
    if (end == 0) {
        bytes = 0;
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            bytes += utf8Size(QStringView(text).mid(i, width));
            if (bytes > budget)
                break;
            end = i += width;
        }
    }
    return text.left(end);
}

} // namespace

QString fittedFileName(const QString &stem, qint64 number, const QString &extension)
{
    const QString ending = number > 0 ? QStringLiteral(" (%1)").arg(number) : QString();
    QString base = stem;
    QString tail = ending + (extension.isEmpty() ? QString() : QLatin1Char('.') + extension);
    if (utf8Size(tail) >= fileNameByteLimit) {
        // An extension this long cannot be kept whole: it is shortened with the stem.
        base = joinFileName(stem, extension);
        tail = ending;
    }
    QString name = truncated(base, fileNameByteLimit - utf8Size(tail)) + tail;
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        name.fill(QLatin1Char('_'));
    return name;
}

UniqueNames::UniqueNames(const QString &folder, Exists exists)
    : m_folder(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'))
    , m_exists(std::move(exists))
{ }

QString UniqueNames::next(const QString &stem, const QString &extension)
{
    // Neither part can hold a "/", so the key is unambiguous.
    const QString key = stem + QLatin1Char('/') + extension;
    const auto last = m_lastNumber.constFind(key);
    for (qint64 number = last == m_lastNumber.cend() ? 0 : *last + 1;; ++number) {
        const QString path = m_folder + fittedFileName(stem, number, extension);
        if (!exists(path)) {
            m_lastNumber.insert(key, number);
            return path;
        }
    }
}

bool UniqueNames::exists(const QString &path)
{
    ++m_checks;
    if (m_exists)
        return m_exists(path);
    const QFileInfo info(path);
    return info.exists() || info.isSymLink(); // a dangling link still takes the name
}

QUrl uniqueFileURL(const QUrl &url)
{
    const QFileInfo file(url.toLocalFile());
    const SplitName name = splitFileName(file.fileName());
    return QUrl::fromLocalFile(UniqueNames(file.path()).next(name.stem, name.extension));
}
