// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <utility>
#include <vector>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#endif
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

std::atomic<WriteRoom*> g_write_room{nullptr};

// The part of `size` bytes the room in use takes, or -1 when the devices'
// own room is used.
qint64 TakeFromBudget(qint64 size) {
  WriteRoom* room = g_write_room.load();
  return room == nullptr ? -1 : std::clamp<qint64>(room->Take(size), 0, size);
}

constexpr qint64 kCopyChunk = 256 * 1024;

}  // namespace

bool WriteToDevice(QIODevice& device, const char* data, qint64 size) {
  const qint64 allowed = TakeFromBudget(size);
  if (allowed >= 0 && allowed < size) {
    if (allowed > 0) {
      device.write(data, allowed);  // a full device takes what fits, then refuses
    }
    return false;
  }
  return device.write(data, size) == size;
}

bool ReserveBytes(qint64 size) {
  const qint64 allowed = TakeFromBudget(size);
  return allowed < 0 || allowed == size;
}

WriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return {false, file.errorString()};
  }
  if (!WriteToDevice(file, bytes.constData(), bytes.size())) {
    const QString error = WriteError(file);
    file.cancelWriting();
    return {false, error};
  }
  // What the device refuses shows here at the latest, as the buffer goes out.
  if (!file.commit()) {
    return {false, file.errorString()};
  }
  return {};
}

#ifdef Q_OS_LINUX

namespace {

// Closes a descriptor when its scope ends.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// Copies `size` bytes between descriptors inside the kernel where it can
// (no copy through this process; a reflink on file systems that share
// blocks), with plain reads and writes where it cannot. The room in use
// applies as to any write.
bool CopyBytes(int from, int to, qint64 size) {
  bool kernel_copy = true;
  std::vector<char> buffer;
  qint64 done = 0;
  while (done < size) {
    const qint64 wanted = std::min<qint64>(size - done, kCopyChunk * 16);
    const qint64 allowed_or_all = TakeFromBudget(wanted);
    const qint64 allowed = allowed_or_all < 0 ? wanted : allowed_or_all;
    qint64 chunk_done = 0;
    while (chunk_done < allowed) {
      ssize_t moved = -1;
      if (kernel_copy) {
        moved = ::copy_file_range(from, nullptr, to, nullptr,
                                  static_cast<size_t>(allowed - chunk_done), 0);
        if (moved < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                          errno == EOPNOTSUPP || errno == EBADF)) {
          kernel_copy = false;
          continue;
        }
      } else {
        buffer.resize(static_cast<size_t>(kCopyChunk));
        const ssize_t got =
            ::read(from, buffer.data(),
                   static_cast<size_t>(std::min<qint64>(allowed - chunk_done, kCopyChunk)));
        moved = got <= 0 ? got : ::write(to, buffer.data(), static_cast<size_t>(got));
        if (moved >= 0 && moved != got) {
          return false;
        }
      }
      if (moved < 0 && errno == EINTR) {
        continue;
      }
      if (moved <= 0) {
        return false;  // a read error, a full device, or the source shrank
      }
      chunk_done += moved;
    }
    done += allowed;
    if (allowed < wanted) {
      return false;  // the injected budget ran out, as a full device does
    }
  }
  return true;
}

// A name beside `path` that no other file has yet, opened for writing.
int CreateTemporaryBeside(const QString& path, QByteArray& temporary) {
  const QFileInfo info(path);
  QByteArray pattern =
      QFile::encodeName(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd >= 0) {
    // mkostemp makes the file private to its owner; a copy gets the
    // permissions of any new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    temporary = pattern;
  }
  return fd;
}

}  // namespace

bool StageFile(const QString& from, const QString& to) {
  const QByteArray source = QFile::encodeName(from);
  const QByteArray target = QFile::encodeName(to);
  ::unlink(target.constData());
  if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) ==
      0) {
    return true;
  }
  return CopyFileUnsynced(from, to);
}

