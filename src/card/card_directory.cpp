// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_directory.h"

#include <QDir>
#include <QFileInfo>

#include "core/file_io.h"

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace parlatone {

using namespace Qt::StringLiterals;

CardDirectory::CardDirectory(QString path) : path_(std::move(path)) {}

#ifdef Q_OS_UNIX

namespace {

QByteArray Name(const QString& name) {
  return QFile::encodeName(name);
}

}  // namespace

CardDirectory::~CardDirectory() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

std::unique_ptr<CardDirectory> CardDirectory::Open(const QString& path) {
  std::unique_ptr<CardDirectory> directory(new CardDirectory(path));
  directory->fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory->fd_ < 0) {
    return nullptr;
  }
  return directory;
}

bool CardDirectory::Create(const QString& name, QFile& file) const {
  const int fd = ::openat(fd_, Name(name).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    return false;
  }
  file.setFileName(QDir(path_).filePath(name));
  if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return false;
  }
  return true;
}

bool CardDirectory::OpenForReading(const QString& name, QFile& file) const {
  const int fd = ::openat(fd_, Name(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  file.setFileName(QDir(path_).filePath(name));
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return false;
  }
  return true;
}

bool CardDirectory::Remove(const QString& name) const {
  return ::unlinkat(fd_, Name(name).constData(), 0) == 0;
}

bool CardDirectory::Sync() const {
  return ::syncfs(fd_) == 0;
}

CardDirectory::Listing CardDirectory::List() const {
  Listing listing;
  const int fd = ::dup(fd_);
  if (fd < 0) {
    return listing;
  }
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return listing;
  }
  ::rewinddir(dir);  // the duplicate shares its position with the held folder
  while (const dirent* entry = ::readdir(dir)) {
    const QByteArray raw(entry->d_name);
    if (raw == "." || raw == "..") {
      continue;
    }
    struct stat info {};
    const bool folder =
        ::fstatat(fd_, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
    (folder ? listing.folders : listing.files) << QFile::decodeName(raw);
  }
  ::closedir(dir);
  return listing;
}

#else

// Elsewhere by path; the identity check before each file is what guards.
CardDirectory::~CardDirectory() = default;

std::unique_ptr<CardDirectory> CardDirectory::Open(const QString& path) {
  if (!QFileInfo(path).isDir()) {
    return nullptr;
  }
  return std::unique_ptr<CardDirectory>(new CardDirectory(path));
}

bool CardDirectory::Create(const QString& name, QFile& file) const {
  file.setFileName(QDir(path_).filePath(name));
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool CardDirectory::OpenForReading(const QString& name, QFile& file) const {
  file.setFileName(QDir(path_).filePath(name));
  return file.open(QIODevice::ReadOnly);
}

bool CardDirectory::Remove(const QString& name) const {
  return QFile::remove(QDir(path_).filePath(name));
}

bool CardDirectory::Sync() const {
  return SyncFolder(path_);
}

CardDirectory::Listing CardDirectory::List() const {
  const QDir dir(path_);
  return {dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted),
          dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted)};
}

#endif

}  // namespace parlatone
