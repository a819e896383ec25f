#include "card/card_writer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include "card/card_volume.h"
#include "controlfile/control_file_loader.h"
#include "core/file_io.h"
#include "core/operator.h"
#include "core/text.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kChunk = 1 << 20;
constexpr int kBarSteps = 1000;
constexpr int kEventsEveryMs = 50;
constexpr char16_t kFat16Only[] =
    u"※使用できるフォーマット形式は[FAT16]のみです。[FAT32][NTFS] 形式は使用できません。";

QString Size(qint64 bytes) {
  if (bytes < 1024 * 1024) {
    return u"%1 KB"_s.arg((bytes + 1023) / 1024);
  }
  return u"%1 MB"_s.arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

qint64 RoundUp(qint64 bytes, qint64 cluster) {
  return cluster <= 0 ? bytes : (bytes + cluster - 1) / cluster * cluster;
}

// Root directory entries a name takes on FAT: the short entry, and the long
// name entries of 13 characters each unless the name is a plain upper-case
// 8.3 name.
int DirectoryEntries(const QString& name) {
  const QString stem = QFileInfo(name).completeBaseName();
  const QString suffix = QFileInfo(name).suffix();
  const bool short_name = name == name.toUpper() && stem.size() <= 8 && suffix.size() <= 3 &&
                          !name.contains(u' ') && name.count(u'.') <= 1;
  return 1 + (short_name ? 0 : static_cast<int>((name.size() + 12) / 13));
}

// The card data folder as the card gets it: one control file and the sound
// files it names, nothing else, in name order (the order card making
// copies them in).
struct CardFolder {
  QStringList names;  // name order
  QStringList problems;
};
CardFolder ReadCardFolder(const QString& folder) {
  CardFolder card;
  const QDir dir(folder);
  if (!dir.exists()) {
    card.problems << u"カードデータフォルダがありません: "_s + QDir::toNativeSeparators(folder);
    return card;
  }
  card.names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  QStringList controls;
  for (const QString& name : card.names) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == u"wpj"_s || suffix == u"zpx"_s) {
      controls << name;
    }
  }
  if (controls.size() != 1) {
    card.problems << (controls.isEmpty()
                          ? u"カードデータフォルダにコントロールファイルがありません。"_s
                          : u"カードデータフォルダにコントロールファイルが複数あります: "_s +
                                controls.join(u", "_s));
    return card;
  }
  const std::optional<QStringList> sounds = ControlFileSoundNames(dir.filePath(controls.front()));
  if (!sounds) {
    card.problems << u"コントロールファイルを読めません: "_s + controls.front();
    return card;
  }
  const auto has = [](const QStringList& list, const QString& name) {
    return list.contains(name, Qt::CaseInsensitive);
  };
  for (const QString& sound : *sounds) {
    if (!has(card.names, sound)) {
      card.problems << u"コントロールファイルにあるファイルがありません: "_s + sound;
    }
  }
  for (const QString& name : card.names) {
    if (name != controls.front() && !has(*sounds, name)) {
      card.problems << u"カードデータ以外のファイルがあります: "_s + name;
    }
  }
  return card;
}

// Tells the system that the file's cached pages are not wanted, so that
// reading it again reaches the card where the system allows.
void DropCachedPages(const QString& path) {
#ifdef Q_OS_UNIX
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
  if (fd >= 0) {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
  }
#else
  Q_UNUSED(path);
#endif
}

std::optional<QByteArray> HashOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!hash.addData(&file) || file.error() != QFileDevice::NoError) {
    return std::nullopt;
  }
  return hash.result();
}

// The top level of a folder in directory order: the order the entries
// stand in, which is what the players read.
struct TopLevel {
  QStringList files;
  QStringList folders;
};
TopLevel ReadTopLevel(const QString& folder) {
  TopLevel top;
#ifdef Q_OS_UNIX
  DIR* dir = ::opendir(QFile::encodeName(folder).constData());
  if (dir == nullptr) {
    return top;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const QString name = QFile::decodeName(entry->d_name);
    if (name == u"."_s || name == u".."_s) {
      continue;
    }
    (QFileInfo(QDir(folder).filePath(name)).isDir() ? top.folders : top.files) << name;
  }
  ::closedir(dir);
#else
  const QDir dir(folder);
  top.files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
  top.folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
#endif
  return top;
}

class Progress {
 public:
  Progress(Operator& op, qint64 total) : op_(op), total_(std::max<qint64>(total, 1)) {
    timer_.start();
  }
  void Add(const QString& caption, qint64 bytes) {
    done_ += bytes;
    if (timer_.elapsed() >= kEventsEveryMs) {
      op_.SetProgress(caption, static_cast<int>(done_ * kBarSteps / total_), kBarSteps);
      op_.ProcessPendingEvents();
      timer_.restart();
    }
  }

 private:
  Operator& op_;
  qint64 total_;
  qint64 done_ = 0;
  QElapsedTimer timer_;
};

