#include "app/PlaceholderScreen.h"

#include <QLabel>
#include <QVBoxLayout>

PlaceholderScreen::PlaceholderScreen(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
{
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(title, this);
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    layout->addWidget(label);
}
