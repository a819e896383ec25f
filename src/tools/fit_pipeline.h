// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <soxr.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "sound/pcm_source.h"
#include "tools/fit_mixed_blocks.h"
#include "tools/fit_rules.h"

namespace parlatone::fit_detail {

// What a run of one source needs from the world: when to stop and where
// its progress goes (a share of the run's total).
struct Reporting {
  const std::atomic<bool>& stop;
  std::atomic<int64_t>& done_units;
  int64_t units = 0;  // this file's share
  int passes = 1;
  int64_t reported = 0;

  void Report(int pass, int64_t frames_read, int64_t frames_total) {
    if (frames_total <= 0) {
      return;
    }
    const double share = (pass + std::min(1.0, static_cast<double>(frames_read) /
                                                   static_cast<double>(frames_total))) /
                         passes;
    const auto now = static_cast<int64_t>(share * static_cast<double>(units));
    if (now > reported) {
      done_units += now - reported;
      reported = now;
    }
  }
  void Complete() {
    done_units += units - reported;
    reported = units;
  }
};

// Decode, mix to the output's channels and resample, handing blocks of
// output frames to a sink. Run once to measure, once more to write.
class Pipeline {
 public:
  Pipeline(PcmSource& source, const FitTarget& target, bool read_ahead)
      : source_(source), target_(target), read_ahead_(read_ahead) {}

  enum class Outcome { kDone, kUnreadable, kStopped, kSinkFailed };

  template <typename Sink>
  Outcome Run(Sink& sink, Reporting& reporting, int pass) {
    if (pass > 0 && !source_.Rewind()) {
      return Outcome::kUnreadable;
    }
    const int out_channels = target_.channels;
    std::unique_ptr<soxr, decltype(&soxr_delete)> resampler(nullptr, soxr_delete);
    std::vector<float> resampled;
    const bool resampling = source_.format.rate != target_.rate;
    if (resampling) {
      soxr_error_t error = nullptr;
      const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
      const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
      resampler.reset(soxr_create(source_.format.rate, target_.rate,
                                  static_cast<unsigned>(out_channels), &error, &io, &quality,
                                  nullptr));
      if (resampler == nullptr || error != nullptr) {
        return Outcome::kUnreadable;
      }
      resampled.resize(static_cast<size_t>(
          (kBlockFrames * static_cast<int64_t>(target_.rate) / source_.format.rate + 256) *
          out_channels));
    }
    const size_t resampled_frames = resampled.size() / static_cast<size_t>(out_channels);
    MixedBlocks blocks(source_, out_channels, read_ahead_);
    int64_t frames_read = 0;
    for (;;) {
      if (reporting.stop.load(std::memory_order_relaxed)) {
        return Outcome::kStopped;
      }
      const float* mixed = nullptr;
      const int64_t got = blocks.Next(&mixed);
      if (got < 0) {
        return Outcome::kUnreadable;
      }
      if (got == 0) {
        break;
      }
      frames_read += got;
      if (!resampling) {
        if (!sink(mixed, got)) {
          return Outcome::kSinkFailed;
        }
      } else {
        size_t offset = 0;
        while (offset < static_cast<size_t>(got)) {
          size_t used = 0;
          size_t made = 0;
          soxr_process(resampler.get(), mixed + offset * out_channels,
                       static_cast<size_t>(got) - offset, &used, resampled.data(), resampled_frames,
                       &made);
          if (made > 0 && !sink(resampled.data(), static_cast<int64_t>(made))) {
            return Outcome::kSinkFailed;
          }
          if (used == 0 && made == 0) {
            break;
          }
          offset += used;
        }
      }
      reporting.Report(pass, frames_read, source_.frames);
    }
    if (resampling) {
      size_t made = 0;
      do {
        soxr_process(resampler.get(), nullptr, 0, nullptr, resampled.data(), resampled_frames,
                     &made);
        if (made > 0 && !sink(resampled.data(), static_cast<int64_t>(made))) {
          return Outcome::kSinkFailed;
        }
      } while (made > 0);
    }
    return Outcome::kDone;
  }

 private:
  PcmSource& source_;
  FitTarget target_;
  bool read_ahead_;
};

}  // namespace parlatone::fit_detail
