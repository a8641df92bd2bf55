// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/EditLocationViewController.h"

#include "common/Localization.h"
#include "editor/EditorWidgets.h"
#include "editor/FormLink.h"
#include "editor/NumberText.h"
#include "editor/SegmentedControl.h"
#include "engine/FileInfo.h"
#include "engine/Metadata.h"
#include "engine/ValueNames.h"
#include "platform/widgets/MapView.h"
#include "platform/widgets/ThemeIcon.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QVBoxLayout>

#include <cmath>

using platform::MapView;

namespace {

// Texts that are on their way to a number: the field waits for more.
bool isUnfinishedNumber(const QString &text)
{
    static const QStringList unfinished = { QString(), QStringLiteral("-"), QStringLiteral("+"),
        QStringLiteral("."), QStringLiteral("-."), QStringLiteral("+.") };
    return unfinished.contains(text);
}

// Shows value unless the field already reads as exactly that number, so
// the field the user types in keeps the user's text.
void showCoordinate(QLineEdit *field, double value)
{
    if (wholeReal(field->text()) != std::optional<double>(value))
        field->setText(shortestText(value));
}

} // namespace

EditLocationViewController::EditLocationViewController(QWidget *parent)
    : QWidget(parent)
    , m_geocoder(new platform::Geocoder(this))
{
    buildControls();
    setUpTexts();

    mapView->setPinDraggable(true);
    connect(mapView, &MapView::pinDropped, this, &EditLocationViewController::pinDropped);
    connect(sengmentLocationView, &SegmentedControl::clicked, this,
        &EditLocationViewController::clickedSegmentLocationView);
    for (QLineEdit *field : { txtFieldName.data(), txtFieldLatitude.data(), txtFieldLongitude.data() })
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
    // A coordinate left unfinished goes back to the current position.
    connect(txtFieldLatitude, &QLineEdit::editingFinished, this,
        [this] { showCoordinate(txtFieldLatitude, latitude); });
    connect(txtFieldLongitude, &QLineEdit::editingFinished, this,
        [this] { showCoordinate(txtFieldLongitude, longitude); });

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (isWindow())
            close();
    });
    resize(760, 600);
}

EditLocationViewController::~EditLocationViewController() = default;

void EditLocationViewController::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);

    lblSearchLocation = headingLabel(this);
    layout->addLayout(platform::withIcon(QStringLiteral("mark-location"), 22, lblSearchLocation));

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    lblName = new QLabel(this);
    txtFieldName = new QLineEdit(this);
    txtFieldName->setClearButtonEnabled(true);
    txtFieldName->addAction(platform::themeIcon(QStringLiteral("edit-find")), QLineEdit::LeadingPosition);
    fields->addWidget(lblName, 0, 0);
    fields->addWidget(txtFieldName, 0, 1, 1, 3);
    lblLatitude = new QLabel(this);
    txtFieldLatitude = new QLineEdit(this);
    lblLongitude = new QLabel(this);
    txtFieldLongitude = new QLineEdit(this);
    fields->addWidget(lblLatitude, 1, 0);
    fields->addWidget(txtFieldLatitude, 1, 1);
    fields->addWidget(lblLongitude, 1, 2);
    fields->addWidget(txtFieldLongitude, 1, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    layout->addLayout(fields);

    mapView = new MapView(this);
    layout->addWidget(mapView, 1);

    auto *bottom = new QHBoxLayout;
    lblLocationView = new QLabel(this);
    sengmentLocationView = new SegmentedControl(3, this);
    sengmentLocationView->setSelectedSegment(0);
    lblDragTheRedPin = new QLabel(this);
    lblDragTheRedPin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bottom->addWidget(lblLocationView);
    bottom->addWidget(sengmentLocationView);
    bottom->addStretch(1);
    bottom->addWidget(lblDragTheRedPin);
    layout->addLayout(bottom);
}

void EditLocationViewController::setUpTexts()
{
    const auto text = [](const char *key) { return localizedString(QLatin1String(key)); };
    lblSearchLocation->setText(text("QX_ID_43"));
    lblName->setText(text("QX_ID_25"));
    lblLatitude->setText(text("QX_ID_44"));
    lblLongitude->setText(text("QX_ID_45"));
    lblDragTheRedPin->setText(text("QX_ID_46"));
    lblLocationView->setText(text("QX_ID_21") + QLatin1Char(':'));
    sengmentLocationView->setLabel(0, text("QX_ID_22"));
    sengmentLocationView->setLabel(1, text("QX_ID_23"));
    sengmentLocationView->setLabel(2, text("QX_ID_24"));
}

