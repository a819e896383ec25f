// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/file_io.h"
#include "core/operator.h"
#include "core/series.h"
#include "sound/loudness.h"
#include "sound/pcm_source.h"
#include "sound/sound_analysis.h"
#include "sound/sound_probe.h"
#include "tools/conversion_engine.h"
#include "tools/fit_encoders.h"
#include "tools/fit_engine.h"
#include "tools/fit_pipeline.h"
#include "tools/tool_runs.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

using fit_detail::Encoder;
using fit_detail::Pipeline;
using fit_detail::Reporting;

constexpr double kPeakCeilingDb = -1.0;

// The measuring pass: loudness, peak, and where the sound starts and ends.
struct Measure {
  explicit Measure(const FitTarget& target, bool loudness) : channels(target.channels) {
    if (loudness) {
      meter.emplace(target.rate, target.channels);
    }
  }

  bool operator()(const float* frames, int64_t count) {
    if (meter) {
      meter->Add(frames, count);
    }
    for (int64_t f = 0; f < count; ++f) {
      for (int c = 0; c < channels; ++c) {
        const float magnitude = std::fabs(frames[f * channels + c]);
        peak = std::max(peak, magnitude);
        if (magnitude >= kSilenceThreshold) {
          if (first_loud < 0) {
            first_loud = position + f;
          }
          last_loud = position + f;
        }
      }
    }
    position += count;
    return true;
  }

  int channels;
  std::optional<IntegratedLoudness> meter;
  float peak = 0.0F;
  int64_t first_loud = -1;
  int64_t last_loud = -1;
  int64_t position = 0;
};

// The writing pass: the kept stretch, the gain, the encoder.
struct Write {
  int channels = 1;
  int64_t begin = 0;
  int64_t end = INT64_MAX;
  float gain = 1.0F;
  Encoder* encoder = nullptr;
  int64_t position = 0;
  std::vector<float> scratch;

  bool operator()(const float* frames, int64_t count) {
    const int64_t first = std::max<int64_t>(begin - position, 0);
    const int64_t last = std::min<int64_t>(end - position, count);
    position += count;
    if (first >= last) {
      return true;
    }
    const int64_t kept = last - first;
    const float* from = frames + first * channels;
    scratch.resize(static_cast<size_t>(kept * channels));
    for (int64_t i = 0; i < kept * channels; ++i) {
      scratch[static_cast<size_t>(i)] = std::clamp(from[i] * gain, -1.0F, 1.0F);
    }
    return encoder->Encode(scratch.data(), kept);
  }
};

// ---------------------------------------------------------------- one file

struct Job {
  QString source;
  QString output;
  bool go = false;  // the checks before the run let it be written
};

