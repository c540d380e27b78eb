// What a window without text support answers: every text call fails, and error_text()
// says why.
#include "interpreter/graphics/window_system.hpp"

namespace vormel {

std::optional<TextBox> Window::measure_text(std::string_view, int) { return std::nullopt; }
std::optional<int32_t> Window::line_height(int) { return std::nullopt; }
bool Window::draw_text(int32_t, int32_t, std::string_view, int, DrawColor) { return false; }

}  // namespace vormel
