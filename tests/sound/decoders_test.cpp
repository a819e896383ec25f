// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/decoders.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <vector>

#include "sound/pcm_source.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class DecodersTest : public ::testing::Test {
 protected:
  // A second of a sine, written by libsndfile itself.
  QByteArray Sine(int format) {
    const QString path = dir_.filePath(u"sine"_s);
    EXPECT_TRUE(
        testing::WriteSound(path, testing::Sound{22050, 1, {}}.Sine(1.0, 0.5, 351), format));
    return testing::ReadFileBytes(path);
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
        OpenPcmSource(testing::FileIn(dir_, QString::fromLatin1(c.name), c.bytes));
    EXPECT_EQ(source ? source->frames : -1, c.frames) << c.name;
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
    SCOPED_TRACE(c.name);
    const QString path = testing::FileIn(dir_, QString::fromLatin1(c.name), c.bytes);
    const std::unique_ptr<Mp3File> file = Mp3File::Open(path);
    ASSERT_TRUE(file);
    const std::optional<PcmSound> sound = file->Decode(0);
    ASSERT_TRUE(sound);
    EXPECT_TRUE(sound->channels == 1 && sound->samples.size() <= size_t{mono_frames});

    const std::unique_ptr<PcmSource> source = OpenPcmSource(path);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->format.channels, 1);
    const int64_t frames = FramesRead(*source);
    EXPECT_TRUE(frames <= mono_frames && frames > mono_frames / 2) << frames;
    // Read again from the start, it ends at the same place.
    ASSERT_TRUE(source->Rewind());
    EXPECT_EQ(FramesRead(*source), frames);
  }
}

}  // namespace
}  // namespace parlatone
