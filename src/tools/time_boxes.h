// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace parlatone {

// The two time boxes of the silent file page.
inline constexpr int kMaxMinutes = 60;
inline constexpr int kMaxSeconds = 59;

// True for a key press the time boxes throw away: every key that types a
// character other than the digits 0 to 9, except Backspace and Ctrl+C,
// Ctrl+V and Ctrl+X. Keys that type nothing (arrows, Delete, Home) and the
// keys that belong to the window (Tab, Escape, Return, Alt mnemonics) pass.
bool TimeBoxDiscardsKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// The box's text once the focus leaves it: a number above the maximum
// becomes the maximum, one below 0 becomes 0, and it is written with two
// digits ("5" gives "05"). Text that is not a number stays as it is.
QString LeaveTimeBox(const QString& text, int maximum);

// A spinner click: one up (step 1) while below the maximum, one down (step
// -1) while above 0; an empty box counts as 0. Written with two digits.
QString StepTimeBox(const QString& text, int maximum, int step);

// The other box after a spinner click: "00" when it is empty or blank.
QString FillTimeBox(const QString& text);

// The number a box holds for a run, within 0 and the maximum; 0 for text
// that is not a number.
int TimeBoxValue(const QString& text, int maximum);

}  // namespace parlatone
