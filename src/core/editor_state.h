// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace parlatone {

// What the editor remembers between runs beside the settings file: the
// control files last loaded or saved, and where its windows were. Kept in a
// file of its own (JSON, UTF-8: any path survives), so that the settings
// file stays as other tools read it.
struct EditorState {
  QStringList recent_files;  // newest first
  // The windows' places as the windows save them (QWidget::saveGeometry),
  // maximised state included; empty: never placed. A place that earlier
  // versions kept as a bare rectangle is not read: the window opens at its
  // own size once and is kept this way from then on.
  QByteArray main_geometry;
  QByteArray registration_geometry;

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
