// SPDX-License-Identifier: GPL-3.0-or-later
// Times the batch as the program runs it (the progress sheet, offscreen)
// over a folder of photographs, beside cp -r, the exiv2 program and
// exiftool doing the same work, in one run, all with a warm cache:
//
//   copies    five tags written into renamed copies in a new folder
//             (cp -r; cp -r and then exiv2 -M; exiftool -o)
//   in place  the same five tags written into the files themselves
//             (exiv2 -M; exiftool -overwrite_original)
//   strip     all metadata removed in place (exiv2 rm; exiftool -all=)
//
// Each in-place run works on a fresh copy of the folder, made before the
// clock starts; written data is flushed to disk between runs. The peak
// memory is the process's peak resident size during each batch.
//
//   calvorn_bench_batch <folder> [--rounds n] [--settle seconds] [--calvorn-only]
//
// (make the folder with calvorn_make_corpus; the work folders go beside it)

#include "BenchSupport.h"

#include "batch/BatchFlags.h"
#include "batch/BatchScreens.h"
#include "batch/ProgressViewController.h"
#include "common/Globals.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "platform/Exiv2Setup.h"
#include "platform/GlobalQueue.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString Artist = QStringLiteral("Ada Lovelace");
const QString Copyright = QStringLiteral("2024 Ada Lovelace");
const QString Description = QStringLiteral("Harbour at dusk");
const QDateTime Original(QDate(2024, 5, 6), QTime(7, 8, 9));
const QString Keyword = QStringLiteral("benchmark");

// The peak resident size starts again from the current one.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// The five edited values, as the form hands them to the batch.
Metadata fiveTags()
{
    Metadata edited;
    edited.setArtist(Artist);
    edited.setArtistEdited(true);
    edited.setCopyright(Copyright);
    edited.setCopyrightEdited(true);
    edited.setImageDescription(Description);
    edited.setImageDescriptionEdited(true);
    edited.setKeywords(Keyword);
    edited.setKeywordsEdited(true);
    auto rule = std::make_shared<DateTime>();
    rule->isSelectDate = true;
    rule->selectDate = Original;
    edited.setDateTimeOriginalDate(rule);
    edited.setOriginalDateEdited(true);
    return edited;
}

QStringList exiv2FiveTags()
{
    return { QStringLiteral("-M") + QStringLiteral("set Exif.Image.Artist ") + Artist,
        QStringLiteral("-M") + QStringLiteral("set Exif.Image.Copyright ") + Copyright,
        QStringLiteral("-M") + QStringLiteral("set Exif.Image.ImageDescription ") + Description,
        QStringLiteral("-M") + QStringLiteral("set Exif.Photo.DateTimeOriginal ")
            + Original.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")),
        QStringLiteral("-M") + QStringLiteral("set Iptc.Application2.Keywords ") + Keyword,
        QStringLiteral("mo") };
}

QStringList exiftoolFiveTags()
{
    return { QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("-Artist=") + Artist,
        QStringLiteral("-Copyright=") + Copyright, QStringLiteral("-ImageDescription=") + Description,
        QStringLiteral("-DateTimeOriginal=") + Original.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss")),
        QStringLiteral("-IPTC:Keywords=") + Keyword };
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit;
}

QStringList filesIn(const QString &folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({ QStringLiteral("*.jpg") }, QDir::Files, QDir::Name))
        files << dir.absoluteFilePath(name);
    return files;
}

// The loaded, marked records of files, each with its metadata read, as a
// scan leaves them in the displayed list.
void display(const QStringList &files)
{
    displayedFiles().clear();
    allFiles().clear();
    std::vector<std::shared_ptr<FileInfo>> records(size_t(files.size()));
    {
        platform::WorkQueue readers(QThread::idealThreadCount());
        for (qsizetype i = 0; i < files.size(); ++i)
            readers.run([&records, &files, i] {
                auto record = std::make_shared<FileInfo>();
                record->url = QUrl::fromLocalFile(files.at(i));
                record->isMark = true;
                record->metadata = std::make_shared<Metadata>(Metadata::fromFile(files.at(i)));
                records[size_t(i)] = std::move(record);
            });
        readers.waitForDone();
    }
    for (auto &record : records) {
        allFiles().append(record);
        displayedFiles().append(record);
    }
}

struct BatchTime
{
    double seconds = -1;
    qint64 baseKilobytes = 0;
    qint64 peakKilobytes = 0;
    qint64 edited = 0;
};

