// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL.h>

namespace parlatone {

// The few SDL2 audio functions the backend and the recorder use, loaded
// when the first sound plays or is recorded.
// SDL2 brings some forty libraries with it (X11, Wayland, PulseAudio, ...);
// a program that never plays a sound (the command-line tool reading a
// thousand files) must not pay for loading them at every start.
struct SdlAudioApi {
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_QueueAudio) QueueAudio;
  decltype(&SDL_ClearQueuedAudio) ClearQueuedAudio;
  decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize;
  // Recording.
  decltype(&SDL_GetNumAudioDevices) GetNumAudioDevices;
  decltype(&SDL_GetAudioDeviceName) GetAudioDeviceName;
  decltype(&SDL_GetAudioDeviceSpec) GetAudioDeviceSpec;
  decltype(&SDL_GetError) GetError;
  // Only from SDL 2.24 on; nullptr before.
  decltype(&SDL_GetDefaultAudioInfo) GetDefaultAudioInfo;
  decltype(&SDL_free) Free;
};

// The loaded functions, or nullptr when SDL2 cannot be loaded (then nothing
// plays, as with no audio output).
const SdlAudioApi* Sdl();

}  // namespace parlatone
