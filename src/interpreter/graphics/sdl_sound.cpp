// The sound system over SDL2_mixer. Like the window system, it loads SDL2 and SDL2_mixer with
// dlopen on first use, so that the binary links neither and a machine without them still
// runs every script: without them, or without an audio device, sounds play nothing.
#include <SDL.h>
#include <SDL_mixer.h>

#include <map>
#include <vector>

#include "interpreter/graphics/sound_system.hpp"
#include "support/shared_library.hpp"

namespace vormel {
namespace {

#define VORMEL_SOUND_SDL_FUNCTIONS(X) \
  X(InitSubSystem) X(QuitSubSystem) X(WasInit) X(Quit) X(GetError) X(SetHint)
#define VORMEL_MIX_FUNCTIONS(X)                                                                    \
  X(Init)                                                                                          \
  X(Quit)                                                                                          \
  X(OpenAudio)                                                                                     \
  X(CloseAudio) X(AllocateChannels) X(LoadWAV) X(FreeChunk) X(LoadMUS) X(FreeMusic) X(PlayChannel) \
      X(PlayMusic) X(HaltMusic) X(Volume) X(GroupAvailable)

struct SoundApi {
#define VORMEL_SOUND_SDL_POINTER(name) decltype(&SDL_##name) sdl_##name = nullptr;
  VORMEL_SOUND_SDL_FUNCTIONS(VORMEL_SOUND_SDL_POINTER)
#undef VORMEL_SOUND_SDL_POINTER
#define VORMEL_MIX_POINTER(name) decltype(&Mix_##name) name = nullptr;
  VORMEL_MIX_FUNCTIONS(VORMEL_MIX_POINTER)
#undef VORMEL_MIX_POINTER
};

// Both libraries' functions, loaded once for the process; null when either is missing.
const SoundApi* load_sound_api() {
  static const SoundApi* loaded = []() -> const SoundApi* {
    void* sdl = open_library("libSDL2-2.0.so.0");
    if (sdl == nullptr) return nullptr;
    void* mixer = open_library("libSDL2_mixer-2.0.so.0");
    if (mixer == nullptr) return nullptr;
    static SoundApi api;
#define VORMEL_SOUND_SDL_LOOKUP(name) \
  if (!look_up(sdl, "SDL_" #name, api.sdl_##name)) return nullptr;
    VORMEL_SOUND_SDL_FUNCTIONS(VORMEL_SOUND_SDL_LOOKUP)
#undef VORMEL_SOUND_SDL_LOOKUP
#define VORMEL_MIX_LOOKUP(name) \
  if (!look_up(mixer, "Mix_" #name, api.name)) return nullptr;
    VORMEL_MIX_FUNCTIONS(VORMEL_MIX_LOOKUP)
#undef VORMEL_MIX_LOOKUP
    return &api;
  }();
  return loaded;
}

// libasound writes its own lines to stderr when it finds no sound card, although the game
// runs on silently as documented (play() answers false); its messages are turned off before
// SDL first opens it. The library is the one SDL then loads, as dlopen shares a loaded file.
void ignore_alsa_message(const char*, int, const char*, int, const char*, ...) {}
void quiet_alsa() {
  void* alsa = open_library("libasound.so.2");
  int (*set_error_handler)(decltype(&ignore_alsa_message)) = nullptr;
  if (alsa != nullptr && look_up(alsa, "snd_lib_error_set_handler", set_error_handler))
    set_error_handler(&ignore_alsa_message);
}

constexpr int kFrequency = 44100;
constexpr int kChannels = 16;
constexpr int kBufferFrames = 1024;

// Sound systems with the device open in this process (a module's interpreter has its own):
// the mixer is closed when the last one goes.
int g_open_systems = 0;

class SdlSoundSystem final : public SoundSystem {
 public:
  ~SdlSoundSystem() override {
    if (!open_) return;
    api_->HaltMusic();
    if (music_ != nullptr) api_->FreeMusic(music_);
    if (--g_open_systems == 0) {
      api_->CloseAudio();
      api_->Quit();
      api_->sdl_QuitSubSystem(SDL_INIT_AUDIO);
      if (api_->sdl_WasInit(SDL_INIT_EVERYTHING) == 0) api_->sdl_Quit();
    }
    for (Mix_Chunk* chunk : chunks_)
      if (chunk != nullptr) api_->FreeChunk(chunk);
  }

  bool available() override {
    if (!tried_) {
      tried_ = true;
      open_ = open_device();
    }
    return open_;
  }

  std::optional<int64_t> load(const std::string& path, std::string& error) override {
    if (auto it = ids_.find(path); it != ids_.end()) return it->second;
    if (chunks_.size() >= kMostSounds) {
      error = "too many sounds (the limit is " + std::to_string(kMostSounds) + ")";
      return std::nullopt;
    }
    Mix_Chunk* chunk = nullptr;
    if (available()) {
      chunk = api_->LoadWAV(path.c_str());
      if (chunk == nullptr) {
        error = api_->sdl_GetError();
        return std::nullopt;
      }
      if (bytes_ + chunk->alen > kMostSoundBytes) {
        api_->FreeChunk(chunk);
        error = "the sounds loaded would take more than " + std::to_string(kMostSoundBytes >> 20) +
                " MiB";
        return std::nullopt;
      }
      bytes_ += chunk->alen;
    }
    chunks_.push_back(chunk);
    const auto id = static_cast<int64_t>(chunks_.size());
    ids_.emplace(path, id);
    return id;
  }

  bool knows(int64_t id) const override {
    return id >= 1 && id <= static_cast<int64_t>(chunks_.size());
  }

  bool play(int64_t id, double volume) override {
    Mix_Chunk* chunk = chunks_[static_cast<size_t>(id - 1)];
    if (chunk == nullptr) return false;
    const int channel = api_->GroupAvailable(-1);
    if (channel < 0) return false;
    api_->Volume(channel, static_cast<int>(volume * MIX_MAX_VOLUME + 0.5));
    return api_->PlayChannel(channel, chunk, 0) >= 0;
  }

  std::optional<bool> play_music(const std::string& path, std::string& error) override {
    if (!available()) return false;
    Mix_Music* music = api_->LoadMUS(path.c_str());
    if (music == nullptr) {
      error = api_->sdl_GetError();
      return std::nullopt;
    }
    stop_music();
    music_ = music;
    return api_->PlayMusic(music_, -1) == 0;
  }

  void stop_music() override {
    if (!open_) return;
    api_->HaltMusic();
    if (music_ != nullptr) api_->FreeMusic(music_);
    music_ = nullptr;
  }

 private:
  bool open_device() {
    api_ = load_sound_api();
    if (api_ == nullptr) return false;
    if (g_open_systems > 0) {
      ++g_open_systems;
      return true;
    }
    // The audio subsystem alone takes no signals; this keeps it so on every SDL version.
    if (api_->sdl_WasInit(SDL_INIT_EVENTS) == 0)
      api_->sdl_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    quiet_alsa();
    if (api_->sdl_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    api_->Init(MIX_INIT_OGG);
    if (api_->OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, 2, kBufferFrames) != 0) {
      api_->Quit();
      api_->sdl_QuitSubSystem(SDL_INIT_AUDIO);
      if (api_->sdl_WasInit(SDL_INIT_EVERYTHING) == 0) api_->sdl_Quit();
      return false;
    }
    api_->AllocateChannels(kChannels);
    ++g_open_systems;
    return true;
  }

  const SoundApi* api_ = nullptr;
  bool tried_ = false, open_ = false;
  std::vector<Mix_Chunk*> chunks_;  // by id - 1; null without a device
  std::map<std::string, int64_t> ids_;
  size_t bytes_ = 0;
  Mix_Music* music_ = nullptr;
};

}  // namespace

std::unique_ptr<SoundSystem> make_sdl_sound_system() { return std::make_unique<SdlSoundSystem>(); }

}  // namespace vormel