void EditLocationViewController::configure(const std::shared_ptr<FileInfo> &record)
{
    fileInfo = record;
    double lat = latitude;
    double lon = longitude;
    if (txtFieldLatitudeTarget && txtFieldLongitudeTarget) {
        lat = leadingReal(txtFieldLatitudeTarget->text());
        lon = leadingReal(txtFieldLongitudeTarget->text());
    } else if (record && record->metadata && record->metadata->gpsLatitude()
        && record->metadata->gpsLongitude()) {
        lat = *record->metadata->gpsLatitude();
        lon = *record->metadata->gpsLongitude();
    }
    showLocation(lat, lon, true);
}

void EditLocationViewController::showLocation(double lat, double lon, bool reverseGeocode)
{
    mapView->setRegion({ lat, lon }, RegionSpan, true);
    mapView->setPinCoordinate({ lat, lon });
    showCoordinate(txtFieldLatitude, lat);
    showCoordinate(txtFieldLongitude, lon);
    if (reverseGeocode) {
        this->reverseGeocode(lat, lon, [this](const QString &address) {
            if (txtFieldName)
                txtFieldName->setText(address);
        });
    }
    latitude = lat;
    longitude = lon;
    writeLocationToEditor();
}

void EditLocationViewController::writeLocationToEditor()
{
    writeCoordinate(latitude, txtFieldLatitudeTarget, popUpLatitudeRefTarget,
        gpsLatitudeRefDescription(QStringLiteral("N")), gpsLatitudeRefDescription(QStringLiteral("S")));
    writeCoordinate(longitude, txtFieldLongitudeTarget, popUpLongitudeRefTarget,
        gpsLongitudeRefDescription(QStringLiteral("E")), gpsLongitudeRefDescription(QStringLiteral("W")));
}

void EditLocationViewController::writeCoordinate(
    double value, QLineEdit *target, QComboBox *popUp, const QString &positive, const QString &negative)
{
    // A position at 0 leaves a form field that holds nothing (or 0) alone.
    const bool leaveAlone = value == 0 && target && leadingReal(target->text()) == 0;
    if (!leaveAlone) {
        if (target)
            target->setText(shortestText(value));
        if (popUp) {
            const QString title = value > 0 ? positive
                : value < 0                 ? negative
                                            : gpsLatitudeRefDescription(QStringLiteral("-1"));
            const int index = popUp->findText(title);
            if (index >= 0)
                popUp->setCurrentIndex(index);
        }
    }
    if (metadataEditorVC) {
        runFieldChanged(metadataEditorVC, target);
        runFieldChanged(metadataEditorVC, popUp);
    }
}

void EditLocationViewController::reverseGeocode(
    double lat, double lon, std::function<void(const QString &)> completion)
{
    m_geocoder->reverse(
        lat, lon, [completion = std::move(completion)](const QList<platform::Placemark> &found) {
            completion(addressText(found));
        });
}

QString EditLocationViewController::addressText(const QList<platform::Placemark> &placemarks)
{
    if (placemarks.isEmpty())
        return {};
    const platform::Placemark &place = placemarks.first();
    QString text;
    for (const QString &part : { place.name, place.subThoroughfare, place.thoroughfare, place.subLocality,
             place.locality, place.subAdministrativeArea, place.administrativeArea, place.country })
        if (!part.isEmpty())
            text += part + QLatin1String(", ");
    return text + place.postalCode;
}

void EditLocationViewController::setMapType(int segment)
{
    if (segment < 0 || segment > 2)
        return;
    mapView->setMapType(MapView::MapType(segment));
}

void EditLocationViewController::clickedSegmentLocationView()
{
    setMapType(sengmentLocationView->selectedSegment());
}

void EditLocationViewController::controlTextDidChange(QLineEdit *field)
{
    if (field && field == txtFieldName) {
        // The typed text stays: an address lookup still on its way for an
        // earlier position must not replace it.
        m_geocoder->cancelReverse();
        m_geocoder->forward(field->text(), [this](const QList<platform::Placemark> &found) {
            if (!found.isEmpty() && found.first().hasLocation())
                showLocation(*found.first().latitude, *found.first().longitude, false);
        });
    } else if (field && field == txtFieldLatitude) {
        coordinateTyped(field, true);
    } else if (field && field == txtFieldLongitude) {
        coordinateTyped(field, false);
    }
}

void EditLocationViewController::coordinateTyped(QLineEdit *field, bool isLatitude)
{
    const QString text = field->text();
    if (isUnfinishedNumber(text))
        return;
    const double limit = isLatitude ? LatitudeLimit : LongitudeLimit;
    const auto value = wholeReal(text);
    if (!value || !std::isfinite(*value) || std::abs(*value) > limit) {
        field->setText(shortestText(isLatitude ? latitude : longitude));
        return;
    }
    if (isLatitude)
        showLocation(*value, longitude, true);
    else
        showLocation(latitude, *value, true);
}

void EditLocationViewController::pinDropped(double lat, double lon)
{
    showLocation(lat, lon, true);
}
