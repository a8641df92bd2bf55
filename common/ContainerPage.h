// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>

// The pages the main window's container switches between. Any value above
// home shows the result page.
enum class ContainerPage : quint8 { dashboard = 0, home = 1, result = 2 };

// Shows a page in the main window's container. Screens that sit below the
// application shell switch pages through this; nothing happens while no
// container exists.
void showContainerPage(ContainerPage page);

// The container installs how it switches pages; an empty function removes
// it again.
void setContainerPageSwitch(std::function<void(ContainerPage)> showPage);
