// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/ThemeIcon.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>

namespace platform {

namespace {

// The first bundled file of the name that exists, as an icon.
QIcon bundled(const QString &folder, const QString &name)
{
    for (const char *suffix : { ".svg", ".png" }) {
        const QString path = folder + name + QLatin1String(suffix);
        if (QFile::exists(path))
            return QIcon(path);
    }
    return QIcon();
}

} // namespace

QIcon themeIcon(const QString &name)
{
    return QIcon::fromTheme(name, bundled(QStringLiteral(":/icons/"), name));
}

QHBoxLayout *withIcon(const QString &name, int side, QLabel *label)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    auto *picture = new QLabel(label->parentWidget());
    picture->setPixmap(themeIcon(name).pixmap(side, side));
    picture->setFixedSize(side, side);
    row->addWidget(picture, 0, Qt::AlignVCenter);
    row->addWidget(label, 1);
    return row;
}

QIcon applicationIcon()
{
    const QString id = QStringLiteral(CALVORN_APP_ID);
    QIcon icon(QStringLiteral(":/icons/%1.svg").arg(id));
    // Drawn small, the renderings made for those sizes stay crisp.
    for (int side : { 16, 24, 32, 48 })
        icon.addFile(
            QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(id), QSize(side, side));
    return QIcon::fromTheme(id, icon);
}

QIcon bundledApplicationIcon(const QString &applicationId)
{
    return bundled(QStringLiteral(":/icons/apps/"), applicationId);
}

} // namespace platform
