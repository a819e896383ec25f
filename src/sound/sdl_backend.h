// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "sound/media.h"

namespace parlatone {

// The real backend: WAVE through libsndfile, MP3 through libmpg123, sound
// out through SDL2's audio queue on the default output (or the driver
// SDL_AUDIODRIVER names; "dummy" plays silently at real-time pace).
std::unique_ptr<SoundBackend> MakeSdlSoundBackend();

}  // namespace parlatone
