#include "gui/frm_card_write.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// Two cards over plain folders: a FAT32 one the devices cannot read and a
// FAT16 one.
class TwoCards : public VolumeProbe {
 public:
  VolumeInfo Probe(const QString& folder) override {
    const auto found = std::find_if(volumes.begin(), volumes.end(),
                                    [&](const VolumeInfo& v) { return v.mount_point == folder; });
    return found == volumes.end() ? VolumeInfo() : *found;
  }
  QList<VolumeInfo> RemovableVolumes() override { return volumes; }
  bool Eject(const VolumeInfo& volume, QString*) override {
    ejected << volume.mount_point;
    return true;
  }
  QList<VolumeInfo> volumes;
  QStringList ejected;
};

TEST(FrmCardWrite, ListsTheCardsWritesTheUsableOneAndTakesItOut) {
  QTemporaryDir dir;
  const QString card = dir.filePath(u"CARD"_s);
  ASSERT_TRUE(testing::WriteBytes(card + u"/C.wpj"_s, "#2\r\n0,a.wav\r\n"));
  ASSERT_TRUE(testing::WriteBytes(card + u"/a.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)));
  TwoCards probe;
  for (const auto& [name, filesystem] : {std::pair{u"big"_s, u"FAT32"_s}, {u"sd"_s, u"FAT16"_s}}) {
    VolumeInfo volume;
    volume.mount_point = dir.filePath(name);
    volume.filesystem = filesystem;
    volume.cluster_bytes = 2048;
    volume.free_bytes = volume.total_bytes = 32 << 20;
    volume.removable = volume.found = true;
    QDir().mkpath(volume.mount_point);
    probe.volumes << volume;
  }
  testing::ScriptedOperator op;
  testing::ScriptedChoosers choosers;
  FrmCardWrite window(card, probe, op, choosers);
  window.show();
  auto* grid = window.findChild<QTableWidget*>(u"GrdVolumes"_s);
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(0, 4)->text(), u"FAT16ではありません（FAT32）"_s);
  EXPECT_EQ(grid->item(1, 4)->text(), u"書込みできます"_s);
  EXPECT_EQ(grid->currentRow(), 1);  // the usable card is chosen
  auto* eject = window.findChild<QPushButton*>(u"CmdEject"_s);
  EXPECT_FALSE(eject->isEnabled());  // nothing written yet
  QTest::mouseClick(window.findChild<QPushButton*>(u"CmdWrite"_s), Qt::LeftButton);
  EXPECT_TRUE(window.LastReport().ok);
  EXPECT_TRUE(QFile::exists(dir.filePath(u"sd/a.wav"_s)));
  EXPECT_TRUE(QDir(dir.filePath(u"big"_s)).isEmpty());
  const QString result = window.findChild<QLabel*>(u"LblResult"_s)->text();
  EXPECT_EQ(result, u"カードへの書込みと確認が完了しました（2 ファイル）。"_s);
  EXPECT_EQ(op.Numbers(), std::vector<int>{0});
  EXPECT_EQ(op.shown.at(0).text, result);
  QTest::mouseClick(eject, Qt::LeftButton);
  EXPECT_EQ(probe.ejected, QStringList{dir.filePath(u"sd"_s)});
}

}  // namespace
}  // namespace parlatone
