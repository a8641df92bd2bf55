// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/ResultViewController.h"

#include "batch/CleanMetadataViewController.h"
#include "batch/Result.h"
#include "batch/ShortfallText.h"
#include "common/ContainerPage.h"
#include "common/Globals.h"
#include "common/Localization.h"
#include "common/Promotion.h"
#include "engine/ElapsedTime.h"
#include "platform/Workspace.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"
#include "platform/widgets/Window.h"

#include <QClipboard>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Rows as tall as their text wrapped at its column's width, which the list
// itself does not tell the style when it asks for a row's height.
class WrappingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem sized(option);
        if (const auto *view = qobject_cast<const QTreeView *>(option.widget))
            sized.rect = QRect(0, 0, view->columnWidth(index.column()), 1);
        return QStyledItemDelegate::sizeHint(sized, index);
    }
};

} // namespace

ResultViewController::ResultViewController(QWidget *parent)
    : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    boxParent = new QFrame(this);
    outer->addWidget(boxParent);
    auto *page = new QVBoxLayout(boxParent);
    page->setContentsMargins(40, 30, 40, 30);
    page->setSpacing(16);

    lblMetadataEditingProcessingSummary = new QLabel(boxParent);
    QFont heading = lblMetadataEditingProcessingSummary->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    lblMetadataEditingProcessingSummary->setFont(heading);
    page->addWidget(lblMetadataEditingProcessingSummary, 0, Qt::AlignHCenter);

    boxResult = new QFrame(boxParent);
    boxResult->setFrameShape(QFrame::StyledPanel);
    auto *result = new QHBoxLayout(boxResult);
    imageViewResult = new QLabel(boxResult);
    imageViewResult->setPixmap(platform::themeIcon(QStringLiteral("dialog-ok")).pixmap(ResultIconSize));
    result->addWidget(imageViewResult, 0, Qt::AlignTop);
    auto *summary = new QVBoxLayout;
    lblBatchProcess = new QLabel(boxResult);
    QFont status = lblBatchProcess->font();
    status.setBold(true);
    lblBatchProcess->setFont(status);
    summary->addWidget(lblBatchProcess);
    lblPhotosSaved = new QLabel(boxResult);
    summary->addWidget(lblPhotosSaved);

    auto *grid = new QGridLayout;
    const auto addRow = [&](QPointer<QLabel> &label, QPointer<QLabel> &value) {
        const int row = grid->rowCount();
        label = new QLabel(boxResult);
        value = new QLabel(boxResult);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(label, row, 0, Qt::AlignRight);
        grid->addWidget(value, row, 1);
    };
    addRow(lblPhotosSelected, lblValuePhotosSelected);
    addRow(lblPhotosEdited, lblValuePhotosEdited);
    addRow(lblPhotosNotChanged, lblValuePhotosNotChanged);
    addRow(lblPhotosIncomplete, lblValuePhotosIncomplete);
    addRow(lblPhotosSkipped, lblValuePhotosSkipped);
    addRow(lblTimeElapsed, lblValueTimeElapsed);
    addRow(lblOutputFolder, lblValueOutputFolder);
    lblValueOutputFolder->setWordWrap(true);
    grid->setColumnStretch(1, 1);
    summary->addLayout(grid);

    boxFailedPhotos = new QFrame(boxResult);
    auto *failed = new QVBoxLayout(boxFailedPhotos);
    failed->setContentsMargins(0, 8, 0, 0);
    listFailedPhotos = new QTreeWidget(boxFailedPhotos);
    listFailedPhotos->setColumnCount(2);
    listFailedPhotos->setRootIsDecorated(false);
    listFailedPhotos->setAlternatingRowColors(true);
    listFailedPhotos->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listFailedPhotos->setTextElideMode(Qt::ElideMiddle);
    // What a photo lacks is read whole, over as many lines as its column
    // gives, and laid out again when that width changes.
    listFailedPhotos->setWordWrap(true);
    listFailedPhotos->setItemDelegateForColumn(1, new WrappingDelegate(listFailedPhotos));
    connect(listFailedPhotos->header(), &QHeaderView::sectionResized, listFailedPhotos,
        [list = listFailedPhotos.data()] { list->doItemsLayout(); });
    listFailedPhotos->setMinimumHeight(FailedPhotosListHeight);
    listFailedPhotos->setMaximumHeight(FailedPhotosListHeight);
    listFailedPhotos->header()->setStretchLastSection(true);
    failed->addWidget(listFailedPhotos);
    btnCopyFailedPhotos = new QPushButton(boxFailedPhotos);
    failed->addWidget(btnCopyFailedPhotos, 0, Qt::AlignRight);
    boxFailedPhotos->hide();
    summary->addWidget(boxFailedPhotos);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnOpenFinder
        = new QPushButton(platform::themeIcon(QStringLiteral("document-open-folder")), QString(), boxResult);
    btnFinish = new QPushButton(platform::themeIcon(QStringLiteral("dialog-ok")), QString(), boxResult);
    btnFinish->setDefault(true);
    buttons->addWidget(btnOpenFinder);
    buttons->addWidget(btnFinish);
    summary->addLayout(buttons);
    result->addLayout(summary, 1);
    page->addWidget(boxResult);

    boxPromotion = new QFrame(boxParent);
    boxPromotion->setFrameShape(QFrame::StyledPanel);
    auto *promotion = new QHBoxLayout(boxPromotion);
    imgViewPromotion = new QLabel(boxPromotion);
    imgViewPromotion->setFixedWidth(PromotionIconHeight);
    promotion->addWidget(imgViewPromotion);
    auto *about = new QVBoxLayout;
    lblRecommendedApp = new QLabel(boxPromotion);
    lblRecommendedAppName = new QLabel(boxPromotion);
    lblRecommendedAppName->setFont(status);
    lblRecommendedAppTitle = new QLabel(boxPromotion);
    lblRecommendedAppTitle->setWordWrap(true);
    about->addWidget(lblRecommendedApp);
    about->addWidget(lblRecommendedAppName);
    about->addWidget(lblRecommendedAppTitle);
    promotion->addLayout(about, 1);
    btnDownloadRecommendedApp = new QPushButton(boxPromotion);
    btnDownloadRecommendedApp->setIconSize(QSize(48, 48));
    promotion->addWidget(btnDownloadRecommendedApp);
    page->addWidget(boxPromotion);
    page->addStretch(1);

    connect(btnOpenFinder, &QPushButton::clicked, this, &ResultViewController::clickedOpenFinder);
    connect(btnCopyFailedPhotos, &QPushButton::clicked, this, &ResultViewController::clickedCopyFailedPhotos);
    connect(btnFinish, &QPushButton::clicked, this, &ResultViewController::clickedFinish);
    connect(
        btnDownloadRecommendedApp, &QPushButton::clicked, this, &ResultViewController::clickedRecommendedApp);

    setUpTexts();
    configurePromotion(true);
}

