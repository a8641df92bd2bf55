// SPDX-License-Identifier: GPL-3.0-or-later
// The editing form's record of all marked photos on the main screen: what
// one refill costs the GUI thread with 1,000, 10,000 and 30,000 marked
// photos, and what a whole load costs it while every marked photo's values
// arrive from the background at a steady rate (the time spent refilling,
// and the longest the GUI thread could not answer an event).
//
//   calvorn_bench_form_refill [photos per second = 2000]
//
// Records are made without files, with camera-like values, so only the
// screen's own work is timed. Runs headless; build in Release.

#include "BenchSupport.h"
#include "ScreenSettle.h"

#include "browser/HomeViewController.h"
#include "browser/QorCollectionView.h"
#include "common/Globals.h"
#include "editor/MetadataEditorViewController.h"
#include "engine/FileInfo.h"
#include "engine/FileInfoEvents.h"
#include "engine/Metadata.h"
#include "platform/GlobalQueue.h"
#include "platform/MainQueue.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace {

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The processor time the calling thread has used.
double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Values like a folder of one photographer's pictures: the same owner,
// rights and settings throughout, a few cameras, and dates, exposure,
// titles and places that change from photo to photo; the rest absent.
std::shared_ptr<Metadata> valuesOf(int n)
{
    static const char *const cameras[][3] = {
        { "Canon", "Canon EOS R6", "RF24-105mm F4 L IS USM" },
        { "NIKON CORPORATION", "NIKON Z 6_2", "NIKKOR Z 24-70mm f/4 S" },
        { "FUJIFILM", "X-T4", "XF16-80mmF4 R OIS WR" },
    };
    static const char *const places[][3] = {
        { "Lisboa", "Lisboa", "Portugal" },
        { "Porto", "Porto", "Portugal" },
        { "Sevilla", "Andalucía", "España" },
    };
    const auto *camera = cameras[(n / 500) % 3];
    const auto *place = places[(n / 200) % 3];
    const QDateTime taken = QDateTime(QDate(2019, 3, 1), QTime(8, 0), Qt::UTC).addSecs(qint64(n) * 97);
    const QString title = QStringLiteral("Street %1").arg(n);

    auto values = std::make_shared<Metadata>();
    Metadata &m = *values;
    m.setArtist(QStringLiteral("Ana Ferreira"));
    m.setCopyright(QStringLiteral("© 2019 Ana Ferreira"));
    m.setSoftware(QStringLiteral("Firmware 1.4"));
    m.setImageDescription(title);
    m.setUserComment(title);
    m.setOriginalDate(taken);
    m.setCreationDate(taken);
    m.setModifyDate(taken);
    m.setCreateDateXMP(taken);
    m.setModifyDateXMP(taken);
    m.setCreateDatePhotoshopXMP(taken);
    m.setMake(QString::fromUtf8(camera[0]));
    m.setCameraModelName(QString::fromUtf8(camera[1]));
    m.setLensModel(QString::fromUtf8(camera[2]));
    m.setLensXMP(QString::fromUtf8(camera[2]));
    m.setSerialNumber(QString::number(4000000 + (n / 500) % 3));
    m.setSerialNumberXMP(QString::number(4000000 + (n / 500) % 3));
    m.setISO(100 << (n % 6));
    m.setFNumber(2.8 + (n % 8));
    m.setExposureTime(1.0 / (30 << (n % 5)));
    m.setFocalLength(24.0 + n % 80);
    m.setFocalLengthIn35mmFormat(24 + n % 80);
    m.setFlash(n % 2 ? 16 : 9);
    m.setOrientation(n % 7 ? 1 : 6);
    m.setExposureMode(0);
    m.setExposureProgram(n % 5);
    m.setMeteringMode(5);
    m.setSceneCaptureType(0);
    m.setWhiteBalance(0);
    m.setFxResolution(300.0);
    m.setFyResolution(300.0);
    m.setGPSLatitude(38.7 + (n % 1000) / 10000.0);
    m.setGPSLatitudeRef(QStringLiteral("N"));
    m.setGPSLongitude(-9.1 - (n % 1000) / 10000.0);
    m.setGPSLongitudeRef(QStringLiteral("W"));
    m.setGPSAltitude(double(n % 200));
    m.setGPSAltitudeRef(0);
    m.setByLine(QStringLiteral("Ana Ferreira"));
    m.setByLineTitle(QStringLiteral("Photographer"));
    m.setCopyrightNotice(QStringLiteral("© 2019 Ana Ferreira"));
    m.setCredit(QStringLiteral("Ferreira Studio"));
    m.setSource(QStringLiteral("Own work"));
    m.setObjectName(title);
    m.setHeadline(title);
    m.setCaptionAbstract(QStringLiteral("A photograph taken in ") + QString::fromUtf8(place[0]));
    m.setKeywords(QStringLiteral("street, city"));
    m.setCity(QString::fromUtf8(place[0]));
    m.setProvinceState(QString::fromUtf8(place[1]));
    m.setCountryPrimaryLocationName(QString::fromUtf8(place[2]));
    return values;
}

