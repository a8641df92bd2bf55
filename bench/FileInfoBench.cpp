// SPDX-License-Identifier: GPL-3.0-or-later
// Times making the file records of a folder of photographs, until every
// record's details and metadata have arrived, against reading the same
// files with cat, exiv2 -pa (one process, and four side by side, each over
// a quarter of the files) and exiftool -fast2 -j, all with a warm cache.
// Also reports the memory each loaded record keeps.
//
//   calvorn_bench_fileinfo <folder> [--calvorn-only | --without-exiftool]
//   (make the folder with calvorn_make_corpus)

#include "BenchSupport.h"

#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "platform/Exiv2Setup.h"
#include "platform/GlobalQueue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <malloc.h>

#include <cstdio>

namespace {

struct Load
{
    double seconds = 0;
    std::vector<std::shared_ptr<FileInfo>> records;
};

Load loadRecords(const QStringList &files)
{
    Load load;
    load.records.reserve(size_t(files.size()));
    QElapsedTimer timer;
    timer.start();
    // The scanner makes records from its own workers; so does this.
    std::vector<std::shared_ptr<FileInfo>> made(size_t(files.size()));
    {
        platform::WorkQueue makers(8);
        for (qsizetype i = 0; i < files.size(); ++i)
            makers.run(
                [&made, &files, i] { made[size_t(i)] = FileInfo::create(QUrl::fromLocalFile(files.at(i))); });
        makers.waitForDone();
    }
    load.records = std::move(made);
    // A record's metadata, once there, stays: each is looked at until it
    // has arrived, and then never again.
    for (size_t waiting = 0; waiting < load.records.size();) {
        if (load.records[waiting]->metadata)
            ++waiting;
        else
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    load.seconds = double(timer.nsecsElapsed()) / 1e9;
    return load;
}

} // namespace

int main(int argc, char **argv)
{
    bench::prepareProcess();
    QGuiApplication app(argc, argv);
    if (app.arguments().size() < 2) {
        std::fprintf(stderr, "usage: %s <folder of photographs>\n", argv[0]);
        return 2;
    }
    const QDir folder(app.arguments().at(1));
    QStringList files;
    for (const QString &name : folder.entryList({ QStringLiteral("*.jpg") }, QDir::Files, QDir::Name))
        files << folder.absoluteFilePath(name);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no photographs in %s\n", qPrintable(folder.path()));
        return 1;
    }
    initializeExiv2();
    bench::silenceConsole();

    // --calvorn-only leaves the peers out (for profiling).
    const bool peers = !app.arguments().contains(QStringLiteral("--calvorn-only"));
    // Warm the cache and everything that loads once (plugins, Exiv2, and
    // the date formatters each details worker keeps): enough files that
    // every worker reads some, so no fixed cost is counted per file.
    if (peers)
        bench::timeProgram(QStringLiteral("cat"), {}, files);
    loadRecords(files.mid(0, 64));
    malloc_trim(0);
    const qint64 baseline = bench::statusKilobytes("VmRSS");

    Load load = loadRecords(files);
    const qint64 peak = bench::statusKilobytes("VmHWM");
    malloc_trim(0);
    const qint64 kept = bench::statusKilobytes("VmRSS");
    // How much of that the metadata records hold.
    for (const auto &record : load.records)
        record->metadata.reset();
    malloc_trim(0);
    const qint64 withoutMetadata = bench::statusKilobytes("VmRSS");

    const double cat = peers ? bench::timeProgram(QStringLiteral("cat"), {}, files) : -1;
    const double exiv2
        = peers ? bench::timeProgram(QStringLiteral("exiv2"), { QStringLiteral("-pa") }, files) : -1;
    // Four readers at once, each a process of its own: the parallel reading
    // Calvorn's own workers are held to.
    const double exiv2SideBySide = peers
        ? bench::timeProgramSideBySide(QStringLiteral("exiv2"), { QStringLiteral("-pa") }, files, 4)
        : -1;
    const bool exiftoolToo = peers && !app.arguments().contains(QStringLiteral("--without-exiftool"));
    const double exiftool = exiftoolToo ? bench::timeProgram(QStringLiteral("exiftool"),
                                { QStringLiteral("-fast2"), QStringLiteral("-j") }, files)
                                        : -1;

    const double n = double(files.size());
    std::printf("%lld photographs, %.0f MB, %d threads\n", qlonglong(files.size()),
        bench::totalMegabytes(files), QThread::idealThreadCount());
    std::printf("  %-22s %8.3f s   (%.0f files/s)\n", "Calvorn FileInfo", load.seconds, n / load.seconds);
    bench::printRatio("cat", cat, load.seconds);
    bench::printRatio("exiv2 -pa", exiv2, load.seconds);
    bench::printRatio("4 exiv2 -pa at once", exiv2SideBySide, load.seconds);
    if (exiftoolToo || !peers)
        bench::printRatio("exiftool -fast2 -j", exiftool, load.seconds);
    std::printf(
        "  memory per loaded file: %.2f KB kept (%.2f KB of it the metadata record), %.2f KB at the peak"
        " (thumbnails aside)\n",
        double(kept - baseline) / n, double(kept - withoutMetadata) / n, double(peak - baseline) / n);
    return 0;
}
