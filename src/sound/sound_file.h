// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class QFile;

namespace parlatone {

// A sound file opened once for reading. Files are read by the thousand
// (a folder registered, a project loaded, `info` over a whole library), so
// one open serves everything asked of a file: its size without another
// stat, and its bytes at any offset without another open.
class SoundFile {
 public:
  enum class Status { kOpen, kMissing, kUnreadable };

  explicit SoundFile(const QString& path);
  ~SoundFile();
  SoundFile(const SoundFile&) = delete;
  SoundFile& operator=(const SoundFile&) = delete;

  Status status() const { return status_; }
  bool IsOpen() const { return status_ == Status::kOpen; }
  int64_t size() const { return size_; }

  // Up to `size` bytes from `offset`; fewer at the end of the file, none on
  // a read error.
  QByteArray Read(int64_t offset, int64_t size);
  int64_t ReadInto(int64_t offset, char* buffer, int64_t size);

 private:
  Status status_ = Status::kUnreadable;
  int64_t size_ = 0;
#ifdef Q_OS_UNIX
  int fd_ = -1;
#else
  std::unique_ptr<QFile> file_;
#endif
};

}  // namespace parlatone
