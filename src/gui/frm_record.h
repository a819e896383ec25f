// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>
#include <vector>

#include "sound/recorder.h"
#include "sound/sound_analysis.h"
#include "tools/fit_rules.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace parlatone {

class Operator;
class Project;
class SoundBackend;
class SoundSource;
class WaveformView;
class WorkingVoiceList;

// The recording dialog of the registration window: an input, a live meter
// and the growing outline of the take, record / stop / retake / listen,
// and the name and comment the finished file is registered with.
class FrmRecord : public QDialog {
  Q_OBJECT

 public:
  // The proposed name avoids the voices of `list` as it avoids the files of
  // the sound folder.
  FrmRecord(Operator& op, FitSeries series, QString sound_folder, const WorkingVoiceList& list,
            QWidget* parent = nullptr);
  ~FrmRecord() override;

  // After 登録: the file written into the sound folder and its comment.
  QString RecordedFile() const { return recorded_file_; }
  QString Comment() const;

  // Why no take can be recorded on this machine; empty when one can.
  static QString NoInputReason();

 protected:
  void reject() override;

 private:
  void StartTake();
  void StopTake();
  void Retake();
  void Listen();
  void Register();
  void Tick();
  void UpdateButtons();
  void DiscardTake();
  void OfferLeftover();
  bool NameIsRegistrable(const QString& name);

  Operator& op_;
  FitSeries series_;
  QString sound_folder_;
  const WorkingVoiceList& list_;
  Recorder recorder_;
  QString take_path_;
  int take_rate_ = 0;
  QString recorded_file_;
  SoundLevels outline_;
  int spans_per_column_ = 1;
  int span_in_column_ = 0;
  float peak_hold_ = 0.0F;
  bool clipped_ = false;
  std::unique_ptr<SoundBackend> backend_;
  std::unique_ptr<SoundSource> playing_;

  QComboBox* device_ = nullptr;
  QProgressBar* peak_meter_ = nullptr;
  QLabel* loudness_ = nullptr;
  QLabel* clip_ = nullptr;
  QLabel* length_ = nullptr;
  WaveformView* waveform_ = nullptr;
  QPushButton* record_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* retake_ = nullptr;
  QPushButton* listen_ = nullptr;
  QPushButton* register_ = nullptr;
  QCheckBox* trim_ = nullptr;
  QCheckBox* normalize_ = nullptr;
  QDoubleSpinBox* target_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* comment_ = nullptr;
  QTimer* timer_ = nullptr;
};

// After a recording was registered: when the card information has no
// recording date yet, offers today's.
void OfferRecordingDate(Project& project, Operator& op);

}  // namespace parlatone
