// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

#include "voices/player.h"

class QLabel;
class QTimer;

namespace parlatone {

class LevelsFeeder;
class WaveformView;
class WorkingVoiceList;

// The player dialog of the voice registration window: the voice's name,
// length, size and format, its waveform with the play position (a click
// plays from there), the elapsed and total time, a stop button, and the
// voices played through alias "*2".
class FrmPlay : public QDialog, public PlayerView {
  Q_OBJECT

 public:
  FrmPlay(const WorkingVoiceList& list, int mode, QWidget* parent = nullptr,
          LevelsFeeder* feeder = nullptr);
  ~FrmPlay() override;

  // Opens modally and plays as asked; returns when the dialog closes.
  int Play(int slot, bool play_request, bool play_all);
  int CurrentSlot() const { return player_->CurrentSlot(); }

  void SetLabels(const QString& name, const QString& time, const QString& bytes,
                 const QString& audio) override;
  void SetTimer(bool enabled) override;
  void CloseDialog() override;
  void ShowVoice(const QString& path, qint64 length_ms) override;

 protected:
  void done(int result) override;

 private:
  void ShowPosition();
  void TakeLevels(const QString& path);

 private:
  QLabel* name_ = nullptr;
  QLabel* time_ = nullptr;
  QLabel* bytes_ = nullptr;
  QLabel* audio_ = nullptr;
  QTimer* timer_ = nullptr;
  WaveformView* wave_ = nullptr;
  QLabel* position_ = nullptr;
  QTimer* position_timer_ = nullptr;
  LevelsFeeder* feeder_ = nullptr;
  QString path_;
  qint64 length_ms_ = 0;
  std::unique_ptr<Player> player_;
  bool closing_ = false;
};

}  // namespace parlatone
