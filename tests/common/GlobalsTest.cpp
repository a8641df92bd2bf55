// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Globals.h"
#include "common/EditingOptions.h"

#include <QDir>

#include <gtest/gtest.h>

#include <future>

TEST(Globals, SupportedExtensionsInOrder)
{
    const QStringList &e = supportedExtensions();
    ASSERT_EQ(e.size(), 21);
    EXPECT_EQ(e.join(QLatin1Char(' ')),
        QStringLiteral(
            "exv cr2 tif tiff webp dng nef pef srw orf png pgf psd jp2 jpeg jpg mos fff nrw sr2 srf"));
}

TEST(Globals, DefaultExclusionsAreBuiltFromTheHomeFolder)
{
    const QString home = QDir::homePath();
    EXPECT_EQ(defaultExclusionPaths(),
        (QStringList { QStringLiteral("/usr"), QStringLiteral("/proc"), QStringLiteral("/sys"),
            QStringLiteral("/dev"), home + QStringLiteral("/.local/share/Trash"),
            home + QStringLiteral("/.cache"), home + QStringLiteral("/.local"),
            home + QStringLiteral("/Dropbox") }));
    for (const QString &path : defaultExclusionPaths())
        EXPECT_FALSE(path.endsWith(QLatin1Char('/')));
}

TEST(Globals, ListsAreMadeOnceEvenWhenThreadsRace)
{
    auto a = std::async(std::launch::async, [] { return &defaultExclusionPaths(); });
    auto b = std::async(std::launch::async, [] { return &defaultExclusionPaths(); });
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(&allEditingOptions(), &allEditingOptions());
}

TEST(EditingOptions, TextsAndPopUpOrder)
{
    const QList<EditingOptions> &all = allEditingOptions();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0], EditingOptions::onlyModify);
    EXPECT_EQ(all[1], EditingOptions::emptyOthers);
    EXPECT_EQ(all[2], EditingOptions::cleanMetadata);
    EXPECT_EQ(rawValue(EditingOptions::onlyModify),
        QStringLiteral("Modify only the values I edit and keep others intact"));
    EXPECT_EQ(
        rawValue(EditingOptions::emptyOthers), QStringLiteral("Modify values I edit and keep others empty"));
    EXPECT_EQ(rawValue(EditingOptions::cleanMetadata), QStringLiteral("Clear Metadata info"));
    for (EditingOptions option : all)
        EXPECT_EQ(editingOptionFromRaw(rawValue(option)), option);
    EXPECT_FALSE(editingOptionFromRaw(QStringLiteral("clear Metadata info")).has_value());
    EXPECT_FALSE(editingOptionFromRaw(QString()).has_value());
}
