// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/BatchScreens.h"

#include "batch/CleanMetadataViewController.h"
#include "batch/ProgressViewController.h"
#include "batch/RenameViewController.h"
#include "batch/ResultViewController.h"
#include "platform/widgets/ScreenRegistry.h"

namespace {

template <class Screen> void addOnce(platform::ScreenRegistry &screens)
{
    if (!screens.has(QString::fromLatin1(Screen::staticMetaObject.className())))
        screens.add<Screen>();
}

} // namespace

void registerBatchScreens(platform::ScreenRegistry &screens)
{
    addOnce<ProgressViewController>(screens);
    addOnce<RenameViewController>(screens);
    addOnce<CleanMetadataViewController>(screens);
    addOnce<ResultViewController>(screens);
}