// Compares every file with its source, checks the order and that nothing
// else is on the card's top level.
void Verify(const QString& card_folder, const QStringList& names, const QString& target,
            bool entry_order, const QList<QByteArray>& source_hashes, Progress& progress,
            CardReport& report) {
  report.files.clear();
  bool all = true;
  for (qsizetype i = 0; i < names.size(); ++i) {
    const QString on_card = QDir(target).filePath(names[i]);
    CardFileResult file;
    file.name = names[i];
    file.bytes = QFileInfo(QDir(card_folder).filePath(names[i])).size();
    DropCachedPages(on_card);
    const std::optional<QByteArray> hash = HashOf(on_card);
    const QByteArray source = i < source_hashes.size() && !source_hashes[i].isEmpty()
                                  ? source_hashes[i]
                                  : HashOf(QDir(card_folder).filePath(names[i])).value_or("-");
    file.verified = hash && *hash == source;
    if (!file.verified) {
      report.messages << (hash ? u"カード上のファイルが元と一致しません: "_s
                               : u"カード上のファイルを読めません: "_s) +
                             names[i];
      all = false;
    }
    report.files << file;
    progress.Add(u"確認中: "_s + names[i], file.bytes);
  }
  const TopLevel top = ReadTopLevel(target);
  QStringList ours;
  for (const QString& name : top.files) {
    if (names.contains(name, Qt::CaseInsensitive)) {
      ours << name;
    } else {
      report.messages << u"カードに余分なファイルがあります: "_s + name;
      all = false;
    }
  }
  if (!entry_order) {
    std::sort(ours.begin(), ours.end());
  }
  report.order_ok =
      ours.size() == names.size() &&
      std::equal(ours.begin(), ours.end(), names.begin(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) == 0;
      });
  if (!report.order_ok) {
    report.messages << u"カード上のファイルの並びが名前順ではありません: "_s + ours.join(u", "_s);
  }
  report.ok = all && report.order_ok;
}

void Describe(const VolumeInfo& volume, CardReport& report) {
  report.filesystem = volume.filesystem;
  report.cluster_bytes = volume.cluster_bytes;
  report.free_bytes = volume.free_bytes;
}

bool Refuse(CardReport& report, const QString& message) {
  report.messages << message;
  return false;
}

// Copies one file, flushed to the card; false with the file removed when
// the copy did not complete.
bool CopyToCard(const QString& from, const QString& to, QCryptographicHash& hash,
                Progress& progress, const std::atomic<bool>* cancel, bool* cancelled) {
  QFile source(from);
  QFile target(to);
  if (!source.open(QIODevice::ReadOnly) ||
      !target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return false;
  }
  const QString caption = u"書込み中: "_s + QFileInfo(to).fileName();
  QByteArray chunk;
  for (;;) {
    if (cancel != nullptr && cancel->load()) {
      *cancelled = true;
      break;
    }
    chunk = source.read(kChunk);
    if (chunk.isEmpty()) {
      if (source.error() != QFileDevice::NoError) {
        break;
      }
      if (!target.flush()) {
        break;
      }
#ifdef Q_OS_UNIX
      if (::fsync(target.handle()) != 0) {
        break;
      }
#endif
      target.close();
      return target.error() == QFileDevice::NoError;
    }
    hash.addData(chunk);
    if (!WriteToDevice(target, chunk.constData(), chunk.size())) {
      break;
    }
    progress.Add(caption, chunk.size());
  }
  target.close();
  QFile::remove(to);
  return false;
}

// The start that writing and verifying share: the card folder read, the
// target there and probed. Nothing when the report already says why not.
struct OpenedCard {
  CardFolder card;
  VolumeInfo volume;
};
std::optional<OpenedCard> OpenCardReport(const QString& card_folder, const QString& target,
                                         VolumeProbe& probe, const QString& no_target,
                                         CardReport& report) {
  report.target = target;
  OpenedCard opened{ReadCardFolder(card_folder), {}};
  if (!opened.card.problems.isEmpty()) {
    report.messages = opened.card.problems;
    return std::nullopt;
  }
  if (!QFileInfo(target).isDir()) {
    Refuse(report, no_target + QDir::toNativeSeparators(target));
    return std::nullopt;
  }
  opened.volume = probe.Probe(target);
  Describe(opened.volume, report);
  return opened;
}

}  // namespace

