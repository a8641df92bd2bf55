// SPDX-License-Identifier: GPL-3.0-or-later
#include "BatchTestSupport.h"

#include "batch/RenamedCopies.h"
#include "support/ScopedIsolation.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace {

class RenamedCopiesTest : public BatchTest
{
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        ASSERT_TRUE(source.isValid() && destination.isValid());
    }

    QString makeSource(const QString &name, const QByteArray &bytes = QByteArrayLiteral("picture"))
    {
        return writeFile(source.path(), name, bytes);
    }

    QStringList destinationEntries() const
    {
        return QDir(destination.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    }

    static Rename replacedBy(const QString &name)
    {
        Rename rule;
        rule.isKeepOriginalFileName = false;
        rule.isEditOriginalFileName = true;
        rule.isReplaceFilename = true;
        rule.replaceFilename = name;
        return rule;
    }

    static QDateTime fixedNow() { return at(2026, 12, 8, 7, 5, 9); }

    QTemporaryDir source;
    QTemporaryDir destination;
    testsupport::ConsoleCapture console;
};

TEST_F(RenamedCopiesTest, ABatchCollidingOnOneNameGetsDistinctNames)
{
    const QString file = makeSource(QStringLiteral("IMG_1.jpg"));
    RenamedCopies copies(destination.path(), replacedBy(QStringLiteral("same")), fixedNow);
    const int count = 1000;
    QSet<QString> made;
    for (int i = 0; i < count; ++i) {
        const auto copy = copies.copy(file);
        ASSERT_TRUE(copy) << i;
        made.insert(*copy);
    }
    EXPECT_EQ(made.size(), count);
    EXPECT_EQ(destinationEntries().size(), count);
    EXPECT_TRUE(made.contains(destination.filePath(QStringLiteral("same.jpg"))));
    EXPECT_TRUE(made.contains(destination.filePath(QStringLiteral("same (999).jpg"))));
    // One check per copy, not one per earlier copy.
    EXPECT_LE(copies.names().checks(), count + 1);
    EXPECT_EQ(copies.copied(), count);
}

TEST_F(RenamedCopiesTest, CountersStepByOnePerCopyInBatchOrder)
{
    Rename rule;
    rule.isKeepOriginalFileName = false;
    rule.isEditOriginalFileName = true;
    rule.isAddCounter = true;
    rule.prefixAddCounter = 9;
    rule.minNumberOfDigitsAddCounter = 3;
    RenamedCopies copies(destination.path(), rule, fixedNow);
    EXPECT_TRUE(copies.copy(makeSource(QStringLiteral("b.jpg"))));
    // A copy that fails uses no number.
    EXPECT_FALSE(copies.copy(source.filePath(QStringLiteral("missing.jpg"))));
    EXPECT_TRUE(copies.copy(makeSource(QStringLiteral("a.jpg"))));
    EXPECT_TRUE(copies.copy(makeSource(QStringLiteral("c.png"))));
    EXPECT_EQ(destinationEntries(),
        (QStringList {
            QStringLiteral("009_b.jpg"), QStringLiteral("010_a.jpg"), QStringLiteral("011_c.png") }));
}

// Another program creates the chosen name between the check and the copy:
// the copy takes the next number and the other file stays as it was.
TEST_F(RenamedCopiesTest, ANameTakenAfterTheCheckIsNeverWrittenOver)
{
    const QString file = makeSource(QStringLiteral("IMG_1.jpg"), QByteArrayLiteral("ours"));
    const QString theirs = destination.filePath(QStringLiteral("same.jpg"));
    QFile other(theirs);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("theirs");
    other.close();

    int checks = 0;
    const auto seesNothing = [&](const QString &) {
        ++checks;
        return false;
    };
    RenamedCopies copies(destination.path(), replacedBy(QStringLiteral("same")), fixedNow, seesNothing);
    const auto copy = copies.copy(file);
    ASSERT_TRUE(copy);
    EXPECT_EQ(*copy, destination.filePath(QStringLiteral("same (1).jpg")));
    EXPECT_EQ(bytesOf(*copy), QByteArrayLiteral("ours"));
    EXPECT_EQ(bytesOf(theirs), QByteArrayLiteral("theirs"));
    EXPECT_EQ(checks, 2);
}

