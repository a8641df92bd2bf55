#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
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
