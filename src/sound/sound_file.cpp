// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace parlatone {

#ifdef Q_OS_UNIX

SoundFile::SoundFile(const QString& path) {
  fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    status_ = errno == ENOENT || errno == ENOTDIR ? Status::kMissing : Status::kUnreadable;
    return;
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    return;  // a folder or a device is no sound file
  }
  size_ = info.st_size;
  status_ = Status::kOpen;
}

SoundFile::~SoundFile() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

int64_t SoundFile::ReadInto(int64_t offset, char* buffer, int64_t size) {
  if (fd_ < 0 || offset < 0 || size <= 0) {
    return 0;
  }
  int64_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd_, buffer + done, static_cast<size_t>(size - done),
                                static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    done += got;
  }
  return done;
}

#else

SoundFile::SoundFile(const QString& path) : file_(std::make_unique<QFile>(path)) {
  if (!file_->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    status_ = file_->exists() ? Status::kUnreadable : Status::kMissing;
    return;
  }
  if (!QFileInfo(path).isFile()) {
    return;
  }
  size_ = file_->size();
  status_ = Status::kOpen;
}

SoundFile::~SoundFile() = default;

int64_t SoundFile::ReadInto(int64_t offset, char* buffer, int64_t size) {
  if (status_ != Status::kOpen || offset < 0 || size <= 0 || !file_->seek(offset)) {
    return 0;
  }
  return std::max<int64_t>(file_->read(buffer, size), 0);
}

#endif

QByteArray SoundFile::Read(int64_t offset, int64_t size) {
  if (status_ != Status::kOpen || offset < 0 || offset >= size_ || size <= 0) {
    return {};
  }
  QByteArray bytes(std::min(size, size_ - offset), Qt::Uninitialized);
  bytes.truncate(ReadInto(offset, bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace parlatone
