// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_writer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "card/card_volume.h"
#include "support/full_device.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// A boot sector of 512-byte sectors, with the counts that decide the type.
QByteArray BootSector(uint8_t sectors_per_cluster, uint16_t root_entries, uint32_t total_sectors,
                      uint32_t fat_sectors, const char* label) {
  QByteArray sector(512, '\0');
  auto put = [&](int at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
      sector[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
  };
  put(11, 512, 2);
  put(13, sectors_per_cluster, 1);
  put(14, root_entries == 0 ? 32 : 1, 2);  // reserved sectors
  put(16, 2, 1);
  put(17, root_entries, 2);
  put(total_sectors < 65536 ? 19 : 32, total_sectors, total_sectors < 65536 ? 2 : 4);
  put(root_entries != 0 ? 22 : 36, fat_sectors, root_entries != 0 ? 2 : 4);
  sector.replace(root_entries != 0 ? 54 : 82, 8, label);
  return sector.replace(510, 2, "\x55\xAA");
}

TEST(BootSector, TheClusterCountDecidesTheType) {
  using Parsed = std::optional<std::tuple<QString, qint64, int>>;  // type, cluster bytes, root
  const auto exfat = [](uint8_t sector_shift, uint8_t cluster_shift) {
    QByteArray sector(512, '\0');
    sector.replace(3, 8, "EXFAT   ");
    sector[108] = static_cast<char>(sector_shift);
    sector[109] = static_cast<char>(cluster_shift);
    return sector.replace(510, 2, "\x55\xAA");
  };
  QByteArray unsigned_sector = BootSector(4, 512, 65535, 64, "FAT16   ");
  unsigned_sector[511] = 0;
  const std::pair<QByteArray, Parsed> cases[] = {
      {BootSector(4, 512, 65535, 64, "FAT16   "), {{u"FAT16"_s, 2048, 512}}},
      // The label says FAT32; the count of clusters says FAT16, as drivers read it.
      {BootSector(4, 512, 65535, 64, "FAT32   "), {{u"FAT16"_s, 2048, 512}}},
      {BootSector(1, 0, 140000, 1100, "FAT32   "), {{u"FAT32"_s, 512, 0}}},
      {BootSector(4, 512, 8000, 8, "FAT12   "), {{u"FAT12"_s, 2048, 512}}},
      {exfat(9, 6), {{u"exFAT"_s, 32768, 0}}},
      {exfat(12, 13), {{u"exFAT"_s, 32 << 20, 0}}},
      // Shifts no exFAT volume has: beyond the width of the size.
      {exfat(200, 13), std::nullopt},
      {exfat(9, 255), std::nullopt},
      {exfat(12, 14), std::nullopt},
      {exfat(8, 0), std::nullopt},
      {unsigned_sector, std::nullopt},
      {QByteArray(512, '\0'), std::nullopt},
  };
  for (const auto& [sector, expected] : cases) {
    const std::optional<FatBootSector> boot = ParseBootSector(sector);
    EXPECT_EQ(boot ? Parsed({boot->type, boot->cluster_bytes, boot->root_entries}) : std::nullopt,
              expected);
  }
}

// A volume as the test says it is, over a plain folder (whose listing order is not FAT's).
class FakeProbe : public VolumeProbe {
 public:
  VolumeInfo Probe(const QString& folder) override {
    VolumeInfo v = volume;
    v.mount_point = folder;
    return v;
  }
  QList<VolumeInfo> RemovableVolumes() override { return {volume}; }
  bool Eject(const VolumeInfo&, QString*) override { return true; }
  VolumeInfo volume{u""_s,    u""_s, u"FAT16"_s, u""_s, 2048, 64 << 20,
                    64 << 20, 512,   true,       true,  false};
};

// The operator that sees the bar move, so that a test can act at a given
// point of the write (pull the card, say).
class WatchingOperator : public testing::ScriptedOperator {
 public:
  void SetProgress(const QString& caption, int value, int maximum) override {
    ScriptedOperator::SetProgress(caption, value, maximum);
    if (on_progress) {
      on_progress(caption, value);
    }
  }
  std::function<void(const QString&, int)> on_progress;
};

// Where in a write the card goes away: the caption of the bar, and for
// "mid-file" a bar that has moved inside that file.
struct PullPoint {
  const char* what;
  QString caption;
  bool inside_file;
  QStringList written;      // named as on the card
  QStringList not_written;  // named as not on it
};
const QStringList kCardFiles = {u"A.wav"_s, u"DEMO.wpj"_s, u"b.wav"_s, u"c.wav"_s};
const PullPoint kPullPoints[] = {
    {"before the first file", u"書込み中: A.wav"_s, false, {}, kCardFiles},
    {"mid-file", u"書込み中: c.wav"_s, true, kCardFiles.mid(0, 3), {u"c.wav"_s}},
    {"before the read-back", u"確認中"_s, false, kCardFiles, {}},
};

// Calls `pull` once, at the point.
std::function<void(const QString&, int)> PullAt(const PullPoint& point,
                                                std::function<void()> pull) {
  auto first_value = std::make_shared<std::optional<int>>();
  auto done = std::make_shared<bool>(false);
  return [=](const QString& caption, int value) {
    if (*done || caption != point.caption) {
      return;
    }
    if (point.inside_file && (!first_value->has_value() || value == **first_value)) {
      *first_value = first_value->value_or(value);
      return;
    }
    *done = true;
    pull();
  };
}

void ExpectPullReported(const CardReport& report, const PullPoint& point) {
  SCOPED_TRACE(point.what);
  EXPECT_TRUE(report.pulled && !report.ok);
  EXPECT_TRUE(
      report.messages.value(0).startsWith(u"カードが取り外されたため、書込みを中止しました。"_s))
      << report.messages.join(u'|').toStdString();
  EXPECT_EQ(report.messages.contains(u"書き込んだファイル: "_s + point.written.join(u", "_s)),
            !point.written.isEmpty());
  EXPECT_EQ(report.messages.contains(u"カードにないファイル: "_s + point.not_written.join(u", "_s)),
            !point.not_written.isEmpty());
  EXPECT_TRUE(CardReportText(report).startsWith(u"カードへの書込みは完了していません。"_s));
}

class CardWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Run again by the tests that try one case after another: each starts afresh.
    card_ = dir_.filePath(u"CARD"_s);
    target_ = dir_.filePath(u"target"_s);
    QDir(card_).removeRecursively();
    QDir(target_).removeRecursively();
    QDir().mkpath(target_);
    probe_ = FakeProbe();
    ASSERT_TRUE(testing::WriteBytes(card_ + u"/DEMO.wpj"_s,
                                    "LYR-KX3-3J\r\n#2\r\n0,b.wav\r\n1,A.wav\r\n2,c.wav\r\n#3\r\n"));
    for (const QString& name : {u"A.wav"_s, u"b.wav"_s, u"c.wav"_s}) {
      ASSERT_TRUE(
          testing::WriteBytes(card_ + u'/' + name, testing::WaveOfLength(22050, 1, 16, 200)));
    }
  }
  CardReport Write(const CardWriteOptions& options = {}) {
    return WriteCard(card_, target_, probe_, options, op_, cancel_.load() ? &cancel_ : nullptr);
  }
  QStringList OnCard() const {
    return QDir(target_).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }

  QTemporaryDir dir_;
  QString card_;
  QString target_;
  FakeProbe probe_;
  WatchingOperator op_;
  std::atomic<bool> cancel_ = false;
};

