// SPDX-License-Identifier: GPL-3.0-or-later
// The processor time and peak memory of a read, a write and a clean of each
// of the costly shapes the tests make (tests/support/CostlyShapes): files
// that repeat one structure thousands of times or name the same bytes from
// many places. Each operation runs in a process of its own, on a fresh copy,
// so that its peak is its own.
//
//   calvorn_bench_shapes                     every shape, read, write and clean
//   calvorn_bench_shapes <file> <operation>  one operation (read, write, clean, strip, thumbnail) on that
//   file, in place calvorn_bench_shapes --make <folder>     the shapes, to try by hand
//
// Run it on one processor as the rules ask: taskset -c 0 calvorn_bench_shapes

#include "BenchSupport.h"
#include "engine/FileProperties.h"
#include "engine/MetadataOperation.h"
#include "engine/check/WholeFileCheck.h"
#include "support/CostlyShapes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace {

double processorSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One operation in this process: prints its processor time, its peak and
// whether it was done (or why not).
int runOne(const QString &path, const QString &operation)
{
    bench::silenceConsole();
    const MetadataOperation bridge(engine::check::refusal);
    const double start = processorSeconds();
    bool done = false;
    if (operation == QLatin1String("read")) {
        done = bridge.getMetadata(path).has_value();
    } else if (operation == QLatin1String("write")) {
        done = bridge.setMetadata(path,
            { { QStringLiteral("Exif.Image.Artist"), QStringLiteral("Grace Hopper") },
                { QStringLiteral("Iptc.Application2.City"), QStringLiteral("Arlington") } },
            false);
    } else if (operation == QLatin1String("clean")) {
        // Everything but the general Exif, which keeps the maker note to
        // carry, and the comments, which hold a note's values: the
        // shapes' orientation, IPTC or XMP.
        done = bridge.clearMetadata(path, false, true, true, false, true, true);
    } else if (operation == QLatin1String("strip")) {
        done = bridge.clearMetadata(path, true, true, true, true, true, true);
    } else if (operation == QLatin1String("thumbnail")) {
        // What the grid shows: a preview the library finds, where it may
        // read the file.
        done = !thumbnail(path, QSize(160, 160)).isNull();
    } else {
        std::fprintf(stderr, "unknown operation %s\n", qPrintable(operation));
        return 2;
    }
    const double seconds = processorSeconds() - start;
    std::printf("%8.3f s %8lld MB  %s\n", seconds, bench::statusKilobytes("VmHWM") / 1024,
        done ? "done" : qPrintable(QStringLiteral("left: ") + MetadataOperation::lastFailure()));
    return 0;
}

bool save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

const std::pair<const char *, std::function<QByteArray()>> shapes[] = {
    { "olympus-chain.jpg", costlyshapes::olympusChain },
    { "note-in-comments.jpg", costlyshapes::noteInComments },
    { "note-naming-one-preview.jpg", costlyshapes::noteNamingOnePreview },
    { "canon-note-one-block.tif", costlyshapes::canonNoteNamingOneBlock },
    { "layered.tif", [] { return costlyshapes::layeredTiff(); } },
    { "split-iptc.jpg", costlyshapes::splitIptc },
    { "webp-chunks.webp", costlyshapes::manyWebpChunks },
};

} // namespace

int main(int argc, char **argv)
{
    bench::prepareProcess();
    QCoreApplication app(argc, argv);
    if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--make")) {
        const QDir folder(QString::fromLocal8Bit(argv[2]));
        for (const auto &[name, make] : shapes) {
            if (!save(folder.filePath(QLatin1String(name)), make()))
                return 1;
        }
        return 0;
    }
    if (argc == 3)
        return runOne(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    std::printf("%-26s %-6s %10s %11s\n", "shape", "", "processor", "peak");
    for (const auto &[name, make] : shapes) {
        const QByteArray bytes = make();
        for (const char *operation : { "read", "write", "clean", "thumbnail" }) {
            const QString path = dir.filePath(QLatin1String(name));
            if (!save(path, bytes))
                return 1;
            QProcess one;
            one.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            one.start(QCoreApplication::applicationFilePath(), { path, QLatin1String(operation) });
            one.waitForFinished(-1);
            std::printf("%-26s %-6s %s", name, operation, one.readAllStandardOutput().constData());
            std::fflush(stdout);
        }
        std::printf("%-26s (%lld KB)\n", "", qint64(bytes.size()) / 1024);
    }
    return 0;
}
