// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLineEdit;

// Makes a one-line field show its value from the start whenever the value
// is set from outside or the field is left (a line edit otherwise shows the
// end of a long value), and carry the whole value as its tooltip while it
// does not fit. Call it before connecting anything to the field's
// textEdited signal.
void showValueFromStart(QLineEdit *field);
