// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_writer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#include "card/card_directory.h"
#include "card/card_log.h"
#include "card/card_volume.h"
#include "controlfile/control_file_loader.h"
#include "core/file_io.h"
#include "core/operator.h"
#include "core/series.h"
#include "core/text.h"

namespace parlatone {

Q_LOGGING_CATEGORY(CardLog, "parlatone.card", QtWarningMsg)

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct CardWriterText {
  Q_DECLARE_TR_FUNCTIONS(CardWriter)
};

constexpr qint64 kChunk = 1 << 20;
constexpr int kBarSteps = 1000;
constexpr int kEventsEveryMs = 50;

QString Size(qint64 bytes) {
  if (bytes < 1024 * 1024) {
    return u"%1 KB"_s.arg((bytes + 1023) / 1024);
  }
  return MegabytesText(bytes);
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
    card.problems << CardWriterText::tr("カードデータフォルダがありません: %1")
                         .arg(QDir::toNativeSeparators(folder));
    return card;
  }
  card.names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  QStringList controls;
  for (const QString& name : card.names) {
    if (IsControlFileExtension(QFileInfo(name).suffix())) {
      controls << name;
    }
  }
  if (controls.size() != 1) {
    card.problems
        << (controls.isEmpty()
                ? CardWriterText::tr("カードデータフォルダにコントロールファイルがありません。")
                : CardWriterText::tr("カードデータフォルダにコントロールファイルが複数あります: %1")
                      .arg(controls.join(u", "_s)));
    return card;
  }
  const std::optional<QStringList> sounds = ControlFileSoundNames(dir.filePath(controls.front()));
  if (!sounds) {
    card.problems
        << CardWriterText::tr("コントロールファイルを読めません: %1").arg(controls.front());
    return card;
  }
  const auto has = [](const QStringList& list, const QString& name) {
    return list.contains(name, Qt::CaseInsensitive);
  };
  for (const QString& sound : *sounds) {
    if (!has(card.names, sound)) {
      card.problems
          << CardWriterText::tr("コントロールファイルにあるファイルがありません: %1").arg(sound);
    }
  }
  for (const QString& name : card.names) {
    if (name != controls.front() && !has(*sounds, name)) {
      card.problems << CardWriterText::tr("カードデータ以外のファイルがあります: %1").arg(name);
    }
  }
  return card;
}

// Tells the system that the file's cached pages are not wanted, so that
// reading it again reaches the card where the system allows.
void DropCachedPages(QFile& file) {
#ifdef Q_OS_UNIX
  ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED);
#else
  Q_UNUSED(file);
#endif
}

std::optional<QByteArray> HashOf(QFile& file) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!hash.addData(&file) || file.error() != QFileDevice::NoError) {
    return std::nullopt;
  }
  return hash.result();
}

std::optional<QByteArray> HashOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  return HashOf(file);
}

class Progress {
 public:
  Progress(Operator& op, ProgressSink sink, qint64 total)
      : op_(op), sink_(std::move(sink)), total_(std::max<qint64>(total, 1)) {
    timer_.start();
  }
  // The bar follows every block; the window gets its turn now and then.
  void Add(const QString& caption, qint64 bytes) {
    done_ += bytes;
    ShowProgress(op_, sink_, caption, static_cast<int>(done_ * kBarSteps / total_), kBarSteps);
    if (timer_.elapsed() >= kEventsEveryMs) {
      op_.ProcessPendingEvents();
      timer_.restart();
    }
  }
  void Close() { ShowProgress(op_, sink_, QString(), 0, 0); }

 private:
  Operator& op_;
  ProgressSink sink_;
  qint64 total_;
  qint64 done_ = 0;
  QElapsedTimer timer_;
};

