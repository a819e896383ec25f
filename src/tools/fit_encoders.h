// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

#include "core/file_io.h"
#include "tools/fit_rules.h"

// The output side of a fit: frames of floats become a WAVE or MP3 file.
namespace parlatone::fit_detail {

// Writes frames of floats in -1..1 to the output format.
class Encoder {
 public:
  virtual ~Encoder() = default;
  virtual bool Encode(const float* interleaved, int64_t frames) = 0;
  virtual bool Finish() = 0;
  bool too_long = false;
};

// An encoder for the target's format, its header written or its library
// set up; nothing when that failed.
std::unique_ptr<Encoder> StartEncoder(StreamedOutputFile& file, const FitTarget& target);

}  // namespace parlatone::fit_detail
