// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/ScreenRegistry.h"

#include <QtGlobal>

namespace platform {

namespace {
ScreenRegistry *g_current = nullptr;
}

ScreenRegistry::ScreenRegistry()
{
    g_current = this;
}

ScreenRegistry::~ScreenRegistry()
{
    releaseShared();
    if (g_current == this)
        g_current = nullptr;
}

ScreenRegistry &ScreenRegistry::instance()
{
    if (!g_current)
        qFatal("No screen registry exists");
    return *g_current;
}

bool ScreenRegistry::exists()
{
    return g_current != nullptr;
}

void ScreenRegistry::add(const QString &identifier, Factory factory)
{
    m_factories.insert(identifier, std::move(factory));
}

bool ScreenRegistry::has(const QString &identifier) const
{
    return m_factories.contains(identifier);
}

QWidget *ScreenRegistry::create(const QString &identifier) const
{
    const auto it = m_factories.constFind(identifier);
    if (it == m_factories.cend())
        qFatal("Unknown screen identifier %s", qPrintable(identifier));
    return (*it)();
}

QWidget *ScreenRegistry::shared(const QString &identifier)
{
    if (QWidget *existing = m_shared.value(identifier))
        return existing;
    QWidget *screen = create(identifier);
    m_shared.insert(identifier, screen);
    m_owned.emplace_back(screen);
    return screen;
}

void ScreenRegistry::releaseShared()
{
    // A shared screen may have been reparented into a window that is itself
    // shared; deleting a parent deletes the child, so detach them first.
    for (auto &screen : m_owned) {
        if (screen)
            screen->setParent(nullptr);
    }
    while (!m_owned.empty()) {
        delete m_owned.back().data();
        m_owned.pop_back();
    }
    m_shared.clear();
}

void ScreenRegistry::fatalWrongClass(QWidget *widget, const char *expected)
{
    qFatal("Screen %s is not a %s", widget->metaObject()->className(), expected);
}

} // namespace platform
