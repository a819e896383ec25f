// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/decoders.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <vector>

#include "sound/pcm_source.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class DecodersTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteBytes(path, bytes));
    return path;
  }
  // A second of a sine, written by libsndfile itself.
  QByteArray Sine(int format) {
    const QString path = dir_.filePath(u"sine"_s);
    SF_INFO info{0, 22050, 1, format, 0, 0};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr);
    std::vector<float> samples(22050);
    for (size_t i = 0; i < samples.size(); ++i) {
      samples[i] = 0.5F * static_cast<float>(std::sin(static_cast<double>(i) / 10.0));
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    QFile written(path);
    EXPECT_TRUE(written.open(QIODevice::ReadOnly));
    return written.readAll();
  }
  // Frames a source gives until its end.
  static int64_t FramesRead(PcmSource& source) {
    std::vector<float> block(static_cast<size_t>(4096 * source.format.channels));
    int64_t frames = 0;
    for (int64_t got = 0; (got = source.Read(block.data(), 4096)) > 0;) {
      frames += got;
    }
    return frames;
  }
  QTemporaryDir dir_;
};

// An Ogg file cut inside its last page: libsndfile marks its length as not
// known with the largest count there is, which is no length at all.
TEST_F(DecodersTest, AFrameCountNoFileHoldsIsNotKnown) {
  const QByteArray ogg = Sine(SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  const qsizetype last_page = ogg.lastIndexOf("OggS");
  ASSERT_GT(last_page, 0);
  const struct {
    const char* name;
    QByteArray bytes;
    int64_t frames;
  } cases[] = {
      {"whole.ogg", ogg, 22050},
      {"cut.ogg", ogg.left(last_page + (ogg.size() - last_page) / 2), 0},
      {"whole.flac", Sine(SF_FORMAT_FLAC | SF_FORMAT_PCM_16), 22050},
  };
  for (const auto& c : cases) {
    const std::unique_ptr<PcmSource> source =
        OpenPcmSource(Write(QString::fromLatin1(c.name), c.bytes));
    ASSERT_TRUE(source) << c.name;
    EXPECT_EQ(source->frames, c.frames) << c.name;
  }
}

// MP3 files joined end to end: a mono stream that turns stereo, one that
// changes rate. Every decoder ends the sound where its format ends, in
// whole frames, rather than read the rest as if it were the same format.
TEST_F(DecodersTest, MpegStreamsEndWhereTheirFormatChanges) {
  const int mono_frames = 6 * 1152;
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"mono_then_stereo.mp3",
       testing::Mp3Frames(6, {64}, 44100, true) + testing::Mp3Frames(6, {64}, 44100, false)},
      {"then_another_rate.mp3",
       testing::Mp3Frames(6, {64}, 44100, true) + testing::Mp3Frames(12, {64}, 22050, true)},
  };
  for (const auto& c : cases) {
    const QString path = Write(QString::fromLatin1(c.name), c.bytes);
    const std::unique_ptr<Mp3File> file = Mp3File::Open(path);
    ASSERT_TRUE(file) << c.name;
    const std::optional<PcmSound> sound = file->Decode(0);
    ASSERT_TRUE(sound) << c.name;
    EXPECT_EQ(sound->channels, 1) << c.name;
    EXPECT_LE(sound->samples.size(), static_cast<size_t>(mono_frames)) << c.name;

    const std::unique_ptr<PcmSource> source = OpenPcmSource(path);
    ASSERT_TRUE(source) << c.name;
    EXPECT_EQ(source->format.channels, 1) << c.name;
    const int64_t frames = FramesRead(*source);
    EXPECT_LE(frames, mono_frames) << c.name;
    EXPECT_GT(frames, mono_frames / 2) << c.name;
    // Read again from the start, it ends at the same place.
    ASSERT_TRUE(source->Rewind()) << c.name;
    EXPECT_EQ(FramesRead(*source), frames) << c.name;
  }
}

}  // namespace
}  // namespace parlatone
