// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

#include "core/series.h"
#include "core/text.h"
#include "tools/fit_rules.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct FitRuleText {
  Q_DECLARE_TR_FUNCTIONS(FitRules)
};

}  // namespace

QString FitText(const char* text) {
  return QCoreApplication::translate("FitRules", text);
}

namespace {

// The devices' file names: 12 bytes with the extension, so 8 before ".wav".
constexpr int kNameBytes = 12;
constexpr int kCommentBytes = 40;
constexpr int kMp3Rate = 44100;
constexpr int kMp3HalfRate = 22050;
// Rates the device header check takes, whatever the series table says.
constexpr int kHeaderRates[] = {8000, 11025, 12800, 16000, 22050, 32000, 44100};

QList<int> Mp3Bitrates(int rate) {
  if (rate == kMp3HalfRate) {
    return {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  }
  return {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
}

// A character a device name may hold as it is.
bool KeepsInName(QChar c) {
  return c.unicode() >= 0x20 && c.unicode() != 0x7F && !HasFullWidth(QString(c)) &&
         !HasForbiddenChar(QString(c)) && c != u'"';
}

// The text cut to at most `bytes` bytes of code page 932, never inside a
// character.
QString CutToBytes(const QString& text, int bytes) {
  QString cut;
  int used = 0;
  for (const uint code_point : text.toUcs4()) {
    const QString piece = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code_point), 1);
    const int length = AnsiByteLength(piece);
    if (used + length > bytes) {
      break;
    }
    cut += piece;
    used += length;
  }
  return cut;
}

// A leading dot would hide the file from the operator's own file manager.
bool PassesNameRules(const QString& file) {
  return AnsiByteLength(file) <= kNameBytes && !file.startsWith(u'.') &&
         std::all_of(file.begin(), file.end(), [](QChar c) { return KeepsInName(c); });
}

}  // namespace

QStringList FitSourcePatterns() {
  return {u"*.wav"_s, u"*.mp3"_s, u"*.flac"_s, u"*.ogg"_s,
          u"*.oga"_s, u"*.aif"_s, u"*.aiff"_s, u"*.aifc"_s};
}

QList<int> FitRates(int mode) {
  if (IsMp3Series(mode)) {
    return {kMp3Rate, kMp3HalfRate};
  }
  QList<int> rates;
  for (const int rate : kHeaderRates) {
    if (AcceptsSampleRate(mode, rate)) {
      rates << rate;
    }
  }
  return rates;
}

std::optional<QString> FitOptionsProblem(int mode, const FitOptions& options) {
  const QList<int> rates = FitRates(mode);
  if (options.rate != 0 && !rates.contains(options.rate)) {
    QStringList names;
    for (const int rate : rates) {
      names << QString::number(rate);
    }
    return u"series %1 takes the rates %2 Hz, not %3"_s.arg(mode)
        .arg(names.join(u", "_s))
        .arg(options.rate);
  }
  if (IsMp3Series(mode)) {
    const int rate = options.rate == 0 ? kMp3Rate : options.rate;
    if (!Mp3Bitrates(rate).contains(options.bitrate)) {
      QStringList names;
      for (const int bitrate : Mp3Bitrates(rate)) {
        names << QString::number(bitrate);
      }
      return u"MP3 at %1 Hz takes the bit rates %2 kbit/s, not %3"_s.arg(rate)
          .arg(names.join(u", "_s))
          .arg(options.bitrate);
    }
  }
  if (options.normalize_lufs &&
      (!std::isfinite(*options.normalize_lufs) || *options.normalize_lufs < -70.0 ||
       *options.normalize_lufs > 0.0)) {
    return u"a loudness target must lie between -70 and 0 LUFS"_s;
  }
  return std::nullopt;
}

