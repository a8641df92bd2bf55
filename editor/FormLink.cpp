// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/FormLink.h"

#include "platform/Console.h"

#include <QMetaMethod>
#include <QObject>
#include <QWidget>

void runFieldChanged(QObject *form, QWidget *control)
{
    if (!form || !control)
        return;
    const QMetaObject *meta = form->metaObject();
    int index = meta->indexOfMethod("fieldChanged(QWidget*)");
    if (index >= 0) {
        meta->method(index).invoke(form, Qt::DirectConnection, Q_ARG(QWidget *, control));
        return;
    }
    index = meta->indexOfMethod("fieldChanged(QObject*)");
    if (index >= 0) {
        meta->method(index).invoke(form, Qt::DirectConnection, Q_ARG(QObject *, control));
        return;
    }
    platform::Console::log(
        QStringLiteral("%1 has no fieldChanged slot").arg(QLatin1String(meta->className())));
}