TEST_F(CardWriterTest, WritesInNameOrderOnlyOnYesAndVerifies) {
  ASSERT_TRUE(testing::WriteBytes(target_ + u"/OLD.TXT"_s, "old"));
  ASSERT_TRUE(testing::WriteBytes(target_ + u"/KEEP/inside.txt"_s, "kept"));
  // Files already on the card go only on Yes, which is not the default.
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(Write().written);
  EXPECT_EQ(op_.shown.back().default_answer, MessageAnswer::kNo);
  EXPECT_EQ(OnCard(), QStringList{u"OLD.TXT"_s});
  op_.Answer(MessageAnswer::kYes);
  // A window's own bar takes the progress, to the end; the operator sees none of it.
  std::vector<int> bar;
  const CardReport report = WriteCard(
      card_, target_, probe_, {}, op_, nullptr,
      [&](const QString&, int value, int maximum) { bar.push_back(maximum ? value : -1); });
  EXPECT_TRUE(report.ok && report.order_ok) << report.messages.join(u' ').toStdString();
  EXPECT_TRUE(op_.progress.empty());
  EXPECT_EQ(bar.size() > 1 ? bar.back() : 0, -1);
  QStringList written;
  for (const CardFileResult& file : report.files) {
    EXPECT_TRUE(file.verified);
    written << file.name;
  }
  EXPECT_EQ(written, kCardFiles);
  EXPECT_EQ(OnCard(), written);
  EXPECT_TRUE(QFile::exists(target_ + u"/KEEP/inside.txt"_s));  // folders stay
  EXPECT_EQ(report.needed_bytes, 3 * 5 * 2048 + 2048);  // 8864-byte sounds, a small control file
  EXPECT_TRUE(VerifyCard(card_, target_, probe_, op_).ok);

  // Verifying finds a changed file and one that is not card data.
  const QString changed = target_ + u"/b.wav"_s;
  ASSERT_TRUE(testing::WriteBytes(changed, testing::ReadFileBytes(changed).replace(100, 1, "!")));
  ASSERT_TRUE(testing::WriteBytes(target_ + u"/stray.wav"_s, "x"));
  const CardReport verify = VerifyCard(card_, target_, probe_, op_);
  EXPECT_FALSE(verify.ok);
  EXPECT_TRUE(verify.messages.contains(u"カード上のファイルが元と一致しません: b.wav"_s) &&
              verify.messages.contains(u"カードに余分なファイルがあります: stray.wav"_s));
}

