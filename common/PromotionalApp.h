// SPDX-License-Identifier: GPL-3.0-or-later
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
    // Its page in the software centre, or its web page where no software
    // centre handles store addresses (isAppstore false).
    std::optional<QUrl> url;
    bool isAppstore = true;
    QString bundleID; // its desktop entry and software-centre id
};
