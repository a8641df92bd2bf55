// SPDX-License-Identifier: GPL-3.0-or-later
// Quitting Calvorn while it loads photos, makes thumbnails or runs a batch
// ends the process cleanly: no background job outlives what it uses (the
// sanitizers would report it and fail the run), and a batch ends after the
// file in hand.

#include "engine/Metadata.h"
#include "support/ScopedIsolation.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    QString output;
    QString errors;
};

Outcome quitWhileBusy(const QString &folder, const QString &moment)
{
    QProcess calvorn;
    calvorn.setProgram(QStringLiteral(QUIT_WHILE_BUSY_PROGRAM));
    calvorn.setArguments({ folder, moment });
    calvorn.start();
    Outcome run;
    if (!calvorn.waitForFinished(120000)) {
        calvorn.kill();
        calvorn.waitForFinished();
        return run;
    }
    run.exitCode = calvorn.exitStatus() == QProcess::NormalExit ? calvorn.exitCode() : -1;
    run.output = QString::fromLocal8Bit(calvorn.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(calvorn.readAllStandardError());
    return run;
}

} // namespace

TEST(QuitWhileBusy, EndsCleanlyWhileLoadingMakingThumbnailsOrRunningABatch)
{
    REQUIRE_TEST_DATA();
    const QStringList images { QStringLiteral("exiv2-bug2565.jpg"), QStringLiteral("Pentax.jpg"),
        QStringLiteral("FurnaceCreekInn.jpg"), QStringLiteral("ReaganSmallPng.png") };
    for (const QString &moment :
        { QStringLiteral("scan"), QStringLiteral("grid"), QStringLiteral("batch") }) {
        SCOPED_TRACE(moment.toStdString());
        QTemporaryDir dir;
        int copies = 0;
        for (int i = 0; i < 10; ++i) {
            for (const QString &image : images)
                copies += !testsupport::copyTestFile(
                    QStringLiteral("images/") + image, dir, QStringLiteral("%1-%2").arg(i).arg(image))
                               .isEmpty();
        }

        const Outcome run = quitWhileBusy(dir.path(), moment);
        EXPECT_EQ(run.exitCode, 0) << run.errors.right(4000).toStdString();
        EXPECT_TRUE(run.output.contains(QStringLiteral("quitting"))) << "the moment never came";
        EXPECT_FALSE(run.errors.contains(QStringLiteral("Sanitizer")))
            << run.errors.right(4000).toStdString();

        if (moment != QLatin1String("batch"))
            continue;
        // Files 0 to 3 were done, the fourth being in hand at the quit.
        testsupport::ConsoleCapture console;
        int edited = 0;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            edited += Metadata::fromFile(dir.filePath(name)).artist() == QStringLiteral("Quit");
        EXPECT_EQ(edited, 4) << "of " << copies;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), copies)
            << "no temporary file is left behind";
    }
}
