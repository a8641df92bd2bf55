// SPDX-License-Identifier: GPL-3.0-or-later
// Times a scan of a folder tree of photographs, from the scan request until
// every record's metadata has arrived, against cat and exiv2 -pa over the
// same files in the same run, all with a warm cache.
//
//   calvorn_bench_scan <folder> [count = 10000] [kilobytes = 200]
//
// The tree is made under <folder>/tree on the first run (100 folders of 10
// folders of 10 photographs for the default count) with calvorn_make_corpus,
// and reused afterwards.

#include "BenchSupport.h"

#include "browser/Scanner.h"
#include "engine/FileInfo.h"
#include "platform/Console.h"
#include "platform/Exiv2Setup.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

QStringList photosBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, { QStringLiteral("*.jpg") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// Makes count photographs with the corpus generator and spreads them over
// nested folders.
bool makeTree(const QString &tree, int count, int kilobytes)
{
    const QString flat = tree + QStringLiteral(".flat");
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedChannels);
    generator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/calvorn_make_corpus"),
        { flat, QString::number(count), QString::number(kilobytes) });
    if (!generator.waitForFinished(-1) || generator.exitCode() != 0)
        return false;
    const QStringList made = photosBelow(flat);
    for (qsizetype i = 0; i < made.size(); ++i) {
        const QString folder
            = QStringLiteral("%1/d%2/e%3").arg(tree).arg(i / 100, 3, 10, QLatin1Char('0')).arg(i / 10 % 10);
        QDir().mkpath(folder);
        if (!QFile::rename(made.at(i), folder + QLatin1Char('/') + QFileInfo(made.at(i)).fileName()))
            return false;
    }
    QDir(flat).removeRecursively();
    return true;
}

struct Timing
{
    double walk = 0;
    double total = 0;
    qsizetype records = 0;
};

// The request as the main screen makes it, the walk on a worker, and this
// thread taking the records' details as they arrive.
Timing timeScan(const QString &folder)
{
    ViewControllerCellViewModel entry;
    entry.path = folder;
    QElapsedTimer timer;
    timer.start();
    Scanner::Result result;
    std::atomic<bool> done { false };
    std::atomic<qint64> walkNs { 0 };
    std::thread worker([&] {
        result = Scanner::shared().scan({ entry });
        walkNs = timer.nsecsElapsed();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    for (const auto &record : std::as_const(result.records))
        while (!record->metadata)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return { double(walkNs) / 1e9, double(timer.nsecsElapsed()) / 1e9, result.records.size() };
}

} // namespace

int main(int argc, char **argv)
{
    bench::prepareProcess();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: %s <folder> [count = 10000] [kilobytes = 200]\n", argv[0]);
        return 2;
    }
    const int count = args.size() > 2 ? args.at(2).toInt() : 10000;
    const int kilobytes = args.size() > 3 ? args.at(3).toInt() : 200;
    const QString tree = QDir(args.at(1)).absoluteFilePath(QStringLiteral("tree"));
    QStringList files = photosBelow(tree);
    if (files.size() != count) {
        QDir(tree).removeRecursively();
        if (!makeTree(tree, count, kilobytes)) {
            std::fprintf(stderr, "could not make the photographs under %s\n", qPrintable(tree));
            return 1;
        }
        files = photosBelow(tree);
    }
    initializeExiv2();
    bench::silenceConsole();

    // Warm the cache, the image plugins and Exiv2.
    bench::timeProgram(QStringLiteral("cat"), {}, files);
    timeScan(QFileInfo(files.first()).path());

    const Timing scan = timeScan(tree);
    const double cat = bench::timeProgram(QStringLiteral("cat"), {}, files);
    const double exiv2 = bench::timeProgram(QStringLiteral("exiv2"), { QStringLiteral("-pa") }, files);

    std::printf("%lld photographs in %lld folders, %.0f MB, %d threads\n", qlonglong(files.size()),
        qlonglong(files.size() / 10 + files.size() / 100), bench::totalMegabytes(files),
        QThread::idealThreadCount());
    std::printf("  %-22s %8.3f s   (walk %.3f s, %lld records, %.0f files/s)\n", "Calvorn scan", scan.total,
        scan.walk, qlonglong(scan.records), double(files.size()) / scan.total);
    bench::printRatio("cat", cat, scan.total);
    bench::printRatio("exiv2 -pa", exiv2, scan.total);
    return scan.records == files.size() ? 0 : 1;
}
