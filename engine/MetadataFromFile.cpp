// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Metadata.h"

#include "engine/MetadataOperation.h"

std::optional<QDateTime> Metadata::dateFrom(const QString &text)
{
    if (const std::optional<FileDate> date = readFileDate(text))
        return date->date;
    return std::nullopt;
}

const MetadataOperation &sharedMetadataOperation()
{
    static const MetadataOperation operation;
    return operation;
}

Metadata Metadata::fromFile(const QString &path)
{
    return fromReading(sharedMetadataOperation().getMetadata(path));
}

Metadata Metadata::fromReading(const std::optional<QVariantMap> &reading)
{
    Metadata metadata;
    if (reading)
        metadata.takeValues(*reading, DateEntries::Texts);
    metadata.refreshDateTimes();
    return metadata;
}
