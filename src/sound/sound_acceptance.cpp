#include "sound/sound_acceptance.h"

#include "core/messages.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/series.h"
#include "core/text.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The longest file name the devices take: twelve bytes, extension included.
constexpr int kMaxNameBytes = 12;

void Refuse(Operator& op, int number, int title, const QString& suffix = {}) {
  ShowMessage(op, number, title, MessageIcon::kExclamation, MessageButtons::kOk, suffix);
}

}  // namespace

AcceptanceRules AcceptanceRules::From(const Project& project) {
  return {project.Mode(), project.settings.StereoAccepted(), project.settings.FileCapacity};
}

bool CheckSoundFormat(const SoundInfo& info, bool show_messages, const QString& path,
                      const QString& suffix, const AcceptanceRules& rules, Operator& op) {
  const QString tail = suffix.isEmpty() ? QString() : suffix + u"\r\n"_s;

  if (!path.isEmpty()) {
    const QString name = FileNameOf(path);
    if (HasFullWidth(name)) {
      Refuse(op, 2062, msg::kTitleConfirm);
      return false;
    }
    if (AnsiByteLength(name) > kMaxNameBytes) {
      Refuse(op, 2076, msg::kTitleConfirm);
      return false;
    }
    if (HasForbiddenChar(name)) {
      const QString text = GetMessage(2077) + ForbiddenCharList() +
                           GetMessage(SeriesMessage(SeriesText::kForbiddenCharSuffix, rules.mode)) +
                           GetMessage(2064);
      ShowText(op, text, msg::kTitleConfirm, MessageIcon::kExclamation);
      return false;
    }
  }

  if (info.Channels != 1 && !rules.stereo_accepted) {
    Refuse(op, 2100, msg::kTitleCaution);
    return false;
  }

  const SeriesInfo& series = Series(rules.mode);
  if (series.format == SoundFormat::kMp3) {
    return true;  // neither bit rate nor sampling rate is examined
  }
  if (series.max_bits_per_sample == 8 && info.BitsPerSample > 8) {
    Refuse(op, 2101, msg::kTitleCaution, tail);
    return false;
  }
  if (!AcceptsSampleRate(rules.mode, static_cast<int>(info.SampleRate))) {
    if (show_messages) {
      Refuse(op, series.rate_refusal_message, msg::kTitleCaution, tail);
    }
    return false;
  }
  return true;
}

}  // namespace parlatone
