// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ExportMetadata.h"

#include "engine/DateTexts.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "platform/Console.h"
#include "platform/FileOps.h"
#include "platform/GlobalQueue.h"
#include "platform/MainQueue.h"

#include <QDateTime>

namespace {

const QString PathKey = QStringLiteral("path");
// No blank after the comma: a spreadsheet keeps it as part of the next
// field, so every empty value would become a cell holding a blank.
const QString Separator = QStringLiteral(",");

// The column titles of the 75 values, in field order.
const std::array<const char *, metadataFieldCount> Titles { "Artist", "Image Description", "Copyright",
    "Software", "User Comment", "DateTime Original", "DateTime Digitized", "DateTime", "Make", "Model",
    "Camera Owner Name", "Body Serial Number", "ISO Speed Ratings", "F Number", "Focal Length",
    "Focal Length In 35mm Film", "Flash", "Orientation", "Exposure Mode", "Exposure Program", "Exposure Time",
    "Metering Mode", "Scene Capture Type", "White Balance", "Saturation", "Sensing Method", "Sharpness",
    "Subject Distance Range", "Lens Make", "Lens Model", "Lens Serial Number", "Latitude", "LatitudeRef",
    "Longitude", "LongitudeRef", "Altitude", "AltitudeRef", "Byline", "Byline Title", "Copyright Notice",
    "Headline", "Caption", "Writer", "Object Name", "Category", "Supplemental Category", "Keywords",
    "Sub Location", "City", "Province State", "Country Name", "Country Code", "Transmission Reference",
    "Special Instructions", "Credit", "Source", "Serial Number", "Lens", "Create Date XMP", "Modify Date XMP",
    "Photoshop Date Created", "Compression", "Document Name", "XResolution", "YResolution", "Host Computer",
    "Primary Chromaticities", "Spectral Sensitivity", "Sensitivity Type", "Standard Output Sensitivity",
    "Compressed Bits Per Pixel", "Max Aperture Value", "Color Space", "Light Source", "Digital Zoom Ratio" };

const QList<QString> &titles()
{
    static const QList<QString> list = [] {
        QList<QString> l;
        for (const char *title : Titles)
            l << QString::fromLatin1(title);
        return l;
    }();
    return list;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

struct Snapshot
{
    QUrl url;
    Metadata metadata;
};

} // namespace

QString exportFileName(const QString &extension)
{
    const double seconds = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    return QStringLiteral("MetadataEditor_") + QString::number(seconds, 'f', 1) + QLatin1Char('.')
        + extension;
}

ExportMetadata::ExportMetadata()
{
    m_export.fill(true);
}

ExportMetadata &ExportMetadata::shared()
{
    static ExportMetadata instance;
    return instance;
}

QString ExportMetadata::columnTitle(int index)
{
    return index >= 0 && index < metadataFieldCount ? titles().at(index) : QString();
}

QString ExportMetadata::header()
{
    return QStringLiteral("File Path") + Separator + titles().join(Separator) + QStringLiteral("\n\n");
}

QString ExportMetadata::fieldText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        // General notation, at most 16 significant digits: 50 for 50.0.
        return QString::number(value.toDouble(), 'g', 16);
    default:
        return csvField(value.toString());
    }
}

ExportMetadata::Row ExportMetadata::row(const Metadata &metadata, const QUrl &url) const
{
    Row row;
    row.insert(PathKey, url.toLocalFile());
    for (int n = 0; n < metadataFieldCount; ++n) {
        const MetadataField field = metadataField(n);
        QVariant value = QString();
        if (isExport(field)) {
            const Metadata::Value &v = metadata.value(field);
            if (const auto *text = std::get_if<QString>(&v))
                value = *text;
            else if (const auto *whole = std::get_if<qint64>(&v))
                value = *whole;
            else if (const auto *real = std::get_if<double>(&v))
                value = *real;
            else if (const auto *date = std::get_if<QDateTime>(&v))
                value = displayText(*date);
        }
        row.insert(titles().at(n), value);
    }
    return row;
}

std::optional<QString> ExportMetadata::writeCSV(const QList<Row> &rows, const QString &folder, QString *error)
{
    QString text = header();
    for (const Row &row : rows) {
        text += fieldText(row.value(PathKey));
        for (const QString &title : titles())
            text += Separator + fieldText(row.value(title));
        text += QLatin1Char('\n');
    }
    const QByteArray bytes = text.toUtf8();

    const QString name = exportFileName(QStringLiteral("csv"));
    const QString stem = name.chopped(4);
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const QString candidate = attempt == 1 ? name : stem + QStringLiteral(" (%1).csv").arg(attempt);
        const QString path = folder + QLatin1Char('/') + candidate;
        const auto result = platform::FileOps::writeNewFile(path, bytes);
        if (result.ok()) {
            platform::Console::out(QStringLiteral("Metadata Exported: ")
                + QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
            return path;
        }
        if (result.code != platform::FileOps::Result::Code::Exists) {
            if (error)
                *error = result.message;
            break;
        }
    }
    platform::Console::out(QStringLiteral("error creating file"));
    return std::nullopt;
}

void ExportMetadata::exportFiles(const QList<std::shared_ptr<FileInfo>> &files, const QString &folder,
    std::function<void(const Outcome &)> done)
{
    // Records and their metadata belong to the GUI thread: copy what the
    // export needs before leaving it.
    auto snapshots = std::make_shared<std::vector<Snapshot>>();
    for (const auto &file : files) {
        if (file && file->url && file->metadata)
            snapshots->push_back({ *file->url, *file->metadata });
    }
    // Its time grows with the files: not on the pool the GUI paints with.
    platform::GlobalQueue::runLong([snapshots, folder, done = std::move(done)] {
        Outcome outcome;
        if (!snapshots->empty()) {
            QList<Row> rows;
            rows.reserve(qsizetype(snapshots->size()));
            for (const Snapshot &s : *snapshots)
                rows << shared().row(s.metadata, s.url);
            outcome.path = writeCSV(rows, folder, &outcome.error);
            outcome.rows = rows.size();
        }
        if (done)
            platform::MainQueue::post([done, outcome] { done(outcome); });
    });
}
