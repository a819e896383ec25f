// SPDX-License-Identifier: GPL-3.0-or-later
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

CheckResult Refuse(int number, int title, const QString& suffix = {}) {
  return Refused(NumberedMessage(number, title, MessageIcon::kExclamation, suffix));
}

}  // namespace

AcceptanceRules AcceptanceRules::From(const Project& project) {
  return {project.Mode(), project.settings.StereoAccepted(), project.settings.FileCapacity};
}

CheckResult CheckSoundFormat(const SoundInfo& info, const QString& path, const QString& suffix,
                             const AcceptanceRules& rules) {
  const QString tail = suffix.isEmpty() ? QString() : suffix + u"\r\n"_s;

  if (!path.isEmpty()) {
    const QString name = FileNameOf(path);
    if (HasFullWidth(name)) {
      return Refuse(2062, msg::kTitleConfirm);
    }
    if (AnsiByteLength(name) > kMaxNameBytes) {
      return Refuse(2076, msg::kTitleConfirm);
    }
    if (HasForbiddenChar(name)) {
      const QString text = GetMessage(2077) + ForbiddenCharList() +
                           GetMessage(SeriesMessage(SeriesText::kForbiddenCharSuffix, rules.mode)) +
                           GetMessage(2064);
      return Refused(TextMessage(text, msg::kTitleConfirm, MessageIcon::kExclamation));
    }
  }

  if (info.Channels != 1 && !rules.stereo_accepted) {
    return Refuse(2100, msg::kTitleCaution);
  }

  const SeriesInfo& series = Series(rules.mode);
  if (series.format == SoundFormat::kMp3) {
    return {};  // neither bit rate nor sampling rate is examined
  }
  if (series.max_bits_per_sample == 8 && info.BitsPerSample > 8) {
    return Refuse(2101, msg::kTitleCaution, tail);
  }
  if (!AcceptsSampleRate(rules.mode, static_cast<int>(info.SampleRate))) {
    return Refuse(series.rate_refusal_message, msg::kTitleCaution, tail);
  }
  return {};
}

}  // namespace parlatone