// One batch through the progress sheet, from the start to its stored result.
BatchTime runBatch(EditingOptions option, const std::optional<QUrl> &destination)
{
    ProgressViewController *sheet = ProgressViewController::shared();
    CleanMetadata clean;
    if (option == EditingOptions::cleanMetadata)
        clean = CleanMetadata { true, true, true, true, true, true };
    ::sync();
    const qint64 base = bench::statusKilobytes("VmRSS");
    resetPeakMemory();
    QEventLoop loop;
    QObject::connect(sheet, &ProgressViewController::processFinished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    sheet->startProcess(option, fiveTags(), FileInfo(), clean, destination, !destination);
    loop.exec();
    BatchTime time;
    time.seconds = double(timer.nsecsElapsed()) / 1e9;
    time.baseKilobytes = base;
    time.peakKilobytes = bench::statusKilobytes("VmHWM");
    time.edited = sheet->totalEditedPhotos();
    return time;
}

double timed(const QString &program, const QStringList &arguments)
{
    ::sync();
    QElapsedTimer timer;
    timer.start();
    if (!run(program, arguments))
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

double median(std::vector<double> values)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }), values.end());
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Work
{
    explicit Work(const char *title)
        : name(title)
    { }

    const char *name;
    std::vector<double> calvorn, cp, exiv2, exiftool;
    qint64 baseKilobytes = 0;
    qint64 peakKilobytes = 0;
};

void printWork(const Work &work, double files)
{
    const double calvorn = median(work.calvorn);
    std::printf("%-9s Calvorn %8.3f s  (%.3f ms a file; peak %.1f MB, %.1f MB before the batch)\n", work.name,
        calvorn, 1000 * calvorn / files, double(work.peakKilobytes) / 1024,
        double(work.baseKilobytes) / 1024);
    if (!work.cp.empty())
        bench::printRatio("cp -r", median(work.cp), calvorn);
    bench::printRatio("exiv2", median(work.exiv2), calvorn);
    bench::printRatio("exiftool", median(work.exiftool), calvorn);
}

} // namespace

