// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
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
// The same, reading a long file in at most `max_parts` parts at once.
std::optional<SoundLevels> AnalyseSoundInParts(const QString& path, int max_parts,
                                               const std::atomic<bool>* stop);

}  // namespace parlatone
