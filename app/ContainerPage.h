#pragma once

#include <QtGlobal>

// The pages the main window's container switches between. Any value above
// home shows the result page.
enum class ContainerPage : quint8 { dashboard = 0, home = 1, result = 2 };
