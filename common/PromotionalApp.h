#pragma once

#include <QIcon>
#include <QString>
#include <QUrl>

#include <optional>

// One application recommended on the result screen.
struct PromotionalApp
{
    int id = 0; // ascends in list order, from 1
    QString title;
    QString subTitle;
    std::optional<QIcon> icon;
    std::optional<QUrl> url; // its page in the software centre
    bool isAppstore = true;
    QString bundleID; // its desktop entry and software-centre id
};
