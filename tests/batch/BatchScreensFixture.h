// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BatchTestSupport.h"

#include "batch/BatchScreens.h"
#include "batch/Result.h"
#include "common/ContainerPage.h"
#include "common/Globals.h"
#include "common/Localization.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "platform/Clock.h"
#include "platform/widgets/ScreenRegistry.h"
#include "support/ScopedIsolation.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

inline void PrintTo(const FailedPhoto &failure, std::ostream *stream)
{
    *stream << failure.path.toStdString() << " (" << failure.reason.toStdString() << ')';
}

// Settings of the test's own, the interface texts, the manual clock, the
// batch's screens of one run and a stand-in for the main window's page
// switch; the file lists and the last result are emptied afterwards.
class BatchScreens : public BatchTest
{
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        ASSERT_TRUE(sources.isValid() && destination.isValid());
        loadLocalizationDictionary();
        platform::Clock::setManual(true);
        registerBatchScreens(screens);
        setContainerPageSwitch([this](ContainerPage page) { pages.append(page); });
    }

    void TearDown() override
    {
        setContainerPageSwitch({});
        screens.releaseShared();
        displayedFiles().clear();
        allFiles().clear();
        batchResult().reset();
        platform::Clock::setManual(false);
        BatchTest::TearDown();
    }

    static QString text(const char *key) { return localizedString(QLatin1String(key)); }

    // A record of a copy of a test image as a scan leaves it: marked, with
    // its metadata read, shown in the grid.
    std::shared_ptr<FileInfo> addImage(const QString &name, bool isMarked = true)
    {
        const QString path = testsupport::copyTestFile(QStringLiteral("images/") + name, sources);
        return addRecord(path, std::make_shared<Metadata>(Metadata::fromFile(path)), isMarked);
    }

    // A record of any file, with the given metadata (none: not read yet).
    std::shared_ptr<FileInfo> addRecord(
        const QString &path, std::shared_ptr<Metadata> metadata, bool isMarked = true)
    {
        auto file = std::make_shared<FileInfo>();
        if (!path.isEmpty())
            file->url = QUrl::fromLocalFile(path);
        file->metadata = std::move(metadata);
        file->isMark = isMarked;
        allFiles().append(file);
        displayedFiles().append(file);
        return file;
    }

    // A file among the sources that is no image at all.
    QString writeSource(const QString &name, const QByteArray &bytes)
    {
        return writeFile(sources.path(), name, bytes);
    }

    testsupport::ScopedConfigHome config;
    QTemporaryDir sources;
    QTemporaryDir destination;
    QList<ContainerPage> pages;
    platform::ScreenRegistry screens;
};
