// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CalvornMain.h"

int main(int argc, char *argv[])
{
    return runCalvorn(argc, argv);
}
