// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

class QFileDevice;
class QIODevice;

namespace parlatone {

// Every file the program writes goes through here: a full device, a file
// that cannot be replaced or a folder that went away are handled in one
// place, and tests can make any write fail the way a full device does.

// How a write went: done, or why not in the system's own words ("No space
// left on device"), for the message that reports the failure.
struct WriteResult {
  bool ok = true;
  QString error;
  explicit operator bool() const { return ok; }
};

// Why a write to the file failed, in the system's words: the file's own
// error, else the full device of the room in use.
QString WriteError(const QFileDevice& file);

// The reason of a failed write as the line that follows the message
// reporting it; nothing when there is no reason to tell.
QString WithReason(const WriteResult& result);

// Replaces the file with the bytes: written in full under a temporary name
// beside it, then renamed over it. On failure the earlier file is intact and
// no partial file remains.
WriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes);

// Puts a file where a later step reads it once: a hard link where the file
// system allows (nothing is copied), else a copy. Never written to.
bool StageFile(const QString& from, const QString& to);

// Copies a file under a temporary name beside the target and renames it into
// place, so the target appears only once complete, but forces nothing to
// disk: a caller that copies many files makes them durable once at the end
// (SyncFolder) instead of once per file.
bool CopyFileUnsynced(const QString& from, const QString& to);

// Makes what was written into a folder durable: the folder's file system
// as a whole where the platform can, else every file in it.
bool SyncFolder(const QString& folder);

// One write of a stream that the caller makes complete-or-nothing itself
// (the conversion engine's temporary output). False unless every byte went.
bool WriteToDevice(QIODevice& device, const char* data, qint64 size);
// Counts bytes a file grows by without writing them (sparse zeros).
bool ReserveBytes(qint64 size);

// A file written as a stream and made complete-or-nothing: written under a
// temporary name beside the target and renamed over it only by Commit, so a
// failed or cancelled run leaves neither a partial file nor a lost earlier
// one. Whatever was written goes with this object unless it was committed:
// a caller that gives up simply returns. Unlike a control file it is not forced to disk before the
// rename: it is made again from its source at any time, and forcing hundreds of megabytes out would
// cost more than the work.
class StreamedOutputFile {
 public:
  explicit StreamedOutputFile(const QString& path);
  StreamedOutputFile(const StreamedOutputFile&) = delete;
  StreamedOutputFile& operator=(const StreamedOutputFile&) = delete;

  bool Open();
  bool Write(const char* data, qint64 size);
  // Rewrites bytes already written (a header whose sizes are known last).
  bool WriteAt(qint64 position, const char* data, qint64 size);
  // Grows the file with zero bytes without writing them (a sparse file
  // where the file system allows).
  bool ExtendWithZeros(qint64 size);
  // The new file takes the permissions of the one it replaces, or those of
  // any new file.
  bool Commit();
  // Why the last step failed, in the system's words.
  QString Error() const { return WriteError(temporary_); }

 private:
  QString path_;
  QTemporaryFile temporary_;
};

// How much room the devices being written have left. The programs write to
// the devices as they are; tests put in one that fills up, to see every
// writer fail cleanly and leave nothing half-written.
class WriteRoom {
 public:
  virtual ~WriteRoom() = default;
  // How many of `size` more bytes fit, taking them; fewer means the device
  // is full. Called from any thread that writes.
  virtual qint64 Take(qint64 size) = 0;
};
// The room every write of the file layer asks from now on; nullptr (the
// start) for the devices' own. The caller keeps it alive while it is used.
void UseWriteRoom(WriteRoom* room);

}  // namespace parlatone
