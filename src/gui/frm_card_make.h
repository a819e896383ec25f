// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

#include "core/paths.h"
#include "gui/window_context.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace parlatone {

class Choosers;
class Operator;
class Project;
class VolumeProbe;
struct CardInfo;
struct CardCheckFailure;

// The card data window: the card information on three pages, the temporary
// save, and making the card data. What it shows comes from the project when
// it opens; it goes back into the project only when a save or the card
// making starts. Closing never asks and never discards.
class FrmCardMake : public QDialog {
  Q_OBJECT

 public:
  explicit FrmCardMake(const WindowContext& context, QWidget* parent = nullptr);
  ~FrmCardMake() override;

  int CurrentPage() const;  // 0 to 2
  void ShowPage(int page);
  // Copies every field into the project's card information.
  void StoreFields();
  void TemporarySave();
  void MakeCard();
  // Opens the window that writes the card data just made onto a card.
  void WriteToCard();
  // The probe the card writing window asks about volumes (tests give theirs).
  void SetVolumeProbe(std::unique_ptr<VolumeProbe> probe);

 Q_SIGNALS:
  // A temporary save was written there.
  void Saved(const QString& path);
  // The card data were made; the path of their control file.
  void CardMade(const QString& control_file);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildWindow();
  std::unique_ptr<VolumeProbe> probe_;
  QString made_folder_;  // the card data folder made last
  QPushButton* write_card_ = nullptr;
  void FillFields();
  void PointAt(const CardCheckFailure& failure);
  QLineEdit* AddField(QWidget* page, QGridLayout* grid, int row, const QString& label,
                      const char* name, int field, const QString& hint);
  // Selects on entry, marks the project edited on a change, and keeps the
  // field by its position in the card information.
  void TrackField(QLineEdit* edit, int field);

  Project& project_;
  AppPaths paths_;
  Operator& op_;
  Choosers& choosers_;
  QTabWidget* tabs_ = nullptr;
  QGroupBox* pages_[3] = {};
  // Text fields by their position in the card information; the positions of
  // the lists and the size class stay empty.
  QLineEdit* fields_[27] = {};
  QComboBox* card_size_ = nullptr;
  QComboBox* tape_ = nullptr;
  QComboBox* wave_medium_ = nullptr;
  QComboBox* card_medium_ = nullptr;
  QLabel* use_size_ = nullptr;
  QLabel* memory_size_ = nullptr;
  bool loading_ = false;
  bool making_ = false;
};

}  // namespace parlatone
