// Whether the video driver SDL settled on shows anything. With no display to reach, SDL
// falls back to drivers that draw into memory only (offscreen, dummy, and dummy's evdev
// variant); a window there is never seen, so it counts as a failed creation, unless the
// user named that driver in SDL_VIDEODRIVER (tests and headless tools do).
#pragma once

#include <string_view>

namespace vormel {

// `driver` is SDL's current video driver; `requested` the SDL_VIDEODRIVER setting (a name
// or a comma-separated list, compared without case), or null when it is unset.
bool video_driver_is_usable(std::string_view driver, const char* requested);

}  // namespace vormel
