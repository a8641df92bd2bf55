// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ViewControllerCellViewModel.h"

#include "common/AppHelpers.h"
#include "engine/FileProperties.h"

#include <QPixmap>

void loadIcon(const QString &path, ViewControllerCellViewModel &entry)
{
    const QImage thumbnail = ::thumbnail(path, QSize(50, 50));
    if (!thumbnail.isNull()) {
        entry.icon = QIcon(QPixmap::fromImage(thumbnail));
        return;
    }
    if (auto icon = fileIcon(path))
        entry.icon = std::move(*icon);
}
