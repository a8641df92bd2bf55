// SPDX-License-Identifier: GPL-3.0-or-later
// A window with every progress view animating and a few flat buttons, for
// a developer to look at: build/<type>/tests/controls/controls_gallery.
#include "controls/CircularProgressView.h"
#include "controls/Crawler.h"
#include "controls/MaterialProgress.h"
#include "controls/OrvelFlatButton.h"
#include "controls/ProgressBar.h"
#include "controls/Rainbow.h"
#include "controls/RotatingArc.h"
#include "controls/ShootingStars.h"
#include "controls/Spinner.h"

#include "platform/Timer.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QWidget *captioned(const QString &caption, QWidget *content, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    content->setParent(box);
    content->setFixedSize(content->sizeHint());
    layout->addWidget(content, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(caption, box), 0, Qt::AlignHCenter);
    return box;
}

template <class View> View *animated(QWidget *parent, const QRect &frame)
{
    auto *view = BaseView::create<View>(frame, parent);
    view->setAnimate(true);
    return view;
}

QImage starImage()
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygonF({ { 8, 0 }, { 10, 6 }, { 16, 6 }, { 11, 10 }, { 13, 16 }, { 8, 12 },
        { 3, 16 }, { 5, 10 }, { 0, 6 }, { 6, 6 } }));
    return image;
}

OrvelFlatButton *flatButton(const QString &title, bool momentary, QWidget *parent)
{
    auto *button = new OrvelFlatButton(parent);
    button->setTitle(title);
    button->setImage(starImage());
    button->setImagePosition(OrvelFlatButton::ImageLeft);
    button->setImageHugsTitle(true);
    button->setSpacing(4);
    button->setCornerRadius(6);
    button->setBorderWidth(1);
    button->setOnAnimateDuration(0.15);
    button->setOffAnimateDuration(0.3);
    button->setBorderNormalColor(QColor(60, 90, 140));
    button->setBorderHighlightColor(QColor(30, 60, 110));
    button->setBackgroundNormalColor(QColor(230, 236, 245));
    button->setBackgroundHighlightColor(QColor(60, 90, 140));
    button->setImageNormalColor(QColor(60, 90, 140));
    button->setImageHighlightColor(Qt::white);
    button->setTitleNormalColor(QColor(30, 40, 60));
    button->setTitleHighlightColor(Qt::white);
    button->setMomentary(momentary);
    button->setFixedSize(160, 36);
    return button;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Controls"));
    auto *grid = new QGridLayout(&window);

    const QRect square(0, 0, 100, 100);
    auto *bar = BaseView::create<ProgressBar>(QRect(0, 0, 206, 20), &window);
    auto *circle = BaseView::create<CircularProgressView>(square, &window);
    auto *rainbow = animated<Rainbow>(&window, square);
    rainbow->setOnLightOffDark(false);

    grid->addWidget(captioned(QStringLiteral("ProgressBar"), bar, &window), 0, 0);
    grid->addWidget(captioned(QStringLiteral("CircularProgressView"), circle, &window), 0, 1);
    grid->addWidget(captioned(QStringLiteral("Crawler"), animated<Crawler>(&window, square), &window), 0, 2);
    grid->addWidget(
        captioned(QStringLiteral("RotatingArc"), animated<RotatingArc>(&window, square), &window), 0, 3);
    grid->addWidget(captioned(QStringLiteral("ShootingStars"),
                        animated<ShootingStars>(&window, QRect(0, 0, 206, 8)), &window),
        1, 0);
    grid->addWidget(
        captioned(QStringLiteral("MaterialProgress"), animated<MaterialProgress>(&window, square), &window),
        1, 1);
    grid->addWidget(captioned(QStringLiteral("Rainbow"), rainbow, &window), 1, 2);
    grid->addWidget(captioned(QStringLiteral("Spinner"), animated<Spinner>(&window, square), &window), 1, 3);
    grid->addWidget(captioned(QStringLiteral("momentary"),
                        flatButton(QStringLiteral("Press me"), true, &window), &window),
        2, 0, 1, 2);
    grid->addWidget(
        captioned(QStringLiteral("toggle"), flatButton(QStringLiteral("Toggle me"), false, &window), &window),
        2, 2, 1, 2);

    // The determinate views step through the fractions and start over.
    int step = 0;
    platform::Timer ticker(700, [&] {
        step = (step + 1) % 11;
        bar->setProgress(step / 10.0);
        circle->setProgress(step / 10.0);
    });
    ticker.start();

    window.show();
    return app.exec();
}