TEST_F(CardWriterTest, RefusalsLeaveTheCardUntouched) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    QString message_start;
  };
  const Case cases[] = {
      {"FAT32", [&] { probe_.volume.filesystem = u"FAT32"_s; },
       u"このカードのフォーマット形式は [FAT32] です。"_s},
      {"unknown", [&] { probe_.volume.filesystem.clear(); },
       u"このカードのフォーマット形式は [不明] です。"_s},
      {"too small", [&] { probe_.volume.free_bytes = 8192; },
       u"カードの空き容量が足りません。\r\n必要な容量: 32 KB\r\n空き容量: 10 KB"_s},
      {"root full", [&] { probe_.volume.root_entries = 4; },
       u"カードのルートフォルダに入るファイルの数を超えています（8 / 4 項目）。"_s},
      {"extra file", [&] { testing::WriteBytes(card_ + u"/notes.txt"_s, "x"); },
       u"カードデータ以外のファイルがあります: notes.txt"_s},
      {"missing sound", [&] { QFile::remove(card_ + u"/c.wav"_s); },
       u"コントロールファイルにあるファイルがありません: c.wav"_s},
      {"two control files", [&] { testing::WriteBytes(card_ + u"/X.zpx"_s, "#2\r\n"); },
       u"カードデータフォルダにコントロールファイルが複数あります: DEMO.wpj, X.zpx"_s},
  };
  for (const Case& c : cases) {
    SetUp();
    ASSERT_TRUE(testing::WriteBytes(target_ + u"/OLD.TXT"_s, "old"));
    c.arrange();
    const CardReport report = Write();
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(report.ok || report.written);
    EXPECT_TRUE(report.messages.value(0).startsWith(c.message_start))
        << report.messages.value(0).toStdString();
    EXPECT_EQ(OnCard(), QStringList{u"OLD.TXT"_s});
  }
  // Every reason that holds is named at once.
  SetUp();
  probe_.volume.filesystem = u"FAT32"_s;
  probe_.volume.read_only = true;
  probe_.volume.free_bytes = 0;
  QStringList starts;
  for (const QString& message : Write().messages) {
    starts << message.section(u'\r', 0, 0);
  }
  EXPECT_EQ(starts, (QStringList{u"このカードのフォーマット形式は [FAT32] です。"_s,
                                 u"書込み先に書き込めません（読み取り専用）: "_s +
                                     QDir::toNativeSeparators(target_),
                                 u"カードの空き容量が足りません。"_s}));
  probe_ = FakeProbe();
  // A folder that is not a card may be anything, when asked for.
  CardWriteOptions any;
  any.any_filesystem = true;
  probe_.volume.filesystem = u"ext4"_s;
  op_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(Write(any).ok);
  EXPECT_EQ(MegabytesText(3670016), u"3.5 MB"_s);  // as the card list shows sizes
}

