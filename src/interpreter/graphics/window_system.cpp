// What a window without text or image support answers: every text call and every image
// load fails, and error_text() says why.
#include "interpreter/graphics/window_system.hpp"

namespace vormel {

std::optional<TextBox> Window::measure_text(std::string_view, int) { return std::nullopt; }
std::optional<int32_t> Window::line_height(int) { return std::nullopt; }
bool Window::draw_text(int32_t, int32_t, std::string_view, int, DrawColor) { return false; }
std::optional<ImageInfo> Window::load_image(const std::string&) { return std::nullopt; }
bool Window::draw_image(int64_t, int32_t, int32_t, int32_t, int32_t) { return false; }

}  // namespace vormel
