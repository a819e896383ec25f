#include "gui/frm_play.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "core/messages.h"
#include "sound/media.h"

namespace parlatone {

using namespace Qt::StringLiterals;

FrmPlay::FrmPlay(const WorkingVoiceList& list, int mode, QWidget* parent) : QDialog(parent) {
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
  auto* stop = new QPushButton(u"停止"_s, this);
  stop->setObjectName(u"CmdStop"_s);
  layout->addWidget(stop, 4, 0, Qt::AlignRight);
  connect(stop, &QPushButton::clicked, this, &QDialog::reject);
  timer_ = new QTimer(this);
  timer_->setObjectName(u"TmrPlay"_s);
  timer_->setInterval(200);
  player_ = std::make_unique<Player>(
      list, mode, *this, [](const QString& command) { return SendMediaCommand(command); });
  connect(timer_, &QTimer::timeout, this, [this] { player_->Tick(); });
}

FrmPlay::~FrmPlay() = default;

int FrmPlay::Play(int slot, bool play_request, bool play_all) {
  closing_ = false;
  // Playing starts once the dialog is on screen.
  QTimer::singleShot(0, this, [this, slot, play_request, play_all] {
    player_->Open(slot, play_request, play_all);
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
  } else {
    timer_->stop();
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
