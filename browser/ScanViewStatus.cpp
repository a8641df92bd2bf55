// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/ScanViewStatus.h"

#include "platform/Notifier.h"

void ScanViewStatus::post() const
{
    platform::Notifier::instance().postScanViewStatus(userInfo());
}

QVariantMap ScanViewStatus::userInfo() const
{
    return { { platform::Notifier::ScanViewStatus, QVariant::fromValue(*this) } };
}

std::optional<ScanViewStatus> ScanViewStatus::fromUserInfo(const QVariantMap &userInfo)
{
    const QVariant entry = userInfo.value(platform::Notifier::ScanViewStatus);
    if (entry.metaType() != QMetaType::fromType<ScanViewStatus>())
        return std::nullopt;
    return entry.value<ScanViewStatus>();
}
