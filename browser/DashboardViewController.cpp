// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/DashboardViewController.h"

#include "browser/AddPhotosPanels.h"
#include "browser/HomeViewController.h"
#include "common/Localization.h"
#include "platform/MainQueue.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

DashboardViewController::DashboardViewController(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DashboardViewController"));
    lblWelcomeTo = new QLabel(this);
    lblWelcomeTo->setAlignment(Qt::AlignCenter);
    lblCalvorn = new QLabel(this);
    lblCalvorn->setAlignment(Qt::AlignCenter);
    QFont nameFont = lblCalvorn->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 2.2);
    nameFont.setBold(true);
    lblCalvorn->setFont(nameFont);

    boxAddPhotos = addBox(lblAddPhotos, btnAddPhotos, tr("Add Photos…"), QStringLiteral("image-x-generic"),
        QStringLiteral("document-open"));
    connect(btnAddPhotos, &QPushButton::clicked, this, &DashboardViewController::showAddPhotosPanel);
    boxAddPhotosLibrary = addBox(lblPhotosLibrary, btnPhotosLibrary, tr("Add Photos Library…"),
        QStringLiteral("folder-pictures"), QStringLiteral("folder-open"));
    connect(
        btnPhotosLibrary, &QPushButton::clicked, this, &DashboardViewController::showAddPhotosLibraryPanel);

    dropView = new DropView(this);
    dropView->setDrawsDashedBorder(true);
    dropView->setMinimumHeight(140);
    lblOrDragnDrop = new QLabel(dropView);
    lblOrDragnDrop->setAlignment(Qt::AlignCenter);
    lblOrDragnDrop->setWordWrap(true);
    auto *dropPicture = new QLabel(dropView);
    dropPicture->setPixmap(platform::themeIcon(QStringLiteral("document-import")).pixmap(32, 32));
    dropPicture->setAlignment(Qt::AlignCenter);
    auto *dropArea = new QVBoxLayout(dropView);
    dropArea->addStretch(1);
    dropArea->addWidget(dropPicture);
    dropArea->addWidget(lblOrDragnDrop);
    dropArea->addStretch(1);

    auto *boxes = new QHBoxLayout;
    boxes->setSpacing(24);
    boxes->addWidget(boxAddPhotos);
    boxes->addWidget(boxAddPhotosLibrary);

    auto *content = new QWidget(this);
    content->setFixedWidth(640);
    auto *column = new QVBoxLayout(content);
    column->setSpacing(18);
    auto *appIcon = new QLabel(content);
    appIcon->setPixmap(platform::applicationIcon().pixmap(96, 96));
    appIcon->setAlignment(Qt::AlignCenter);
    column->addWidget(appIcon);
    column->addWidget(lblWelcomeTo);
    column->addWidget(lblCalvorn);
    column->addSpacing(12);
    column->addLayout(boxes);
    column->addWidget(dropView);

    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(content, 0, Qt::AlignHCenter);
    layout->addStretch(2);

    dropView->delegate = this;
    lblWelcomeTo->setText(localizedString("QX_ID_2"));
    lblCalvorn->setText(localizedString("QX_ID_1"));
    lblAddPhotos->setText(localizedString("QX_ID_3"));
    lblPhotosLibrary->setText(localizedString("QX_ID_4"));
    lblOrDragnDrop->setText(localizedString("QX_ID_5"));
}

DashboardViewController *DashboardViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<DashboardViewController>();
}

QFrame *DashboardViewController::addBox(QPointer<QLabel> &label, QPointer<QPushButton> &button,
    const QString &buttonTitle, const QString &pictureName, const QString &buttonIconName)
{
    auto *box = new QFrame(this);
    box->setFrameShape(QFrame::StyledPanel);
    auto *picture = new QLabel(box);
    picture->setPixmap(platform::themeIcon(pictureName).pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    label = new QLabel(box);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    button = new QPushButton(platform::themeIcon(buttonIconName), buttonTitle, box);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(10);
    layout->addWidget(picture);
    layout->addWidget(label);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    return box;
}

void DashboardViewController::showAddPhotosPanel()
{
    AddPhotosPanels::run(AddPhotosPanels::newFilesAndFoldersPanel(this, tr("Add")), window(),
        HomeViewController::HandOffMs, this, [this](const QList<QUrl> &urls) { startScan(urls); });
}

void DashboardViewController::showAddPhotosLibraryPanel()
{
    AddPhotosPanels::run(AddPhotosPanels::newPhotosLibraryPanel(this, tr("Add Photos Library")), window(),
        HomeViewController::HandOffMs, this, [this](const QList<QUrl> &urls) { startScan(urls); });
}

void DashboardViewController::filesDropped(const QStringList &paths)
{
    const QList<QUrl> urls = AddPhotosPanels::fileUrls(paths);
    platform::MainQueue::after(HomeViewController::HandOffMs, this, [this, urls] { startScan(urls); });
}

void DashboardViewController::startScan(const QList<QUrl> &urls)
{
    emit homePageRequested();
    HomeViewController::shared()->startScan(AddPhotosPanels::scanRequests(urls));
}
