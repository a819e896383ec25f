// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace parlatone {

class Operator;
class Project;

// What a load came to. A load that did not succeed changed nothing.
struct LoadResult {
  bool loaded = false;
  // Why a file that is not a readable control file was refused, and the
  // line (from 1) it was refused at; 0 when no one line is to blame.
  QString reason;
  int line = 0;
  // What a successful load left out or kept without its file, one notice
  // each, as the operator was told them.
  QStringList warnings;
  // Voices kept by name because their sound file was found nowhere.
  QStringList missing;
};

// Loads a control file (".wpj"/".zpx") or temporary save file (".wpg"/".mpi")
// of the current series into the project. Every sound file it names is read
// afresh from the file's own folder (control files) or from the WavePath
// folder (temporary save files), else from where a temporary save recorded
// it or from beside the loaded file, and must suit the series. The file is
// read into a project apart, which replaces the content of `project` only
// once the whole file was read: a failed load leaves the project as it was.
// A file of another series' extension is refused silently; a sound file the
// series refuses abandons the load after the reader's or checker's own
// message; a sound file found nowhere is refused too, and then the operator
// may open the project with the voice kept by name, to replace or delete it;
// anything else wrong with the file shows message 2507 with the file and
// the line or reason. After a successful load, lines beyond the series'
// channel count (ignored) and voices kept without their file are told in
// one notice.
LoadResult LoadControlFile(Project& project, const QString& path, Operator& op);
// The same, for callers that need only to know whether it loaded.
bool LoadWpjFile(Project& project, const QString& path, Operator& op);

// The sound file names a control file lists in its voice section, in voice
// order, read without loading anything else; nothing when the file cannot
// be read or a name is not a plain file name.
std::optional<QStringList> ControlFileSoundNames(const QString& path);

// The folder the sound files of a control file are looked for in, by the
// path's extension and the series; nothing for an extension the series does
// not open.
std::optional<QString> SoundFolderFor(const Project& project, const QString& path);

// Why a file of another extension is not loaded, for the operator: the
// series (its label on one line) and the two extensions it opens.
QString ExtensionRefusalText(int mode);

// A number field as the files' numbers are read: a decimal number rounded
// to a whole one (halves to even) that fits 16 bits; nothing otherwise.
std::optional<int> ToWholeNumber(const QString& text);

}  // namespace parlatone
