// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/pcm_source.h"

namespace parlatone::fit_detail {

inline constexpr int64_t kBlockFrames = kPcmBlockFrames;

// Blocks of decoded frames mixed to the output's channels, made either on
// demand or, when a core would otherwise idle, by a thread of their own a
// few blocks ahead of the resampler and the encoder.
class MixedBlocks {
 public:
  MixedBlocks(PcmSource& source, int out_channels, bool ahead)
      : source_(source),
        in_channels_(source.format.channels),
        out_channels_(out_channels),
        input_(static_cast<size_t>(kBlockFrames * in_channels_)),
        blocks_(ahead ? kDepth : 1) {
    for (Block& block : blocks_) {
      block.data.resize(static_cast<size_t>(kBlockFrames * out_channels_));
    }
    if (ahead) {
      thread_ = std::thread([this] { Produce(); });
    }
  }
  ~MixedBlocks() {
    if (thread_.joinable()) {
      {
        std::lock_guard lock(mutex_);
        quit_ = true;
      }
      changed_.notify_all();
      thread_.join();
    }
  }
  MixedBlocks(const MixedBlocks&) = delete;
  MixedBlocks& operator=(const MixedBlocks&) = delete;

  // The next block's frames (0 at the end, -1 when the source cannot be
  // read); `data` stays valid until the next call.
  int64_t Next(const float** data) {
    if (!thread_.joinable()) {
      Block& block = blocks_.front();
      block.frames = Make(block.data.data());
      *data = block.data.data();
      return block.frames;
    }
    std::unique_lock lock(mutex_);
    if (taken_) {  // the block handed out last time is free again
      taken_ = false;
      --filled_;
      head_ = (head_ + 1) % kDepth;
      changed_.notify_all();
    }
    changed_.wait(lock, [this] { return filled_ > 0; });
    const Block& block = blocks_[head_];
    taken_ = block.frames > 0;
    *data = block.data.data();
    return block.frames;
  }

 private:
  static constexpr size_t kDepth = 4;
  struct Block {
    std::vector<float> data;
    int64_t frames = 0;
  };

  int64_t Make(float* out) {
    const int64_t got = source_.Read(input_.data(), kBlockFrames);
    if (got > 0) {
      Mix(input_.data(), got, out);
    }
    return got;
  }

  void Produce() {
    size_t tail = 0;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return quit_ || filled_ < kDepth; });
        if (quit_) {
          return;
        }
      }
      Block& block = blocks_[tail];
      block.frames = Make(block.data.data());
      {
        std::lock_guard lock(mutex_);
        ++filled_;
      }
      changed_.notify_all();
      if (block.frames <= 0) {
        return;
      }
      tail = (tail + 1) % kDepth;
    }
  }

  // Mono is the mean of every channel: a stereo recording keeps both sides
  // (a channel dropped could be the one that carries the voice).
  void Mix(const float* input, int64_t frames, float* output) const {
    if (in_channels_ == out_channels_) {
      std::memcpy(output, input, static_cast<size_t>(frames * in_channels_) * sizeof(float));
      return;
    }
    const float weight = 1.0F / static_cast<float>(in_channels_);
    for (int64_t f = 0; f < frames; ++f) {
      float sum = 0.0F;
      for (int c = 0; c < in_channels_; ++c) {
        sum += input[f * in_channels_ + c];
      }
      output[f] = sum * weight;
    }
  }

  PcmSource& source_;
  int in_channels_;
  int out_channels_;
  std::vector<float> input_;
  std::vector<Block> blocks_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t filled_ = 0;
  size_t head_ = 0;
  bool taken_ = false;
  bool quit_ = false;
};

}  // namespace parlatone::fit_detail