void FitOne(const Job& job, const FitSeries& series, const FitOptions& options, bool read_ahead,
            Reporting& reporting, FitFileResult& result) {
  std::unique_ptr<PcmSource> source = OpenPcmSource(job.source);
  if (source == nullptr) {
    result.messages << FitText(fit_text::kUnreadable);
    return;
  }
  result.target = PlanFit(series, source->format, options);
  const FitTarget& target = result.target;
  Pipeline pipeline(*source, target, read_ahead);
  const bool measuring = options.normalize_lufs.has_value() || options.trim;
  reporting.passes = measuring ? 2 : 1;

  auto failed = [&](Pipeline::Outcome outcome) {
    if (outcome == Pipeline::Outcome::kStopped) {
      result.messages << FitText(fit_text::kCancelled);
    } else if (outcome == Pipeline::Outcome::kUnreadable) {
      result.messages << FitText(fit_text::kUnreadable);
    }
    return outcome != Pipeline::Outcome::kDone;
  };

  Write write;
  write.channels = target.channels;
  if (measuring) {
    Measure measure(target, options.normalize_lufs.has_value());
    if (failed(pipeline.Run(measure, reporting, 0))) {
      return;
    }
    if (options.trim) {
      if (measure.first_loud < 0) {
        result.messages << FitText(fit_text::kSilentNotTrimmed);
      } else {
        const auto margin =
            static_cast<int64_t>(std::lround(options.trim_margin_ms / 1000.0 * target.rate));
        write.begin = std::max<int64_t>(0, measure.first_loud - margin);
        write.end = std::min(measure.position, measure.last_loud + 1 + margin);
        result.trimmed_lead_ms = write.begin * 1000 / target.rate;
        result.trimmed_tail_ms = (measure.position - write.end) * 1000 / target.rate;
      }
    }
    if (options.normalize_lufs) {
      const std::optional<double> measured = measure.meter->Value();
      if (!measured || measure.peak <= 0.0F) {
        result.messages << FitText(fit_text::kSilentNoGain);
      } else {
        const double loudness = *measured;
        const double peak_db = 20.0 * std::log10(static_cast<double>(measure.peak));
        const double wanted_db = *options.normalize_lufs - loudness;
        const double allowed_db = kPeakCeilingDb - peak_db;
        result.limited_by_peak = allowed_db < wanted_db;
        result.gain_db = std::min(wanted_db, allowed_db);
        // A gain moves the integrated loudness by as many dB; the peak
        // ceiling keeps every sample below full scale, so nothing clips.
        result.loudness_lufs = loudness + result.gain_db;
        write.gain = static_cast<float>(std::pow(10.0, result.gain_db / 20.0));
      }
    }
  }

  StreamedOutputFile file(job.output);
  if (!file.Open()) {
    result.messages << FitText(fit_text::kWriteFailed);
    return;
  }
  const std::unique_ptr<Encoder> encoder = fit_detail::StartEncoder(file, target);
  if (encoder == nullptr) {
    result.messages << FitText(fit_text::kWriteFailed);
    return;
  }
  write.encoder = encoder.get();
  const Pipeline::Outcome outcome = pipeline.Run(write, reporting, measuring ? 1 : 0);
  if (outcome == Pipeline::Outcome::kSinkFailed) {
    result.messages << FitText(encoder->too_long ? fit_text::kTooLong : fit_text::kWriteFailed);
    return;
  }
  if (failed(outcome)) {
    return;
  }
  if (!encoder->Finish() || !file.Commit()) {
    result.messages << FitText(encoder->too_long ? fit_text::kTooLong : fit_text::kWriteFailed);
    return;
  }
  result.output = job.output;
  // The MP3 encoder moves the level by a few tenths of a dB: what an MP3
  // reached is measured on the file written, as the registration grid
  // measures it. A WAVE file holds what the gain made.
  if (result.loudness_lufs && target.mp3) {
    const std::optional<SoundLevels> written = AnalyseSound(job.output, &reporting.stop);
    if (written && written->loudness_lufs) {
      result.loudness_lufs = written->loudness_lufs;
    }
  }
  const std::optional<int64_t> length =
      ProbedLengthMs(ProbeSoundFile(job.output, series.mode), series.mode);
  result.length_ms = length.value_or(-1);
}

}  // namespace

FitFileResult FitFileTo(const QString& source, const QString& output, const FitSeries& series,
                        const FitOptions& options, const std::atomic<bool>* cancel) {
  FitFileResult result;
  result.source = source;
  result.name = QFileInfo(output).fileName();
  if (IsSameFile(source, output)) {
    result.messages << FitText(fit_text::kSameAsSource);
    return result;
  }
  const std::atomic<bool> never = false;
  const std::atomic<bool>& stop = cancel != nullptr ? *cancel : never;
  std::atomic<int64_t> done_units = 0;
  Reporting reporting{stop, done_units, 1};
  FitOne(Job{source, output, true}, series, options, false, reporting, result);
  return result;
}

