// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;

namespace platform {

// A quick view of one file: a window of its own showing the picture scaled
// to fit, or the file's name where nothing decodes. Showing another file
// replaces the content. Space or Escape closes it. GUI thread only.
class PreviewPanel : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPanel(QWidget *parent = nullptr);

    // The one panel of the process, made on first use.
    static PreviewPanel *shared();

    // Replaces the content with the file's picture (a null image where it
    // did not decode) and brings the window to the front.
    void showFile(const QString &path, const QImage &picture);
    QString path() const { return m_path; }
    // What is shown: a null image when the file did not decode.
    const QImage &image() const { return m_image; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fit();

    QString m_path;
    QImage m_image;
    QLabel *m_picture = nullptr;
};

} // namespace platform
