// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <memory>

class FileInfo;
class MetadataDetailsViewController;
class QFrame;
class QLabel;
class SegmentedControl;

namespace platform {
class MapView;
}

// The window that shows one loaded photo: the picture, its name, path,
// pixel size and file size, a map with a pin at its GPS position, and all
// its values in a read-only form. One window serves the whole run; each
// preview replaces what the last one showed. Nothing is edited or saved.
class PreviewViewController : public QWidget
{
    Q_OBJECT
public:
    // The region shown around the position, degrees each way.
    static constexpr double RegionSpan = 0.01;

    explicit PreviewViewController(QWidget *parent = nullptr);
    ~PreviewViewController() override;

    // The one preview window, made on first use.
    static PreviewViewController *shared();

    // Fills the window from file: picture and figures when it has a URL,
    // the map at its position (no pin without one), and the read-only form.
    // A photo whose values are still being read is filled when they arrive.
    void showPreview(const std::shared_ptr<FileInfo> &fileInfo);
    // 0 standard, 1 satellite, 2 hybrid; other segments leave the type.
    void changeMapType(int segment);
    void clickedSegmentControl();

    const std::shared_ptr<FileInfo> &fileInfo() const { return m_fileInfo; }
    // The picture shown, at the size it was decoded.
    const QImage &image() const { return m_image; }

    QPointer<QLabel> imageView;
    QPointer<platform::MapView> mapView;
    QPointer<QLabel> lblLocationView;
    // Stands for the map of a photo without a GPS position.
    QPointer<QLabel> lblNoLocation;
    QPointer<SegmentedControl> segmentLocationView;
    QPointer<QWidget> containerView;
    QPointer<QLabel> lblName;
    QPointer<QLabel> lblNameValue;
    QPointer<QLabel> lblPath;
    QPointer<QLabel> lblPathValue;
    QPointer<QLabel> lblDimension;
    QPointer<QLabel> lblDimensionValue;
    QPointer<QLabel> lblSize;
    QPointer<QLabel> lblSizeValue;
    // The embedded details panel with the read-only form; owned.
    QPointer<MetadataDetailsViewController> metadataVC;

    // The map position shown last.
    double latitude = 0;
    double longitude = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildLayout();
    void setUpTexts();
    void embedMetadataDetails();
    void showImage();
    void showPosition();
    // The read-only form shows a copy of the file's own values.
    void showValues();
    void detailsArrived(const std::shared_ptr<FileInfo> &file);

    std::shared_ptr<FileInfo> m_fileInfo;
    QImage m_image;
};
