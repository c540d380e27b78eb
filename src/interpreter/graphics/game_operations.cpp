#include "interpreter/graphics/game_operations.hpp"

#include "interpreter/graphics/graphics_context.hpp"

namespace vormel {

const MouseState& mouse_state(const GraphicsContext& graphics) { return graphics.mouse; }

bool has_window(const GraphicsContext& graphics) { return graphics.window != nullptr; }

std::optional<TextBox> measure_text(GraphicsContext& graphics, std::string_view text, int size,
                                    std::string& error) {
  std::optional<TextBox> box = graphics.window->measure_text(text, size);
  if (!box) error = graphics.window->error_text();
  return box;
}

std::optional<int32_t> text_line_height(GraphicsContext& graphics, int size, std::string& error) {
  std::optional<int32_t> height = graphics.window->line_height(size);
  if (!height) error = graphics.window->error_text();
  return height;
}

bool draw_text(GraphicsContext& graphics, int32_t x, int32_t y, std::string_view text, int size,
               std::string& error) {
  if (graphics.window->draw_text(x, y, text, size, graphics.color)) return true;
  error = graphics.window->error_text();
  return false;
}

std::optional<ImageInfo> load_image(GraphicsContext& graphics, const std::string& path,
                                    std::string& error) {
  std::optional<ImageInfo> image = graphics.window->load_image(path);
  if (!image) error = graphics.window->error_text();
  return image;
}

bool draw_image(GraphicsContext& graphics, int64_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
  return graphics.window->draw_image(id, x, y, w, h);
}

SoundSystem& sound_system(GraphicsContext& graphics) {
  if (!graphics.sounds) graphics.sounds = make_sdl_sound_system();
  return *graphics.sounds;
}

}  // namespace vormel