TEST_F(CardWriterTest, AWriteThatFailsOrStopsIsNeverAnnouncedComplete) {
  testing::FailWritesAfter(10000);
  CardReport report = Write();
  testing::RestoreWrites();
  EXPECT_TRUE(!report.ok && report.written);
  EXPECT_TRUE(
      report.messages.contains(u"書込みに失敗しました: b.wav\r\n"_s + qt_error_string(ENOSPC)))
      << report.messages.join(u'|').toStdString();
  EXPECT_TRUE(report.messages.contains(u"カードにないファイル: b.wav, c.wav"_s));
  EXPECT_EQ(OnCard(), (QStringList{u"A.wav"_s, u"DEMO.wpj"_s}));
  EXPECT_TRUE(CardReportText(report).startsWith(u"カードへの書込みは完了していません。"_s));

  cancel_ = true;
  op_.Answer(MessageAnswer::kYes);  // the files of the first attempt
  report = Write();
  EXPECT_TRUE(report.cancelled && !report.ok && OnCard().isEmpty());
}

// A card pulled in the middle leaves its mount point behind as a bare
// folder at the same path: nothing more may be written there.
TEST_F(CardWriterTest, ACardPulledMidWayGetsNothingMore) {
  for (const PullPoint& point : kPullPoints) {
    SetUp();
    ASSERT_TRUE(testing::WriteBytes(card_ + u"/c.wav"_s, QByteArray(3 << 20, 'c')));
    const QString gone = dir_.filePath(QString::fromLatin1(point.what));
    op_.on_progress = PullAt(point, [&] {
      ASSERT_TRUE(QDir().rename(target_, gone));
      ASSERT_TRUE(QDir().mkdir(target_));
    });
    const CardReport report = Write();
    op_.on_progress = nullptr;
    ExpectPullReported(report, point);
    EXPECT_TRUE(QDir(target_).isEmpty()) << point.what;
  }
}

// A folder of the computer's own disk names its file system, as the mount
// table has it, even where the device itself cannot be read.
TEST(SystemVolumeProbe, APlainFolderNamesItsFileSystem) {
  QTemporaryDir dir;
  const VolumeInfo volume = SystemVolumeProbe().Probe(dir.path());
  EXPECT_EQ(volume.filesystem, QString::fromLatin1(QStorageInfo(dir.path()).fileSystemType()));
  EXPECT_FALSE(volume.filesystem.isEmpty());
}

// ------------------------------------------------------------ FAT images

// Real FAT images mounted through FUSE, where this machine allows it.
class FatImageTest : public CardWriterTest {
 protected:
  // mkfs.fat and fsck.fat live in sbin, which a user's PATH may lack.
  static QString Tool(const QString& name) {
    return QStandardPaths::findExecutable(name, {u"/usr/bin"_s, u"/usr/sbin"_s, u"/sbin"_s});
  }
  void SetUp() override {
    CardWriterTest::SetUp();
    for (const QString& tool : {u"mkfs.fat"_s, u"fusefat"_s, u"fusermount"_s, u"mdir"_s}) {
      if (Tool(tool).isEmpty()) {
        GTEST_SKIP() << tool.toStdString() << " is missing: FAT image tests skipped";
      }
    }
    if (!QFileInfo(u"/dev/fuse"_s).isWritable()) {
      GTEST_SKIP() << "/dev/fuse cannot be used here: FAT image tests skipped";
    }
  }
  void TearDown() override {
    if (mounted_) {
      Unmount();
    }
  }
  // A new image of its own each time, mounted at a folder of its own.
  bool Mount(int fat_bits, int kib, bool read_only = false) {
    ++images_;
    image_ = dir_.filePath(u"card%1.img"_s.arg(images_));
    mount_ = dir_.filePath(u"mnt%1"_s.arg(images_));
    QDir().mkpath(mount_);
    if (QProcess::execute(Tool(u"mkfs.fat"_s), {u"-F"_s, QString::number(fat_bits), u"-C"_s, image_,
                                                QString::number(kib)}) != 0) {
      return false;
    }
    const QString options =
        (read_only ? u"ro"_s : u"rw+"_s) + u",fsname="_s + image_ + u",subtype=fusefat"_s;
    mounted_ = QProcess::execute(u"fusefat"_s, {u"-o"_s, options, image_, mount_}) == 0;
    return mounted_;
  }
  bool Unmount() {
    mounted_ = QProcess::execute(u"fusermount"_s, {u"-u"_s, mount_}) != 0;
    return !mounted_;
  }
  // The root directory of the image in entry order, as mtools reads it.
  QStringList EntryOrder() {
    QProcess mdir;
    mdir.setEnvironment(QProcess::systemEnvironment() << u"MTOOLS_SKIP_CHECK=1"_s);
    mdir.start(u"mdir"_s, {u"-b"_s, u"-i"_s, image_, u"::"_s});
    mdir.waitForFinished();
    return QString::fromUtf8(mdir.readAllStandardOutput())
        .remove(u"::/"_s)
        .split(u'\n', Qt::SkipEmptyParts);
  }

