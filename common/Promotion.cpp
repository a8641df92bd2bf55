// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Promotion.h"

#include "platform/Settings.h"
#include "platform/Workspace.h"
#include "platform/widgets/ThemeIcon.h"

#include <array>
#include <limits>

namespace {

struct Row
{
    int id;
    const char *title;
    const char *subTitle;
    const char *bundleID;
    const char *webPage;
};

// Free applications that go well with Calvorn: a raw developer, an
// organiser and two viewers. Their ids are both the desktop entry's name
// and the software centre's component id.
constexpr std::array<Row, 4> Rows { {
    { 1, "darktable", "Develop raw photos and manage your collection", "org.darktable.darktable",
        "https://www.darktable.org/" },
    { 2, "Shotwell", "Import, organise and share your photos", "org.gnome.Shotwell",
        "https://wiki.gnome.org/Apps/Shotwell" },
    { 3, "Gwenview", "A fast image viewer with simple fixes", "org.kde.gwenview",
        "https://userbase.kde.org/Gwenview" },
    { 4, "Eye of GNOME", "A simple, fast image viewer", "org.gnome.eog",
        "https://wiki.gnome.org/Apps/EyeOfGnome" },
} };

// The publisher's page of more applications. Calvorn has none yet: the gift
// button stays hidden until an address is set here.
constexpr const char *GiftPage = "";

const QString CurrentPromotionKey = QStringLiteral("currentPromotionID");

// The id of the row shown last, 1 when none is stored; and storing it.
// Reading and writing stay here, in one place.
int currentPromotionID(std::optional<int> newValue = std::nullopt)
{
    if (newValue) {
        platform::Settings::setInt(CurrentPromotionKey, *newValue);
        return *newValue;
    }
    const std::optional<qint64> stored = platform::Settings::intValue(CurrentPromotionKey);
    if (!stored || *stored < std::numeric_limits<int>::min() || *stored > std::numeric_limits<int>::max())
        return 1;
    return int(*stored);
}

PromotionalApp record(const Row &row)
{
    PromotionalApp app;
    app.id = row.id;
    app.title = QString::fromUtf8(row.title);
    app.subTitle = QString::fromUtf8(row.subTitle);
    app.bundleID = QString::fromUtf8(row.bundleID);
    const QIcon icon = QIcon::fromTheme(app.bundleID, platform::bundledApplicationIcon(app.bundleID));
    if (!icon.isNull())
        app.icon = icon;
    // Without a software centre, the application's own web page.
    const QUrl store = platform::Workspace::storeUrl(app.bundleID);
    app.isAppstore = platform::Workspace::canOpen(store);
    app.url = app.isAppstore ? store : QUrl(QString::fromUtf8(row.webPage));
    return app;
}

} // namespace

Promotion &Promotion::shared()
{
    static Promotion promotion;
    return promotion;
}

Promotion::Promotion()
{
    for (const Row &row : Rows)
        m_bundleIDs.append(QString::fromUtf8(row.bundleID));
}

QList<PromotionalApp> Promotion::promotionalApps() const
{
    QList<PromotionalApp> apps;
    for (const Row &row : Rows) {
        if (!platform::Workspace::isInstalled(QString::fromUtf8(row.bundleID)))
            apps.append(record(row));
    }
    return apps;
}

std::optional<PromotionalApp> Promotion::nextPromotionalApp() const
{
    const QList<PromotionalApp> apps = promotionalApps();
    if (apps.isEmpty())
        return std::nullopt;
    if (apps.size() == 1)
        return apps.first();
    const int current = currentPromotionID();
    // Take the rows in turn; after the last one, start again at the first.
    auto next = apps.first();
    if (current < apps.last().id) {
        for (const PromotionalApp &app : apps) {
            if (app.id > current) {
                next = app;
                break;
            }
        }
    }
    currentPromotionID(next.id);
    return next;
}

bool Promotion::open(const PromotionalApp &app)
{
    return app.url && platform::Workspace::openUrl(*app.url);
}

std::optional<QUrl> Promotion::giftPage()
{
    const QUrl page(QString::fromUtf8(GiftPage), QUrl::StrictMode);
    if (!page.isValid() || page.isRelative())
        return std::nullopt;
    return page;
}
