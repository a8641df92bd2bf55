// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/PromotionalApp.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <optional>

// Recommends, in turn, other free photo applications the user has not
// installed, remembering the last one shown so that successive results
// show different ones.
class Promotion
{
public:
    static Promotion &shared();

    // The record to show now; none when every one is installed.
    std::optional<PromotionalApp> nextPromotionalApp() const;
    // The rows still to recommend, in list order; the applications folders
    // are looked at afresh on every call.
    QList<PromotionalApp> promotionalApps() const;

    // The ids of the promoted applications, one per row.
    const QStringList &bundleIDs() const { return m_bundleIDs; }

    // Opens the record's page: in the software centre, else on the web.
    static bool open(const PromotionalApp &app);

    // The publisher's page of more applications, for the main screen's gift
    // button; none while no address is set.
    static std::optional<QUrl> giftPage();

private:
    Promotion();

    QStringList m_bundleIDs;
};
