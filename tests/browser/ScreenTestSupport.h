// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A fixture for the dashboard, the main screen and the grid cell: texts
// whose keys show through ("T237" for "QX_ID_237"), empty file lists, the
// manual clock, presentations recorded instead of shown, and records made
// without files.

#include "browser/HomeViewController.h"
#include "browser/QorCollectionView.h"
#include "common/AppSettings.h"
#include "common/Globals.h"
#include "common/Localization.h"
#include "common/ScanFlags.h"
#include "engine/FileInfo.h"
#include "platform/Clock.h"
#include "platform/DateFormat.h"
#include "platform/GlobalQueue.h"
#include "platform/widgets/OpenPanel.h"
#include "platform/widgets/Presenter.h"
#include "platform/widgets/ScreenRegistry.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace screentest {

// "T<n>" for every key "QX_ID_<n>".
inline QVariantMap keyTexts()
{
    QVariantMap texts;
    for (int n = 1; n <= 300; ++n)
        texts.insert(QStringLiteral("QX_ID_%1").arg(n), QStringLiteral("T%1").arg(n));
    return texts;
}

// Every kind of presentation, in order.
struct Presentations
{
    std::vector<std::pair<platform::Presenter::Event, QWidget *>> events;
    platform::Presenter::Recorder previous;

    Presentations()
    {
        previous
            = platform::Presenter::setRecorder([this](platform::Presenter::Event event, QWidget *content) {
                  events.emplace_back(event, content);
              });
    }
    ~Presentations() { platform::Presenter::setRecorder(std::move(previous)); }
};

// Answers open panels from a list, recording each panel's settings.
struct PanelScript
{
    struct Seen
    {
        bool canChooseFiles;
        bool canChooseDirectories;
        bool allowsMultipleSelection;
        bool canCreateDirectories;
        bool treatsPackagesAsDirectories;
        QStringList allowedFileTypes;
        QString prompt;
        QUrl directory;
        bool hasShouldEnable;
    };
    std::vector<platform::OpenPanel::Answer> answers;
    std::vector<Seen> seen;
    // The last panel's own verdicts, asked while it was open.
    std::function<void(const platform::OpenPanel &)> inspect;
    platform::OpenPanel::Responder previous;

    PanelScript()
    {
        previous = platform::OpenPanel::setResponder([this](const platform::OpenPanel &panel) {
            seen.push_back({ panel.canChooseFiles(), panel.canChooseDirectories(),
                panel.allowsMultipleSelection(), panel.canCreateDirectories(),
                panel.treatsPackagesAsDirectories(), panel.allowedFileTypes(), panel.prompt(),
                panel.directoryUrl(), panel.hasShouldEnable() });
            if (inspect)
                inspect(panel);
            if (answers.empty()) {
                ADD_FAILURE() << "Unscripted open panel";
                return platform::OpenPanel::Answer {};
            }
            platform::OpenPanel::Answer answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
    }
    ~PanelScript() { platform::OpenPanel::setResponder(std::move(previous)); }
};

class ScreenFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setLocalizationDictionary(keyTexts());
        allFiles().clear();
        displayedFiles().clear();
        platform::Clock::setManual(true);
    }
    void TearDown() override
    {
        drain();
        screens.releaseShared();
        allFiles().clear();
        displayedFiles().clear();
        platform::Clock::setManual(false);
        loadLocalizationDictionary();
    }

    // Lets background work finish and its results arrive.
    static void drain()
    {
        platform::GlobalQueue::waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    static void advance(qint64 ms)
    {
        platform::Clock::advance(ms);
        drain();
    }

    // A record of a file that need not exist.
    static std::shared_ptr<FileInfo> record(const QString &name, std::optional<quint64> bytes = std::nullopt,
        std::optional<QDateTime> created = std::nullopt, bool marked = false)
    {
        auto file = std::make_shared<FileInfo>();
        file->fileName = name;
        file->url = QUrl::fromLocalFile(QStringLiteral("/photos/") + name);
        file->sizeBytes = bytes;
        if (bytes)
            file->size = QString::number(*bytes) + QStringLiteral(" bytes");
        file->creationDate = created;
        file->isMark = marked;
        return file;
    }

    static QStringList names(const FileInfoList &files)
    {
        QStringList list;
        for (const auto &file : files)
            list << file->fileName;
        return list;
    }

    QTemporaryDir dir;
    platform::ScreenRegistry screens;
    Presentations presentations;
};

} // namespace screentest
