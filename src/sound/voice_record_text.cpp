// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/voice_record_text.h"

#include "core/series.h"
#include "core/text.h"

namespace parlatone {

using namespace Qt::StringLiterals;

QString SampleRateText(uint32_t sample_rate) {
  // Rates are whole hertz, so three decimals of kHz are exact: no rounding,
  // only the trailing zeros go, keeping at least one decimal.
  QString decimals = u"%1"_s.arg(sample_rate % 1000, 3, 10, QChar(u'0'));
  while (decimals.size() > 1 && decimals.endsWith(u'0')) {
    decimals.chop(1);
  }
  return QString::number(sample_rate / 1000) + u'.' + decimals + u"KHz"_s;
}

QString SecondsText(qint64 milliseconds) {
  const qint64 magnitude = milliseconds < 0 ? -milliseconds : milliseconds;
  const QString text = u"%1.%2"_s.arg(magnitude / 1000).arg(magnitude % 1000, 3, 10, QChar(u'0'));
  return milliseconds < 0 ? u'-' + text : text;
}

QString MpegText(uint16_t mpeg_version) {
  switch (mpeg_version) {
    case 3:
      return u"1.0"_s;
    case 2:
      return u"2.0"_s;
    default:
      return {};
  }
}

QString LayerText(uint16_t mpeg_layer) {
  switch (mpeg_layer) {
    case 1:
      return u"3"_s;
    case 2:
      return u"2"_s;
    case 3:
      return u"1"_s;
    default:
      return {};
  }
}

VoiceRecord MakeVoiceRecord(const QString& path, const SoundInfo& info, qint64 length_ms,
                            qint64 bytes, int mode) {
  VoiceRecord record;
  record.NAME = FileNameOf(path);
  record.SampleRate = SampleRateText(info.SampleRate);
  record.BitRate = QString::number(info.BitsPerSample) + BitRateSuffix(mode);
  record.TYPE = info.Channels == 1 ? u"Mono"_s : u"Stereo"_s;
  record.SEC = SecondsText(length_ms);
  record.BYTES = QString::number(bytes);
  record.FilePath = path;
  record.MPEG = MpegText(info.MpegVersion);
  record.Layer = LayerText(info.MpegLayer);
  return record;
}

}  // namespace parlatone
