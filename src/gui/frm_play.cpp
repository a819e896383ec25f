// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_play.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

#include "core/messages.h"
#include "gui/levels_feeder.h"
#include "gui/waveform_view.h"
#include "sound/media.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// "1:02.3": minutes, seconds and tenths.
QString Clock(qint64 ms) {
  const qint64 tenths = std::max<qint64>(0, ms) / 100;
  return u"%1:%2.%3"_s.arg(tenths / 600).arg(tenths / 10 % 60, 2, 10, QChar(u'0')).arg(tenths % 10);
}

}  // namespace

FrmPlay::FrmPlay(const WorkingVoiceList& list, int mode, QWidget* parent, LevelsFeeder* feeder)
    : QDialog(parent), feeder_(feeder) {
  setObjectName(u"FrmPlay"_s);
  setWindowTitle(GetMessage(1005));
  setModal(true);
  auto* layout = new QGridLayout(this);
  const auto label = [this, layout](const char* name, int row) {
    auto* value = new QLabel(this);
    value->setObjectName(QString::fromLatin1(name));
    value->setMinimumWidth(280);
    layout->addWidget(value, row, 0);
    return value;
  };
  name_ = label("LblName", 0);
  time_ = label("LblTime", 1);
  bytes_ = label("LblByte", 2);
  audio_ = label("LblAudio", 3);
  wave_ = new WaveformView(this);
  wave_->setObjectName(u"PicWave"_s);
  layout->addWidget(wave_, 4, 0);
  position_ = label("LblPosition", 5);
  auto* stop = new QPushButton(tr("停止"), this);
  stop->setObjectName(u"CmdStop"_s);
  layout->addWidget(stop, 6, 0, Qt::AlignRight);
  connect(stop, &QPushButton::clicked, this, &QDialog::reject);
  timer_ = new QTimer(this);
  timer_->setObjectName(u"TmrPlay"_s);
  timer_->setInterval(200);
  player_ = std::make_unique<Player>(
      list, mode, *this, [](const QString& command) { return SendMediaCommand(command); });
  connect(timer_, &QTimer::timeout, this, [this] { player_->Tick(); });
  // The position moves more smoothly than the end is polled.
  position_timer_ = new QTimer(this);
  position_timer_->setObjectName(u"TmrPosition"_s);
  position_timer_->setInterval(50);
  connect(position_timer_, &QTimer::timeout, this, &FrmPlay::ShowPosition);
  connect(wave_, &WaveformView::Clicked, this, [this](double fraction) {
    if (length_ms_ > 0) {
      player_->PlayFrom(static_cast<qint64>(fraction * static_cast<double>(length_ms_)));
      ShowPosition();
    }
  });
  if (feeder_ != nullptr) {
    connect(feeder_, &LevelsFeeder::Arrived, this, &FrmPlay::TakeLevels);
  }
}

void FrmPlay::ShowVoice(const QString& path, qint64 length_ms) {
  path_ = path;
  length_ms_ = length_ms;
  wave_->SetLevels(nullptr);
  wave_->SetPosition(0.0);
  if (feeder_ != nullptr) {
    feeder_->Request({path});
    TakeLevels(path);
  }
  ShowPosition();
}

void FrmPlay::TakeLevels(const QString& path) {
  if (path == path_ && feeder_ != nullptr) {
    if (std::shared_ptr<const SoundLevels> levels = feeder_->Shared(path)) {
      wave_->SetLevels(std::move(levels));
    }
  }
}

void FrmPlay::ShowPosition() {
  const qint64 position = player_->PositionMs();
  if (position < 0) {
    wave_->SetPosition(-1.0);
    position_->setText(QString());
    return;
  }
  wave_->SetPosition(length_ms_ > 0 ? static_cast<double>(position) / length_ms_ : 0.0);
  position_->setText(Clock(position) + u" / "_s + Clock(length_ms_));
}

FrmPlay::~FrmPlay() = default;

int FrmPlay::Play(int slot, bool play_request, bool play_all) {
  closing_ = false;
  // Playing starts once the dialog is on screen, and not at all when it was
  // closed before that (a key typed ahead): nothing would close the device.
  QTimer::singleShot(0, this, [this, slot, play_request, play_all] {
    if (!closing_) {
      player_->Open(slot, play_request, play_all);
    }
  });
  return exec();
}

void FrmPlay::SetLabels(const QString& name, const QString& time, const QString& bytes,
                        const QString& audio) {
  name_->setText(name);
  time_->setText(time);
  bytes_->setText(bytes);
  audio_->setText(audio);
}

void FrmPlay::SetTimer(bool enabled) {
  if (enabled) {
    timer_->start();
    position_timer_->start();
  } else {
    timer_->stop();
    position_timer_->stop();
  }
}

void FrmPlay::CloseDialog() {
  accept();
}

void FrmPlay::done(int result) {
  // However the dialog closes, the device closes with it.
  if (!closing_) {
    closing_ = true;
    player_->Close();
  }
  QDialog::done(result);
}

}  // namespace parlatone
