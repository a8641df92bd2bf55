// SPDX-License-Identifier: GPL-3.0-or-later
// A user cleans photos an image converter wrote as PNG files, through the
// program's own screens: one group at a time and all six at once, each time
// as copies into a folder of their own. exiftool then finds nothing of
// what the clean named in any copy, in any form, beside what the result
// screen lists as left; what the clean did not name, and the picture, stay.

#include "UserRoadFixture.h"

#include "batch/CleanMetadataViewController.h"
#include "batch/ResultViewController.h"
#include "common/Localization.h"
#include "support/AlertScript.h"
#include "support/QtPrinters.h"
#include "support/SecondReader.h"

#include <QComboBox>
#include <QTreeWidget>

#include <functional>

using secondreader::family0;
using secondreader::isExifTextCopy;
using secondreader::isXmpTextCopy;
using secondreader::tagName;
using shelltest::UserRoadFixture;

namespace {

constexpr int Yes = platform::Alert::FirstButton;

// Whether exiftool's tag is a value of the group, in any form it finds.
bool isGps(const QString &key)
{
    return tagName(key).contains(QLatin1String("GPS"));
}
bool isComment(const QString &key)
{
    return tagName(key).contains(QLatin1String("Comment"));
}
bool isIptc(const QString &key)
{
    return family0(key) == QLatin1String("IPTC");
}
bool isXmp(const QString &key)
{
    return family0(key) == QLatin1String("XMP") || isXmpTextCopy(key);
}
bool isAnyMetadata(const QString &key)
{
    return family0(key) == QLatin1String("EXIF") || isExifTextCopy(key) || isGps(key) || isComment(key)
        || isIptc(key) || isXmp(key);
}

struct Round
{
    const char *name;
    std::function<QList<QCheckBox *>(CleanMetadataViewController *)> boxes;
    std::function<bool(const QString &key)> takes;
    bool takesIptc;
};

class CleanRoadTest : public UserRoadFixture
{
protected:
    void SetUp() override
    {
        UserRoadFixture::SetUp();
        REQUIRE_TEST_DATA();
        ASSERT_TRUE(secondreader::hasExiftool()) << "exiftool is installed by scripts/install-deps";
        for (const QString &name : sources)
            testsupport::copyTestFile(QStringLiteral("images/") + name, converted);
        testsupport::copyTestFile(QStringLiteral("malformed/") + damaged, converted);
    }

    const QStringList sources { QStringLiteral("converted-gps.png"), QStringLiteral("converted-iptc.png"),
        QStringLiteral("converted-xmp.png") };
    const QString damaged = QStringLiteral("converted-broken-profile.png");
    QTemporaryDir converted;
};

} // namespace

TEST_F(CleanRoadTest, EachCleanOfConvertedPngsLeavesNothingItNamesOrListsWhatStayed)
{
    const Round rounds[] = {
        { "GPS", [](auto *s) { return QList<QCheckBox *> { s->btnGPSInformation }; }, isGps, false },
        { "IPTC", [](auto *s) { return QList<QCheckBox *> { s->btnIPTC }; }, isIptc, true },
        { "comments", [](auto *s) { return QList<QCheckBox *> { s->btnComment }; }, isComment, false },
        { "XMP", [](auto *s) { return QList<QCheckBox *> { s->btnXMP }; }, isXmp, false },
        { "all six",
            [](auto *s) {
                return QList<QCheckBox *> { s->btnExif, s->btnOrientation, s->btnGPSInformation,
                    s->btnComment, s->btnIPTC, s->btnXMP };
            },
            isAnyMetadata, true },
    };
    const QStringList names = sources + QStringList { damaged };
    QStringList originals;
    for (const QString &name : names)
        originals << converted.filePath(name);
    const QHash<QString, secondreader::Reading> before = secondreader::readAll(originals);

    testsupport::AlertScript alerts;
    launch();
    HomeViewController *home = HomeViewController::shared();
    CleanMetadataViewController *clean = CleanMetadataViewController::shared();
    for (const Round &round : rounds) {
        SCOPED_TRACE(round.name);
        chooseOnDashboard(converted.path());
        ASSERT_EQ(markedFiles(displayedFiles()).size(), names.size());
        home->popUpEditingOptions->setCurrentIndex(2);
        emit home->popUpEditingOptions->activated(2);
        for (QCheckBox *box : round.boxes(clean))
            box->setChecked(true);

        QTemporaryDir into;
        alerts.answer(Yes);
        const auto previous = platform::OpenPanel::setResponder([&](const platform::OpenPanel &) {
            return platform::OpenPanel::Answer { platform::OpenPanel::OK,
                { QUrl::fromLocalFile(into.path()) } };
        });
        home->btnStartProcess->click();
        settle();
        platform::OpenPanel::setResponder(previous);

        // Only the photo whose profile cannot be read is listed, and only
        // by a clean of the IPTC.
        auto *result = qobject_cast<ResultViewController *>(ViewController::current()->shownPage());
        ASSERT_NE(result, nullptr);
        if (round.takesIptc) {
            EXPECT_EQ(result->lblBatchProcess->text(),
                QStringLiteral("1 ") + localizedString("QX_ID_249") + QLatin1Char(' ')
                    + localizedString("QX_ID_293"));
            ASSERT_EQ(result->listFailedPhotos->topLevelItemCount(), 1);
            EXPECT_TRUE(result->listFailedPhotos->topLevelItem(0)->text(0).endsWith(damaged));
            EXPECT_EQ(result->listFailedPhotos->topLevelItem(0)->text(1),
                localizedString("QX_ID_70")
                    + QStringLiteral(
                        " not all removed: a Photoshop profile in the file cannot be read, so any IPTC in it "
                        "stays"));
        } else {
            EXPECT_EQ(result->lblBatchProcess->text(), localizedString("QX_ID_248"));
            EXPECT_EQ(result->listFailedPhotos->topLevelItemCount(), 0);
        }

        QStringList copies;
        for (const QString &name : names)
            copies << into.filePath(name);
        const QHash<QString, secondreader::Reading> after = secondreader::readAll(copies);
        for (qsizetype i = 0; i < names.size(); ++i) {
            SCOPED_TRACE(qPrintable(names[i]));
            const secondreader::Reading &was = before[originals[i]];
            const secondreader::Reading &is = after[copies[i]];
            ASSERT_FALSE(is.tags.isEmpty()) << "a copy of each photo";
            QStringList left;
            for (const QString &key : is.tags.keys()) {
                const bool listed = names[i] == damaged && isIptc(key);
                if (round.takes(key) && !listed)
                    left << key;
            }
            EXPECT_EQ(left, QStringList());
            expectOwnTextsAndPictureKept(originals[i], was, copies[i], is);
        }
        result->btnFinish->click();
        settle(2);
    }
    EXPECT_EQ(alerts.remaining(), 0);
}
