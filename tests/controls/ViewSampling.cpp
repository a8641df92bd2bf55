// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSampling.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace viewtest {

QImage render(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QColor pixelYUp(const QImage &image, QPointF point)
{
    const int x = int(std::floor(point.x()));
    const int y = int(std::floor(image.height() - point.y()));
    return image.pixelColor(std::clamp(x, 0, image.width() - 1), std::clamp(y, 0, image.height() - 1));
}

QColor blend(const QColor &over, double alpha, const QColor &under)
{
    const auto mix = [alpha](int a, int b) { return int(std::lround(a * alpha + b * (1 - alpha))); };
    return QColor(
        mix(over.red(), under.red()), mix(over.green(), under.green()), mix(over.blue(), under.blue()));
}

testing::AssertionResult near(const QColor &actual, const QColor &expected, int tolerance)
{
    const bool close = std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance
        && std::abs(actual.alpha() - expected.alpha()) <= tolerance;
    if (close)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "colour " << actual.name(QColor::HexArgb).toStdString()
                                       << " is not near " << expected.name(QColor::HexArgb).toStdString();
}

QPointF onCircle(QPointF centre, double radius, double degrees)
{
    const double radians = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(radians), radius * std::sin(radians));
}

} // namespace viewtest
