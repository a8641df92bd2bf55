// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace platform {

// Creates screens by identifier (their class name). Shared screens are made
// once, lazily, and owned here; the registry is an object of the
// application's main() (or a test), destroyed before the QApplication.
class ScreenRegistry
{
public:
    using Factory = std::function<QWidget *()>;

    ScreenRegistry();
    ~ScreenRegistry();
    ScreenRegistry(const ScreenRegistry &) = delete;
    ScreenRegistry &operator=(const ScreenRegistry &) = delete;

    // The registry alive now; fatal when there is none.
    static ScreenRegistry &instance();
    static bool exists();

    // A new screen of class T for the caller to own: made by the factory
    // registered under T's name in the registry alive, or T itself where
    // there is no registry or no such factory (a screen used on its own).
    template <class T> static T *make()
    {
        const QString identifier = QString::fromLatin1(T::staticMetaObject.className());
        if (exists() && instance().has(identifier))
            return instance().create<T>();
        return new T;
    }

    void add(const QString &identifier, Factory factory);
    template <class T> void add()
    {
        add(QString::fromLatin1(T::staticMetaObject.className()), [] { return new T; });
    }
    bool has(const QString &identifier) const;

    // A new screen the caller owns; fatal for an unknown identifier.
    QWidget *create(const QString &identifier) const;
    template <class T> T *create() const
    {
        return checked<T>(create(QString::fromLatin1(T::staticMetaObject.className())));
    }

    // The one shared screen of that identifier, made on first use.
    QWidget *shared(const QString &identifier);
    template <class T> T *shared()
    {
        return checked<T>(shared(QString::fromLatin1(T::staticMetaObject.className())));
    }
    // The same, registering T itself first when nothing was registered under
    // its name: a test or another build can register a stand-in (derived
    // from T) beforehand.
    template <class T> T *sharedInstance()
    {
        const QString identifier = QString::fromLatin1(T::staticMetaObject.className());
        if (!has(identifier))
            add<T>();
        return checked<T>(shared(identifier));
    }
    bool isShared(const QString &identifier) const { return m_shared.contains(identifier); }

    // Destroys the shared screens, newest first.
    void releaseShared();

private:
    template <class T> static T *checked(QWidget *widget)
    {
        T *typed = qobject_cast<T *>(widget);
        if (widget && !typed)
            fatalWrongClass(widget, T::staticMetaObject.className());
        return typed;
    }
    [[noreturn]] static void fatalWrongClass(QWidget *widget, const char *expected);

    QHash<QString, Factory> m_factories;
    QHash<QString, QWidget *> m_shared;
    // Guarded: a screen placed into a window dies with that window.
    std::vector<QPointer<QWidget>> m_owned;
};

} // namespace platform
