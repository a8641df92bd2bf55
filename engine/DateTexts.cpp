// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DateTexts.h"

#include "platform/DateFormat.h"

QString displayText(const QDateTime &date)
{
    return platform::DateFormat::format(date, dateDisplayFormat, platform::DateFormat::Kind::User);
}
