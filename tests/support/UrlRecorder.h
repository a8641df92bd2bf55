// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QList>
#include <QObject>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

// While it lives, the addresses of one scheme the desktop is asked to open
// are recorded here instead of opened.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    explicit UrlRecorder(const QString &scheme = QStringLiteral("appstream"))
        : m_scheme(scheme)
    {
        QDesktopServices::setUrlHandler(m_scheme, this, "open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(m_scheme); }

    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }

private:
    QString m_scheme;
};

// While it lives, the desktop has a software centre: an application entry
// in the user's applications folder that handles "appstream:" addresses.
class SoftwareCentre
{
public:
    SoftwareCentre()
        : m_path(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation)
            + QStringLiteral("/test.SoftwareCentre.desktop"))
    {
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation));
        QFile entry(m_path);
        if (entry.open(QIODevice::WriteOnly))
            entry.write("[Desktop Entry]\nType=Application\nName=Software\nExec=true %U\n"
                        "MimeType=x-scheme-handler/appstream;\n");
    }
    ~SoftwareCentre() { QFile::remove(m_path); }
    SoftwareCentre(const SoftwareCentre &) = delete;
    SoftwareCentre &operator=(const SoftwareCentre &) = delete;

private:
    QString m_path;
};
