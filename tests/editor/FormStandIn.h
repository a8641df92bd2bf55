// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ValueNames.h"

#include <QComboBox>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QWidget>

// Stands in for the editing form: the controls the companion screens write
// into, and a fieldChanged slot that records which control's edit rule ran.
class FormStandIn : public QWidget
{
    Q_OBJECT
public:
    FormStandIn()
    {
        for (const QString &value : gpsLatitudeRefValues())
            popUpGPSLatitudeRef->addItem(gpsLatitudeRefDescription(value));
        for (const QString &value : gpsLongitudeRefValues())
            popUpGPSLongitudeRef->addItem(gpsLongitudeRefDescription(value));
    }

    Q_INVOKABLE void fieldChanged(QWidget *control) { calls.append(control); }

    QLineEdit *txtFieldOriginalDate = new QLineEdit(this);
    QLineEdit *txtFieldGPSLatitude = new QLineEdit(this);
    QComboBox *popUpGPSLatitudeRef = new QComboBox(this);
    QLineEdit *txtFieldGPSLongitude = new QLineEdit(this);
    QComboBox *popUpGPSLongitudeRef = new QComboBox(this);
    QList<QPointer<QWidget>> calls;
};
