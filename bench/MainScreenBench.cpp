// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the main screen with ten thousand photos: the filter and sort
// alone, and from a request to the grid showing its result for a reload, a
// search keystroke, a sort by date, marking everything and removing half.
// Records are made without files, so only the screen's own work is timed.
// Runs headless; build in Release for meaningful numbers.

#include "BenchSupport.h"
#include "ScreenSettle.h"

#include "browser/GridOrder.h"
#include "browser/HomeViewController.h"
#include "browser/QorCollectionView.h"
#include "common/Globals.h"
#include "engine/FileInfo.h"
#include "platform/GlobalQueue.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int PhotoCount = 10000;

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

FileInfoList makeRecords()
{
    FileInfoList files;
    files.reserve(PhotoCount);
    const QDateTime start(QDate(2015, 1, 1), QTime(8, 0), Qt::UTC);
    for (int i = 0; i < PhotoCount; ++i) {
        auto file = std::make_shared<FileInfo>();
        // Names in an order unlike the load order, as after several scans.
        const int n = (i * 7919) % PhotoCount;
        file->fileName = (i % 3 ? QStringLiteral("IMG_%1.jpg") : QStringLiteral("dsc_%1.JPG"))
                             .arg(n, 5, 10, QLatin1Char('0'));
        file->url = QUrl::fromLocalFile(QStringLiteral("/photos/") + file->fileName);
        file->sizeBytes = quint64(1000000 + (n * 37) % 5000000);
        file->size = QStringLiteral("%1 MB").arg(*file->sizeBytes / 1048576);
        file->creationDate = start.addSecs(qint64(n) * 3600);
        file->isMark = true;
        files << file;
    }
    return files;
}

} // namespace

int main(int argc, char **argv)
{
    bench::prepareProcess();
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QTextStream out(stdout);
    platform::ScreenRegistry screens;
    // The removal question is answered "remove" without a window.
    platform::Alert::setResponder([](const platform::Alert &) {
        platform::Alert::Answer answer;
        answer.response = platform::Alert::FirstButton + 1;
        return answer;
    });

    const FileInfoList files = makeRecords();
    out << "Main screen, " << PhotoCount << " photos\n";
    {
        QElapsedTimer timer;
        timer.start();
        const FileInfoList sorted
            = filterAndSort(gridSnapshot(files), QString(), SortMethods::name, SortOrder::ascending);
        out << QStringLiteral("snapshot, filter and sort by name: %1 ms\n").arg(msSince(timer), 0, 'f', 1);
    }

    HomeViewController home;
    home.resize(1400, 900);
    home.show();
    allFiles() = files;
    displayedFiles() = files;

    auto measure = [&](const char *what, const std::function<void()> &action) {
        QElapsedTimer timer;
        timer.start();
        action();
        bench::settle(home);
        out << QStringLiteral("%1 %2 ms\n")
                   .arg(QString::fromLatin1(what), -34)
                   .arg(msSince(timer), 0, 'f', 1);
    };
    measure("first reload, to the grid:", [&] { home.reloadGrid(); });
    measure("reload again:", [&] { home.reloadGrid(); });
    measure("search keystroke \"I\":", [&] { home.searchField->setText(QStringLiteral("I")); });
    measure("search keystrokes \"IMG_0\", newest wins:", [&] {
        for (const char *text : { "IM", "IMG", "IMG_", "IMG_0" })
            home.searchField->setText(QString::fromLatin1(text));
    });
    measure("clear the search:", [&] { home.searchField->clear(); });
    measure("sort by date, descending:", [&] {
        home.sortByDate();
        home.sortWithDescending();
    });
    measure("unmark all:", [&] { home.markOrUnmarkAll(); });
    measure("mark half by hand, then count:", [&] {
        for (int i = 0; i < PhotoCount; i += 2)
            home.toggleMark(i);
    });
    measure("remove the marked half:", [&] { home.removeMarkedItems(); });
    out << QStringLiteral("left: %1 photos shown\n").arg(displayedFiles().size());

    home.hide();
    allFiles().clear();
    displayedFiles().clear();
    platform::Alert::setResponder({});
    return 0;
}
