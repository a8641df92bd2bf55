// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Localization.h"

#include "platform/Resources.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Every "QX_ID_<n>" key the program's code names, with the file naming it.
QMap<QString, QString> keysUsedInCode()
{
    static const QRegularExpression key(QStringLiteral("\\bQX_ID_\\d+\\b"));
    QMap<QString, QString> found;
    const QString root = QStringLiteral(CALVORN_SOURCE_DIR);
    for (const char *folder :
        { "platform", "engine", "common", "app", "controls", "browser", "batch", "editor", "launcher" }) {
        QDirIterator it(root + QLatin1Char('/') + QLatin1String(folder),
            { QStringLiteral("*.cpp"), QStringLiteral("*.h") }, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = key.globalMatch(text); match.hasNext();)
                found.insert(match.next().captured(), QDir(root).relativeFilePath(file.fileName()));
        }
    }
    return found;
}

} // namespace

TEST(Localization, LookupBeforeLoadingAndOfNonTextsIsEmpty)
{
    setLocalizationDictionary(std::nullopt);
    EXPECT_TRUE(localizedString(QStringLiteral("QX_ID_1")).isEmpty());

    setLocalizationDictionary(QVariantMap { { QStringLiteral("QX_ID_1"), QStringLiteral("Add Photos") },
        { QStringLiteral("QX_ID_2"), 42 },
        { QStringLiteral("QX_ID_3"), QVariantList { QStringLiteral("x") } } });
    EXPECT_EQ(localizedString(QStringLiteral("QX_ID_1")), QStringLiteral("Add Photos"));
    EXPECT_TRUE(localizedString(QStringLiteral("QX_ID_2")).isEmpty());
    EXPECT_TRUE(localizedString(QStringLiteral("QX_ID_3")).isEmpty());
    EXPECT_TRUE(localizedString(QStringLiteral("QX_ID_4")).isEmpty());

    setLocalizationDictionary(QVariantMap {});
    EXPECT_TRUE(localizedString(QStringLiteral("QX_ID_1")).isEmpty());
}

TEST(Localization, TheBundledDictionaryLoads)
{
    ASSERT_TRUE(platform::Resources::loadPlist(QStringLiteral("English")).has_value());
    loadLocalizationDictionary();
    EXPECT_TRUE(localizationDictionary().has_value());
}

TEST(Localization, EveryKeyTheCodeUsesHasAText)
{
    const auto dictionary = platform::Resources::loadPlist(QStringLiteral("English"));
    ASSERT_TRUE(dictionary.has_value());
    const QMap<QString, QString> used = keysUsedInCode();
    for (auto it = used.cbegin(); it != used.cend(); ++it) {
        const QVariant text = dictionary->value(it.key());
        EXPECT_TRUE(text.typeId() == QMetaType::QString && !text.toString().isEmpty()) << qPrintable(
            it.key()) << " (used in " << qPrintable(it.value()) << ") has no text in English.plist";
    }
}
