// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Alert.h"

#include "support/AlertScript.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

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
    EXPECT_EQ(script.shown()[0].buttons, (QStringList { QStringLiteral("Go"), QStringLiteral("Cancel") }));
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
    EXPECT_EQ(script.shown()[0].buttons, QStringList { QStringLiteral("OK") });
}

TEST(Alert, ButtonsStandWhereTheDesktopPutsOkAndCancel)
{
    const auto roleOf = [](const Alert &alert, const QString &title) {
        auto *box = alert.findChild<QDialogButtonBox *>();
        for (QAbstractButton *button : box->buttons())
            if (button->text() == title)
                return std::pair(box->buttonRole(button), qobject_cast<QPushButton *>(button)->isDefault());
        return std::pair(QDialogButtonBox::InvalidRole, false);
    };
    // The first button is the default, the last one answers Escape.
    Alert plain;
    plain.addButton(QStringLiteral("Remove"));
    plain.addButton(QStringLiteral("Cancel"));
    EXPECT_EQ(roleOf(plain, QStringLiteral("Remove")), std::pair(QDialogButtonBox::AcceptRole, true));
    EXPECT_EQ(roleOf(plain, QStringLiteral("Cancel")), std::pair(QDialogButtonBox::RejectRole, false));

    // "No" first, the default and Escape's answer: it stays the rejecting
    // one and "Yes" accepts, so the pair reads as Yes and No everywhere.
    Alert stop;
    stop.addButton(QStringLiteral("No"));
    stop.addButton(QStringLiteral("Yes"));
    stop.addButton(QStringLiteral("Later"));
    stop.setCancelResponse(Alert::FirstButton);
    AlertScript script;
    script.answer(1001);
    EXPECT_EQ(stop.runModal(), 1001);
    EXPECT_EQ(roleOf(stop, QStringLiteral("No")), std::pair(QDialogButtonBox::RejectRole, true));
    EXPECT_EQ(roleOf(stop, QStringLiteral("Yes")), std::pair(QDialogButtonBox::AcceptRole, false));
    EXPECT_EQ(roleOf(stop, QStringLiteral("Later")), std::pair(QDialogButtonBox::ActionRole, false));
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
