// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/NumberFormatters.h"
#include "platform/widgets/Beep.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Counts beeps instead of sounding them.
class NumberFormattersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = platform::setBeepHook([this] { ++beeps; });
    }
    void TearDown() override { platform::setBeepHook(m_previous); }

    template <class Formatter> bool takes(const QString &text)
    {
        Formatter formatter;
        QString input = text;
        int position = int(text.size());
        return formatter.validate(input, position) == QValidator::Acceptable && input == text;
    }

    int beeps = 0;

private:
    platform::BeepHook m_previous;
};

} // namespace

TEST_F(NumberFormattersTest, IntegerFieldTakesOneWholeNumberBetweenBlanks)
{
    for (const char *text :
        { "", "0", "42", "-5", "+5", "   12", "12   ", "\t7\n", "007", "99999999999999999999999" }) {
        EXPECT_TRUE(takes<OnlyIntegerValueFormatter>(QString::fromLatin1(text))) << text;
    }
    EXPECT_EQ(beeps, 0);
}

TEST_F(NumberFormattersTest, IntegerFieldRefusesEverythingElseWithOneBeepEach)
{
    const char *refused[]
        = { "-", "+", " ", "12a", "a12", "1 2", "1.5", "--1", "+-1", "1e3", "0x1f", "1,000" };
    for (const char *text : refused)
        EXPECT_FALSE(takes<OnlyIntegerValueFormatter>(QString::fromLatin1(text))) << text;
    EXPECT_EQ(beeps, int(std::size(refused)));
}

TEST_F(NumberFormattersTest, RealFieldTakesDecimalsAndExponents)
{
    for (const char *text : { "", "3", "3.14", "-0.5", "+.5", "5.", " 2.5 ", "1e10", "1E-3", "-2.5e+7" }) {
        EXPECT_TRUE(takes<OnlyDoubleValueFormatter>(QString::fromLatin1(text))) << text;
    }
    EXPECT_EQ(beeps, 0);
}

TEST_F(NumberFormattersTest, RealFieldRefusesASecondPointAndLooseLetters)
{
    const char *refused[]
        = { "1.2.3", ".", "-", "-.", "1e", "1e+", "e5", "1,5", "inf", "nan", "0x10", "2.5 x" };
    for (const char *text : refused)
        EXPECT_FALSE(takes<OnlyDoubleValueFormatter>(QString::fromLatin1(text))) << text;
    EXPECT_EQ(beeps, int(std::size(refused)));
}

TEST_F(NumberFormattersTest, TypingIntoAFieldDropsTheRefusedKeys)
{
    QLineEdit day;
    OnlyIntegerValueFormatter whole;
    day.setValidator(&whole);
    // A minus sign alone is no number yet, so it cannot be typed first.
    QTest::keyClicks(&day, QStringLiteral("-1a2"));
    EXPECT_EQ(day.text(), QStringLiteral("12"));
    EXPECT_EQ(beeps, 2);

    QLineEdit amount;
    OnlyDoubleValueFormatter real;
    amount.setValidator(&real);
    QTest::keyClicks(&amount, QStringLiteral("1.2.5"));
    EXPECT_EQ(amount.text(), QStringLiteral("1.25"));
    EXPECT_EQ(beeps, 3);

    // Clearing the field is always allowed.
    amount.selectAll();
    QTest::keyClick(&amount, Qt::Key_Backspace);
    EXPECT_TRUE(amount.text().isEmpty());
    EXPECT_EQ(beeps, 3);
}
