// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/MetadataFields.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class FileInfo;
class Metadata;

// "MetadataEditor_", the seconds since 1970 with one decimal, ".", extension.
QString exportFileName(const QString &extension);

// Writes the metadata of a list of files as one CSV file: a header of 76
// column titles, an empty line, then per file its path and its 75 values
// in field order, fields separated by a comma. A field holding a comma, a
// double quote or a line break is quoted (quotes doubled inside), so a
// spreadsheet program keeps the columns; every other field is written as
// it is. Reports on the console, and to the caller of exportFiles through
// its outcome.
class ExportMetadata
{
public:
    using Row = QVariantMap;

    static ExportMetadata &shared();

    // Whether a value's column is filled; all are, and nothing changes that.
    bool isExport(MetadataField field) const { return m_export[std::size_t(field)]; }

    // What one export did: the new file (absent when none was written), the
    // system's reason when writing failed, and the number of lines.
    struct Outcome
    {
        std::optional<QString> path;
        QString error;
        qsizetype rows = 0;
    };

    // Takes the files that have a URL and loaded metadata (a snapshot, taken
    // now on the calling thread), and writes the file into folder on a
    // background queue; returns at once. done, when given, gets the outcome
    // on the GUI thread.
    static void exportFiles(const QList<std::shared_ptr<FileInfo>> &files, const QString &folder,
        std::function<void(const Outcome &)> done = {});

    // The row of one file: "path" and the 75 titles, each a text, whole
    // number or real (dates as display texts; absent values empty).
    Row row(const Metadata &metadata, const QUrl &url) const;

    // Writes rows into a new file in folder. Complete or absent, and never
    // over an earlier export: a name already taken gets " (2)", " (3)", ...
    // before its extension. Returns the new file's path; on failure the
    // system's reason goes to *error when given.
    static std::optional<QString> writeCSV(
        const QList<Row> &rows, const QString &folder, QString *error = nullptr);

    // The title of a value's column (0 "Artist" .. 74 "Digital Zoom Ratio").
    static QString columnTitle(int index);
    // The header line and the empty line after it.
    static QString header();
    // A field as it stands in the file.
    static QString fieldText(const QVariant &value);

private:
    ExportMetadata();
    std::array<bool, metadataFieldCount> m_export;
};
