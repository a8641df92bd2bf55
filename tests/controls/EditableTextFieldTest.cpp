// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/EditableTextField.h"

#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A list row under the field: counts the presses the field passes on.
class Row : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

class Field : public EditableTextField
{
public:
    using EditableTextField::EditableTextField;
    using QLineEdit::cursorRect;
};

struct Fixture
{
    Fixture()
    {
        auto *layout = new QVBoxLayout(&row);
        field = new Field(&row);
        field->setText(QStringLiteral("Holiday snaps"));
        layout->addWidget(field);
        row.resize(300, 40);
        row.show();
    }

    // A point inside the second word.
    QPoint inSecondWord()
    {
        const int cursor = field->cursorPosition();
        field->setCursorPosition(10);
        const QPoint point = field->cursorRect().center();
        field->setCursorPosition(cursor);
        return point;
    }

    Row row;
    Field *field;
};

bool hasBackground(const QWidget &widget)
{
    return widget.palette().color(QPalette::Base).alpha() > 0;
}

} // namespace

TEST(EditableTextField, StartsAsALabelThatPassesSingleClicksOn)
{
    Fixture f;
    EXPECT_FALSE(f.field->isEditable());
    EXPECT_FALSE(f.field->isSelectable());
    EXPECT_FALSE(hasBackground(*f.field));

    QTest::mouseClick(f.field, Qt::LeftButton, {}, f.inSecondWord());
    EXPECT_FALSE(f.field->isEditable());
    EXPECT_FALSE(f.field->hasSelectedText());
    EXPECT_EQ(f.row.presses, 1);
}

TEST(EditableTextField, DoubleClickStartsEditingWithTheWholeTextSelected)
{
    Fixture f;
    QTest::mouseDClick(f.field, Qt::LeftButton, {}, f.inSecondWord());
    EXPECT_TRUE(f.field->isEditable());
    EXPECT_TRUE(f.field->isSelectable());
    EXPECT_TRUE(hasBackground(*f.field));
    EXPECT_EQ(f.field->selectedText(), QStringLiteral("Holiday snaps"));

    QTest::keyClicks(f.field, QStringLiteral("Trip"));
    EXPECT_EQ(f.field->text(), QStringLiteral("Trip"));
}

TEST(EditableTextField, DoubleClickWhileEditingSelectsAWordAsUsual)
{
    Fixture f;
    f.field->beginEditing();
    f.field->deselect();
    QTest::mouseDClick(f.field, Qt::LeftButton, {}, f.inSecondWord());
    EXPECT_EQ(f.field->selectedText(), QStringLiteral("snaps"));
}

TEST(EditableTextField, EndEditingMakesItALabelAgain)
{
    Fixture f;
    f.field->beginEditing();
    f.field->endEditing();
    EXPECT_FALSE(f.field->isEditable());
    EXPECT_FALSE(f.field->hasSelectedText());
    EXPECT_FALSE(hasBackground(*f.field));
    QTest::keyClicks(f.field, QStringLiteral("x"));
    EXPECT_EQ(f.field->text(), QStringLiteral("Holiday snaps"));
}
