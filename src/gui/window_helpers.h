#pragma once

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

// Takes the one-editor-per-user lock at the path; false when another editor
// holds it. A lock left by an editor that died is taken over.
bool AcquireSingleInstanceLock(QLockFile& lock);

}  // namespace parlatone