FitTarget PlanFit(const FitSeries& series, const FitSourceFormat& source,
                  const FitOptions& options) {
  FitTarget target;
  target.channels = series.stereo && source.channels == 2 ? 2 : 1;
  if (IsMp3Series(series.mode)) {
    target.mp3 = true;
    target.rate = options.rate == kMp3HalfRate ? kMp3HalfRate : kMp3Rate;
    target.bitrate = options.bitrate;
    target.bits = 16;
    return target;
  }
  const QList<int> rates = FitRates(series.mode);
  if (options.rate != 0) {
    target.rate = options.rate;
  } else if (rates.contains(source.rate)) {
    target.rate = source.rate;
  } else {
    // The highest rate below the source's keeps the most of it without
    // inventing anything; only a source slower than every rate goes up.
    const auto below =
        std::find_if(rates.rbegin(), rates.rend(), [&](int rate) { return rate < source.rate; });
    target.rate = below != rates.rend() ? *below : rates.front();
  }
  const int max_bits = Series(series.mode).max_bits_per_sample;
  target.bits = max_bits == 8 || source.bits == 8 ? 8 : 16;
  target.dither = target.bits < source.bits;
  return target;
}

bool FitNamer::Take(const QString& file) {
  const QString key = file.toLower();
  if (taken_.contains(key)) {
    return false;
  }
  taken_.insert(key);
  return true;
}

FitNamer::Name FitNamer::NameFor(const QString& source_path) {
  const QString stem = QFileInfo(source_path).completeBaseName();
  const QString suffix = u'.' + extension_;
  Name name;
  if (!stem.isEmpty() && PassesNameRules(stem + suffix) && Take(stem + suffix)) {
    name.file = stem + suffix;
    return name;
  }
  QString base;
  for (const QChar c : stem) {
    if (KeepsInName(c)) {
      base += c;
    } else if (HasForbiddenChar(QString(c)) || c == u'"') {
      base += u'_';
    }
  }
  // Leading dots hide a file, trailing dots and blanks vanish on FAT cards.
  while (base.startsWith(u'.')) {
    base.remove(0, 1);
  }
  while (base.endsWith(u'.') || base.endsWith(u' ')) {
    base.chop(1);
  }
  const int stem_bytes = kNameBytes - AnsiByteLength(suffix);
  const bool nothing_left =
      std::all_of(base.begin(), base.end(), [](QChar c) { return c == u'_' || c == u' '; });
  if (nothing_left) {
    do {
      name.file = u"VOICE%1"_s.arg(next_voice_++, 3, 10, QChar(u'0')) + suffix;
    } while (!Take(name.file));
  } else {
    name.file = CutToBytes(base, stem_bytes) + suffix;
    for (int number = 1; !Take(name.file); ++number) {
      const QString digits = QString::number(number);
      name.file = CutToBytes(base, stem_bytes - static_cast<int>(digits.size())) + digits + suffix;
    }
  }
  if (QFileInfo(name.file).completeBaseName() != stem) {
    name.comment = CutToBytes(stem, kCommentBytes);
  }
  return name;
}

int FitRunResult::Written() const {
  return static_cast<int>(std::count_if(files.begin(), files.end(),
                                        [](const FitFileResult& f) { return f.written(); }));
}

QString FitLoudnessText(const FitFileResult& file) {
  if (!file.loudness_lufs) {
    return {};
  }
  // The minus sign, not the hyphen: "−18.9" reads as a number in a Japanese text.
  const QString lufs =
      QString::number(*file.loudness_lufs, 'f', 1).replace(u'-', u'\u2212') + u" LUFS"_s;
  return file.limited_by_peak ? FitRuleText::tr("ピーク制限のため %1").arg(lufs) : lufs;
}

QString FitSummaryText(const FitRunResult& run) {
  QString text =
      FitRuleText::tr("%1 / %2 ファイルを変換しました。").arg(run.Written()).arg(run.files.size());
  for (const FitFileResult& file : run.files) {
    if (!file.written()) {
      text += u"\r\n"_s + QFileInfo(file.source).fileName() + u": "_s + file.messages.join(u' ');
    } else if (file.limited_by_peak) {
      text += u"\r\n"_s + QFileInfo(file.source).fileName() + u": "_s + FitLoudnessText(file);
    }
  }
  return text;
}

}  // namespace parlatone
