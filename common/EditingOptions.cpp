// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EditingOptions.h"

QString rawValue(EditingOptions option)
{
    switch (option) {
    case EditingOptions::onlyModify:
        return QStringLiteral("Modify only the values I edit and keep others intact");
    case EditingOptions::emptyOthers:
        return QStringLiteral("Modify values I edit and keep others empty");
    case EditingOptions::cleanMetadata:
        return QStringLiteral("Clear Metadata info");
    }
    return QString();
}

std::optional<EditingOptions> editingOptionFromRaw(const QString &text)
{
    for (EditingOptions option : allEditingOptions())
        if (rawValue(option) == text)
            return option;
    return std::nullopt;
}

const QList<EditingOptions> &allEditingOptions()
{
    static const QList<EditingOptions> options { EditingOptions::onlyModify, EditingOptions::emptyOthers,
        EditingOptions::cleanMetadata };
    return options;
}
