#include "sound/sound_analysis.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <thread>

#include "sound/pcm_source.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr int64_t kBlockFrames = kPcmBlockFrames;
// A long file is read in parts on several cores once it is this long.
constexpr int64_t kSplitSeconds = 30;
// Where the frame count is not known beforehand, the outline is first kept
// at this many frames a column and narrowed at the end.
constexpr int64_t kFineFrames = 256;
// A part after the first starts its weighting filter this long before its
// own frames, so that the filter has settled when they come.
constexpr double kWarmUpSeconds = 0.5;

// The K-weighting of loudness measurement (a high shelf, then a high pass)
// as two biquads in transposed direct form, with the coefficients derived
// for the file's rate from the published analogue design. Our own rather
// than a library's: libebur128 filters each channel in a serial fourth-order
// loop that alone takes longer than a whole look at the file may.
struct KWeighting {
  double b0, b1, b2, a1, a2;  // shelf
  double c1, c2;              // high pass: numerator 1, -2, 1

  explicit KWeighting(int rate) {
    double f0 = 1681.974450955533;
    const double gain_db = 3.999843853973347;
    double q = 0.7071752369554196;
    double k = std::tan(std::numbers::pi * f0 / rate);
    const double vh = std::pow(10.0, gain_db / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    b0 = (vh + vb * k / q + k * k) / a0;
    b1 = 2.0 * (k * k - vh) / a0;
    b2 = (vh - vb * k / q + k * k) / a0;
    a1 = 2.0 * (k * k - 1.0) / a0;
    a2 = (1.0 - k / q + k * k) / a0;
    f0 = 38.13547087602444;
    q = 0.5003270373238773;
    k = std::tan(std::numbers::pi * f0 / rate);
    a0 = 1.0 + k / q + k * k;
    c1 = 2.0 * (k * k - 1.0) / a0;
    c2 = (1.0 - k / q + k * k) / a0;
  }
};

// One channel's filter state, in direct form I: from one output to the
// next the chain is one multiply and one subtraction, which is what bounds
// the speed of the filter. `Value` is one channel's sample, or a vector of
// channels side by side.
template <typename Value>
struct KStateOf {
  Value x1{}, x2{}, y1{}, y2{}, z1{}, z2{};
  Value Step(const KWeighting& k, Value x) {
    const Value y = (k.b0 * x + k.b1 * x1 + k.b2 * x2 - k.a2 * y2) - k.a1 * y1;
    const Value z = ((y - 2.0 * y1) + y2 - k.c2 * z2) - k.c1 * z1;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    z2 = z1;
    z1 = z;
    return z;
  }
};
using KState = KStateOf<double>;

// Channel weights as the measurement gives them for the usual layouts:
// left, right and centre count once, the surround pair 1.41 times; what
// follows a five-channel layout is not counted.
double ChannelWeight(int channel) {
  if (channel < 3) {
    return 1.0;
  }
  return channel < 5 ? 1.41 : 0.0;
}

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

// Weighted energy of 100 ms steps. Two channels are filtered side by side
// so that their independent filter chains overlap in the processor.
class StepEnergy {
 public:
  StepEnergy(int rate, int channels, int64_t step)
      : weighting_(rate), channels_(channels), step_(step), state_(static_cast<size_t>(channels)) {
    for (int c = 0; c < channels; ++c) {
      weights_.push_back(ChannelWeight(c));
    }
  }

