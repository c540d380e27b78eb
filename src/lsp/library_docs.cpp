// The table behind hover. A test checks that every built-in and every module function that
// the interpreter exports has an entry here.
#include "lsp/library_docs.hpp"

#include <array>

namespace vormel {
namespace {

constexpr std::array kDocs = {
    // Console and types.
    FunctionDoc{"print", "print(values...)", "Writes each value's display text on its own line."},
    FunctionDoc{"input", "input(prompt)", "Writes the prompt and reads one trimmed line of input."},
    FunctionDoc{"typeof", "typeof(value)", "The value's type name: \"number\", \"string\", ..."},
    FunctionDoc{"is_number", "is_number(value)", "True for an integer or a float."},
    FunctionDoc{"is_string", "is_string(value)", "True for a string."},
    FunctionDoc{"is_array", "is_array(value)", "True for an array."},
    FunctionDoc{"is_dict", "is_dict(value)", "True for a dict."},
    FunctionDoc{"len", "len(value)",
                "Byte length of a string, or the element count of an array or dict."},
    // Collections and strings.
    FunctionDoc{"push", "push(array, value)", "A copy of the array with the value appended."},
    FunctionDoc{"pop", "pop(array)", "The array's last element, or null when it is empty."},
    FunctionDoc{"reverse", "reverse(array)", "A reversed copy of the array."},
    FunctionDoc{"contains", "contains(haystack, needle)",
                "Whether the needle's text occurs in the haystack's text."},
    FunctionDoc{"split", "split(text, separator)",
                "The pieces of the text between separators, as an array of strings."},
    FunctionDoc{"slice", "slice(text, start, end)",
                "The characters of the text from start up to end."},
    FunctionDoc{"concat", "concat(values...)",
                "The display texts of the values joined into one string."},
    FunctionDoc{"upper", "upper(text)", "The text in upper case."},
    FunctionDoc{"lower", "lower(text)", "The text in lower case."},
    // Math and random numbers.
    FunctionDoc{"abs", "abs(number)", "The absolute value, of the same kind."},
    FunctionDoc{"sqrt", "sqrt(number)", "The square root, as a float."},
    FunctionDoc{"pow", "pow(base, exponent)", "The base raised to the exponent, as a float."},
    FunctionDoc{"floor", "floor(number)", "Rounded down to an integer."},
    FunctionDoc{"ceil", "ceil(number)", "Rounded up to an integer."},
    FunctionDoc{"round", "round(number)", "Rounded to the nearest integer."},
    FunctionDoc{"min", "min(a, b, ...)", "The smallest of the numbers, as a float."},
    FunctionDoc{"max", "max(a, b, ...)", "The largest of the numbers, as a float."},
    FunctionDoc{"random", "random()", "A random float in [0, 1)."},
    FunctionDoc{"random_range", "random_range(low, high)",
                "low plus a random remainder modulo high - low, of either sign: (1, 10) "
                "gives -7 to 9."},
    // Shapes and the window.
    FunctionDoc{"rect", "rect(x, y, width, height)", "A rectangle to draw or fill."},
    FunctionDoc{"circle", "circle(x, y, radius)", "A circle to draw or fill."},
    FunctionDoc{"triangle", "triangle(x1, y1, x2, y2, x3, y3)", "A triangle to draw or fill."},
    FunctionDoc{"color", "color(r, g, b)", "A colour from red, green and blue (0 to 255)."},
    FunctionDoc{"window", "window(width, height)", "Opens the window."},
    FunctionDoc{"clear", "clear()", "Clears the frame to black."},
    FunctionDoc{"present", "present()", "Shows the frame."},
    FunctionDoc{"is_open", "is_open()", "Whether the window is open."},
    FunctionDoc{"window_width", "window_width()", "The window's width, or null without a window."},
    FunctionDoc{"window_height", "window_height()",
                "The window's height, or null without a window."},
    FunctionDoc{"draw", "draw(shape, color)", "Draws the outline of a rect, circle or triangle."},
    FunctionDoc{"fill", "fill(shape, color)", "Draws a filled rect, circle or triangle."},
    // The sdl2 module.
    FunctionDoc{"sdl2.init", "sdl2.init()", "Returns true; the window is set up by create_window."},
    FunctionDoc{"sdl2.create_window", "sdl2.create_window(title, width, height)",
                "Opens the window with a 2D renderer."},
    FunctionDoc{"sdl2.destroy_window", "sdl2.destroy_window()", "Marks the window closed."},
    FunctionDoc{"sdl2.set_window_title", "sdl2.set_window_title(window, title)",
                "Checks the title; the window's title stays as created."},
    FunctionDoc{"sdl2.clear_screen", "sdl2.clear_screen()",
                "Clears the frame in the current colour."},
    FunctionDoc{"sdl2.render_present", "sdl2.render_present()",
                "Shows the frame, paces it to the frame-rate limit and reads input."},
    FunctionDoc{"sdl2.set_draw_color", "sdl2.set_draw_color(r, g, b)",
                "Sets the current drawing colour."},
    FunctionDoc{"sdl2.set_max_fps", "sdl2.set_max_fps(fps)", "Sets the frame-rate limit."},
    FunctionDoc{"sdl2.delta_time", "sdl2.delta_time()", "The last frame's duration in seconds."},
    FunctionDoc{"sdl2.draw_point", "sdl2.draw_point(x, y)", "Draws one point."},
    FunctionDoc{"sdl2.draw_line", "sdl2.draw_line(x1, y1, x2, y2)", "Draws a line."},
    FunctionDoc{"sdl2.draw_rect", "sdl2.draw_rect(x, y, width, height)",
                "Draws a rectangle outline."},
    FunctionDoc{"sdl2.fill_rect", "sdl2.fill_rect(x, y, width, height)",
                "Draws a filled rectangle."},
    FunctionDoc{"sdl2.draw_circle", "sdl2.draw_circle(x, y, radius)", "Draws a circle outline."},
    FunctionDoc{"sdl2.fill_circle", "sdl2.fill_circle(x, y, radius)", "Draws a filled circle."},
    FunctionDoc{"sdl2.get_window_width", "sdl2.get_window_width()",
                "The window's width, or null without a window."},
    FunctionDoc{"sdl2.get_window_height", "sdl2.get_window_height()",
                "The window's height, or null without a window."},
    FunctionDoc{"sdl2.is_window_open", "sdl2.is_window_open()", "Whether the window is open."},
    FunctionDoc{"sdl2.get_input_pressed", "sdl2.get_input_pressed(key)",
                "Whether the key went down in the last frame."},
    FunctionDoc{"sdl2.get_input_released", "sdl2.get_input_released(key)",
                "Whether the key went up in the last frame."},
    FunctionDoc{"sdl2.get_input_held", "sdl2.get_input_held(key)", "Whether the key is held down."},
    // The http module.
    FunctionDoc{"http.page", "http.page(path, content)", "Registers a static page for the server."},
    FunctionDoc{"http.serve", "http.serve(port)",
                "Serves the registered pages on 127.0.0.1; does not return."},
    FunctionDoc{"http.template", "http.template(path)", "The whole text of a file."},
    FunctionDoc{"http.status", "http.status(code, reason)", "An HTTP/1.1 status line."},
    FunctionDoc{"http.json", "http.json(value)", "The value as JSON text."},
    FunctionDoc{"http.get", "http.get(url)",
                "Sends a GET request; the whole response, or an error."},
    FunctionDoc{"http.post", "http.post(url, body)",
                "Sends a POST request; the whole response, or an error."},
    FunctionDoc{"http.send", "http.send(url, method, body)",
                "Sends a request with any method; the whole response, or an error."},
};

}  // namespace

const FunctionDoc* find_function_doc(std::string_view name) {
  for (const FunctionDoc& doc : kDocs)
    if (doc.name == name) return &doc;
  return nullptr;
}

}  // namespace vormel
