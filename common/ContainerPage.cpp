// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ContainerPage.h"

namespace {

std::function<void(ContainerPage)> &pageSwitch()
{
    static std::function<void(ContainerPage)> showPage;
    return showPage;
}

} // namespace

void showContainerPage(ContainerPage page)
{
    if (pageSwitch())
        pageSwitch()(page);
}

void setContainerPageSwitch(std::function<void(ContainerPage)> showPage)
{
    pageSwitch() = std::move(showPage);
}