  // Filters frames; their energy counts only when `counted`, so that a
  // part's warm-up settles the filter and is then forgotten.
  void Add(const float* samples, int64_t count, bool counted, std::vector<double>& steps) {
    while (count > 0) {
      const int64_t run = std::min(count, step_ - filled_);
      double energy = 0.0;
      if (channels_ == 1) {
        KState& m = state_[0];
        for (int64_t f = 0; f < run; ++f) {
          const double y = m.Step(weighting_, samples[f]);
          energy += y * y;
        }
      } else if (channels_ == 2) {
        energy = StereoRun(samples, run);
      } else {
        for (int64_t f = 0; f < run; ++f) {
          for (int c = 0; c < channels_; ++c) {
            const double y =
                state_[static_cast<size_t>(c)].Step(weighting_, samples[f * channels_ + c]);
            energy += weights_[static_cast<size_t>(c)] * y * y;
          }
        }
      }
      sum_ += energy;
      filled_ += run;
      samples += run * channels_;
      count -= run;
      if (filled_ == step_) {
        if (counted) {
          steps.push_back(sum_ / static_cast<double>(step_));
        }
        sum_ = 0.0;
        filled_ = 0;
      }
    }
  }

 private:
  // Left and right as the two lanes of one vector: each step of the filter
  // is one instruction for both channels, and the whole state stays in
  // registers for the run.
  double StereoRun(const float* samples, int64_t run) {
#if defined(__GNUC__)
    using Lanes = double __attribute__((vector_size(16)));
    KState& l = state_[0];
    KState& r = state_[1];
    KStateOf<Lanes> both{{l.x1, r.x1}, {l.x2, r.x2}, {l.y1, r.y1},
                         {l.y2, r.y2}, {l.z1, r.z1}, {l.z2, r.z2}};
    Lanes sum{0.0, 0.0};
    for (int64_t f = 0; f < run; ++f) {
      const Lanes z = both.Step(weighting_, Lanes{samples[2 * f], samples[2 * f + 1]});
      sum += z * z;
    }
    l = {both.x1[0], both.x2[0], both.y1[0], both.y2[0], both.z1[0], both.z2[0]};
    r = {both.x1[1], both.x2[1], both.y1[1], both.y2[1], both.z1[1], both.z2[1]};
    return sum[0] + sum[1];
#else
    double energy = 0.0;
    for (int64_t f = 0; f < run; ++f) {
      for (size_t c = 0; c < 2; ++c) {
        const double y = state_[c].Step(weighting_, samples[2 * f + static_cast<int64_t>(c)]);
        energy += y * y;
      }
    }
    return energy;
#endif
  }

