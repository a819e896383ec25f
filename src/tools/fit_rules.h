// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

#include "sound/pcm_source.h"

namespace parlatone {

// Making any recording fit the series: read whatever the operator was given
// (WAVE of any depth, float, extensible, FLAC, Ogg Vorbis, AIFF, MP3), mix,
// resample, bring to the series' depth or encode MP3, and name the output
// so that registration takes it. The source is never changed.

struct FitOptions {
  int rate = 0;       // Hz; 0 lets each source choose
  int bitrate = 128;  // kbit/s of MP3 output
  std::optional<double> normalize_lufs;
  bool trim = false;        // cut leading and trailing parts below -50 dBFS
  int trim_margin_ms = 20;  // of quiet kept before and after the sound
};

// The series a run writes for: its mode and whether it takes stereo files.
struct FitSeries {
  int mode = 1;
  bool stereo = false;
};

// What a source is, as far as choosing its output goes.
using FitSourceFormat = PcmFormat;

struct FitTarget {
  bool mp3 = false;
  int rate = 0;
  int channels = 0;
  int bits = 0;     // WAVE
  int bitrate = 0;  // MP3, kbit/s
  bool dither = false;
};

// The name patterns of the files a fit reads, lower case ("*.wav", ...).
QStringList FitSourcePatterns();

// The rates an output may have in the series: those registration takes
// (for the WAVE series also what the device header check takes).
QList<int> FitRates(int mode);

// Why the options cannot be used for the series (a rate or bit rate it does
// not take, a loudness target out of range); nothing when they can. In
// English: only the command line lets the options be typed.
std::optional<QString> FitOptionsProblem(int mode, const FitOptions& options);

// The output format of one source.
FitTarget PlanFit(const FitSeries& series, const FitSourceFormat& source,
                  const FitOptions& options);

// Output names that pass registration's name rules (12 bytes in code page
// 932, half-width only, no forbidden character), unique within a run
// regardless of letter case. The same source names in the same order give
// the same output names, so a second run replaces instead of multiplying.
class FitNamer {
 public:
  explicit FitNamer(QString extension) : extension_(std::move(extension)) {}

  struct Name {
    QString file;
    QString comment;  // the source's stem when the name had to change
  };
  Name NameFor(const QString& source_path);

 private:
  bool Take(const QString& file);
  QString extension_;
  QSet<QString> taken_;
  int next_voice_ = 1;
};

// What became of one source.
struct FitFileResult {
  QString source;
  QString output;  // full path; empty when nothing was written
  QString name;
  QString comment;
  FitTarget target;
  qint64 length_ms = -1;
  double gain_db = 0;
  // When the loudness was brought to a target: what the output reached, and
  // whether the peak ceiling held the gain below what the target asked (a
  // peaky recording then stays quieter than the others).
  std::optional<double> loudness_lufs;
  bool limited_by_peak = false;
  int64_t trimmed_lead_ms = 0;  // of the source, cut by the trim
  int64_t trimmed_tail_ms = 0;
  QStringList messages;
  bool written() const { return !output.isEmpty(); }
};

struct FitRunResult {
  QList<FitFileResult> files;  // in the order of the sources
  bool cancelled = false;
  int Written() const;
};

// The loudness a file reached, for the operator: "−16.0 LUFS", or with
// the reason it fell short ("ピーク制限のため −18.9 LUFS"); empty when the
// loudness was not brought to a target.
QString FitLoudnessText(const FitFileResult& file);

// The closing summary of a run: one line per file that was not written,
// and one per file that fell short of the loudness asked for.
QString FitSummaryText(const FitRunResult& run);

namespace fit_text {
// A folder typed without its full path would be taken from wherever the
// program happened to start: never what the operator meant.
inline constexpr char kNotFullPath[] =
    QT_TRANSLATE_NOOP("FitRules", "出力先は「/」から始まる完全なパスで指定してください。");
inline constexpr char kCaption[] = QT_TRANSLATE_NOOP("FitRules", "変換中...");
inline constexpr char kUnreadable[] =
    QT_TRANSLATE_NOOP("FitRules", "読み込めない形式のファイルです。");
inline constexpr char kSameAsSource[] =
    QT_TRANSLATE_NOOP("FitRules", "出力先が元のファイルと同じです。");
inline constexpr char kNotReplaced[] =
    QT_TRANSLATE_NOOP("FitRules", "同じ名前のファイルがあるため書き込みませんでした。");
inline constexpr char kWriteFailed[] = QT_TRANSLATE_NOOP("FitRules", "書き込みに失敗しました。");
inline constexpr char kTooLong[] = QT_TRANSLATE_NOOP("FitRules", "長すぎるため変換できません。");
inline constexpr char kSilentNotTrimmed[] =
    QT_TRANSLATE_NOOP("FitRules", "無音のため切り詰めていません。");
inline constexpr char kSilentNoGain[] =
    QT_TRANSLATE_NOOP("FitRules", "無音のため音量は変えていません。");
inline constexpr char kCancelled[] = QT_TRANSLATE_NOOP("FitRules", "中断しました。");
inline constexpr char kFolderFailed[] =
    QT_TRANSLATE_NOOP("FitRules", "出力フォルダを作成できません。");
}  // namespace fit_text

// One of the texts above in the interface language.
QString FitText(const char* text);

}  // namespace parlatone
