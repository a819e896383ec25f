#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace parlatone {

class Operator;
class Project;

// Loads a control file (".wpj"/".zpx") or temporary save file (".wpg"/".mpi")
// of the current series into the project. Every sound file it names is read
// afresh from the file's own folder (control files) or from the WavePath
// folder (temporary save files) and must suit the series. On false the
// project is empty (cleared and reset): a load never leaves part of a file
// behind. A file of another series' extension is refused silently without
// touching the project; a sound file that is missing or unsuitable abandons
// the load after the reader's or checker's own message; anything else wrong
// with the file shows message 2507.
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