  KWeighting weighting_;
  int channels_;
  int64_t step_;
  std::vector<KState> state_;
  std::vector<double> weights_;
  double sum_ = 0.0;
  int64_t filled_ = 0;
};

// The samples of one 100 ms step, as the measurement counts them; at
// least one, however few samples a second a file claims.
int64_t StepFrames(int rate) {
  return std::max(1, (rate + 5) / 10);
}

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

// Integrated loudness from the 100 ms steps: 400 ms blocks overlapping by
// three quarters, the absolute gate at -70 LUFS, then the relative gate
// 10 LU under the mean of what passed.
std::optional<double> GatedLoudness(const std::vector<double>& steps) {
  const auto loudness = [](double power) { return -0.691 + 10.0 * std::log10(power); };
  std::vector<double> blocks;
  for (size_t i = 3; i < steps.size(); ++i) {
    blocks.push_back((steps[i] + steps[i - 1] + steps[i - 2] + steps[i - 3]) / 4.0);
  }
  const auto gated_mean = [&blocks, &loudness](double threshold) -> std::optional<double> {
    double total = 0.0;
    size_t count = 0;
    for (const double power : blocks) {
      if (power > 0.0 && loudness(power) > threshold) {
        total += power;
        ++count;
      }
    }
    return count > 0 ? std::optional<double>(total / static_cast<double>(count)) : std::nullopt;
  };
  const std::optional<double> absolute = gated_mean(-70.0);
  if (!absolute) {
    return std::nullopt;
  }
  const std::optional<double> relative = gated_mean(loudness(*absolute) - 10.0);
  return relative ? std::optional<double>(loudness(*relative)) : std::nullopt;
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

QString SignedOneDecimal(double value) {
  const QString digits = QString::number(std::abs(value), 'f', 1);
  // A value that rounds to zero has no sign.
  return value < 0 && digits != u"0.0"_s ? u"\u2212"_s + digits : digits;
}

constexpr quint32 kCacheMagic = 0x504C5631;  // "PLV1"

std::optional<SoundLevels> CachedLevels(const QString& path, const LevelsCache* cache, int parts,
                                        const std::atomic<bool>* stop) {
  if (cache != nullptr) {
    if (std::optional<SoundLevels> known = cache->Find(path)) {
      return known;
    }
  }
  const QFileInfo before(path);
  const QDateTime modified = before.lastModified();
  std::optional<SoundLevels> levels = Analyse(path, parts, stop);
  // A file changed while it was read is analysed again next time.
  const QFileInfo after(path);
  if (levels && cache != nullptr && after.size() == before.size() &&
      after.lastModified() == modified) {
    cache->Store(path, *levels);
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

QString LevelsCache::EntryPath(const QString& path) const {
  const QByteArray key = QCryptographicHash::hash(QFileInfo(path).absoluteFilePath().toUtf8(),
                                                  QCryptographicHash::Sha1)
                             .toHex();
  return QDir(folder_).filePath(QString::fromLatin1(key) + u".lvl"_s);
}

std::optional<SoundLevels> LevelsCache::Find(const QString& path) const {
  const QFileInfo info(path);
  if (folder_.isEmpty() || !info.exists()) {
    return std::nullopt;
  }
  QFile file(EntryPath(path));
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  QDataStream in(&file);
  in.setFloatingPointPrecision(QDataStream::DoublePrecision);
  quint32 magic = 0;
  QString stored_path;
  qint64 size = 0;
  qint64 modified = 0;
  in >> magic >> stored_path >> size >> modified;
  if (in.status() != QDataStream::Ok || magic != kCacheMagic ||
      stored_path != info.absoluteFilePath() || size != info.size() ||
      modified != info.lastModified().toMSecsSinceEpoch()) {
    return std::nullopt;
  }
  SoundLevels levels;
  qint64 length = 0;
  qint64 leading = 0;
  qint64 trailing = 0;
  bool has_peak = false;
  bool has_loudness = false;
  double peak = 0.0;
  double loudness = 0.0;
  quint32 columns = 0;
  in >> length >> has_peak >> peak >> has_loudness >> loudness >> leading >> trailing >>
      levels.clipped >> columns;
  if (in.status() != QDataStream::Ok ||
      columns > static_cast<quint32>(SoundLevels::kOutlineColumns)) {
    return std::nullopt;
  }
  levels.length_ms = length;
  levels.leading_silence_ms = leading;
  levels.trailing_silence_ms = trailing;
  if (has_peak) {
    levels.peak_db = peak;
  }
  if (has_loudness) {
    levels.loudness_lufs = loudness;
  }
  levels.outline_min.resize(columns);
  levels.outline_max.resize(columns);
  const auto bytes = static_cast<int>(columns * sizeof(float));
  if (in.readRawData(reinterpret_cast<char*>(levels.outline_min.data()), bytes) != bytes ||
      in.readRawData(reinterpret_cast<char*>(levels.outline_max.data()), bytes) != bytes) {
    return std::nullopt;
  }
  return levels;
}

void LevelsCache::Store(const QString& path, const SoundLevels& levels) const {
  const QFileInfo info(path);
  if (folder_.isEmpty() || !QDir().mkpath(folder_)) {
    return;
  }
  // Written aside and renamed: a reader on another thread never sees half.
  QSaveFile file(EntryPath(path));
  if (!file.open(QIODevice::WriteOnly)) {
    return;
  }
  QDataStream out(&file);
  out.setFloatingPointPrecision(QDataStream::DoublePrecision);
  out << kCacheMagic << info.absoluteFilePath() << static_cast<qint64>(info.size())
      << static_cast<qint64>(info.lastModified().toMSecsSinceEpoch())
      << static_cast<qint64>(levels.length_ms) << levels.peak_db.has_value()
      << levels.peak_db.value_or(0.0) << levels.loudness_lufs.has_value()
      << levels.loudness_lufs.value_or(0.0) << static_cast<qint64>(levels.leading_silence_ms)
      << static_cast<qint64>(levels.trailing_silence_ms) << levels.clipped
      << static_cast<quint32>(levels.outline_min.size());
  const auto bytes = static_cast<int>(levels.outline_min.size() * sizeof(float));
  out.writeRawData(reinterpret_cast<const char*>(levels.outline_min.data()), bytes);
  out.writeRawData(reinterpret_cast<const char*>(levels.outline_max.data()), bytes);
  file.commit();
}

std::optional<SoundLevels> LevelsOf(const QString& path, const LevelsCache* cache,
                                    const std::atomic<bool>* stop) {
  return CachedLevels(path, cache, std::max(1, QThread::idealThreadCount()), stop);
}

void AnalyseSounds(const QStringList& paths, const LevelsCache* cache,
                   const std::function<void(int, const std::optional<SoundLevels>&)>& done,
                   const std::atomic<bool>* stop) {
  const int cores = std::max(1, QThread::idealThreadCount());
  const int workers = std::clamp(static_cast<int>(paths.size()), 1, cores);
  // A long file is read on every core even while others are analysed: the
  // run's length is that of its longest file otherwise.
  const int parts = cores;
  std::atomic<int> next = 0;
  const auto work = [&] {
    for (int i = next++; i < paths.size(); i = next++) {
      done(i, CachedLevels(paths.at(i), cache, parts, stop));
    }
  };
  std::vector<std::thread> threads;
  for (int w = 1; w < workers; ++w) {
    threads.emplace_back(work);
  }
  work();
  for (std::thread& thread : threads) {
    thread.join();
  }
}

struct MomentaryLoudness::State {
  State(int rate, int channels) : energy(rate, channels, StepFrames(rate)) {}
  StepEnergy energy;
  std::vector<double> steps;
};

MomentaryLoudness::MomentaryLoudness(int rate, int channels)
    : state_(std::make_unique<State>(rate, channels)) {}

MomentaryLoudness::~MomentaryLoudness() = default;

void MomentaryLoudness::Add(const float* interleaved, int64_t frames) {
  state_->energy.Add(interleaved, frames, true, state_->steps);
  // Four 100 ms steps make the momentary window; older ones are not needed.
  constexpr size_t kWindowSteps = 4;
  if (state_->steps.size() > kWindowSteps) {
    state_->steps.erase(state_->steps.begin(),
                        state_->steps.end() - static_cast<std::ptrdiff_t>(kWindowSteps));
  }
}

std::optional<double> MomentaryLoudness::Value() const {
  if (state_->steps.size() < 4) {
    return std::nullopt;
  }
  double sum = 0.0;
  for (const double step : state_->steps) {
    sum += step;
  }
  const double mean = sum / 4.0;
  // Below the measurement's absolute gate is silence, however the filter's
  // last ripples fade.
  constexpr double kAbsoluteGateLufs = -70.0;
  const double lufs = mean > 0.0 ? -0.691 + 10.0 * std::log10(mean) : -HUGE_VAL;
  if (lufs < kAbsoluteGateLufs) {
    return std::nullopt;
  }
  return lufs;
}

QString LevelsText(const SoundLevels& levels) {
  const QString loudness =
      levels.loudness_lufs ? SignedOneDecimal(*levels.loudness_lufs) : u"\u2014"_s;
  const QString peak = levels.peak_db ? SignedOneDecimal(*levels.peak_db) : u"\u2212\u221e"_s;
  return u"%1 LUFS / %2 dBFS"_s.arg(loudness, peak);
}

}  // namespace parlatone
