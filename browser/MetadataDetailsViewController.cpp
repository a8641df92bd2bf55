// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/MetadataDetailsViewController.h"

#include "common/Localization.h"
#include "editor/MetadataEditorViewController.h"
#include "platform/Console.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct SectionInfo
{
    const char *labelKey;
    const char *iconName;
    FormHeading heading;
    void (MetadataDetailsViewController::*action)();
};

constexpr std::array<SectionInfo, MetadataDetailsViewController::sectionCount> sectionInfos { {
    { "QX_ID_15", "dialog-information", FormHeading::ExifDetails,
        &MetadataDetailsViewController::clickedGeneral },
    { "QX_ID_16", "view-calendar", FormHeading::DateTime, &MetadataDetailsViewController::clickedDate },
    { "QX_ID_17", "image-x-generic", FormHeading::Camera, &MetadataDetailsViewController::clickedCamera },
    { "QX_ID_18", "mark-location", FormHeading::GPS, &MetadataDetailsViewController::clickedGPS },
    { "QX_ID_19", "document-properties", FormHeading::IPTCDetails,
        &MetadataDetailsViewController::clickedIPTC },
    { "QX_ID_20", "view-list-details", FormHeading::XMPDetails, &MetadataDetailsViewController::clickedXMP },
} };

} // namespace

MetadataDetailsViewController::MetadataDetailsViewController(QWidget *parent)
    : QWidget(parent)
    , metadataEditorVC(platform::ScreenRegistry::make<MetadataEditorViewController>())
{
    setObjectName(QStringLiteral("MetadataDetailsViewController"));
    buildLayout();
    setUpTexts();
    selectSection(Section::General);
}

MetadataDetailsViewController::~MetadataDetailsViewController() = default;

void MetadataDetailsViewController::buildLayout()
{
    lblMetadata = new QLabel(this);
    QFont titleFont = lblMetadata->font();
    titleFont.setBold(true);
    lblMetadata->setFont(titleFont);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        const SectionInfo &info = sectionInfos[i];
        SectionOutlets &outlets = m_sections[i];
        outlets.box = new QFrame(this);
        outlets.box->setAutoFillBackground(true);
        outlets.box->setCursor(Qt::PointingHandCursor);
        outlets.box->installEventFilter(this);
        auto *column = new QVBoxLayout(outlets.box);
        column->setContentsMargins(6, 4, 6, 4);
        column->setSpacing(1);
        outlets.button = new QToolButton(outlets.box);
        outlets.button->setAutoRaise(true);
        outlets.button->setIcon(platform::themeIcon(QLatin1String(info.iconName)));
        outlets.button->setIconSize(QSize(20, 20));
        connect(outlets.button, &QToolButton::clicked, this, info.action);
        outlets.label = new QLabel(outlets.box);
        outlets.label->setAlignment(Qt::AlignCenter);
        column->addWidget(outlets.button, 0, Qt::AlignHCenter);
        column->addWidget(outlets.label);
        buttons->addWidget(outlets.box, 1);
    }

    // The form is as tall as its sections; the panel scrolls it.
    metadataEditorVC->loadView();
    scrollView = new QScrollArea(this);
    scrollView->setWidgetResizable(true);
    scrollView->setFrameShape(QFrame::StyledPanel);
    scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollView->setWidget(metadataEditorVC);
    // Only the height scrolls: the panel is at least as wide as the form.
    scrollView->setMinimumWidth(metadataEditorVC->minimumSizeHint().width()
        + scrollView->verticalScrollBar()->sizeHint().width() + 2 * scrollView->frameWidth());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblMetadata);
    layout->addLayout(buttons);
    layout->addWidget(scrollView, 1);
}

void MetadataDetailsViewController::setUpTexts()
{
    lblMetadata->setText(localizedCaption("QX_ID_14"));
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        const QString text = localizedString(sectionInfos[i].labelKey);
        m_sections[i].label->setText(text);
        m_sections[i].button->setToolTip(text);
        m_sections[i].button->setAccessibleName(text);
    }
}

void MetadataDetailsViewController::selectSection(Section which)
{
    m_selected = which;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        QFrame *box = m_sections[i].box;
        QPalette palette = box->palette();
        QColor fill = Qt::transparent;
        if (i == std::size_t(which)) {
            fill = palette.color(QPalette::WindowText);
            fill.setAlphaF(0.1);
        }
        palette.setColor(QPalette::Window, fill);
        box->setPalette(palette);
    }
    const int height = metadataEditorVC->height();
    if (which == Section::Date)
        platform::Console::out(QStringLiteral("documentView.bounds.size.height: ") + QString::number(height));
    scrollTo(metadataEditorVC->headingOffset(sectionInfos[std::size_t(which)].heading));
}

void MetadataDetailsViewController::scrollTo(int offset)
{
    scrollView->verticalScrollBar()->setValue(offset);
}

void MetadataDetailsViewController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!isFirstLoadViewWillAppear) {
        isFirstLoadViewWillAppear = true;
        scrollTo(0);
    }
}

bool MetadataDetailsViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (std::size_t i = 0; i < m_sections.size(); ++i) {
            if (watched == m_sections[i].box) {
                selectSection(Section(i));
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
