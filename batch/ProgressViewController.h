// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/BatchRun.h"
#include "batch/CleanMetadata.h"
#include "common/EditingOptions.h"
#include "platform/Timer.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <future>
#include <optional>

class FileInfo;
class Metadata;
class QLabel;
class QProgressBar;
class QPushButton;

namespace platform {
class Alert;
}

// The sheet that runs one batch over the marked files of the displayed
// list on a background job: copies under new names (or in place), writes
// the edited values or clears the chosen groups, sets the files' dates,
// shows the progress and lets the user stop. At the end it stores the
// batch's Result, closes itself and a second later shows the result page.
//
// The job works from a snapshot taken when the batch starts; it hands
// every display change back to the GUI thread without waiting for it.
class ProgressViewController : public QWidget
{
    Q_OBJECT
public:
    // The sheet's size over the main window.
    static constexpr QSize SheetSize { 550, 300 };
    // How long after its end a batch shows the result page.
    static constexpr int ShowResultDelayMs = 1000;

    explicit ProgressViewController(QWidget *parent = nullptr);
    // Stops a running batch and waits until the file in work is finished,
    // so that quitting never leaves a file half written.
    ~ProgressViewController() override;

    // The one sheet, made on first use.
    static ProgressViewController *shared();

    // Shows the sheet over host's window.
    void present(QWidget *host);

    // Starts a batch and returns at once; does nothing while one runs.
    // editingOption: write the edited values keeping the files' others,
    // write them alone, or clear the cleanOptions groups. metadata: the
    // edited values; fileInfo: the editing form's record, which the batch
    // does not need (each copy's name comes from its own file's values).
    // destinationURL: the folder for the copies; with none, or with
    // isKeepSourceFolderPath, the files change in place.
    void startProcess(EditingOptions editingOption, const Metadata &metadata, const FileInfo &fileInfo,
        const CleanMetadata &cleanOptions, const std::optional<QUrl> &destinationURL,
        bool isKeepSourceFolderPath);

    // Asks whether to stop; the batch waits before its next file meanwhile
    // and the elapsed time stands still.
    void clickedStop();
    void dismissProgress();
    // One second more of elapsed time.
    void runTimer();
    // Switches the main window to the result page and shows the result.
    void showResult();

    qint64 processedPhotos() const { return m_processedPhotos; }
    qint64 totalPhotos() const { return m_totalPhotos; }
    double timeElapsedInSeconds() const { return m_timeElapsedInSeconds; }
    qint64 totalEditedPhotos() const { return m_totalEditedPhotos; }
    qint64 totalSkippedPhotos() const { return m_totalSkippedPhotos; }
    bool isTimerRunning() const { return m_timerTimeElapsed.isActive(); }

    // Called on the batch's thread before the work on each file begins;
    // tests act there at a known point of a batch.
    void setBeforeFileHook(std::function<void(qint64 index)> hook) { m_beforeFile = std::move(hook); }
    // How many files a batch works on at once; tests that watch the sheet
    // between files take one at a time.
    void setWorkers(int workers) { m_workers = workers; }

    QPointer<QLabel> lblProgress;
    QPointer<QLabel> lblTotalSelectedPhotos;
    QPointer<QLabel> lblValueTotalSelectedPhotos;
    QPointer<QLabel> lblPhotosProcessed;
    QPointer<QLabel> lblValuePhotosProcessed;
    QPointer<QLabel> imgView;
    QPointer<QProgressBar> progressIndicator;
    QPointer<QLabel> lblApplyingMetadataChangesOn;
    QPointer<QLabel> lblPath;
    QPointer<QLabel> lblProcessCompleted;
    QPointer<QLabel> lblValueProcessCompleted;
    QPointer<QLabel> lblTimeElapsed;
    QPointer<QLabel> lblValueTimeElapsed;
    QPointer<QPushButton> btnStop;

signals:
    // The batch has ended and its Result is stored.
    void processFinished();

private:
    void setUpTexts();
    void prepareProgressDisplay(qint64 total);
    void showCurrentFile(qint64 index, const QString &path);
    void showThumbnail(qint64 index, const QImage &thumbnail);
    void updateProgress(double percent);
    void finishProcess(
        const BatchCounts &counts, const std::optional<QUrl> &destinationURL, bool isKeepSourceFolderPath);
    void restartTimer();

    QPointer<QWidget> m_host;
    platform::Timer m_timerTimeElapsed;
    QPointer<platform::Alert> m_stopQuestion;
    std::function<void(qint64)> m_beforeFile;
    int m_workers = BatchRun::DefaultWorkers;
    // The file whose thumbnail the sheet shows; a later one's never gives
    // way to an earlier one's.
    qint64 m_thumbnailIndex = -1;
    std::future<void> m_jobDone;
    qint64 m_processedPhotos = 0;
    qint64 m_totalPhotos = 0;
    double m_timeElapsedInSeconds = 0;
    qint64 m_totalEditedPhotos = 0;
    qint64 m_totalSkippedPhotos = 0;
};
