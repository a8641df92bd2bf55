// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ScanVC.h"

#include "common/AppHelpers.h"
#include "common/Localization.h"
#include "common/ScanFlags.h"
#include "controls/CircularProgressView.h"
#include "platform/Notifier.h"
#include "platform/widgets/Alert.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString text(const char *key)
{
    return localizedString(QString::fromLatin1(key));
}

QLabel *captionLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

ScanVC::ScanVC(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ScanVC"));
    setFixedSize(SheetSize);

    lblAddingPhotos = new QLabel(this);
    QFont heading = lblAddingPhotos->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.6);
    heading.setBold(true);
    lblAddingPhotos->setFont(heading);
    lblAddingPhotos->setAlignment(Qt::AlignCenter);

    progress = BaseView::create<CircularProgressView>(QRect(0, 0, 180, 180), this);
    progress->setFixedSize(180, 180);

    lblPath = captionLabel(this);
    lblPathValue = new QLabel(this);
    // A long path must not widen the sheet.
    lblPathValue->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblPathValue->setTextFormat(Qt::PlainText);
    lblPhotosSelected = new QLabel(this);
    lblPhotosSelected->setAlignment(Qt::AlignCenter);
    lblProcessing = captionLabel(this);
    lblProcessingValue = new QLabel(this);
    btnStop = new QPushButton(platform::themeIcon(QStringLiteral("process-stop")), QString(), this);
    connect(btnStop, &QPushButton::clicked, this, &ScanVC::clickedClose);

    auto *details = new QFormLayout;
    details->addRow(lblPath, lblPathValue);
    details->addRow(lblProcessing, lblProcessingValue);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnStop);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 32, 40, 28);
    layout->setSpacing(16);
    layout->addWidget(lblAddingPhotos);
    layout->addWidget(progress, 0, Qt::AlignHCenter);
    layout->addWidget(lblPhotosSelected);
    layout->addLayout(details);
    layout->addStretch();
    layout->addLayout(buttons);

    progress->setProgress(0);
    // The sheet's title.
    setWindowTitle(text("QX_ID_259"));
    connect(&platform::Notifier::instance(), &platform::Notifier::scanViewStatus, this,
        &ScanVC::notificationUpdateScanViewStatus);
    setupStopButton();
}

ScanVC *ScanVC::shared()
{
    auto &registry = platform::ScreenRegistry::instance();
    if (!registry.has(QStringLiteral("ScanVC")))
        registry.add<ScanVC>();
    return registry.shared<ScanVC>();
}

void ScanVC::setupStopButton()
{
    btnStop->setText(text("QX_ID_51"));
}

void ScanVC::clickedClose()
{
    // First, so the walk holds at its next waiting point while we ask.
    ScanFlags::shared().setScanPaused(true);
    auto *alert = platform::Alert::warning(
        this, text("QX_ID_203"), text("QX_ID_204"), { text("QX_ID_200"), text("QX_ID_199") });
    const int stop = platform::Alert::FirstButton + 1;
    // Escape goes on scanning.
    alert->setCancelResponse(platform::Alert::FirstButton);
    alert->beginSheet(window(), [stop](int response) {
        ScanFlags &flags = ScanFlags::shared();
        // Stop before resuming, so the waiting walk sees the stop at once.
        if (response == stop)
            flags.setScanStopped(true);
        flags.setScanPaused(false);
    });
}

void ScanVC::close()
{
    platform::Presenter::dismiss(this);
}

void ScanVC::notificationUpdateScanViewStatus(const QVariantMap &userInfo)
{
    if (const auto status = ScanViewStatus::fromUserInfo(userInfo))
        update(*status);
}

void ScanVC::update(const ScanViewStatus &status)
{
    const QString adding = text("QX_ID_259") + QStringLiteral("...");
    lblAddingPhotos->setText(adding);
    progress->setProgress(status.percentageProcessing);
    lblPath->setText(text("QX_ID_26") + QLatin1Char(':'));
    lblPathValue->setText(status.photosStatus == PhotosStatus::analysing ? adding : status.path);
    const QString noun = text(status.countTotalPhotos == 1 ? "QX_ID_249" : "QX_ID_250").toLower();
    lblPhotosSelected->setText(QString::number(status.countTotalPhotos) + QLatin1Char(' ') + noun
        + QLatin1Char(' ') + text("QX_ID_261"));
    lblProcessing->setText(text("QX_ID_262") + QLatin1Char(':'));
    lblProcessingValue->setText(
        QString::number(status.countProcessing) + QStringLiteral(" / ") + QString::number(status.countTotal));
}

void ScanVC::askToQuitPhotos()
{
    auto *alert = platform::Alert::warning(
        this, text("QX_ID_263"), text("QX_ID_264"), { text("QX_ID_265"), text("QX_ID_266") });
    const int quit = platform::Alert::FirstButton;
    const int keep = platform::Alert::FirstButton + 1;
    alert->beginSheet(window(), [quit, keep](int response) {
        ScanFlags &flags = ScanFlags::shared();
        if (response == quit) {
            terminateApplication(PhotosAppName);
            flags.isSkipPhotosLibrary = false;
        } else if (response == keep) {
            flags.isSkipPhotosLibrary = true;
        }
        flags.setAskingToQuitPhotos(false);
    });
}