FitRunResult FitFiles(const QStringList& sources, const QString& out_folder,
                      const FitSeries& series, const FitOptions& options, Operator& op,
                      const std::atomic<bool>* cancel, const ProgressSink& progress) {
  std::vector<FitFileResult> results;
  FitNamer namer(IsMp3Series(series.mode) ? u"mp3"_s : u"wav"_s);
  const bool folder_ready = QDir().mkpath(out_folder);
  QSet<QString> source_files;
  for (const QString& source : sources) {
    source_files.insert(QFileInfo(source).canonicalFilePath());
  }
  std::vector<Job> jobs;
  jobs.reserve(static_cast<size_t>(sources.size()));
  results.reserve(static_cast<size_t>(sources.size()));
  for (const QString& source : sources) {
    FitFileResult result;
    result.source = source;
    const FitNamer::Name name = namer.NameFor(source);
    result.name = name.file;
    result.comment = name.comment;
    Job job;
    job.source = source;
    job.output = QDir(out_folder).absoluteFilePath(name.file);
    if (!folder_ready) {
      result.messages << FitText(fit_text::kFolderFailed);
    } else if (QFileInfo::exists(job.output)) {
      const QString canonical = QFileInfo(job.output).canonicalFilePath();
      // Replacing a source of this run would change it while it is read.
      if (IsSameFile(source, job.output) || source_files.contains(canonical)) {
        result.messages << FitText(fit_text::kSameAsSource);
      } else if (AskTextBeforeDiscarding(op,
                                         name.file + u"\r\n"_s + ToolText(tool_text::kOverwrite)) ==
                 MessageAnswer::kYes) {
        job.go = true;
      } else {
        result.messages << FitText(fit_text::kNotReplaced);
      }
    } else {
      job.go = true;
    }
    results.push_back(result);
    jobs.push_back(job);
  }

  // Each file's share of the bar is its size: a long file moves it more.
  std::vector<int64_t> units(jobs.size(), 0);
  int64_t total_units = 0;
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (jobs[i].go) {
      units[i] = std::max<int64_t>(1, QFileInfo(jobs[i].source).size());
      total_units += units[i];
    }
  }

  std::atomic<bool> stop = cancel != nullptr && cancel->load();
  std::atomic<int64_t> done_units = 0;
  std::atomic<size_t> next = 0;
  std::mutex mutex;
  std::condition_variable finished_cv;
  size_t finished_workers = 0;
  const size_t worker_count =
      std::clamp<size_t>(static_cast<size_t>(std::max(1, QThread::idealThreadCount())), 1,
                         std::max<size_t>(1, jobs.size()));

  // Fewer files than cores: each file's decoding gets a core of its own.
  const int cores = std::max(1, QThread::idealThreadCount());
  const bool read_ahead = static_cast<int>(jobs.size()) < cores;
  auto work = [&] {
    for (size_t i = next++; i < jobs.size(); i = next++) {
      if (!jobs[i].go) {
        continue;
      }
      Reporting reporting{stop, done_units, units[i]};
      FitOne(jobs[i], series, options, read_ahead, reporting, results[i]);
      reporting.Complete();
    }
    std::lock_guard lock(mutex);
    ++finished_workers;
    finished_cv.notify_all();
  };

  const QString caption = FitText(fit_text::kCaption);
  BusyScope busy(op);
  ShowProgress(op, progress, caption, 0, 1000);
  std::vector<std::thread> workers;
  for (size_t w = 0; w < worker_count; ++w) {
    workers.emplace_back(work);
  }
  for (;;) {
    {
      std::unique_lock lock(mutex);
      finished_cv.wait_for(lock, std::chrono::milliseconds(50),
                           [&] { return finished_workers == worker_count; });
      if (finished_workers == worker_count) {
        break;
      }
    }
    const int64_t value = total_units > 0 ? done_units.load() * 1000 / total_units : 0;
    ShowProgress(op, progress, caption, static_cast<int>(std::min<int64_t>(value, 1000)), 1000);
    op.ProcessPendingEvents();
    if (cancel != nullptr && cancel->load()) {
      stop = true;
    }
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  ShowProgress(op, progress, caption, 1000, 1000);
  ShowProgress(op, progress, QString(), 0, 0);
  FitRunResult run;
  run.files = QList<FitFileResult>(results.begin(), results.end());
  run.cancelled = stop.load();
  return run;
}

}  // namespace parlatone