ResultViewController *ResultViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<ResultViewController>();
}

void ResultViewController::setUpTexts()
{
    lblMetadataEditingProcessingSummary->setText(localizedString("QX_ID_54"));
    lblPhotosSelected->setText(localizedString("QX_ID_55"));
    lblPhotosEdited->setText(localizedString("QX_ID_56"));
    lblPhotosNotChanged->setText(localizedString("QX_ID_285"));
    lblPhotosIncomplete->setText(localizedString("QX_ID_294"));
    lblPhotosSkipped->setText(localizedString("QX_ID_57"));
    lblTimeElapsed->setText(localizedString("QX_ID_53"));
    lblOutputFolder->setText(localizedString("QX_ID_58"));
    btnOpenFinder->setText(localizedString("QX_ID_59"));
    listFailedPhotos->setHeaderLabels({ localizedString("QX_ID_249"), localizedString("QX_ID_287") });
    btnCopyFailedPhotos->setText(localizedString("QX_ID_288"));
    btnFinish->setText(localizedString("QX_ID_60"));
    lblRecommendedApp->setText(localizedString("QX_ID_61") + QLatin1Char(':'));
}

void ResultViewController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    promotionalApp = Promotion::shared().nextPromotionalApp();
    configurePromotion(!promotionalApp);
}

void ResultViewController::setTitleButtons(bool shown)
{
    // Only while the page stands in a window of its own kind (the main
    // window), never on a page that is not placed anywhere.
    if (!parentWidget())
        return;
    platform::Window::setTitleButtons(window(), shown, shown);
}

void ResultViewController::displayResult()
{
    setTitleButtons(false);
    const std::optional<Result> result = batchResult();
    if (!result)
        return;
    const auto counted = [](qint64 count, const char *phrase) {
        return QString::number(count) + QLatin1Char(' ')
            + localizedString(count == 1 ? "QX_ID_249" : "QX_ID_250") + QLatin1Char(' ')
            + localizedString(phrase);
    };
    // Every photo done means every photo edited with all that was asked;
    // what went wrong is told before a stop.
    const qint64 failed = result->failedPhotos.size();
    const qint64 incomplete = result->incompletePhotos.size();
    QStringList problems;
    if (failed > 0)
        problems << counted(failed, "QX_ID_286");
    if (incomplete > 0) {
        problems << (failed > 0
                ? QString::number(incomplete) + QLatin1Char(' ') + localizedString("QX_ID_293")
                : counted(incomplete, "QX_ID_293"));
    }
    if (!problems.isEmpty())
        lblBatchProcess->setText(problems.join(QStringLiteral(", ")));
    else if (result->totalEditedPhotos == result->totalPhotos)
        lblBatchProcess->setText(localizedString("QX_ID_248"));
    else
        lblBatchProcess->setText(localizedString("QX_ID_247"));
    imageViewResult->setPixmap(
        platform::themeIcon(QLatin1String(problems.isEmpty() ? "dialog-ok" : "dialog-warning"))
            .pixmap(ResultIconSize));
    lblPhotosSaved->setText(counted(result->processedPhotos, "QX_ID_251"));
    lblValuePhotosSelected->setText(QString::number(result->totalPhotos));
    lblValuePhotosEdited->setText(QString::number(result->totalEditedPhotos));
    lblValuePhotosNotChanged->setText(QString::number(failed));
    lblValuePhotosIncomplete->setText(QString::number(incomplete));
    lblPhotosIncomplete->setVisible(incomplete > 0);
    lblValuePhotosIncomplete->setVisible(incomplete > 0);
    showListedPhotos(*result);
    lblValuePhotosSkipped->setText(QString::number(result->totalSkippedPhotos));
    lblValueTimeElapsed->setText(timeString(result->timeElapsedInSeconds));
    if (result->isKeepSourceFolderPath) {
        lblValueOutputFolder->setText(localizedString("QX_ID_252"));
        btnOpenFinder->setEnabled(false);
    } else {
        lblValueOutputFolder->setText(
            result->destinationURL ? result->destinationURL->toLocalFile() : QString());
        btnOpenFinder->setEnabled(true);
    }
}

