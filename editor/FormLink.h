// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QObject;
class QWidget;

// Runs the editing form's edit rule, its fieldChanged slot, for one of the
// form's controls after a companion screen (the date popover, the location
// editor) wrote into that control. Nothing happens without a form or a
// control.
void runFieldChanged(QObject *form, QWidget *control);
