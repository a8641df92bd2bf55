// SPDX-License-Identifier: GPL-3.0-or-later
// Calvorn started at display scale 1, then again at scale 2, where the
// window it saved is larger than the screen: on a screen with room for the
// window's least size, the second start opens its main window within the
// screen's available area; on one too small even for that, its title bar
// and menus are within reach, from the area's corner.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Place
{
    QRect frame;
    QRect available;
};

std::optional<QRect> rectIn(const QString &output, const QString &name)
{
    for (const QString &line : output.split(QLatin1Char('\n'))) {
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() == 5 && parts[0] == name)
            return QRect(parts[1].toInt(), parts[2].toInt(), parts[3].toInt(), parts[4].toInt());
    }
    return std::nullopt;
}

// Calvorn's start on one screen of the given size at a display scale, with
// its settings in config; where its main window stood once shown.
std::optional<Place> startAt(const QSize &screen, int scale, const QString &config)
{
    const QString screens = config + QStringLiteral("/screens.json");
    QFile file(screens);
    if (!file.open(QIODevice::WriteOnly))
        return std::nullopt;
    file.write(QStringLiteral(R"({ "screens": [ { "name": "small", "x": 0, "y": 0, "width": %1,
        "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })")
                   .arg(screen.width())
                   .arg(screen.height())
                   .toUtf8());
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + screens);
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    // No Calvorn of another test on the bus takes this start for a second one.
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    QProcess calvorn;
    calvorn.setProcessEnvironment(environment);
    calvorn.start(QStringLiteral(WINDOW_PLACE_PROGRAM));
    if (!calvorn.waitForFinished(120000)) {
        calvorn.kill();
        calvorn.waitForFinished();
        return std::nullopt;
    }
    const QString output = QString::fromLocal8Bit(calvorn.readAllStandardOutput());
    const std::optional<QRect> frame = rectIn(output, QStringLiteral("frame"));
    const std::optional<QRect> available = rectIn(output, QStringLiteral("available"));
    if (calvorn.exitCode() != 0 || !frame || !available) {
        ADD_FAILURE() << QString::fromLocal8Bit(calvorn.readAllStandardError()).right(4000).toStdString();
        return std::nullopt;
    }
    return Place { *frame, *available };
}

std::string describe(const QRect &rect)
{
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .toStdString();
}

} // namespace

TEST(WindowPlace, AWindowSavedAtOneScaleOpensWithinTheScreenAtTwiceThat)
{
    // The window opens at 1180x760 at first; its least size is under 700x600.
    for (const QSize screen : { QSize(1400, 1300), QSize(1600, 1000) }) {
        SCOPED_TRACE(describe(QRect(QPoint(), screen)));
        QTemporaryDir config;
        for (const int scale : { 1, 2 }) {
            const std::optional<Place> place = startAt(screen, scale, config.path());
            ASSERT_TRUE(place);
            ASSERT_EQ(place->available, QRect(QPoint(), screen / scale));
            const QRect &frame = place->frame;
            if (scale == 2 && screen.height() / scale < 600) {
                // Too small: the title bar and menus in reach, at the corner.
                EXPECT_TRUE(frame.topLeft() == place->available.topLeft()) << describe(frame);
                EXPECT_LE(frame.width(), place->available.width()) << describe(frame);
            } else {
                EXPECT_TRUE(place->available.contains(frame))
                    << "at scale " << scale << ": " << describe(frame);
            }
        }
    }
}