CardReport WriteCard(const QString& card_folder, const QString& target, VolumeProbe& probe,
                     const CardWriteOptions& options, Operator& op,
                     const std::atomic<bool>* cancel) {
  CardReport report;
  const std::optional<OpenedCard> opened =
      OpenCardReport(card_folder, target, probe, u"書込み先がありません: "_s, report);
  if (!opened) {
    return report;
  }
  const CardFolder& card = opened->card;
  const VolumeInfo& volume = opened->volume;
  if (!options.any_filesystem && volume.filesystem != u"FAT16"_s) {
    Refuse(
        report,
        u"このカードのフォーマット形式は ["_s +
            (volume.filesystem.isEmpty() ? u"不明"_s : volume.filesystem) + u"] です。\r\n"_s +
            QString::fromUtf16(kFat16Only) +
            u"\r\nFlash Cardは必ず、PC上で[FAT16]にフォーマット（初期化）してからご使用下さい。"_s);
    return report;
  }
  if (!QFileInfo(target).isWritable()) {
    Refuse(report,
           u"書込み先に書き込めません（読み取り専用）: "_s + QDir::toNativeSeparators(target));
    return report;
  }

  const QDir source_dir(card_folder);
  const QDir target_dir(target);
  qint64 total_bytes = 0;
  int entries = 0;
  for (const QString& name : card.names) {
    const qint64 bytes = QFileInfo(source_dir.filePath(name)).size();
    total_bytes += bytes;
    report.needed_bytes += RoundUp(bytes, volume.cluster_bytes);
    entries += DirectoryEntries(name);
  }
  const TopLevel existing = ReadTopLevel(target);
  qint64 reclaimable = 0;
  for (const QString& name : existing.files) {
    reclaimable += RoundUp(QFileInfo(target_dir.filePath(name)).size(), volume.cluster_bytes);
  }
  for (const QString& name : existing.folders) {
    entries += DirectoryEntries(name);
  }
  if (report.needed_bytes > volume.free_bytes + reclaimable) {
    Refuse(report, u"カードの空き容量が足りません。\r\n必要な容量: "_s + Size(report.needed_bytes) +
                       u"\r\n空き容量: "_s + Size(volume.free_bytes + reclaimable));
    return report;
  }
  if (volume.root_entries > 0 && entries > volume.root_entries) {
    Refuse(report, u"カードのルートフォルダに入るファイルの数を超えています（%1 / %2 項目）。"_s
                       .arg(entries)
                       .arg(volume.root_entries));
    return report;
  }
  if (!existing.files.isEmpty()) {
    const QString question =
        u"カードには既に %1 個のファイルがあります。削除して書き込んでよろしいですか？\r\n（フォルダは削除しません）"_s
            .arg(existing.files.size());
    if (AskTextBeforeDiscarding(op, question) != MessageAnswer::kYes) {
      report.messages << u"カードには何も書き込みませんでした。"_s;
      return report;
    }
  }

  BusyScope busy(op);
  Progress progress(op, total_bytes * 2);
  report.written = true;
  for (const QString& name : existing.files) {
    if (!QFile::remove(target_dir.filePath(name))) {
      report.messages << u"カード上のファイルを削除できません: "_s + name;
      op.SetProgress(QString(), 0, 0);
      return report;
    }
  }
  QList<QByteArray> hashes;
  for (qsizetype i = 0; i < card.names.size(); ++i) {
    const QString& name = card.names[i];
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!CopyToCard(source_dir.filePath(name), target_dir.filePath(name), hash, progress, cancel,
                    &report.cancelled)) {
      report.messages << (report.cancelled ? u"書込みを中止しました。"_s
                                           : u"書込みに失敗しました: "_s + name);
      report.messages << u"カードにないファイル: "_s + card.names.mid(i).join(u", "_s);
      SyncFolder(target);
      op.SetProgress(QString(), 0, 0);
      return report;
    }
    hashes << hash.result();
  }
  if (!SyncFolder(target)) {
    report.messages << u"カードへの書込みを確定できません。"_s;
    op.SetProgress(QString(), 0, 0);
    return report;
  }
  report.free_bytes = probe.Probe(target).free_bytes;
  Verify(card_folder, card.names, target, volume.ordered_entries, hashes, progress, report);
  op.SetProgress(QString(), 0, 0);
  return report;
}

CardReport VerifyCard(const QString& card_folder, const QString& target, VolumeProbe& probe,
                      Operator& op) {
  CardReport report;
  const std::optional<OpenedCard> opened =
      OpenCardReport(card_folder, target, probe, u"確認するカードがありません: "_s, report);
  if (!opened) {
    return report;
  }
  const CardFolder& card = opened->card;
  const VolumeInfo& volume = opened->volume;
  qint64 total = 0;
  for (const QString& name : card.names) {
    const qint64 bytes = QFileInfo(QDir(card_folder).filePath(name)).size();
    total += bytes;
    report.needed_bytes += RoundUp(bytes, volume.cluster_bytes);
  }
  BusyScope busy(op);
  Progress progress(op, total);
  Verify(card_folder, card.names, target, volume.ordered_entries, {}, progress, report);
  op.SetProgress(QString(), 0, 0);
  return report;
}

QString CardReportText(const CardReport& report) {
  QString text;
  if (report.ok) {
    text = (report.written ? u"カードへの書込みと確認が完了しました（%1 ファイル）。"_s
                           : u"カードの内容はカードデータと一致しています（%1 ファイル）。"_s)
               .arg(report.files.size());
  } else if (report.written || report.cancelled) {
    text = u"カードへの書込みは完了していません。このカードは使用できません。"_s;
  }
  for (const QString& message : report.messages) {
    text += (text.isEmpty() ? QString() : u"\r\n"_s) + message;
  }
  return text;
}

}  // namespace parlatone