int main(int argc, char **argv)
{
    bench::prepareProcess();
    // Settings of the benchmark's own: the stored rename rule and the
    // file-date setting at their defaults, the user's left alone.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr,
            "usage: %s <folder of photographs> [--rounds n] [--settle seconds] [--calvorn-only]\n", argv[0]);
        return 2;
    }
    const QString corpus = QDir(args.at(1)).absolutePath();
    const QStringList files = filesIn(corpus);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no photographs in %s\n", qPrintable(corpus));
        return 1;
    }
    const qsizetype roundsAt = args.indexOf(QStringLiteral("--rounds"));
    const int rounds
        = roundsAt > 0 && roundsAt + 1 < args.size() ? std::max(1, args.at(roundsAt + 1).toInt()) : 1;
    const bool peers = !args.contains(QStringLiteral("--calvorn-only"));
    // Seconds to wait after each preparation: file systems without a journal
    // skip the inodes freed in the last seconds when they make new files, so
    // the folder removed just before would slow the timed run down.
    const qsizetype settleAt = args.indexOf(QStringLiteral("--settle"));
    const int settle = settleAt > 0 && settleAt + 1 < args.size() ? args.at(settleAt + 1).toInt() : 0;
    initializeExiv2();
    bench::silenceConsole();
    platform::ScreenRegistry screens;
    registerBatchScreens(screens);

    const QString work = corpus + QStringLiteral(".batch-bench");
    QDir(work).removeRecursively();
    const QString copies = work + QStringLiteral("/copies");
    const QString inPlace = work + QStringLiteral("/in-place");
    // A fresh folder for a run; the copy of the corpus for in-place work.
    const auto fresh = [&](const QString &folder, bool withCorpus) {
        QDir(folder).removeRecursively();
        if (withCorpus)
            run(QStringLiteral("cp"), { QStringLiteral("-r"), corpus, folder });
        else
            QDir().mkpath(folder);
        ::sync();
        QThread::sleep(settle);
    };

    // A warm cache, and everything that loads once loaded.
    bench::timeProgram(QStringLiteral("cat"), {}, files);
    display(files.mid(0, 8));
    fresh(copies, false);
    runBatch(EditingOptions::onlyModify, QUrl::fromLocalFile(copies));

    Work copying("copies"), writing("in place"), stripping("strip");
    const auto peak = [](Work &w, const BatchTime &t) {
        if (t.peakKilobytes > w.peakKilobytes) {
            w.peakKilobytes = t.peakKilobytes;
            w.baseKilobytes = t.baseKilobytes;
        }
    };
    qint64 edited = 0;
    for (int round = 0; round < rounds; ++round) {
        // Copies.
        display(files);
        fresh(copies, false);
        BatchTime t = runBatch(EditingOptions::onlyModify, QUrl::fromLocalFile(copies));
        copying.calvorn.push_back(t.seconds);
        peak(copying, t);
        edited += t.edited;
        if (peers) {
            QDir(copies).removeRecursively();
            ::sync();
            QThread::sleep(settle);
            copying.cp.push_back(timed(QStringLiteral("cp"), { QStringLiteral("-r"), corpus, copies }));
            QDir(copies).removeRecursively();
            ::sync();
            QThread::sleep(settle);
            QElapsedTimer both;
            both.start();
            const bool copied = run(QStringLiteral("cp"), { QStringLiteral("-r"), corpus, copies });
            const double exiv2 = timed(QStringLiteral("exiv2"), exiv2FiveTags() + filesIn(copies));
            copying.exiv2.push_back(copied && exiv2 >= 0 ? double(both.nsecsElapsed()) / 1e9 : -1);
            fresh(copies, false);
            copying.exiftool.push_back(timed(QStringLiteral("exiftool"),
                exiftoolFiveTags() + QStringList { QStringLiteral("-o"), copies + '/' } + files));
        }

        // In place.
        fresh(inPlace, true);
        display(filesIn(inPlace));
        t = runBatch(EditingOptions::onlyModify, std::nullopt);
        writing.calvorn.push_back(t.seconds);
        peak(writing, t);
        edited += t.edited;
        if (peers) {
            fresh(inPlace, true);
            writing.exiv2.push_back(timed(QStringLiteral("exiv2"), exiv2FiveTags() + filesIn(inPlace)));
            fresh(inPlace, true);
            writing.exiftool.push_back(timed(QStringLiteral("exiftool"),
                exiftoolFiveTags() + QStringList { QStringLiteral("-overwrite_original") }
                    + filesIn(inPlace)));
        }

        // Strip.
        fresh(inPlace, true);
        display(filesIn(inPlace));
        t = runBatch(EditingOptions::cleanMetadata, std::nullopt);
        stripping.calvorn.push_back(t.seconds);
        peak(stripping, t);
        edited += t.edited;
        if (peers) {
            fresh(inPlace, true);
            stripping.exiv2.push_back(
                timed(QStringLiteral("exiv2"), QStringList { QStringLiteral("rm") } + filesIn(inPlace)));
            fresh(inPlace, true);
            stripping.exiftool.push_back(timed(QStringLiteral("exiftool"),
                QStringList { QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("-all="),
                    QStringLiteral("-overwrite_original") }
                    + filesIn(inPlace)));
        }
    }
    displayedFiles().clear();
    allFiles().clear();
    QDir(work).removeRecursively();

    const double n = double(files.size());
    std::printf("%lld photographs, %.0f MB, %d rounds, %d threads, load average at the end %s\n",
        qlonglong(files.size()), bench::totalMegabytes(files), rounds, QThread::idealThreadCount(),
        qPrintable(QString::fromLatin1([] {
            QFile load(QStringLiteral("/proc/loadavg"));
            return load.open(QIODevice::ReadOnly) ? load.readAll().trimmed() : QByteArray();
        }())));
    if (edited != qint64(3 * rounds * files.size()))
        std::printf("  only %lld of %lld files were edited\n", qlonglong(edited),
            qlonglong(3 * rounds * files.size()));
    printWork(copying, n);
    printWork(writing, n);
    printWork(stripping, n);
    if (peers) {
        const double cp = median(copying.cp), exiv2InPlace = median(writing.exiv2),
                     exiv2Strip = median(stripping.exiv2);
        std::printf("goals: copies / cp -r %.2f (at most 1.3); exiv2 / in place %.2f, exiv2 / strip %.2f (at "
                    "least 2);"
                    " peak %.1f MB (under 100)\n",
            median(copying.calvorn) / cp, exiv2InPlace / median(writing.calvorn),
            exiv2Strip / median(stripping.calvorn),
            double(std::max({ copying.peakKilobytes, writing.peakKilobytes, stripping.peakKilobytes }))
                / 1024);
    }
    platform::GlobalQueue::waitForDone();
    return 0;
}
