// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>
#include <vector>

namespace parlatone {

class Project;

enum class SoundFormat { kWave, kMp3 };

// Everything that differs between the device series, looked up by Mode.
struct SeriesInfo {
  int mode;
  SoundFormat format;
  int channel_count;
  int page_count;
  int voices_per_channel;
  int grid_columns;
  int max_bits_per_sample;         // 8 for the 8-bit-only series, else 16; 0 not examined
  std::vector<int> sample_rates;   // accepted rates in Hz; empty = not examined
  int rate_refusal_message;        // shown when the rate is not accepted; 0 none
  int description_message;         // settings dialog, auxiliary function off
  int description_message_stereo;  // the same with stereo files accepted
};

// The series of a mode; a mode outside 0 to 7 is taken as series 0, as a
// settings file holding one is.
const SeriesInfo& Series(int mode);

inline constexpr int kSeriesCount = 8;
inline constexpr int kMp3Mode = 7;
inline constexpr int kDefaultFirstStartMode = 1;
// The card data file name a first start proposes (eight half-width letters,
// the most the name may have).
inline constexpr char kDefaultFirstStartCardName[] = "CARDDATA";

// The series label as the settings dialog shows it (message 2110 + mode).
QString SeriesLabel(int mode);
bool IsMp3Series(int mode);
int MaxVoiceIndex(int mode);
int PageCount(int mode);

// Channels n x ChannelsPerPage onwards belong to page n.
QString PageCaption(int mode, int page);

// Sets ChannelCount, ChannelsPerPage and GridColumns from the project's Mode.
void DeriveSeriesLimits(Project& project);

QString ControlFileExtension(int mode);    // "wpj" / "zpx"
QString TemporaryFileExtension(int mode);  // "wpg" / "mpi"
// Whether a file name's suffix (without the dot, any letter case) is that of
// a control file of any series; of a control or temporary save file.
bool IsControlFileExtension(const QString& suffix);
bool IsProjectFileExtension(const QString& suffix);
QString PlaybackDeviceType(int mode);      // "waveaudio" / "mpegvideo"
QString BitRateSuffix(int mode);           // "bit" / "Kbit"

// A file type offered by a chooser: what the operator reads and the pattern.
struct FileFilter {
  QString description;
  QString pattern;
};
// Opening a project: control and temporary save files of the series.
FileFilter ProjectOpenFilter(int mode);

// Window texts that name the sound format: WAVE wording or MP3 wording.
enum class SeriesText {
  kRegistrationHeading,
  kFileNameLabel,
  kCardInfoFrame,
  kSoundMediumLabel,
  kCardMadeNotice,
  kCardMadeTitle,
  kNoSoundRegistered,
  kForbiddenCharSuffix,
};
int SeriesMessage(SeriesText text, int mode);

// Description of what the series plays, for the settings dialog.
int SeriesDescriptionMessage(int mode, bool stereo_accepted);

// Upper limit of the summed file sizes of the voice list. Only the MP3
// series limits it, by the capacity index chosen in the settings.
qint64 CapacityLimit(int mode, int file_capacity);

bool AcceptsSampleRate(int mode, int sample_rate);

}  // namespace parlatone