void ResultViewController::showListedPhotos(const Result &result)
{
    listFailedPhotos->clear();
    QList<QTreeWidgetItem *> rows;
    const auto addRow = [&](const QString &path, const QString &details) {
        auto *row = new QTreeWidgetItem({ path, details });
        row->setToolTip(0, path);
        row->setToolTip(1, details);
        rows << row;
    };
    for (const FailedPhoto &failure : result.failedPhotos)
        addRow(failure.path, failure.reason);
    for (const IncompletePhoto &photo : result.incompletePhotos)
        addRow(photo.path, shortfallLines(photo.shortfalls).join(QLatin1Char('\n')));
    listFailedPhotos->addTopLevelItems(rows);
    listFailedPhotos->resizeColumnToContents(0);
    // A long path is elided in the middle rather than pushing the reasons away.
    listFailedPhotos->setColumnWidth(0, std::min(listFailedPhotos->columnWidth(0), FailedPhotoPathWidth));
    boxFailedPhotos->setVisible(!rows.isEmpty());
}

void ResultViewController::clickedCopyFailedPhotos()
{
    QStringList lines;
    for (int i = 0; i < listFailedPhotos->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = listFailedPhotos->topLevelItem(i);
        lines << row->text(0) + QLatin1Char('\t')
                + row->text(1).split(QLatin1Char('\n')).join(QStringLiteral("; "));
    }
    QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void ResultViewController::configurePromotion(bool nothingToRecommend)
{
    if (nothingToRecommend) {
        boxPromotion->setFixedHeight(0);
        imgViewPromotion->setFixedHeight(0);
        btnDownloadRecommendedApp->setFixedHeight(0);
        boxPromotion->hide();
        return;
    }
    boxPromotion->setFixedHeight(PromotionBoxHeight);
    imgViewPromotion->setFixedHeight(PromotionIconHeight);
    btnDownloadRecommendedApp->setFixedHeight(PromotionButtonHeight);
    boxPromotion->show();
    const PromotionalApp none;
    const PromotionalApp &app = promotionalApp ? *promotionalApp : none;
    imgViewPromotion->setPixmap(app.icon ? app.icon->pixmap(PromotionIconHeight) : QPixmap());
    lblRecommendedAppName->setText(app.title);
    lblRecommendedAppTitle->setText(app.subTitle);

    const QIcon storeIcon = QIcon::fromTheme(QStringLiteral("system-software-install"));
    if (!app.isAppstore || storeIcon.isNull()) {
        // A download label; also where the desktop has no software-centre icon.
        btnDownloadRecommendedApp->setIcon(QIcon());
        btnDownloadRecommendedApp->setText(localizedString("QX_ID_143"));
        btnDownloadRecommendedApp->setStyleSheet(app.isAppstore
                ? QString()
                : QStringLiteral(
                    "QPushButton { color: white; background-color: #34c759; padding: 4px 12px; }"));
    } else {
        btnDownloadRecommendedApp->setText(QString());
        btnDownloadRecommendedApp->setStyleSheet(QString());
        btnDownloadRecommendedApp->setIcon(storeIcon);
    }
}

void ResultViewController::clickedOpenFinder()
{
    const std::optional<Result> result = batchResult();
    if (!result || !result->destinationURL)
        return;
    const QString folder = result->destinationURL->toLocalFile();
    if (folder.isEmpty() || !platform::Workspace::reveal({ folder }))
        platform::Workspace::openUrl(*result->destinationURL);
}

void ResultViewController::clickedFinish()
{
    returnToHome();
    showContainerPage(ContainerPage::dashboard);
}

void ResultViewController::returnToHome()
{
    setTitleButtons(true);
    displayedFiles().clear();
    allFiles().clear();
    CleanMetadataViewController::shared()->resetOptions();
    emit returnedToHome();
}

void ResultViewController::clickedRecommendedApp()
{
    if (promotionalApp && promotionalApp->url)
        platform::Workspace::openUrl(*promotionalApp->url);
}