// Compares every file with its source, checks the order and that nothing
// else is on the card's top level.
void Verify(const QString& card_folder, const QStringList& names, const CardDirectory& target,
            bool entry_order, const QList<QByteArray>& source_hashes, Progress& progress,
            CardReport& report) {
  report.files.clear();
  bool all = true;
  for (qsizetype i = 0; i < names.size(); ++i) {
    CardFileResult file;
    file.name = names[i];
    file.bytes = QFileInfo(QDir(card_folder).filePath(names[i])).size();
    QFile on_card;
    std::optional<QByteArray> hash;
    if (target.OpenForReading(names[i], on_card)) {
      DropCachedPages(on_card);
      hash = HashOf(on_card);
    }
    const QByteArray source = i < source_hashes.size() && !source_hashes[i].isEmpty()
                                  ? source_hashes[i]
                                  : HashOf(QDir(card_folder).filePath(names[i])).value_or("-");
    file.verified = hash && *hash == source;
    if (!file.verified) {
      report.messages << (hash ? CardWriterText::tr("カード上のファイルが元と一致しません: %1")
                               : CardWriterText::tr("カード上のファイルを読めません: %1"))
                             .arg(names[i]);
      all = false;
    }
    report.files << file;
    progress.Add(CardWriterText::tr("確認中: %1").arg(names[i]), file.bytes);
  }
  const CardDirectory::Listing top = target.List();
  QStringList ours;
  for (const QString& name : top.files) {
    if (names.contains(name, Qt::CaseInsensitive)) {
      ours << name;
    } else {
      report.messages << CardWriterText::tr("カードに余分なファイルがあります: %1").arg(name);
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
    report.messages << CardWriterText::tr("カード上のファイルの並びが名前順ではありません: %1")
                           .arg(ours.join(u", "_s));
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

// What stopped a file on its way to the card.
enum class CopyEnd { kDone, kFailed, kCancelled, kPulled };

// Copies one file into the held card folder, flushed to the card, checking
// between blocks that the card is still there. On anything but kDone the
// file is removed where that can still be done. A failure tells why in
// `error`, in the system's words.
CopyEnd CopyToCard(const QString& from, const CardDirectory& card, const QString& name,
                   QCryptographicHash& hash, Progress& progress, const std::atomic<bool>* cancel,
                   const std::function<bool()>& card_there, QString& error) {
  QFile source(from);
  QFile target;
  if (!source.open(QIODevice::ReadOnly)) {
    error = source.errorString();
    return CopyEnd::kFailed;
  }
  if (!card.Create(name, target)) {
    error = qt_error_string(errno);
    return CopyEnd::kFailed;
  }
  const QString caption = CardWriterText::tr("書込み中: %1").arg(name);
  CopyEnd end = CopyEnd::kFailed;
  QByteArray chunk;
  for (;;) {
    if (cancel != nullptr && cancel->load()) {
      end = CopyEnd::kCancelled;
      break;
    }
    if (!card_there()) {
      target.close();
      return CopyEnd::kPulled;  // nothing more to do on a card that is gone
    }
    chunk = source.read(kChunk);
    if (chunk.isEmpty()) {
      if (source.error() != QFileDevice::NoError) {
        error = source.errorString();
        break;
      }
      if (!target.flush()) {
        error = WriteError(target);
        break;
      }
#ifdef Q_OS_UNIX
      if (::fsync(target.handle()) != 0) {
        error = qt_error_string(errno);
        break;
      }
#endif
      target.close();
      if (target.error() != QFileDevice::NoError) {
        error = target.errorString();
        return CopyEnd::kFailed;
      }
      return CopyEnd::kDone;
    }
    hash.addData(chunk);
    if (!WriteToDevice(target, chunk.constData(), chunk.size())) {
      error = WriteError(target);
      break;
    }
    progress.Add(caption, chunk.size());
  }
  target.close();
  card.Remove(name);
  return end;
}

// The start that writing and verifying share: the card folder read, the
// target there and probed. Nothing when the report already says why not.
struct OpenedCard {
  CardFolder card;
  VolumeInfo volume;
  std::optional<VolumeIdentity> identity;  // the card as it was checked
};
std::optional<OpenedCard> OpenCardReport(const QString& card_folder, const QString& target,
                                         VolumeProbe& probe, const QString& no_target,
                                         CardReport& report) {
  report.target = target;
  OpenedCard opened{ReadCardFolder(card_folder), {}, {}};
  if (!opened.card.problems.isEmpty()) {
    report.messages = opened.card.problems;
    return std::nullopt;
  }
  opened.identity = probe.Identify(target);
  if (!QFileInfo(target).isDir() || !opened.identity) {
    Refuse(report, no_target.arg(QDir::toNativeSeparators(target)));
    return std::nullopt;
  }
  opened.volume = probe.Probe(target);
  Describe(opened.volume, report);
  return opened;
}

// The card went away in the middle: what is on it and what is not.
void ReportPulled(CardReport& report, const QStringList& written, const QStringList& not_written) {
  report.pulled = true;
  report.messages << CardWriterText::tr(
      "カードが取り外されたため、書込みを中止しました。\r\n"
      "カードを差し込み直して、もう一度書き込んでください。\r\n"
      "※書込みと確認が終わるまで、カードを抜かないでください。");
  if (!written.isEmpty()) {
    report.messages << CardWriterText::tr("書き込んだファイル: %1").arg(written.join(u", "_s));
  }
  if (!not_written.isEmpty()) {
    report.messages
        << CardWriterText::tr("カードにないファイル: %1").arg(not_written.join(u", "_s));
  } else {
    report.messages << CardWriterText::tr("カードの内容は確認していません。");
  }
}

}  // namespace

CardReport WriteCard(const QString& card_folder, const QString& target, VolumeProbe& probe,
                     const CardWriteOptions& options, Operator& op, const std::atomic<bool>* cancel,
                     const ProgressSink& sink) {
  CardReport report;
  const std::optional<OpenedCard> opened = OpenCardReport(
      card_folder, target, probe, CardWriterText::tr("書込み先がありません: %1"), report);
  if (!opened) {
    return report;
  }
  const CardFolder& card = opened->card;
  const VolumeInfo& volume = opened->volume;
  // From here on every file goes into the folder that was checked, and only
  // while the path still leads to that same card.
  const std::unique_ptr<CardDirectory> card_dir = CardDirectory::Open(target);
  const auto card_there = [&] { return probe.Identify(target) == opened->identity; };
  if (card_dir == nullptr || !card_there()) {
    qCDebug(CardLog) << "the card at" << target
                     << (card_dir == nullptr ? "cannot be opened:" : "is no longer the one checked")
                     << (card_dir == nullptr ? qt_error_string(errno) : QString());
    Refuse(report,
           CardWriterText::tr("書込み先がありません: %1").arg(QDir::toNativeSeparators(target)));
    return report;
  }

  const QDir source_dir(card_folder);
  qint64 total_bytes = 0;
  int entries = 0;
  for (const QString& name : card.names) {
    const qint64 bytes = QFileInfo(source_dir.filePath(name)).size();
    total_bytes += bytes;
    report.needed_bytes += RoundUp(bytes, volume.cluster_bytes);
    entries += DirectoryEntries(name);
  }
  const CardDirectory::Listing existing = card_dir->List();
  qint64 reclaimable = 0;
  for (const QString& name : existing.files) {
    reclaimable += RoundUp(QFileInfo(QDir(target).filePath(name)).size(), volume.cluster_bytes);
  }
  for (const QString& name : existing.folders) {
    entries += DirectoryEntries(name);
  }
  // Every reason that holds is named, so that one trip to the computer
  // mends the card.
  if (!options.any_filesystem && volume.filesystem != u"FAT16"_s) {
    Refuse(
        report,
        CardWriterText::tr(
            "このカードのフォーマット形式は [%1] です。\r\n"
            "※使用できるフォーマット形式は[FAT16]のみです。[FAT32][NTFS] 形式は使用できません。\r\n"
            "Flash Cardは必ず、PC上で[FAT16]にフォーマット（初期化）してからご使用下さい。")
            .arg(volume.filesystem.isEmpty() ? CardWriterText::tr("不明") : volume.filesystem));
  }
  if (volume.read_only || !QFileInfo(target).isWritable()) {
    Refuse(report, CardWriterText::tr("書込み先に書き込めません（読み取り専用）: %1")
                       .arg(QDir::toNativeSeparators(target)));
  }
  if (report.needed_bytes > volume.free_bytes + reclaimable) {
    Refuse(report,
           CardWriterText::tr("カードの空き容量が足りません。\r\n必要な容量: %1\r\n空き容量: %2")
               .arg(Size(report.needed_bytes), Size(volume.free_bytes + reclaimable)));
  }
  if (volume.root_entries > 0 && entries > volume.root_entries) {
    Refuse(report, CardWriterText::tr(
                       "カードのルートフォルダに入るファイルの数を超えています（%1 / %2 項目）。")
                       .arg(entries)
                       .arg(volume.root_entries));
  }
  if (!report.messages.isEmpty()) {
    return report;
  }
  if (!existing.files.isEmpty()) {
    const QString question =
        CardWriterText::tr(
            "カードには既に %1 個のファイルがあります。削除して書き込んでよろしいですか？\r\n"
            "（フォルダは削除しません）")
            .arg(existing.files.size());
    if (AskTextBeforeDiscarding(op, question) != MessageAnswer::kYes) {
      report.messages << CardWriterText::tr("カードには何も書き込みませんでした。");
      return report;
    }
  }

  BusyScope busy(op);
  Progress progress(op, sink, total_bytes * 2);
  const auto stop = [&] { progress.Close(); };
  if (!card_there()) {
    ReportPulled(report, {}, card.names);
    stop();
    return report;
  }
  report.written = true;
  for (const QString& name : existing.files) {
    if (!card_dir->Remove(name)) {
      const QString error = qt_error_string(errno);
      qCDebug(CardLog) << "removing" << name << "from the card failed:" << error;
      report.messages << CardWriterText::tr("カード上のファイルを削除できません: %1").arg(name) +
                             WithReason({false, error});
      stop();
      return report;
    }
  }
  QList<QByteArray> hashes;
  for (qsizetype i = 0; i < card.names.size(); ++i) {
    const QString& name = card.names[i];
    progress.Add(CardWriterText::tr("書込み中: %1").arg(name), 0);
    if (!card_there()) {
      ReportPulled(report, card.names.mid(0, i), card.names.mid(i));
      stop();
      return report;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QString error;
    const CopyEnd end = CopyToCard(source_dir.filePath(name), *card_dir, name, hash, progress,
                                   cancel, card_there, error);
    if (end == CopyEnd::kPulled) {
      ReportPulled(report, card.names.mid(0, i), card.names.mid(i));
      stop();
      return report;
    }
    if (end != CopyEnd::kDone) {
      report.cancelled = end == CopyEnd::kCancelled;
      if (!report.cancelled) {
        qCDebug(CardLog) << "writing" << name << "to the card failed:" << error;
      }
      report.messages << (report.cancelled
                              ? CardWriterText::tr("書込みを中止しました。")
                              : CardWriterText::tr("書込みに失敗しました: %1").arg(name) +
                                    WithReason({false, error}));
      report.messages
          << CardWriterText::tr("カードにないファイル: %1").arg(card.names.mid(i).join(u", "_s));
      card_dir->Sync();
      stop();
      return report;
    }
    hashes << hash.result();
  }
  if (!card_dir->Sync()) {
    const QString error = qt_error_string(errno);
    qCDebug(CardLog) << "syncing the card at" << target << "failed:" << error;
    report.messages << CardWriterText::tr("カードへの書込みを確定できません。") +
                           WithReason({false, error});
    stop();
    return report;
  }
  progress.Add(CardWriterText::tr("確認中"), 0);
  if (!card_there()) {
    // Written, but never read back: the card cannot be trusted.
    ReportPulled(report, card.names, {});
    stop();
    return report;
  }
  report.free_bytes = probe.Probe(target).free_bytes;
  Verify(card_folder, card.names, *card_dir, volume.ordered_entries, hashes, progress, report);
  stop();
  return report;
}

CardReport VerifyCard(const QString& card_folder, const QString& target, VolumeProbe& probe,
                      Operator& op) {
  CardReport report;
  const std::optional<OpenedCard> opened = OpenCardReport(
      card_folder, target, probe, CardWriterText::tr("確認するカードがありません: %1"), report);
  if (!opened) {
    return report;
  }
  const std::unique_ptr<CardDirectory> card_dir = CardDirectory::Open(target);
  if (card_dir == nullptr) {
    Refuse(
        report,
        CardWriterText::tr("確認するカードがありません: %1").arg(QDir::toNativeSeparators(target)));
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
  Progress progress(op, {}, total);
  Verify(card_folder, card.names, *card_dir, volume.ordered_entries, {}, progress, report);
  progress.Close();
  return report;
}

QString CardReportText(const CardReport& report) {
  QString text;
  if (report.ok) {
    text = (report.written
                ? CardWriterText::tr("カードへの書込みと確認が完了しました（%1 ファイル）。")
                : CardWriterText::tr("カードの内容はカードデータと一致しています（%1 ファイル）。"))
               .arg(report.files.size());
  } else if (report.written || report.cancelled || report.pulled) {
    text = CardWriterText::tr("カードへの書込みは完了していません。このカードは使用できません。");
  }
  for (const QString& message : report.messages) {
    text += (text.isEmpty() ? QString() : u"\r\n"_s) + message;
  }
  return text;
}

QString MegabytesText(qint64 bytes) {
  return u"%1 MB"_s.arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

}  // namespace parlatone