// Records named in an order unlike their load order; values not read yet.
FileInfoList makeRecords(int count)
{
    FileInfoList files;
    files.reserve(count);
    for (int i = 0; i < count; ++i) {
        auto file = std::make_shared<FileInfo>();
        const int n = int((qint64(i) * 7919) % count);
        file->fileName = QStringLiteral("IMG_%1.jpg").arg(n, 6, 10, QLatin1Char('0'));
        file->url = QUrl::fromLocalFile(QStringLiteral("/photos/") + file->fileName);
        file->metadata.reset();
        file->isMark = true;
        files << file;
    }
    return files;
}

// Loads files into the screen and shows them, every one marked.
void showAll(HomeViewController &home, const FileInfoList &files)
{
    allFiles() = files;
    home.reloadGrid();
    bench::settle(home);
}

// How the GUI thread fared while a load ran: a timer that should fire
// every millisecond sees every moment the thread was busy.
struct LoadFigures
{
    double seconds = 0;
    double cpuMs = 0;
    double busyMs = 0;
    double worstBlockMs = 0;
    int refills = 0;
};

// Hands every file its values from a background thread at perSecond, one
// posted event per file as the details job does, in an order unlike the
// displayed one; runs the GUI loop until the last refill is done.
// With firstLast the first displayed photo, whose values the others are
// compared with, comes last.
LoadFigures load(HomeViewController &home, const FileInfoList &files, int perSecond, bool firstLast)
{
    std::vector<int> order(std::size_t(files.size()));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    if (firstLast) {
        const auto first
            = std::find(order.begin(), order.end(), int(files.indexOf(displayedFiles().first())));
        std::rotate(first, first + 1, order.end());
    }
    std::vector<std::shared_ptr<Metadata>> values;
    values.reserve(order.size());
    for (qsizetype i = 0; i < files.size(); ++i)
        values.push_back(valuesOf(int(i)));

    LoadFigures figures;
    QElapsedTimer clock;
    clock.start();
    qint64 lastBeat = clock.nsecsElapsed();
    std::shared_ptr<FileInfo> shownRecord = home.editingForm()->fileInfo();
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const double gapMs = double(now - lastBeat) / 1e6;
        lastBeat = now;
        figures.busyMs += std::max(0.0, gapMs - 1.0);
        figures.worstBlockMs = std::max(figures.worstBlockMs, gapMs);
        // Each refill of several marked files makes a record of its own.
        if (home.editingForm()->fileInfo() != shownRecord) {
            shownRecord = home.editingForm()->fileInfo();
            ++figures.refills;
        }
    });

    std::atomic<bool> posted = false;
    std::thread reader([&] {
        constexpr int SliceMs = 5;
        const auto start = std::chrono::steady_clock::now();
        std::size_t next = 0;
        for (int slice = 1; next < order.size(); ++slice) {
            const std::size_t due
                = std::min(order.size(), std::size_t(qint64(perSecond) * SliceMs * slice / 1000));
            for (; next < due; ++next) {
                const std::shared_ptr<FileInfo> file = files.at(order[next]);
                platform::MainQueue::post([file, metadata = values[std::size_t(order[next])]] {
                    file->metadata = metadata;
                    emit FileInfoEvents::shared().detailsArrived(file);
                });
            }
            std::this_thread::sleep_until(start + std::chrono::milliseconds(SliceMs * slice));
        }
        posted = true;
    });

    QEventLoop loop;
    QTimer done;
    done.setInterval(20);
    // A refill may still be due after the last arrival.
    QElapsedTimer quiet;
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (!posted) {
            quiet.invalidate();
            return;
        }
        if (!quiet.isValid())
            quiet.start();
        if (quiet.elapsed() > 1000)
            loop.quit();
    });
    heartbeat.start();
    done.start();
    const double cpuBefore = threadCpuMs();
    loop.exec();
    figures.cpuMs = threadCpuMs() - cpuBefore;
    reader.join();
    heartbeat.stop();
    // The second of quiet waiting at the end is no part of the load.
    figures.seconds = msSince(clock) / 1000.0 - 1.0;
    return figures;
}

