// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_analysis.h"

#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>

#include "sound/loudness.h"
#include "sound/pcm_source.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

using loudness::GatedLoudness;
using loudness::StepEnergy;
using loudness::StepFrames;

constexpr int64_t kBlockFrames = kPcmBlockFrames;
// A long file is read in parts on several cores once it is this long.
constexpr int64_t kSplitSeconds = 30;
// Where the frame count is not known beforehand, the outline is first kept
// at this many frames a column and narrowed at the end.
constexpr int64_t kFineFrames = 256;
// A part after the first starts its weighting filter this long before its
// own frames, so that the filter has settled when they come.
constexpr double kWarmUpSeconds = 0.5;

// What one stretch of a file gave.
struct Part {
  float peak = 0.0F;
  int64_t first_loud = -1;  // frames from the start of the file
  int64_t last_loud = -1;
  int64_t frames = 0;
  // Weighted mean square of each whole 100 ms step of the part.
  std::vector<double> steps;
  std::vector<float> low;
  std::vector<float> high;
  bool ok = false;
};

// The outline columns of a part: either fixed columns over a known total, or
// fine columns that grow with the file.
class OutlineSink {
 public:
  OutlineSink(Part& part, int64_t total, int64_t begin) : part_(part), total_(total) {
    if (total_ > 0) {
      columns_ = static_cast<int64_t>(std::min<int64_t>(SoundLevels::kOutlineColumns, total_));
      part_.low.assign(static_cast<size_t>(columns_), std::numeric_limits<float>::infinity());
      part_.high.assign(static_cast<size_t>(columns_), -std::numeric_limits<float>::infinity());
      // Frame counts times the column count stay far inside 64 bits.
      column_ = begin * columns_ / total_;
      next_ = Boundary(column_ + 1);
    } else {
      next_ = kFineFrames;
    }
  }

  // Frames from `frame` on (`count` of them, `channels` samples each): the
  // outline, the peak and where sound begins and ends.
  void Add(int64_t frame, const float* samples, int64_t count, int channels) {
    while (count > 0) {
      while (frame >= next_) {
        Advance();
      }
      if (total_ <= 0 && static_cast<size_t>(column_) >= part_.low.size()) {
        part_.low.push_back(std::numeric_limits<float>::infinity());
        part_.high.push_back(-std::numeric_limits<float>::infinity());
      }
      const int64_t run = std::min(count, next_ - frame);
      const float* end = samples + run * channels;
      float low = part_.low[static_cast<size_t>(column_)];
      float high = part_.high[static_cast<size_t>(column_)];
      MinMax(samples, end, low, high);
      part_.low[static_cast<size_t>(column_)] = low;
      part_.high[static_cast<size_t>(column_)] = high;
      part_.peak = std::max(part_.peak, std::max(high, -low));
      if (std::max(high, -low) >= kSilenceThreshold) {
        if (part_.first_loud < 0) {
          part_.first_loud = frame + FirstLoud(samples, end) / channels;
        }
        part_.last_loud = frame + LastLoud(samples, end) / channels;
      }
      frame += run;
      samples = end;
      count -= run;
    }
  }

 private:
  // Two vectors of four lanes side by side: one running minimum would be a
  // serial chain of comparisons, one sample at a time.
  static void MinMax(const float* begin, const float* end, float& low, float& high) {
    const float* s = begin;
#if defined(__GNUC__)
    using Floats = float __attribute__((vector_size(16)));
    Floats lows[2] = {{low, low, low, low}, {low, low, low, low}};
    Floats highs[2] = {{high, high, high, high}, {high, high, high, high}};
    for (; end - s >= 8; s += 8) {
      for (int i = 0; i < 2; ++i) {
        Floats v;
        std::memcpy(&v, s + 4 * i, sizeof v);
        lows[i] = v < lows[i] ? v : lows[i];
        highs[i] = v > highs[i] ? v : highs[i];
      }
    }
    for (int i = 0; i < 2; ++i) {
      for (int lane = 0; lane < 4; ++lane) {
        low = std::min(low, lows[i][lane]);
        high = std::max(high, highs[i][lane]);
      }
    }
#endif
    for (; s < end; ++s) {
      low = std::min(low, *s);
      high = std::max(high, *s);
    }
  }
  static int64_t FirstLoud(const float* begin, const float* end) {
    for (const float* s = begin; s < end; ++s) {
      if (std::abs(*s) >= kSilenceThreshold) {
        return s - begin;
      }
    }
    return 0;
  }
  static int64_t LastLoud(const float* begin, const float* end) {
    for (const float* s = end; s > begin; --s) {
      if (std::abs(s[-1]) >= kSilenceThreshold) {
        return s - 1 - begin;
      }
    }
    return 0;
  }
  int64_t Boundary(int64_t column) const {
    return (column * total_ + columns_ - 1) / columns_;
  }
  void Advance() {
    if (total_ <= 0) {
      ++column_;
      next_ += kFineFrames;
      return;
    }
    // A file longer than announced keeps its tail in the last column.
    if (column_ + 1 >= columns_) {
      next_ = std::numeric_limits<int64_t>::max();
      return;
    }
    ++column_;
    next_ = Boundary(column_ + 1);
  }

