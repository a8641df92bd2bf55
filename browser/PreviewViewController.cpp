// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/PreviewViewController.h"

#include "browser/MetadataDetailsViewController.h"
#include "common/AppHelpers.h"
#include "common/Localization.h"
#include "editor/MetadataEditorViewController.h"
#include "editor/SegmentedControl.h"
#include "engine/FileInfo.h"
#include "engine/FileInfoEvents.h"
#include "engine/FileProperties.h"
#include "engine/Metadata.h"
#include "platform/widgets/MapView.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

using platform::MapView;

namespace {

// Decoded no larger than a large screen shows it.
constexpr int PictureSide = 2048;

// The file's own values, apart from what an editing form keeps on its
// record (edited flags, date rules): the preview never shows an edit.
std::shared_ptr<FileInfo> ownValues(const std::shared_ptr<FileInfo> &file)
{
    if (!file)
        return nullptr;
    auto shown = std::make_shared<FileInfo>(*file);
    if (file->metadata) {
        auto values = std::make_shared<Metadata>(*file->metadata);
        values->resetEditedFlags();
        for (int i = 0; i < dateRuleCount; ++i) {
            values->setDateTime(
                DateRule(i), std::make_shared<DateTime>(values->date(dateRules[std::size_t(i)].field)));
        }
        shown->metadata = std::move(values);
    }
    return shown;
}

} // namespace

PreviewViewController::PreviewViewController(QWidget *parent)
    : QWidget(parent)
    , metadataVC(platform::ScreenRegistry::make<MetadataDetailsViewController>())
{
    setObjectName(QStringLiteral("PreviewViewController"));
    buildLayout();
    embedMetadataDetails();
    setUpTexts();
    metadataVC->metadataEditorVC->setEditable(false);
    connect(&FileInfoEvents::shared(), &FileInfoEvents::detailsArrived, this,
        &PreviewViewController::detailsArrived);
    resize(1100, 720);
}

PreviewViewController::~PreviewViewController() = default;

PreviewViewController *PreviewViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<PreviewViewController>();
}

void PreviewViewController::buildLayout()
{
    imageView = new QLabel(this);
    imageView->setAlignment(Qt::AlignCenter);
    imageView->setMinimumSize(240, 180);
    imageView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    imageView->setBackgroundRole(QPalette::Dark);
    imageView->setAutoFillBackground(true);

    auto *info = new QFormLayout;
    info->setLabelAlignment(Qt::AlignRight);
    info->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto addRow = [this, info](QPointer<QLabel> &caption, QPointer<QLabel> &value) {
        caption = new QLabel(this);
        value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        info->addRow(caption, value);
    };
    addRow(lblName, lblNameValue);
    addRow(lblPath, lblPathValue);
    addRow(lblDimension, lblDimensionValue);
    addRow(lblSize, lblSizeValue);

    mapView = new MapView(this);
    mapView->setMinimumHeight(200);
    mapView->setPinDraggable(false);
    lblLocationView = new QLabel(this);
    lblNoLocation = new QLabel(tr("No GPS position recorded"), this);
    lblNoLocation->setForegroundRole(QPalette::PlaceholderText);
    segmentLocationView = new SegmentedControl(3, this);
    segmentLocationView->setSelectedSegment(0);
    connect(
        segmentLocationView, &SegmentedControl::clicked, this, &PreviewViewController::clickedSegmentControl);
    auto *mapBar = new QHBoxLayout;
    mapBar->addWidget(lblLocationView);
    mapBar->addWidget(lblNoLocation);
    mapBar->addStretch();
    mapBar->addWidget(segmentLocationView);

    auto *left = new QWidget(this);
    auto *leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->addWidget(imageView, 3);
    leftColumn->addLayout(info);
    leftColumn->addLayout(mapBar);
    leftColumn->addWidget(mapView, 2);

    containerView = new QWidget(this);
    containerView->setMinimumWidth(360);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(left);
    splitter->addWidget(containerView);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(splitter);
}

void PreviewViewController::embedMetadataDetails()
{
    pinSubview(containerView, metadataVC);
}

void PreviewViewController::setUpTexts()
{
    lblLocationView->setText(localizedCaption("QX_ID_21"));
    segmentLocationView->setLabel(0, localizedString("QX_ID_22"));
    segmentLocationView->setLabel(1, localizedString("QX_ID_23"));
    segmentLocationView->setLabel(2, localizedString("QX_ID_24"));
    lblName->setText(localizedString("QX_ID_25"));
    lblPath->setText(localizedString("QX_ID_26"));
    lblDimension->setText(localizedString("QX_ID_27"));
    lblSize->setText(localizedString("QX_ID_28"));
}

void PreviewViewController::showPreview(const std::shared_ptr<FileInfo> &file)
{
    m_fileInfo = file;
    if (file && file->url) {
        const QString path = file->url->toLocalFile();
        setWindowTitle(file->fileName);
        m_image = thumbnail(path, QSize(PictureSide, PictureSide));
        showImage();
        lblNameValue->setText(QFileInfo(path).fileName());
        lblPathValue->setText(path);
        lblDimensionValue->setText(
            file->width && file->height ? *file->width + QLatin1Char('x') + *file->height : QString());
        lblSizeValue->setText(fileSizeString(path).value_or(QString()));
        showPosition();
    }
    showValues();
}

void PreviewViewController::showValues()
{
    MetadataEditorViewController *form = metadataVC->metadataEditorVC;
    form->setFileInfo(ownValues(m_fileInfo));
    form->showFileInfoMetadata();
    form->setEditable(false);
}

void PreviewViewController::showPosition()
{
    const Metadata *values = m_fileInfo ? m_fileInfo->metadata.get() : nullptr;
    const bool known = values && values->gpsLatitude() && values->gpsLongitude();
    if (known) {
        latitude = *values->gpsLatitude();
        longitude = *values->gpsLongitude();
    }
    // A photo without a position gets no map: neither another photo's place
    // nor an empty one at 0°, 0°.
    mapView->setVisible(known);
    segmentLocationView->setVisible(known);
    lblNoLocation->setVisible(!known);
    mapView->setPinVisible(known);
    if (!known)
        return;
    const MapView::Coordinate centre { latitude, longitude };
    mapView->setRegion(centre, RegionSpan, true);
    mapView->setPinCoordinate(centre);
}

void PreviewViewController::detailsArrived(const std::shared_ptr<FileInfo> &file)
{
    if (file != m_fileInfo)
        return;
    if (file->url)
        showPosition();
    showValues();
}

void PreviewViewController::showImage()
{
    if (m_image.isNull()) {
        // A file nothing decodes: a picture icon, not an empty frame.
        imageView->setPixmap(platform::themeIcon(QStringLiteral("image-x-generic")).pixmap(96, 96));
        return;
    }
    const QSize room = imageView->size() * devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(devicePixelRatioF());
    imageView->setPixmap(pixmap);
}

void PreviewViewController::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the window, as it closes the desktop's picture viewers;
    // the read-only fields leave the key to it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreviewViewController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    showImage();
}

void PreviewViewController::changeMapType(int segment)
{
    if (segment >= 0 && segment <= 2)
        mapView->setMapType(MapView::MapType(segment));
}

void PreviewViewController::clickedSegmentControl()
{
    changeMapType(segmentLocationView->selectedSegment());
}
