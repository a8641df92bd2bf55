#include "app/ViewController.h"

#include "app/PlaceholderScreen.h"
#include "common/AppHelpers.h"
#include "common/Localization.h"
#include "platform/widgets/ScreenRegistry.h"

#include <QVBoxLayout>

namespace {

QPointer<ViewController> g_current;

struct PageRow
{
    const char *identifier;
    const char *placeholderTitle;
};

constexpr PageRow Pages[] = {
    { "DashboardViewController", QT_TRANSLATE_NOOP("ViewController", "Add photos to begin") },
    { "HomeViewController", QT_TRANSLATE_NOOP("ViewController", "Photos") },
    { "ResultViewController", QT_TRANSLATE_NOOP("ViewController", "Result") },
};

const PageRow &row(ContainerPage page)
{
    switch (page) {
    case ContainerPage::dashboard:
        return Pages[0];
    case ContainerPage::home:
        return Pages[1];
    default:
        return Pages[2];
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
    return QString::fromLatin1(row(page).identifier);
}

QWidget *ViewController::pageScreen(ContainerPage page)
{
    auto &screens = platform::ScreenRegistry::instance();
    const QString identifier = pageIdentifier(page);
    if (!screens.has(identifier)) {
        const QString title = tr(row(page).placeholderTitle);
        screens.add(identifier, [title] { return new PlaceholderScreen(title); });
    }
    return screens.shared(identifier);
}

void ViewController::showPage(ContainerPage page)
{
    takePagesOut();
    pinSubview(containerView, pageScreen(page));
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
