// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/CleanMetadata.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;

// The six groups of metadata a clean batch can remove, shown in the main
// screen's editing area while the clean option is chosen. The choice lives
// in the check boxes alone; the main screen reads it when a batch starts.
class CleanMetadataViewController : public QWidget
{
    Q_OBJECT
public:
    explicit CleanMetadataViewController(QWidget *parent = nullptr);

    // The one screen, made on first use.
    static CleanMetadataViewController *shared();

    // Turns all six boxes off.
    void resetOptions();
    // True when at least one box is on; a box in the mixed state is not.
    bool isAnyOptionSelected() const;
    // Each flag set exactly when its box is on.
    CleanMetadata selectedOptions() const;

    QPointer<QLabel> lblTitle;
    QPointer<QCheckBox> btnExif;
    QPointer<QCheckBox> btnOrientation;
    QPointer<QCheckBox> btnGPSInformation;
    QPointer<QCheckBox> btnComment;
    QPointer<QCheckBox> btnIPTC;
    QPointer<QCheckBox> btnXMP;

private:
    // The boxes in the order of CleanMetadata's flags.
    QList<QCheckBox *> boxes() const;
};
