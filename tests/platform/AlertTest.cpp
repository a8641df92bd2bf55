#include "platform/widgets/Alert.h"

#include "support/AlertScript.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

using platform::Alert;
using testsupport::AlertScript;

TEST(Alert, ScriptAnswersInButtonOrderAndRecordsTexts)
{
    AlertScript script;
    script.answer(1001, true, QStringLiteral("typed"));

    Alert alert;
    alert.setMessageText(QStringLiteral("Proceed?"));
    alert.setInformativeText(QStringLiteral("Details"));
    EXPECT_EQ(alert.addButton(QStringLiteral("Go")), 1000);
    EXPECT_EQ(alert.addButton(QStringLiteral("Cancel")), 1001);
    alert.setShowsSuppressionButton(true);
    auto *field = new QLineEdit;
    alert.setAccessoryWidget(field);

    EXPECT_EQ(alert.runModal(), 1001);
    EXPECT_TRUE(alert.isSuppressed());
    EXPECT_EQ(field->text(), QStringLiteral("typed"));
    ASSERT_EQ(script.shown().size(), 1u);
    EXPECT_EQ(script.shown()[0].message, QStringLiteral("Proceed?"));
    EXPECT_EQ(script.shown()[0].informative, QStringLiteral("Details"));
    EXPECT_EQ(script.shown()[0].buttons, (QStringList{QStringLiteral("Go"), QStringLiteral("Cancel")}));
}

TEST(Alert, SheetCompletesLaterOnTheGuiThread)
{
    AlertScript script;
    script.answer(1000);
    int response = 0;
    auto *alert = new Alert;
    alert->addButton(QStringLiteral("OK"));
    alert->beginSheet(nullptr, [&](int r) { response = r; });
    EXPECT_EQ(response, 0) << "a sheet returns before its completion runs";
    QCoreApplication::processEvents();
    EXPECT_EQ(response, 1000);
}

TEST(Alert, ShowAlertIsOneOkButton)
{
    AlertScript script;
    script.answer(1000);
    EXPECT_TRUE(platform::showAlert(QStringLiteral("Done"), QString()));
    EXPECT_EQ(script.shown()[0].buttons, QStringList{QStringLiteral("OK")});
}

static void showUnexpected()
{
    platform::showAlert(QStringLiteral("Surprise"), QString());
}

TEST(Alert, AnAlertNobodyExpectedFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(showUnexpected(), "Unexpected alert: Surprise");
    // A script that runs out fails the same way.
    EXPECT_NONFATAL_FAILURE(
        {
            AlertScript empty;
            showUnexpected();
        },
        "Unscripted alert: Surprise");
}
