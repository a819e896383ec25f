#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace parlatone {

// What a look at a sound file shows: how long it is, how loud, whether it
// clips, how much silence it starts and ends with, and its outline. Views
// only: nothing of it goes into a project or onto a card.
struct SoundLevels {
  // Columns kept of the outline; narrower pictures are drawn from them.
  static constexpr int kOutlineColumns = 1024;

  int64_t length_ms = 0;
  // Sample peak over every channel in dBFS; nothing for digital silence.
  std::optional<double> peak_db;
  // Integrated loudness (EBU R128) in LUFS; nothing when the sound is too
  // short or too quiet for the gate to keep any of it.
  std::optional<double> loudness_lufs;
  int64_t leading_silence_ms = 0;   // before the first sample above -50 dBFS
  int64_t trailing_silence_ms = 0;  // after the last one
  // A sample reached the largest value the file's format can hold.
  bool clipped = false;
  // Lowest and highest sample (-1..1, every channel) of each outline column,
  // in time order; fewer than kOutlineColumns when the sound has fewer frames.
  std::vector<float> outline_min;
  std::vector<float> outline_max;

  bool operator==(const SoundLevels&) const = default;
};

// One column of a picture `width` columns wide.
struct OutlineColumn {
  float low = 0.0F;
  float high = 0.0F;
};
// The outline reduced (or stretched) to `width` columns.
std::vector<OutlineColumn> OutlineFor(const SoundLevels& levels, int width);

// Reads the whole file once, block by block (memory bounded whatever its
// length; a long file is read in parts on every core). Nothing when it
// cannot be read to its end, or when `stop` is set.
std::optional<SoundLevels> AnalyseSound(const QString& path,
                                        const std::atomic<bool>* stop = nullptr);

// Analyses kept in a folder, one small file per sound file, valid while the
// sound file keeps its size and modification time (none kept without a
// folder). Safe to use from several
// threads; a file that cannot be read or written there only costs a new
// analysis.
class LevelsCache {
 public:
  explicit LevelsCache(QString folder) : folder_(std::move(folder)) {}
  std::optional<SoundLevels> Find(const QString& path) const;
  void Store(const QString& path, const SoundLevels& levels) const;
  const QString& Folder() const { return folder_; }

 private:
  QString EntryPath(const QString& path) const;
  QString folder_;
};

// The cached analysis when it is still valid, else a new one (then kept).
std::optional<SoundLevels> LevelsOf(const QString& path, const LevelsCache* cache,
                                    const std::atomic<bool>* stop = nullptr);

// Analyses many files on every core. `done` is called once per file, from
// the worker threads, with its index in `paths`.
void AnalyseSounds(const QStringList& paths, const LevelsCache* cache,
                   const std::function<void(int, const std::optional<SoundLevels>&)>& done,
                   const std::atomic<bool>* stop = nullptr);

// Momentary loudness (the last 400 ms, K-weighted) of a sound fed as it
// comes, for a live meter.
class MomentaryLoudness {
 public:
  MomentaryLoudness(int rate, int channels);
  ~MomentaryLoudness();
  MomentaryLoudness(const MomentaryLoudness&) = delete;
  MomentaryLoudness& operator=(const MomentaryLoudness&) = delete;
  // Frames interleaved by channel, -1..1.
  void Add(const float* interleaved, int64_t frames);
  // LUFS; nothing before 400 ms have come, or below -70 LUFS.
  std::optional<double> Value() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// "−18.2 LUFS / −0.3 dBFS"; "−∞" for what could not be measured.
QString LevelsText(const SoundLevels& levels);

}  // namespace parlatone
