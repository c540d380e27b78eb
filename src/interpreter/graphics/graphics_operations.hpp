// The graphics operations shared by the "sdl2" functions and the window built-ins. Each
// works on the interpreter's graphics context; none needs the window library's headers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "interpreter/graphics/graphics_handle.hpp"
#include "interpreter/value.hpp"

namespace vormel {

// The exit status when the renderer cannot take a colour or clear (EX_SOFTWARE).
inline constexpr int kRendererFailureStatus = 70;

// Opens the window at most once per context. Every failure is silent and leaves the context
// as it was, so a later call may try again.
void create_window(GraphicsContext& graphics, std::string_view title, uint32_t width,
                   uint32_t height);
// Clears the open flag; the window and renderer stay usable.
void destroy_window(GraphicsContext& graphics);
bool is_window_open(const GraphicsContext& graphics);
// The window's current size; nullopt without a window.
std::optional<int64_t> window_width(GraphicsContext& graphics);
std::optional<int64_t> window_height(GraphicsContext& graphics);

// Changes the current draw colour (alpha 255), and the renderer's when it differs.
void request_color(GraphicsContext& graphics, uint8_t red, uint8_t green, uint8_t blue);
// Fills the frame with opaque black and restores the current draw colour.
void clear_screen(GraphicsContext& graphics);

// Single drawing calls in the current draw colour, taking 32-bit values; nothing happens
// without a window.
void draw_point(GraphicsContext& graphics, int32_t x, int32_t y);
void draw_line(GraphicsContext& graphics, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void draw_rect(GraphicsContext& graphics, int32_t x, int32_t y, uint32_t w, uint32_t h);
void fill_rect(GraphicsContext& graphics, int32_t x, int32_t y, uint32_t w, uint32_t h);
void draw_circle(GraphicsContext& graphics, int32_t cx, int32_t cy, int32_t radius);
void fill_circle(GraphicsContext& graphics, int32_t cx, int32_t cy, int32_t radius);

// Outline or filled drawing of a Rect, Circle or Triangle value in a Color value; any other
// pair of kinds does nothing at all, not even a colour change.
void draw_shape(GraphicsContext& graphics, const Value& shape, const Value& color);
void fill_shape(GraphicsContext& graphics, const Value& shape, const Value& color);

// The present step: show, measure, pace, restart the clock, forget the edges, drain events.
void present(GraphicsContext& graphics);
void set_max_fps(GraphicsContext& graphics, uint32_t frames_per_second);
double delta_time(const GraphicsContext& graphics);

bool key_pressed(const GraphicsContext& graphics, std::string_view name);
bool key_released(const GraphicsContext& graphics, std::string_view name);
bool key_held(const GraphicsContext& graphics, std::string_view name);

}  // namespace vormel
