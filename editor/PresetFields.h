// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/Metadata.h"

// Which fields a preset changes, and the preset that holds exactly what the
// user edited in the form.

// The fields a preset changes when it is applied: those it holds a value
// for, and the dates whose rule has a mode.
Metadata::EditedFlags presetFields(const Metadata &preset);

// A preset of the edited fields of values (the form's collected values) and
// of nothing else. An edited field left empty is held as the empty value its
// control shows (the empty text, a pop-up's "Leave Blank"), so that the
// preset empties it as well; an emptied number field has no such value and
// is left out. Dates keep a copy of their rule, never the form's own.
Metadata presetOfEdits(const Metadata &values);
