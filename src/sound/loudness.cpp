// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/loudness.h"

#include <cmath>

namespace parlatone {

namespace loudness {

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

}  // namespace loudness

using loudness::StepEnergy;
using loudness::StepFrames;

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

// Out of line: the filter loops are compiled for speed here, whoever measures.
void IntegratedLoudness::Add(const float* interleaved, int64_t frames) {
  energy_.Add(interleaved, frames, true, steps_);
}

}  // namespace parlatone
