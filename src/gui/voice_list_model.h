// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>

#include <optional>

namespace parlatone {

class LevelsFeeder;
class RegistrationSession;
struct SoundLevels;

// The registration grid's model: one page of the session's working list,
// read in place. The rows are the page's slots, always all of them; what the
// session announces as changed is redrawn, one notice per change however
// many voices a run registered.
class VoiceListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kCommentColumn = 2;

  VoiceListModel(RegistrationSession& session, int rows_per_page, bool mp3,
                 QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Column widths in twips; 0 for the hidden columns.
  int ColumnTwips(int column) const;

  // The two view-only columns after the voice texts: the outline and the
  // levels of each registered voice, filled as the feeder reads the files.
  int OutlineColumn() const { return columnCount() - 2; }
  int LevelsColumn() const { return columnCount() - 1; }
  void SetFeeder(LevelsFeeder* feeder);
  const SoundLevels* LevelsAt(int row) const;
  // Louder or quieter than the registered voices' median by more than this
  // is marked.
  static constexpr double kOutlierLu = 6.0;

  int SlotOfRow(int row) const { return page_ * rows_per_page_ + row; }
  int Page() const { return page_; }
  // The page in view: every row shows other slots.
  void SetPage(int page);
  // The highlighted slot (-1 for none).
  void SetSelectedSlot(int slot);

 private:
  // Redraws the rows of the slots on this page.
  void SlotsChanged(int first_slot, int last_slot);
  void VoicesChanged(int first_slot, int last_slot);
  bool Registered(int slot) const;
  QString PathOfSlot(int slot) const;
  // Asks for the page's files first, then for every other registered one
  // (the median needs them all).
  void RequestLevels();
  void LevelsArrived();
  QString LevelsWarning(const SoundLevels& levels) const;
  QVariant LevelsData(const QModelIndex& index, int role) const;

  RegistrationSession& session_;
  int rows_per_page_;
  bool mp3_;
  int page_ = 0;
  int selected_slot_ = -1;
  LevelsFeeder* feeder_ = nullptr;
  std::optional<double> median_lufs_;
};

}  // namespace parlatone
