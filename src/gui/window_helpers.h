// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

class QLineEdit;
class QLockFile;
class QWidget;

namespace parlatone {

// Entering the text box selects its whole text, so typing replaces it.
void SelectAllOnEntry(QLineEdit* edit);

// Greys out (or restores) the window's close box, for windows that must not
// be closed while they work.
void EnableCloseBox(QWidget* window, bool enabled);

// The font of every window. Named explicitly: left to the locale, Qt may
// draw the kanji in Chinese or Korean shapes.
QFont EditorFont();

// Takes the one-editor-per-user lock at the path; false when another editor
// holds it. A lock left by an editor that died is taken over.
bool AcquireSingleInstanceLock(QLockFile& lock);

}  // namespace parlatone
