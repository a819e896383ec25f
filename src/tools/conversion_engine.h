// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

namespace parlatone {

// Result codes of the conversion engine.
enum class ConversionResult { kCompleted = 0, kCancelled = 1, kFailed = 2 };

// The progress state shared by the engine and the window that runs it.
struct ConversionProgress {
  // Advances the bar by one step; empty when there is no bar.
  std::function<void()> Bar;
  int64_t StepBytes = 0;     // counted bytes per bar step
  int64_t CountedBytes = 0;  // bytes counted since the last step
  // Set, asks the engine to stop; the engine clears it when it stops for
  // it. Atomic so that a signal handler may ask too.
  std::atomic<bool> StopRequested = false;
  // Lets the interface process pending events while the engine works; about
  // every 20 ms of work, not after every byte. May be empty.
  std::function<void()> Events;
};

// One step of the bar when more than StepBytes bytes have been counted.
void StepProgress(ConversionProgress& progress);

// Position of the first occurrence of the four-character tag at positions 0
// to last (inclusive) of the buffer; nothing when there is none.
std::optional<int> FindTag(const QByteArray& buffer, int last, const char* tag);

// Makes a mono PCM WAVE file of a stereo one: the left channel of 16-bit
// files, the right channel of 8-bit files, every header byte before the
// samples copied with channels, byte rate, block alignment and sizes
// patched. Streams through fixed buffers, so memory stays bounded for any
// file size. Only canonical PCM stereo files of 8 or 16 bits are taken (the
// format chunk right after "WAVE"); anything else fails rather than come out
// garbled. The source is never touched: an output that is the source itself
// (under whatever name) fails. The output replaces an existing file only
// once it is complete; a failed or cancelled run leaves no output.
ConversionResult ConvertStereoToMono(const QString& input, const QString& output,
                                     ConversionProgress& progress);

// True when ConvertStereoToMono takes the file: asked before a run, so that
// a file it cannot convert is named before anything starts.
bool TakesStereoToMono(const QString& input);

// Writes a silent mono PCM WAVE file: 44100 Hz when that is asked, 22050 Hz
// otherwise; 8 bits (value 128) or 16 bits (value 0).
ConversionResult CreateSilentWave(const QString& output, int seconds, int sample_rate,
                                  int bits_per_sample, ConversionProgress& progress);

// True when both texts name the same existing file (links, letter case on
// case-insensitive file systems, relative parts all resolved).
bool IsSameFile(const QString& a, const QString& b);

}  // namespace parlatone