  Part& part_;
  int64_t total_;
  int64_t columns_ = 0;
  int64_t column_ = 0;
  int64_t next_ = 0;
};

// Reads frames [begin, end) of the source (to its end when `end` is -1),
// the source standing at `warm_from` (at most `begin`).
void ReadPart(PcmSource& source, int64_t warm_from, int64_t begin, int64_t end, int64_t total,
              const std::atomic<bool>* stop, Part& part) {
  const int channels = source.format.channels;
  OutlineSink outline(part, total, begin);
  StepEnergy energy(source.format.rate, channels, StepFrames(source.format.rate));
  std::vector<float> block(static_cast<size_t>(kBlockFrames * channels));
  int64_t position = warm_from;
  for (;;) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
      return;
    }
    int64_t wanted = kBlockFrames;
    if (position < begin) {
      wanted = std::min(wanted, begin - position);
    }
    if (end >= 0) {
      wanted = std::min(wanted, end - position);
      if (wanted <= 0) {
        break;
      }
    }
    const int64_t got = source.Read(block.data(), wanted);
    if (got < 0) {
      return;
    }
    if (got == 0) {
      break;
    }
    const bool counted = position >= begin;
    energy.Add(block.data(), got, counted, part.steps);
    if (counted) {
      outline.Add(position, block.data(), got, channels);
    }
    position += got;
  }
  part.frames = position - begin;
  part.ok = position >= begin;
}

// The largest sample a format holds, as the decoder gives it in -1..1:
// 127/128 for 8 bits, 32767/32768 for 16; deeper and float sources count
// as 16-bit, the depth the devices play.
float FullScale(int bits) {
  const int depth = std::clamp(bits, 8, 16);
  return 1.0F - 1.0F / static_cast<float>(1 << (depth - 1));
}

int64_t FramesToMs(int64_t frames, int rate) {
  return static_cast<int64_t>(std::llround(static_cast<double>(frames) * 1000.0 / rate));
}

// Narrows fine columns (or any count) to `columns` by min/max.
void Narrow(std::vector<float>& low, std::vector<float>& high, size_t columns) {
  const size_t have = low.size();
  if (have <= columns) {
    return;
  }
  std::vector<float> l(columns, std::numeric_limits<float>::infinity());
  std::vector<float> h(columns, -std::numeric_limits<float>::infinity());
  for (size_t i = 0; i < have; ++i) {
    const size_t c = i * columns / have;
    l[c] = std::min(l[c], low[i]);
    h[c] = std::max(h[c], high[i]);
  }
  low = std::move(l);
  high = std::move(h);
}

