// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sdl_audio_api.h"

#include <QLibrary>

#include <memory>

#include "sound/sound_log.h"

namespace parlatone {

Q_LOGGING_CATEGORY(SoundLog, "parlatone.sound", QtWarningMsg)

namespace {

template <typename Function>
bool Resolve(QLibrary& library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(library.resolve(name));
  return function != nullptr;
}

std::unique_ptr<SdlAudioApi> Load() {
  // The library's own name and major version on each platform.
#ifdef Q_OS_WIN
  static QLibrary& library = *new QLibrary(QStringLiteral("SDL2"));
#else
  static QLibrary& library = *new QLibrary(QStringLiteral("SDL2-2.0"), 0);
#endif
  if (!library.load()) {
    qCDebug(SoundLog) << "no SDL2 library, so no sound:" << library.errorString();
    return nullptr;
  }
  auto api = std::make_unique<SdlAudioApi>();
  const bool complete = Resolve(library, "SDL_SetHint", api->SetHint) &&
                        Resolve(library, "SDL_InitSubSystem", api->InitSubSystem) &&
                        Resolve(library, "SDL_QuitSubSystem", api->QuitSubSystem) &&
                        Resolve(library, "SDL_OpenAudioDevice", api->OpenAudioDevice) &&
                        Resolve(library, "SDL_CloseAudioDevice", api->CloseAudioDevice) &&
                        Resolve(library, "SDL_PauseAudioDevice", api->PauseAudioDevice) &&
                        Resolve(library, "SDL_QueueAudio", api->QueueAudio) &&
                        Resolve(library, "SDL_ClearQueuedAudio", api->ClearQueuedAudio) &&
                        Resolve(library, "SDL_GetQueuedAudioSize", api->GetQueuedAudioSize) &&
                        Resolve(library, "SDL_GetNumAudioDevices", api->GetNumAudioDevices) &&
                        Resolve(library, "SDL_GetAudioDeviceName", api->GetAudioDeviceName) &&
                        Resolve(library, "SDL_GetAudioDeviceSpec", api->GetAudioDeviceSpec) &&
                        Resolve(library, "SDL_GetError", api->GetError) &&
                        Resolve(library, "SDL_free", api->Free);
  Resolve(library, "SDL_GetDefaultAudioInfo", api->GetDefaultAudioInfo);
  if (!complete) {
    qCDebug(SoundLog) << "the SDL2 library" << library.fileName()
                      << "lacks a function the player needs, so no sound";
    return nullptr;
  }
  return api;
}

}  // namespace

const SdlAudioApi* Sdl() {
  // Never destroyed: the sound backend may close its outputs while the
  // program's statics go away, in any order.
  static const SdlAudioApi* const api = Load().release();
  return api;
}

}  // namespace parlatone
