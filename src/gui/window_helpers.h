#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
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

// A window place remembered from an earlier run, brought onto the screens
// present now: on the screen it mostly lies on (the primary one when none),
// no larger than that screen's work area and no smaller than `minimum`.
QRect FitToScreens(const QRect& wanted, const QSize& minimum);

// The font of every window. Named explicitly: left to the locale, Qt may
// draw the kanji in Chinese or Korean shapes.
QFont EditorFont();

// Takes the one-editor-per-user lock at the path; false when another editor
// holds it. A lock left by an editor that died is taken over.
bool AcquireSingleInstanceLock(QLockFile& lock);

}  // namespace parlatone