  SystemVolumeProbe system_;
  QString image_;
  QString mount_;
  int images_ = 0;
  bool mounted_ = false;
};

TEST_F(FatImageTest, Fat16IsWrittenInNameOrderAndTheProbeKnowsFat32AndReadOnly) {
  ASSERT_TRUE(Mount(16, 16384));
  ASSERT_TRUE(QDir().mkpath(mount_ + u"/KEEP"_s));
  const VolumeInfo volume = system_.Probe(mount_);
  EXPECT_EQ(std::pair(volume.filesystem, volume.source), std::pair(u"FAT16"_s, image_));
  EXPECT_GT(volume.cluster_bytes, 0);
  const CardReport report = WriteCard(card_, mount_, system_, {}, op_);
  EXPECT_TRUE(report.ok) << report.messages.join(u'|').toStdString();
  EXPECT_TRUE(VerifyCard(card_, mount_, system_, op_).ok);
  ASSERT_TRUE(Unmount());
  EXPECT_EQ(EntryOrder(),
            (QStringList{u"KEEP/"_s, u"A.wav"_s, u"DEMO.wpj"_s, u"b.wav"_s, u"c.wav"_s}));

  // The probe names a real FAT32 card; its refusal is the fake probe's test's.
  ASSERT_TRUE(Mount(32, 40000));
  EXPECT_EQ(WriteCard(card_, mount_, system_, {}, op_).filesystem, u"FAT32"_s);
  ASSERT_TRUE(Unmount());
  ASSERT_TRUE(Mount(16, 16384, true));
  const CardReport read_only = WriteCard(card_, mount_, system_, {}, op_);
  EXPECT_TRUE(!read_only.written &&
              read_only.messages.value(0).startsWith(u"書込み先に書き込めません"_s));
}

// The desktop unmounts a card that vanishes lazily: the mount point is the
// computer's own bare folder again at once, while the writer may still hold
// the card's folder open.
TEST_F(FatImageTest, ACardPulledAtAnyPointLeavesTheBareMountPointEmpty) {
  ASSERT_TRUE(testing::WriteBytes(card_ + u"/c.wav"_s, QByteArray(3 << 20, 'c')));
  for (const PullPoint& point : kPullPoints) {
    ASSERT_TRUE(Mount(16, 16384));
    op_.on_progress = PullAt(point, [&] {
      mounted_ = QProcess::execute(u"fusermount"_s, {u"-u"_s, u"-z"_s, mount_}) != 0;
      ASSERT_FALSE(mounted_);
    });
    const CardReport report = WriteCard(card_, mount_, system_, {}, op_);
    op_.on_progress = nullptr;
    ExpectPullReported(report, point);
    EXPECT_TRUE(QDir(mount_).isEmpty()) << point.what;
  }
}

// A writer killed in the middle leaves a card that reads as incomplete; a
// second write over it gives a whole card that the file system check finds
// clean.
TEST_F(FatImageTest, AKilledWriterIsMendedByWritingAgain) {
  ASSERT_TRUE(testing::WriteBytes(card_ + u"/c.wav"_s, QByteArray(8 << 20, 'c')));
  ASSERT_TRUE(Mount(16, 16384));
  QProcess writer;
  writer.start(QStringLiteral(PARLATONE_CLI_PATH), {u"write-card"_s, u"--yes"_s, card_, mount_});
  ASSERT_TRUE(writer.waitForStarted());
  QElapsedTimer waited;
  waited.start();
  while (!QFileInfo::exists(mount_ + u"/c.wav"_s) && waited.elapsed() < 20000) {
    QThread::msleep(5);
  }
  ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
  writer.waitForFinished();
  EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit);
  EXPECT_FALSE(VerifyCard(card_, mount_, system_, op_).ok);
  op_.Answer(MessageAnswer::kYes);  // the files the killed writer left
  const CardReport report = WriteCard(card_, mount_, system_, {}, op_);
  EXPECT_TRUE(report.ok) << report.messages.join(u'|').toStdString();
  EXPECT_TRUE(VerifyCard(card_, mount_, system_, op_).ok);
  ASSERT_TRUE(Unmount());
  EXPECT_EQ(QProcess::execute(Tool(u"fsck.fat"_s), {u"-n"_s, image_}), 0);
}

}  // namespace
}  // namespace parlatone
