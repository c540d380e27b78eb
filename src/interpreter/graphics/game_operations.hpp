// What the "game" library module asks of the graphics context: the mouse as the present
// step left it, lines of text on the window in the current draw colour, images on the
// window, and sounds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "interpreter/graphics/graphics_handle.hpp"
#include "interpreter/graphics/mouse_state.hpp"
#include "interpreter/graphics/sound_system.hpp"
#include "interpreter/graphics/window_system.hpp"

namespace vormel {

// The mouse; without a window, the position is 0, 0, no button is down and the wheel is 0.
const MouseState& mouse_state(const GraphicsContext& graphics);

bool has_window(const GraphicsContext& graphics);

// A text call's result, or the window's reason for failing in `error`. Each needs a window
// (has_window); the text holds no NUL byte and the size is from 1 to kLargestTextSize.
std::optional<TextBox> measure_text(GraphicsContext& graphics, std::string_view text, int size,
                                    std::string& error);
std::optional<int32_t> text_line_height(GraphicsContext& graphics, int size, std::string& error);
bool draw_text(GraphicsContext& graphics, int32_t x, int32_t y, std::string_view text, int size,
               std::string& error);

// Images of the window (has_window): see Window::load_image and Window::draw_image.
std::optional<ImageInfo> load_image(GraphicsContext& graphics, const std::string& path,
                                    std::string& error);
bool draw_image(GraphicsContext& graphics, int64_t id, int32_t x, int32_t y, int32_t w, int32_t h);

// The context's sound system, made on first use; it needs no window.
SoundSystem& sound_system(GraphicsContext& graphics);

}  // namespace vormel
