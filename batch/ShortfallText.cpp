// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/ShortfallText.h"

#include "batch/CleanMetadata.h"
#include "common/Localization.h"
#include "editor/FormFields.h"

#include <QLocale>

#include <algorithm>
#include <vector>

namespace {

QString nameOf(const Shortfall &shortfall)
{
    if (shortfall.kind == Shortfall::Kind::Kept) {
        const auto choice = std::find_if(cleanChoices.begin(), cleanChoices.end(),
            [&](const CleanChoice &c) { return shortfall.key == QLatin1String(c.name); });
        return choice != cleanChoices.end() ? localizedString(choice->labelKey) : shortfall.key;
    }
    return formNameOfKey(shortfall.key).value_or(shortfall.key);
}

const char *patternKey(Shortfall::Kind kind)
{
    switch (kind) {
    case Shortfall::Kind::NotWritten:
        return "QX_ID_289";
    case Shortfall::Kind::Shortened:
        return "QX_ID_290";
    case Shortfall::Kind::CopyNotUpdated:
        return "QX_ID_291";
    case Shortfall::Kind::ProfileCopyNotUpdated:
        return "QX_ID_295";
    case Shortfall::Kind::OlderCopyStays:
        return "QX_ID_296";
    case Shortfall::Kind::LeftOut:
        return "QX_ID_297";
    case Shortfall::Kind::Kept:
        break;
    }
    return "QX_ID_292";
}

struct Line
{
    Shortfall::Kind kind;
    QString reason;
    QStringList names;
};

} // namespace

QStringList shortfallLines(const Shortfalls &shortfalls)
{
    std::vector<Line> lines;
    for (const Shortfall &shortfall : shortfalls) {
        auto line = std::find_if(lines.begin(), lines.end(),
            [&](const Line &l) { return l.kind == shortfall.kind && l.reason == shortfall.reason; });
        if (line == lines.end())
            line = lines.insert(lines.end(), { shortfall.kind, shortfall.reason, {} });
        const QString name = nameOf(shortfall);
        if (!line->names.contains(name))
            line->names << name;
    }
    QStringList texts;
    // The texts around the names are English.
    const QLocale locale(QLocale::English);
    for (const Line &line : lines)
        texts << localizedString(patternKey(line.kind))
                     .arg(locale.createSeparatedList(line.names), line.reason);
    return texts;
}