bool CopyFileUnsynced(const QString& from, const QString& to) {
  Descriptor source(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
  struct stat status {};
  if (source.get() < 0 || ::fstat(source.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return false;
  }
  QByteArray temporary;
  Descriptor target(CreateTemporaryBeside(to, temporary));
  if (target.get() < 0) {
    return false;
  }
  const bool copied = CopyBytes(source.get(), target.get(), status.st_size);
  const bool closed = ::close(target.release()) == 0;
  if (!copied || !closed ||
      ::rename(temporary.constData(), QFile::encodeName(to).constData()) != 0) {
    ::unlink(temporary.constData());
    return false;
  }
  return true;
}

bool SyncFolder(const QString& folder) {
  Descriptor fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.get() >= 0 && ::syncfs(fd.get()) == 0;
}

#else

bool StageFile(const QString& from, const QString& to) {
  return CopyFileUnsynced(from, to);
}

bool CopyFileUnsynced(const QString& from, const QString& to) {
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) {
    return false;
  }
  const QFileInfo info(to);
  QTemporaryFile target(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
  if (!target.open()) {
    return false;
  }
  while (!source.atEnd()) {
    const QByteArray chunk = source.read(kCopyChunk);
    if ((chunk.isEmpty() && source.error() != QFileDevice::NoError) ||
        !WriteToDevice(target, chunk.constData(), chunk.size())) {
      return false;
    }
  }
  target.close();
  QFile::remove(to);
  if (target.error() != QFileDevice::NoError || !target.rename(to)) {
    return false;
  }
  target.setAutoRemove(false);
  return true;
}

bool SyncFolder(const QString& folder) {
  bool synced = true;
  for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
    QFile file(entry.filePath());
    if (!file.open(QIODevice::ReadWrite)) {
      synced = false;
      continue;
    }
#ifdef Q_OS_WIN
    synced = ::_commit(file.handle()) == 0 && synced;
#else
    synced = ::fsync(file.handle()) == 0 && synced;
#endif
  }
  return synced;
}

#endif

StreamedOutputFile::StreamedOutputFile(const QString& path) : path_(path) {
  const QFileInfo info(path);
  temporary_.setFileTemplate(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
}

bool StreamedOutputFile::Open() {
  return temporary_.open();
}

bool StreamedOutputFile::Write(const char* data, qint64 size) {
  return WriteToDevice(temporary_, data, size);
}

bool StreamedOutputFile::WriteAt(qint64 position, const char* data, qint64 size) {
  const qint64 end = temporary_.pos();
  return temporary_.seek(position) && WriteToDevice(temporary_, data, size) && temporary_.seek(end);
}

bool StreamedOutputFile::ExtendWithZeros(qint64 size) {
  return ReserveBytes(size) && temporary_.resize(temporary_.size() + size);
}

bool StreamedOutputFile::Commit() {
  temporary_.close();
  if (temporary_.error() != QFileDevice::NoError) {
    temporary_.remove();
    return false;
  }
#ifdef Q_OS_UNIX
  const QByteArray target = QFile::encodeName(path_);
  struct stat existing {};
  mode_t mode = 0;
  if (::stat(target.constData(), &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::chmod(QFile::encodeName(temporary_.fileName()).constData(), mode);
  const bool renamed =
      ::rename(QFile::encodeName(temporary_.fileName()).constData(), target.constData()) == 0;
#else
  QFile::remove(path_);
  const bool renamed = QFile::rename(temporary_.fileName(), path_);
#endif
  if (!renamed) {
    temporary_.remove();
    return false;
  }
  temporary_.setAutoRemove(false);
  return true;
}

QString WriteError(const QFileDevice& file) {
  // A room that ran out is a full device that the file itself never saw.
  return file.error() != QFileDevice::NoError ? file.errorString() : qt_error_string(ENOSPC);
}

QString WithReason(const WriteResult& result) {
  return result.error.isEmpty() ? QString() : u"\r\n"_s + result.error;
}

void UseWriteRoom(WriteRoom* room) {
  g_write_room = room;
}

}  // namespace parlatone
