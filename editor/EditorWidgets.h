// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLabel;
class QWidget;

// A label in the bold of a screen's heading.
QLabel *headingLabel(QWidget *parent);
