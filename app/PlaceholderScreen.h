#pragma once

#include <QWidget>

// Stands in for a page of the main window whose screen is not part of the
// program yet.
class PlaceholderScreen : public QWidget
{
    Q_OBJECT
public:
    explicit PlaceholderScreen(const QString &title, QWidget *parent = nullptr);

    QString title() const { return m_title; }

private:
    QString m_title;
};
