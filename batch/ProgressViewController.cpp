// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/ProgressViewController.h"

#include "batch/BatchFlags.h"
#include "batch/Result.h"
#include "batch/ResultViewController.h"
#include "common/ContainerPage.h"
#include "common/Localization.h"
#include "engine/ElapsedTime.h"
#include "platform/GlobalQueue.h"
#include "platform/MainQueue.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"
#include "platform/widgets/Window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

ProgressViewController::ProgressViewController(QWidget *parent)
    : QWidget(parent)
    , m_timerTimeElapsed(
          1000, [this] { runTimer(); }, this)
{
    resize(SheetSize);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 20, 24, 20);
    lblProgress = new QLabel(this);
    QFont heading = lblProgress->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    lblProgress->setFont(heading);
    outer->addWidget(lblProgress);

    auto *body = new QHBoxLayout;
    imgView = new QLabel(this);
    imgView->setFixedSize(100, 100);
    imgView->setAlignment(Qt::AlignCenter);
    body->addWidget(imgView, 0, Qt::AlignTop);

    auto *grid = new QGridLayout;
    const auto addRow = [&](QPointer<QLabel> &label, QPointer<QLabel> &value) {
        const int row = grid->rowCount();
        label = new QLabel(this);
        value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(label, row, 0, Qt::AlignRight);
        grid->addWidget(value, row, 1);
    };
    addRow(lblTotalSelectedPhotos, lblValueTotalSelectedPhotos);
    addRow(lblPhotosProcessed, lblValuePhotosProcessed);
    addRow(lblApplyingMetadataChangesOn, lblPath);
    // A long path must not widen the sheet.
    lblPath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addRow(lblProcessCompleted, lblValueProcessCompleted);
    addRow(lblTimeElapsed, lblValueTimeElapsed);
    grid->setColumnStretch(1, 1);
    body->addLayout(grid, 1);
    outer->addLayout(body);

    progressIndicator = new QProgressBar(this);
    progressIndicator->setRange(0, 100);
    progressIndicator->setTextVisible(false);
    outer->addWidget(progressIndicator);

    btnStop = new QPushButton(platform::themeIcon(QStringLiteral("process-stop")), QString(), this);
    outer->addWidget(btnStop, 0, Qt::AlignRight);
    connect(btnStop, &QPushButton::clicked, this, &ProgressViewController::clickedStop);

    setUpTexts();
}

ProgressViewController::~ProgressViewController()
{
    if (!m_jobDone.valid())
        return;
    BatchFlags::shared().setProcessStopped(true);
    BatchFlags::shared().setProcessPaused(false);
    m_jobDone.wait();
    BatchFlags::shared().isProcessRunning = false;
}

ProgressViewController *ProgressViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<ProgressViewController>();
}

void ProgressViewController::setUpTexts()
{
    lblProgress->setText(localizedString("QX_ID_47"));
    lblTotalSelectedPhotos->setText(localizedCaption("QX_ID_48"));
    lblPhotosProcessed->setText(localizedCaption("QX_ID_49"));
    lblApplyingMetadataChangesOn->setText(localizedCaption("QX_ID_50"));
    btnStop->setText(localizedString("QX_ID_51"));
    lblProcessCompleted->setText(localizedCaption("QX_ID_52"));
    lblTimeElapsed->setText(localizedCaption("QX_ID_53"));
}

void ProgressViewController::present(QWidget *host)
{
    m_host = host;
    // The window keeps its size while the sheet stands over it.
    platform::Window::setResizable(host, false);
    resize(SheetSize);
    platform::Presenter::presentAsSheet(host, this);
}

void ProgressViewController::startProcess(EditingOptions editingOption, const Metadata &metadata,
    const FileInfo & /*fileInfo*/, const CleanMetadata &cleanOptions,
    const std::optional<QUrl> &destinationURL, bool isKeepSourceFolderPath)
{
    BatchFlags &flags = BatchFlags::shared();
    if (flags.isProcessRunning)
        return;
    flags.isProcessRunning = true;
    flags.setProcessStopped(false);
    flags.setProcessPaused(false);
    m_processedPhotos = 0;
    m_totalPhotos = 0;
    m_totalEditedPhotos = 0;
    m_totalSkippedPhotos = 0;
    m_timeElapsedInSeconds = 1.0;

    auto run = std::make_shared<BatchRun>(
        BatchRequest::take(editingOption, metadata, cleanOptions, destinationURL, isKeepSourceFolderPath),
        m_workers);
    m_totalPhotos = run->request().files.size();

    BatchEvents events;
    events.started = [this](qint64 total) {
        platform::MainQueue::post(this, [this, total] { prepareProgressDisplay(total); });
    };
    events.fileStarted = [this](qint64 index, const QString &path) {
        platform::MainQueue::post(this, [this, index, path] { showCurrentFile(index, path); });
    };
    events.thumbnailMade = [this](qint64 index, const QImage &thumbnail) {
        platform::MainQueue::post(this, [this, index, thumbnail] { showThumbnail(index, thumbnail); });
    };
    events.progressed = [this](double percent) {
        platform::MainQueue::post(this, [this, percent] { updateProgress(percent); });
    };
    events.beforeFile = m_beforeFile;

    auto done = std::make_shared<std::promise<void>>();
    m_jobDone = done->get_future();
    // The batch's thread waits for its workers, whose thumbnails Qt scales
    // on its global pool: it must not hold a thread of that pool.
    platform::GlobalQueue::runLong([this, run, done, events = std::move(events)] {
        const BatchCounts counts = run->run(BatchFlags::shared(), events);
        const BatchRequest &request = run->request();
        platform::MainQueue::post(this,
            [this, counts, destination = request.destinationURL, inPlace = request.isKeepSourceFolderPath] {
                finishProcess(counts, destination, inPlace);
            });
        done->set_value();
    });
}

