// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

namespace parlatone {

// Loudness measurement (EBU R128): the K-weighting filter, the energy of
// 100 ms steps and the gates over them. The analysis of a file, the live
// meter and the normaliser all measure with these.
namespace loudness {

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
inline double ChannelWeight(int channel) {
  if (channel < 3) {
    return 1.0;
  }
  return channel < 5 ? 1.41 : 0.0;
}

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
inline int64_t StepFrames(int rate) {
  return std::max(1, (rate + 5) / 10);
}

// Integrated loudness from the 100 ms steps: 400 ms blocks overlapping by
// three quarters, the absolute gate at -70 LUFS, then the relative gate
// 10 LU under the mean of what passed.
std::optional<double> GatedLoudness(const std::vector<double>& steps);

}  // namespace loudness

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

// Integrated loudness (EBU R128) of a sound fed as it comes, for a pass
// that measures before it writes.
class IntegratedLoudness {
 public:
  IntegratedLoudness(int rate, int channels)
      : energy_(rate, channels, loudness::StepFrames(rate)) {}
  // Frames interleaved by channel, -1..1.
  void Add(const float* interleaved, int64_t frames);
  // LUFS; nothing when the gates keep nothing (too short or too quiet).
  std::optional<double> Value() const { return loudness::GatedLoudness(steps_); }

 private:
  loudness::StepEnergy energy_;
  std::vector<double> steps_;  // ten a second: small for any length
};

}  // namespace parlatone
