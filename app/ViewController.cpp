// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ViewController.h"

#include "common/AppHelpers.h"
#include "common/Localization.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QVBoxLayout>

namespace {

QPointer<ViewController> g_current;

const char *identifierOf(ContainerPage page)
{
    switch (page) {
    case ContainerPage::dashboard:
        return "DashboardViewController";
    case ContainerPage::home:
        return "HomeViewController";
    default:
        return "ResultViewController";
    }
}

} // namespace

ViewController::ViewController(QWidget *parent)
    : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    boxParent = new QFrame(this);
    boxParent->setFrameShape(QFrame::NoFrame);
    outer->addWidget(boxParent);
    auto *inner = new QVBoxLayout(boxParent);
    inner->setContentsMargins(0, 0, 0, 0);
    containerView = new QWidget(boxParent);
    inner->addWidget(containerView);

    g_current = this;
    setContainerPageSwitch([](ContainerPage page) {
        if (ViewController *container = current())
            container->showPage(page);
    });
    loadLocalizationDictionary();
    showPage(ContainerPage::dashboard);
}

ViewController::~ViewController()
{
    takePagesOut();
}

ViewController *ViewController::current()
{
    return g_current;
}

QString ViewController::pageIdentifier(ContainerPage page)
{
    return QString::fromLatin1(identifierOf(page));
}

QWidget *ViewController::pageScreen(ContainerPage page)
{
    return platform::ScreenRegistry::instance().shared(pageIdentifier(page));
}

void ViewController::showPage(ContainerPage page)
{
    takePagesOut();
    pinSubview(containerView, pageScreen(page));
    emit pageShown();
}

void ViewController::takePagesOut()
{
    // The pages belong to the screen registry: taken out, they live on.
    const auto shown = containerView->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : shown) {
        if (containerView->layout())
            containerView->layout()->removeWidget(child);
        child->hide();
        child->setParent(nullptr);
    }
}

QWidget *ViewController::shownPage() const
{
    const auto shown = containerView->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    return shown.isEmpty() ? nullptr : shown.first();
}
