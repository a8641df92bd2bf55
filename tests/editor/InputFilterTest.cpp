// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorFixture.h"

#include "controls/ToolTipViewController.h"
#include "editor/NumberText.h"

#include <QLabel>

#include <limits>

using namespace editortest;

TEST(NumberText, FiltersKeepWhatANumberCanHold)
{
    EXPECT_EQ(integerOnly(u"-12-3"), QStringLiteral("-123"));
    EXPECT_EQ(integerOnly(u"1.5"), QStringLiteral("15"));
    EXPECT_EQ(integerOnly(u"a-5"), QStringLiteral("5"));
    EXPECT_EQ(integerOnly(u"--7"), QStringLiteral("-7"));
    EXPECT_EQ(integerOnly(u"-"), QStringLiteral("-"));
    EXPECT_EQ(integerOnly(u"\u0661\u0662"), QString()) << "other scripts' digits are not kept";
    EXPECT_EQ(decimalOnly(u"1.2.3"), QStringLiteral("1.23"));
    EXPECT_EQ(decimalOnly(u"-1.5-"), QStringLiteral("-1.5"));
    EXPECT_EQ(decimalOnly(u"..5"), QStringLiteral(".5"));
    EXPECT_EQ(decimalOnly(u"-abc"), QStringLiteral("-"));
}