TEST_F(RenamedCopiesTest, TheSourceIsNeverWrittenOver)
{
    const QString file = makeSource(QStringLiteral("IMG_1.jpg"), QByteArrayLiteral("original"));
    RenamedCopies copies(source.path(), Rename(), fixedNow);
    const auto copy = copies.copy(file);
    ASSERT_TRUE(copy);
    EXPECT_EQ(*copy, source.filePath(QStringLiteral("IMG_1 (1).jpg")));
    EXPECT_EQ(bytesOf(file), QByteArrayLiteral("original"));
}

TEST_F(RenamedCopiesTest, HostileNamesStayInsideTheDestinationAndWithinTheLimit)
{
    QTemporaryDir root;
    const QString inner = root.filePath(QStringLiteral("inner"));
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("inner")));
    const QString file = makeSource(QStringLiteral("IMG_1.jpg"));
    const QString longText = QString::fromUtf16(u"\u00E9").repeated(150); // 300 bytes
    const QString hostile[] = {
        QStringLiteral("../x"),
        QStringLiteral("A/B"),
        QStringLiteral(".."),
        QStringLiteral("/"),
        QStringLiteral("a\x01\x1f\x7f"),
        longText,
        QStringLiteral("x").repeated(300),
    };
    for (const QString &name : hostile) {
        Rename rule = replacedBy(name);
        rule.isAddText = true;
        rule.suffixAddText = longText; // a long part on either side of the name
        rule.prefixAddText = QStringLiteral("../..");
        RenamedCopies copies(inner, rule, fixedNow);
        for (int i = 0; i < 3; ++i) {
            const auto copy = copies.copy(file);
            ASSERT_TRUE(copy) << name.toStdString();
            const QFileInfo made(*copy);
            EXPECT_EQ(made.absolutePath(), QFileInfo(inner).absoluteFilePath());
            EXPECT_LE(made.fileName().toUtf8().size(), fileNameByteLimit);
            EXPECT_TRUE(made.fileName().endsWith(QStringLiteral(".jpg")));
        }
    }
    // Nothing landed beside the destination folder.
    EXPECT_EQ(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList { QStringLiteral("inner") });
    EXPECT_EQ(QDir(inner).entryList(QDir::Files | QDir::Hidden).size(), int(std::size(hostile)) * 3);
}

TEST_F(RenamedCopiesTest, LongOriginalNamesGetTheirNumberWithinTheLimit)
{
    const QString longName = QStringLiteral("n").repeated(251) + QStringLiteral(".jpg"); // 255 bytes
    const QString file = makeSource(longName);
    RenamedCopies copies(destination.path(), Rename(), fixedNow);
    ASSERT_EQ(copies.copy(file), destination.filePath(longName));
    const auto second = copies.copy(file);
    ASSERT_TRUE(second);
    EXPECT_EQ(QFileInfo(*second).fileName(), QStringLiteral("n").repeated(247) + QStringLiteral(" (1).jpg"));
}

TEST_F(RenamedCopiesTest, AFailedCopyIsReportedAndLeavesNothing)
{
    const QString file = makeSource(QStringLiteral("IMG_1.jpg"));
    RenamedCopies nowhere(destination.filePath(QStringLiteral("missing")), Rename(), fixedNow);
    EXPECT_EQ(nowhere.copy(file), std::nullopt);
    ASSERT_EQ(console.lines().size(), 1);
    EXPECT_TRUE(console.lines().first().contains(QStringLiteral("missing")));

    RenamedCopies copies(destination.path(), Rename(), fixedNow);
    EXPECT_EQ(copies.copy(source.filePath(QStringLiteral("gone.jpg"))), std::nullopt);
    EXPECT_TRUE(destinationEntries().isEmpty());
    EXPECT_EQ(copies.copied(), 0);
}

} // namespace
