// Sound effects and one looping music track, as the "game" library module asks for them.
// SDL2_mixer is the run-time implementation (sdl_sound.cpp); it opens the audio device on
// the first call that needs it and closes it again when the system is destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vormel {

class SoundSystem {
 public:
  virtual ~SoundSystem() = default;
  // Whether the device is open, opening it on the first call. False when SDL2_mixer cannot
  // be loaded or no audio device can be opened: every later call then plays nothing.
  virtual bool available() = 0;
  // The id (from 1) of the effect in the file at `path`, the same for the same path; with
  // no device, an id that plays nothing. Nullopt with the reason in `error` when the file
  // cannot be decoded or the limits are reached.
  virtual std::optional<int64_t> load(const std::string& path, std::string& error) = 0;
  virtual bool knows(int64_t id) const = 0;
  // Starts the effect on a free channel at `volume` (0 to 1); false when nothing plays.
  virtual bool play(int64_t id, double volume) = 0;
  // Replaces the music by the file at `path`, looped for ever: true when it plays, false
  // without a device, nullopt with the reason in `error` when the file cannot be decoded.
  virtual std::optional<bool> play_music(const std::string& path, std::string& error) = 0;
  virtual void stop_music() = 0;
};

// Loaded sounds are bounded in number and in decoded bytes.
inline constexpr size_t kMostSounds = 256;
inline constexpr size_t kMostSoundBytes = size_t{64} << 20;

std::unique_ptr<SoundSystem> make_sdl_sound_system();

}  // namespace vormel
