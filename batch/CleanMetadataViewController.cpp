// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/CleanMetadataViewController.h"

#include "common/Localization.h"
#include "platform/widgets/ScreenRegistry.h"
#include "platform/widgets/ThemeIcon.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

CleanMetadataViewController::CleanMetadataViewController(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    lblTitle = new QLabel(this);
    QFont title = lblTitle->font();
    title.setBold(true);
    lblTitle->setFont(title);
    layout->addLayout(platform::withIcon(QStringLiteral("edit-clear-all"), 22, lblTitle));
    const std::array<QPointer<QCheckBox> *, cleanChoices.size()> boxes { &btnExif, &btnOrientation,
        &btnGPSInformation, &btnComment, &btnIPTC, &btnXMP };
    for (std::size_t i = 0; i < cleanChoices.size(); ++i) {
        *boxes[i] = new QCheckBox(localizedString(cleanChoices[i].labelKey), this);
        layout->addWidget(*boxes[i]);
    }
    layout->addStretch(1);
    lblTitle->setText(localizedString(QStringLiteral("QX_ID_66")));
}

CleanMetadataViewController *CleanMetadataViewController::shared()
{
    return platform::ScreenRegistry::instance().sharedInstance<CleanMetadataViewController>();
}

QList<QCheckBox *> CleanMetadataViewController::boxes() const
{
    return { btnExif, btnOrientation, btnGPSInformation, btnComment, btnIPTC, btnXMP };
}

void CleanMetadataViewController::resetOptions()
{
    for (QCheckBox *box : boxes())
        box->setCheckState(Qt::Unchecked);
}

bool CleanMetadataViewController::isAnyOptionSelected() const
{
    return selectedOptions().any();
}

CleanMetadata CleanMetadataViewController::selectedOptions() const
{
    const auto on = [](const QCheckBox *box) { return box->checkState() == Qt::Checked; };
    return { on(btnExif), on(btnOrientation), on(btnGPSInformation), on(btnComment), on(btnIPTC),
        on(btnXMP) };
}
