// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Metadata.h"

#include <QStringList>

// The entries of one value pop-up of the editing form, in item order: item
// i stands for entry i, and entry 0 (-1, or the text "-1") leaves the field
// blank. Titles come from the field's value names.
class PopUpValues
{
public:
    using IntegerList = const QList<qint64> &(*)();
    using IntegerTitle = QString (*)(qint64);
    using TextList = const QList<QString> &(*)();
    using TextTitle = QString (*)(const QString &);

    constexpr PopUpValues(IntegerList values, IntegerTitle title)
        : m_integers(values)
        , m_integerTitle(title)
    { }
    constexpr PopUpValues(TextList values, TextTitle title)
        : m_texts(values)
        , m_textTitle(title)
    { }

    qsizetype count() const;
    QStringList titles() const;
    // Entry index as a value of the field's kind; absent past the end.
    Metadata::Value entry(qsizetype index) const;
    // The title of a value of the field's kind; empty for an absent one.
    QString title(const Metadata::Value &value) const;
    // The entry index of value; -1 when the list does not hold it.
    qsizetype indexOf(const Metadata::Value &value) const;
    // A value as itself, for one the list does not hold: a number's digits,
    // a text as it is.
    static QString valueText(const Metadata::Value &value);

private:
    IntegerList m_integers = nullptr;
    IntegerTitle m_integerTitle = nullptr;
    TextList m_texts = nullptr;
    TextTitle m_textTitle = nullptr;
};

// The list of one of the fourteen value pop-ups; null for any other field.
const PopUpValues *popUpValues(MetadataField field);