void printLoad(const char *what, const LoadFigures &f)
{
    std::printf("  %-26s %6.2f s, GUI thread %7.1f ms processor, %7.1f ms busy, %3d refills, "
                "longest block %6.1f ms\n",
        what, f.seconds, f.cpuMs, f.busyMs, f.refills, f.worstBlockMs);
}

// The fastest of several runs of action: the least disturbed by the rest of
// the machine.
double fastestMs(int runs, const std::function<void()> &prepare, const std::function<void()> &action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(msSince(timer));
    }
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main(int argc, char **argv)
{
    bench::prepareProcess();
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    platform::ScreenRegistry screens;
    const int perSecond = argc > 1 ? std::max(100, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;

    HomeViewController home;
    home.resize(1400, 900);
    home.show();
    home.editingForm()->loadView();

    std::printf("Editing form of the marked photos: one refill\n");
    for (const int count : { 2, 1000, 10000, 30000 }) {
        const FileInfoList files = makeRecords(count);
        for (qsizetype i = 0; i < files.size(); ++i)
            files[i]->metadata = valuesOf(int(i));
        showAll(home, files);
        const auto nothing = [] {};
        const auto refill = [&] { home.showMarkedFilesInEditingForm(); };
        const double again = fastestMs(9, nothing, refill);
        // One more photo's values came in since the last refill.
        qsizetype arriving = 1;
        const double arrival = fastestMs(
            9,
            [&] {
                arriving = (arriving + 7) % files.size();
                files[arriving]->metadata.reset();
                refill();
                files[arriving]->metadata = valuesOf(int(arriving));
            },
            refill);
        // A check box unmarks a photo in the middle, or marks it again.
        const qsizetype middle = displayedFiles().size() / 2;
        auto markedIs = [&](bool marked) {
            return [&, marked] {
                if (displayedFiles().at(middle)->isMark != marked)
                    home.toggleMark(middle);
            };
        };
        const auto click = [&] { home.toggleMark(middle); };
        const double unmark = fastestMs(9, markedIs(true), click);
        const double mark = fastestMs(9, markedIs(false), click);
        std::printf("  %6d marked: again %6.2f ms, after one arrival %6.2f ms, a check box unmarks %6.2f ms, "
                    "marks %6.2f ms\n",
            count, again, arrival, unmark, mark);
    }

    std::printf("Loads, every photo marked, values arriving at %d photos/s\n", perSecond);
    for (const int count : { 1000, 10000, 30000 }) {
        for (const int run : { 0, 1, 2 }) {
            // None marked shows what the arrivals cost without the form.
            const bool marked = run > 0;
            const bool firstLast = run == 2;
            const FileInfoList files = makeRecords(count);
            for (const auto &file : files)
                file->isMark = marked;
            showAll(home, files);
            const LoadFigures figures = load(home, files, perSecond, firstLast);
            char what[64];
            std::snprintf(what, sizeof what, "%6d photos, %s:", count,
                !marked         ? "none marked"
                    : firstLast ? "all, first last"
                                : "all marked");
            printLoad(what, figures);
        }
    }

    home.hide();
    allFiles().clear();
    displayedFiles().clear();
    return 0;
}