std::optional<SoundLevels> Analyse(const QString& path, int max_parts,
                                   const std::atomic<bool>* stop) {
  std::unique_ptr<PcmSource> first = OpenPcmSource(path);
  if (!first) {
    return std::nullopt;
  }
  const PcmFormat format = first->format;
  const int64_t total = first->frames;
  const int64_t step = StepFrames(format.rate);
  int parts = 1;
  if (total > 0 && max_parts > 1 && total >= kSplitSeconds * format.rate) {
    parts = max_parts;
  }
  // Parts begin on a step boundary, so that their steps follow one another
  // exactly as one reading's would.
  const auto begin_of = [&](int p) { return total * p / parts / step * step; };
  const auto warm = static_cast<int64_t>(kWarmUpSeconds * format.rate);
  std::vector<std::unique_ptr<PcmSource>> sources;
  sources.push_back(std::move(first));
  for (int p = 1; p < parts; ++p) {
    std::unique_ptr<PcmSource> again = OpenPcmSource(path);
    if (!again || !again->Seek(std::max<int64_t>(0, begin_of(p) - warm))) {
      sources.resize(1);
      parts = 1;
      break;
    }
    sources.push_back(std::move(again));
  }

  std::vector<Part> results(static_cast<size_t>(parts));
  const auto run = [&](int p) {
    const int64_t begin = begin_of(p);
    // The last part reads to the end, however long the file turns out.
    const int64_t end = p + 1 == parts ? -1 : begin_of(p + 1);
    ReadPart(*sources[static_cast<size_t>(p)], p == 0 ? 0 : std::max<int64_t>(0, begin - warm),
             begin, end, total, stop, results[static_cast<size_t>(p)]);
  };
  std::vector<std::thread> threads;
  for (int p = 1; p < parts; ++p) {
    threads.emplace_back(run, p);
  }
  run(0);
  for (std::thread& thread : threads) {
    thread.join();
  }
  if (stop != nullptr && stop->load()) {
    return std::nullopt;
  }

  SoundLevels levels;
  float peak = 0.0F;
  int64_t frames = 0;
  int64_t first_loud = -1;
  int64_t last_loud = -1;
  std::vector<double> steps;
  std::vector<float> low = std::move(results[0].low);
  std::vector<float> high = std::move(results[0].high);
  for (size_t p = 0; p < results.size(); ++p) {
    const Part& part = results[p];
    if (!part.ok) {
      return std::nullopt;
    }
    peak = std::max(peak, part.peak);
    frames += part.frames;
    if (part.first_loud >= 0 && first_loud < 0) {
      first_loud = part.first_loud;
    }
    if (part.last_loud >= 0) {
      last_loud = part.last_loud;
    }
    steps.insert(steps.end(), part.steps.begin(), part.steps.end());
    for (size_t c = 0; p > 0 && c < part.low.size(); ++c) {
      low[c] = std::min(low[c], part.low[c]);
      high[c] = std::max(high[c], part.high[c]);
    }
  }
  Narrow(low, high, static_cast<size_t>(SoundLevels::kOutlineColumns));
  for (size_t c = 0; c < low.size(); ++c) {
    // A column no frame fell in (a file shorter than announced) is silence.
    if (low[c] > high[c]) {
      low[c] = high[c] = 0.0F;
    }
  }
  levels.outline_min = std::move(low);
  levels.outline_max = std::move(high);

  levels.length_ms = FramesToMs(frames, format.rate);
  if (peak > 0.0F) {
    levels.peak_db = 20.0 * std::log10(static_cast<double>(peak));
  }
  levels.clipped = peak >= FullScale(format.bits);
  levels.loudness_lufs = GatedLoudness(steps);
  if (first_loud < 0) {
    levels.leading_silence_ms = levels.trailing_silence_ms = levels.length_ms;
  } else {
    levels.leading_silence_ms = FramesToMs(first_loud, format.rate);
    levels.trailing_silence_ms = FramesToMs(frames - 1 - last_loud, format.rate);
  }
  return levels;
}

}  // namespace

std::vector<OutlineColumn> OutlineFor(const SoundLevels& levels, int width) {
  std::vector<OutlineColumn> columns;
  const size_t have = levels.outline_min.size();
  if (width <= 0 || have == 0 || levels.outline_max.size() != have) {
    return columns;
  }
  columns.resize(static_cast<size_t>(width));
  for (size_t c = 0; c < columns.size(); ++c) {
    // Each picture column takes the outline columns that fall in it, or the
    // one it falls in when the picture is wider than the outline.
    const size_t from = c * have / columns.size();
    const size_t to = std::max(from + 1, (c + 1) * have / columns.size());
    OutlineColumn column{levels.outline_min[from], levels.outline_max[from]};
    for (size_t i = from + 1; i < to && i < have; ++i) {
      column.low = std::min(column.low, levels.outline_min[i]);
      column.high = std::max(column.high, levels.outline_max[i]);
    }
    columns[c] = column;
  }
  return columns;
}

std::optional<SoundLevels> AnalyseSound(const QString& path, const std::atomic<bool>* stop) {
  return Analyse(path, std::max(1, QThread::idealThreadCount()), stop);
}

std::optional<SoundLevels> AnalyseSoundInParts(const QString& path, int max_parts,
                                               const std::atomic<bool>* stop) {
  return Analyse(path, max_parts, stop);
}

}  // namespace parlatone
