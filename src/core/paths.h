// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "core/language.h"

namespace parlatone {

// Where the program's files are, resolved once at start-up and kept for the
// run. The settings file and the working folder belong to the user (config
// and cache folders, so HOME and XDG_* place them); the shipped read-only
// files sit beside the executable in a build tree and in the data folder
// once installed.
struct AppPaths {
  QString settings_file;  // ParlatoneEditorV3.ini
  QString element_file;   // elementPT.elm
  QString work_folder;    // Temp: card data are assembled here
  QString licence_file;   // kyodaku.txt
  QString release_file;   // Release.txt
  QString state_file;     // EditorState.json: recent files, window places
  QString recovery_file;  // Recovery: the unsaved project, extension by series
  QString guide_file;     // the user guide in the interface's language, where it is installed
  QString levels_folder;  // Levels: analyses of sound files, kept to be looked at again
};

AppPaths ResolveAppPaths();

// A shipped read-only file by name: beside the executable when it is there,
// else in the installed data folder. Gives the data folder's path even when
// the file is missing, so callers can name where it should be.
QString ShippedFilePath(const QString& file_name);

// The user guide in the language (guide.ja.md, guide.en.md): beside the
// executable (a build tree), else in the installed documentation folder.
QString GuideFilePath(UiLanguage language = ActiveLanguage());

// The card data folder proposed on a first start: the user's documents
// folder, then "ParlatoneEditor CardData".
QString DefaultCardPath();

// True when the name can only mean an entry of the folder it is joined to:
// not empty, not "." or "..", no separator of any platform, no NUL. Names
// that come from files or from the operator and end up in a path whose
// files are written or deleted must pass.
bool IsPlainFileName(const QString& name);

// Joins a folder and a name with exactly one separator, whatever the folder
// ends with.
QString JoinPath(const QString& folder, const QString& name);

}  // namespace parlatone
