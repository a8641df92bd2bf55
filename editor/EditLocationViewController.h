// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Geocoder.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class FileInfo;
class QComboBox;
class QLabel;
class QLineEdit;
class SegmentedControl;

namespace platform {
class MapView;
}

// The window in which the user places the editing form's GPS position on a
// map: by dragging the red pin, by typing a latitude or a longitude, or by
// typing an address that is looked up. Every new position is shown on the
// map, its address is looked up (unless it came from a typed address) and
// it is written at once into the form's latitude and longitude fields and
// their reference pop-ups, whose edit marks the form then re-evaluates.
// There is no save or cancel: closing the window leaves the form as it is.
class EditLocationViewController : public QWidget
{
    Q_OBJECT
public:
    // The region shown around a position, degrees each way.
    static constexpr double RegionSpan = 0.01;
    // The degrees a latitude and a longitude take either way.
    static constexpr int LatitudeLimit = 90;
    static constexpr int LongitudeLimit = 180;

    explicit EditLocationViewController(QWidget *parent = nullptr);
    ~EditLocationViewController() override;

    // Starts from the form's two fields when both are connected, else from
    // the record's GPS values when it has both, else from the last position.
    void configure(const std::shared_ptr<FileInfo> &fileInfo);
    // The one place where a position takes effect.
    void showLocation(double latitude, double longitude, bool reverseGeocode);
    // Writes the current position into the form's four GPS controls.
    void writeLocationToEditor();
    // Hands the address text of a position to completion: the parts of the
    // first place found, each followed by ", ", then the postal code.
    void reverseGeocode(double latitude, double longitude, std::function<void(const QString &)> completion);
    static QString addressText(const QList<platform::Placemark> &placemarks);
    // 0 standard, 1 satellite, 2 hybrid; other segments leave the type.
    void setMapType(int segment);
    void clickedSegmentLocationView();

    // Typing into the address, latitude or longitude field.
    void controlTextDidChange(QLineEdit *field);
    // The user let go of the pin.
    void pinDropped(double latitude, double longitude);

    platform::Geocoder &geocoder() { return *m_geocoder; }

    QPointer<QLabel> lblSearchLocation;
    QPointer<QLabel> lblName;
    QPointer<QLineEdit> txtFieldName;
    QPointer<QLabel> lblLatitude;
    QPointer<QLineEdit> txtFieldLatitude;
    QPointer<QLabel> lblLongitude;
    QPointer<QLineEdit> txtFieldLongitude;
    QPointer<platform::MapView> mapView;
    QPointer<QLabel> lblLocationView;
    QPointer<SegmentedControl> sengmentLocationView;
    QPointer<QLabel> lblDragTheRedPin;

    // The form's controls that receive the position, and the form (any
    // object with a fieldChanged(QWidget *) slot); set on every opening.
    QPointer<QLineEdit> txtFieldLatitudeTarget;
    QPointer<QComboBox> popUpLatitudeRefTarget;
    QPointer<QLineEdit> txtFieldLongitudeTarget;
    QPointer<QComboBox> popUpLongitudeRefTarget;
    QPointer<QObject> metadataEditorVC;
    std::shared_ptr<FileInfo> fileInfo;

    double latitude = 0;
    double longitude = 0;
    bool isPreset = false;

private:
    void buildControls();
    void setUpTexts();
    void coordinateTyped(QLineEdit *field, bool isLatitude);
    void writeCoordinate(
        double value, QLineEdit *target, QComboBox *popUp, const QString &positive, const QString &negative);

    platform::Geocoder *m_geocoder;
};
