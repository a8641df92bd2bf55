// SPDX-License-Identifier: GPL-3.0-or-later
// Calvorn's real run with work started in it and a quit in its middle. The
// first argument is a folder of photos, the second the moment to quit:
// "scan" while the scan's records load their metadata, "grid" as soon as the
// grid has its photos (thumbnails in the making), "batch" while a batch
// writes into them in place. Prints "quitting" when the moment came.

#include "app/CalvornMain.h"
#include "batch/BatchFlags.h"
#include "batch/ProgressViewController.h"
#include "browser/DashboardViewController.h"
#include "browser/HomeViewController.h"
#include "browser/Scanner.h"
#include "common/Globals.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "platform/MainQueue.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

// The batch quits before its file at this index: that file is finished,
// no later one is started.
constexpr qint64 QuitBeforeFile = 3;

void quit()
{
    std::printf("quitting\n");
    std::fflush(stdout);
    QCoreApplication::quit();
}

// Runs then() on the GUI thread once the grid shows photos.
void whenGridIsFilled(std::function<void()> then)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, then] {
        if (displayedFiles().isEmpty())
            return;
        poll->deleteLater();
        then();
    });
    poll->start(5);
}

void startBatch()
{
    Metadata edited;
    edited.setArtist(QStringLiteral("Quit"));
    edited.setArtistEdited(true);
    ProgressViewController *sheet = ProgressViewController::shared();
    sheet->setBeforeFileHook([](qint64 index) {
        if (index != QuitBeforeFile)
            return;
        platform::MainQueue::post(quit);
        while (!BatchFlags::shared().isProcessStopped())
            QThread::msleep(1);
    });
    sheet->present(HomeViewController::shared());
    sheet->startProcess(EditingOptions::onlyModify, edited, FileInfo(), {}, std::nullopt, true);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString moment = QString::fromLatin1(argv[2]);
    int count = 1;
    return runCalvorn(count, argv, [folder, moment] {
        if (moment == QLatin1String("scan")) {
            Scanner::setStepObserver([](qint64 processed) {
                if (processed == 5)
                    platform::MainQueue::post(quit);
            });
        } else {
            whenGridIsFilled(moment == QLatin1String("grid") ? std::function<void()>(quit) : startBatch);
        }
        platform::ScreenRegistry::instance().sharedInstance<DashboardViewController>()->startScan(
            { QUrl::fromLocalFile(folder) });
    });
}