void ProgressViewController::prepareProgressDisplay(qint64 total)
{
    lblValueTotalSelectedPhotos->setText(QString::number(total));
    lblValuePhotosProcessed->setText(QString::number(0));
    progressIndicator->setValue(0);
    lblValueProcessCompleted->setText(QStringLiteral("0 %"));
    lblValueTimeElapsed->setText(QStringLiteral("approx"));
    lblPath->clear();
    lblPath->setToolTip(QString());
    imgView->clear();
    m_thumbnailIndex = -1;
    restartTimer();
}

void ProgressViewController::showCurrentFile(qint64 index, const QString &path)
{
    lblValuePhotosProcessed->setText(QString::number(index));
    lblPath->setText(path);
    lblPath->setToolTip(path);
}

void ProgressViewController::showThumbnail(qint64 index, const QImage &thumbnail)
{
    if (index < m_thumbnailIndex)
        return;
    m_thumbnailIndex = index;
    imgView->setPixmap(thumbnail.isNull() ? QPixmap() : QPixmap::fromImage(thumbnail));
}

void ProgressViewController::updateProgress(double percent)
{
    progressIndicator->setValue(int(std::lround(percent)));
    lblValueProcessCompleted->setText(QString::number(std::round(percent), 'f', 1) + QStringLiteral(" %"));
    lblValueTimeElapsed->setText(timeString(m_timeElapsedInSeconds));
}

void ProgressViewController::runTimer()
{
    m_timeElapsedInSeconds += 1.0;
}

void ProgressViewController::restartTimer()
{
    m_timerTimeElapsed.stop();
    m_timerTimeElapsed.start();
}

void ProgressViewController::clickedStop()
{
    if (m_stopQuestion || !BatchFlags::shared().isProcessRunning)
        return;
    BatchFlags::shared().setProcessPaused(true);
    m_timerTimeElapsed.stop();

    auto *alert = new platform::Alert(this);
    alert->setMessageText(localizedString("QX_ID_245"));
    alert->setInformativeText(localizedString("QX_ID_246"));
    alert->addButton(localizedString("QX_ID_200"));
    const int stop = alert->addButton(localizedString("QX_ID_199"));
    // Escape goes on with the batch rather than ending it.
    alert->setCancelResponse(platform::Alert::FirstButton);
    alert->setAlertStyle(platform::Alert::Style::Warning);
    m_stopQuestion = alert;
    alert->beginSheet(window(), [this, stop](int response) {
        BatchFlags &flags = BatchFlags::shared();
        if (response == stop)
            flags.setProcessStopped(true);
        // A batch that ended while the question was open keeps its time.
        if (flags.isProcessRunning)
            restartTimer();
        flags.setProcessPaused(false);
    });
}

void ProgressViewController::finishProcess(
    const BatchCounts &counts, const std::optional<QUrl> &destinationURL, bool isKeepSourceFolderPath)
{
    BatchFlags::shared().isProcessRunning = false;
    // A question still open when the last file is done has nothing to stop.
    if (m_stopQuestion)
        m_stopQuestion->done(platform::Alert::FirstButton);
    dismissProgress();
    m_timerTimeElapsed.stop();
    m_processedPhotos = counts.processed;
    m_totalEditedPhotos = counts.edited;
    m_totalSkippedPhotos = m_totalPhotos - m_processedPhotos;
    batchResult() = Result { m_processedPhotos, m_totalPhotos, m_timeElapsedInSeconds, m_totalEditedPhotos,
        m_totalSkippedPhotos, destinationURL, isKeepSourceFolderPath, counts.failures, counts.incomplete };
    emit processFinished();
    platform::MainQueue::after(ShowResultDelayMs, this, [this] { showResult(); });
}

void ProgressViewController::showResult()
{
    showContainerPage(ContainerPage::result);
    ResultViewController::shared()->displayResult();
}

void ProgressViewController::dismissProgress()
{
    platform::Presenter::dismiss(this);
    if (m_host)
        platform::Window::setResizable(m_host, true);
}