TEST(NumberText, ReadingsTakeTheLeadingNumberWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(leadingReal(u"1.5"), 1.5);
    EXPECT_EQ(leadingReal(u" -2.5e1x"), -25.0);
    EXPECT_EQ(leadingReal(u"1.2.3"), 1.2);
    EXPECT_EQ(leadingReal(u"-"), 0.0);
    EXPECT_EQ(leadingReal(u"abc"), 0.0);
    EXPECT_EQ(numberText(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(numberText(-33.5), QStringLiteral("-33.5"));
    QLocale::setDefault(saved);

    EXPECT_EQ(leadingInteger(u" +42abc"), 42);
    EXPECT_EQ(leadingInteger(u"12.7"), 12);
    EXPECT_EQ(leadingInteger(u"-"), 0);
    EXPECT_EQ(leadingInteger(u"99999999999999999999"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(wholeNumber(u"+12"), 12);
    EXPECT_EQ(wholeNumber(u"007"), 7);
    EXPECT_FALSE(wholeNumber(u"-"));
    EXPECT_FALSE(wholeNumber(u" 1"));
    EXPECT_FALSE(wholeNumber(u"99999999999999999999"));
    EXPECT_TRUE(isFloatingPointNumber(u"2.5e3"));
    EXPECT_TRUE(isFloatingPointNumber(u"-.5"));
    EXPECT_FALSE(isFloatingPointNumber(u"0x1p3")) << "no forms a photo's value cannot hold";
    EXPECT_FALSE(isFloatingPointNumber(u"inf"));
    EXPECT_FALSE(isFloatingPointNumber(u"nan"));
    EXPECT_EQ(leadingReal(u"1e999"), 0.0);
    EXPECT_FALSE(isFloatingPointNumber(u""));
    EXPECT_FALSE(isFloatingPointNumber(u" 1"));
    EXPECT_FALSE(isFloatingPointNumber(u"1,5"));
    EXPECT_EQ(trimmedBlanks(u" \t4 2\t "), QStringLiteral("4 2"));
}

namespace {

class TypingTest : public EditorTest
{
protected:
    bool tooltipShown() { return ToolTipViewController::shared()->popover.isShown(); }
    QString tooltipText() { return ToolTipViewController::shared()->lblMessage->text(); }
};

} // namespace

TEST_F(TypingTest, WholeNumberFieldsKeepDigitsAndStayInRange)
{
    type(MetadataField::iso, QStringLiteral("12a"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("12"));
    paste(MetadataField::iso, QStringLiteral("+12"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("+12"));
    paste(MetadataField::iso, QStringLiteral("007"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("007"));
    paste(MetadataField::iso, QStringLiteral("1.5"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("007")) << "no whole number: refused, not 15";
    paste(MetadataField::iso, QStringLiteral("-1e2"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("-100")) << "the same number, not -12";
    type(MetadataField::iso, QStringLiteral("+1"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("1")) << "a lone + is no number yet";
    type(MetadataField::iso, QStringLiteral("-"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("-"));
    EXPECT_TRUE(isMarked(MetadataField::iso)) << "tracking runs on every path";
    EXPECT_FALSE(tooltipShown());

    type(MetadataField::iso, QStringLiteral("65535"));
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("65535"));
    EXPECT_FALSE(tooltipShown());
    QTest::keyClick(field(MetadataField::iso), Qt::Key_9);
    EXPECT_EQ(field(MetadataField::iso)->text(), QStringLiteral("65535"));
    ASSERT_TRUE(tooltipShown());
    EXPECT_EQ(tooltipText(), QStringLiteral("Value range: (-65535 to 65535)"));
    ToolTipViewController::shared()->popover.close();

    type(MetadataField::colorSpace, QStringLiteral("-70000"));
    EXPECT_EQ(field(MetadataField::colorSpace)->text(), QStringLiteral("-65535"));
    EXPECT_TRUE(tooltipShown());
    ToolTipViewController::shared()->popover.close();
    paste(MetadataField::colorSpace, QStringLiteral("99999999999999999999"));
    EXPECT_EQ(field(MetadataField::colorSpace)->text(), QStringLiteral("65535"))
        << "too long for any integer";
    EXPECT_TRUE(tooltipShown());

    field(MetadataField::sharpness)->setText(QStringLiteral("5"));
    field(MetadataField::sharpness)->setFocus();
    field(MetadataField::sharpness)->selectAll();
    QTest::keyClick(field(MetadataField::sharpness), Qt::Key_Backspace);
    EXPECT_TRUE(field(MetadataField::sharpness)->text().isEmpty()) << "an emptied field stays empty";
}

TEST_F(TypingTest, DecimalFieldsKeepOnePointAndNumbersAsTyped)
{
    type(MetadataField::focalLength, QStringLiteral("3.1.4"));
    EXPECT_EQ(field(MetadataField::focalLength)->text(), QStringLiteral("3.14"));
    paste(MetadataField::focalLength, QStringLiteral("nan"));
    EXPECT_TRUE(field(MetadataField::focalLength)->text().isEmpty()) << "no value a photo cannot hold";
    type(MetadataField::focalLength, QStringLiteral("abc"));
    EXPECT_TRUE(field(MetadataField::focalLength)->text().isEmpty());
    paste(MetadataField::focalLength, QStringLiteral("2.5e3"));
    EXPECT_EQ(field(MetadataField::focalLength)->text(), QStringLiteral("2.5e3"));
    type(MetadataField::focalLength, QStringLiteral("2.5e3"));
    EXPECT_EQ(field(MetadataField::focalLength)->text(), QStringLiteral("2.53"))
        << "a lone e is dropped as typed";
    type(MetadataField::exposureTime, QStringLiteral("0.004"));
    EXPECT_EQ(field(MetadataField::exposureTime)->text(), QStringLiteral("0.004"));
    paste(MetadataField::fNumber, QStringLiteral("-1.5-"));
    EXPECT_EQ(field(MetadataField::fNumber)->text(), QStringLiteral("-1.5"));
    EXPECT_TRUE(isMarked(MetadataField::fNumber));
}

TEST_F(TypingTest, TheSignOfAGpsNumberPicksItsReference)
{
    type(MetadataField::gpsLatitude, QStringLiteral("-33.9"));
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("-33.9"));
    EXPECT_EQ(popUp(MetadataField::gpsLatitudeRef)->currentText(), QStringLiteral("South"));
    EXPECT_TRUE(isMarked(MetadataField::gpsLatitudeRef));
    type(MetadataField::gpsLatitude, QStringLiteral("12"));
    EXPECT_EQ(popUp(MetadataField::gpsLatitudeRef)->currentText(), QStringLiteral("North"));
    type(MetadataField::gpsLatitude, QStringLiteral("-0"));
    EXPECT_EQ(popUp(MetadataField::gpsLatitudeRef)->currentText(), QStringLiteral("North")) << "0 keeps it";
    paste(MetadataField::gpsLatitude, QStringLiteral("1e1"));
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("1e1"));
    paste(MetadataField::gpsLatitude, QStringLiteral("-1e1"));
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("-11"));
    EXPECT_EQ(popUp(MetadataField::gpsLatitudeRef)->currentText(), QStringLiteral("South"));

    // The location editor's ranges: beyond them, the nearest end.
    type(MetadataField::gpsLatitude, QStringLiteral("123.4"));
    EXPECT_EQ(field(MetadataField::gpsLatitude)->text(), QStringLiteral("90"));
    EXPECT_EQ(form.editedMetadata().gpsLatitude(), 90.0);
    type(MetadataField::gpsLongitude, QStringLiteral("180.5"));
    EXPECT_EQ(field(MetadataField::gpsLongitude)->text(), QStringLiteral("180"));
    type(MetadataField::gpsLongitude, QStringLiteral("179.5"));
    EXPECT_EQ(field(MetadataField::gpsLongitude)->text(), QStringLiteral("179.5"));

    type(MetadataField::gpsLongitude, QStringLiteral("-8"));
    EXPECT_EQ(popUp(MetadataField::gpsLongitudeRef)->currentText(), QStringLiteral("West"));
    type(MetadataField::gpsAltitude, QStringLiteral("-5"));
    EXPECT_EQ(popUp(MetadataField::gpsAltitudeRef)->currentText(), QStringLiteral("Below sea level"));
    type(MetadataField::gpsAltitude, QStringLiteral("5"));
    EXPECT_EQ(popUp(MetadataField::gpsAltitudeRef)->currentText(), QStringLiteral("Above sea level"));
}
