#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace parlatone {

// What the editor remembers between runs beside the settings file: the
// control files last loaded or saved, and where its windows were. Kept in a
// file of its own (JSON, UTF-8: any path survives), so that the settings
// file stays as other tools read it.
struct EditorState {
  QStringList recent_files;  // newest first
  QRect main_window;         // empty: never placed
  bool main_maximized = false;
  QSize registration_window;  // empty: the window's own size

  bool operator==(const EditorState&) const = default;
};

inline constexpr int kMaxRecentFiles = 8;

// A missing or unreadable file gives the empty state.
EditorState ReadEditorState(const QString& path);
// Complete or nothing, as every file the program writes.
bool WriteEditorState(const QString& path, const EditorState& state);

// Puts a file first; the same file (by its absolute path) is not listed twice,
// and the list keeps the newest kMaxRecentFiles.
void RememberRecentFile(EditorState& state, const QString& path);

}  // namespace parlatone
