// The "game" library module: the mouse and lines of text on the one window that "sdl2" or
// the window built-in opened. The mouse follows the keys' rules: its state is taken at the
// present step, an edge (pressed, released) lasts one frame and the wheel counts the steps
// of that frame; without a window it reads 0 and false. Text is drawn in DejaVu Sans in the
// current draw colour; the text calls need a window (they answer an Error without one). A
// text argument of another kind is drawn as print shows it.
//
// Images are textures of the window, loaded once a window is open and drawn in the frame's
// draw order. Sounds need no window: the audio device opens on the first sound call, and
// without one every sound call still answers, playing nothing. Each file is loaded once per
// path; sound and image values are dicts that name it.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/graphics/coordinates.hpp"
#include "interpreter/graphics/game_operations.hpp"
#include "interpreter/graphics/image_header.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

constexpr int kDefaultTextSize = 20;

Value game_mouse_x(std::span<Value>, const NativeCallContext& context) {
  return Value::number(mouse_state(context.graphics()).x());
}
Value game_mouse_y(std::span<Value>, const NativeCallContext& context) {
  return Value::number(mouse_state(context.graphics()).y());
}
Value game_wheel(std::span<Value>, const NativeCallContext& context) {
  return Value::number(mouse_state(context.graphics()).wheel());
}

using ButtonQuery = bool (MouseState::*)(MouseButton) const;

template <ButtonQuery query>
Value button_function(std::string_view name, std::span<Value> args,
                      const NativeCallContext& context) {
  if (!args[0].is(ValueKind::String)) return library::expected(name, "a button name", args[0]);
  const std::optional<MouseButton> button = mouse_button_named(args[0].as_string());
  if (!button) return library::error(messages::kGameUnknownButton, {name, args[0].as_string()});
  return Value::boolean((mouse_state(context.graphics()).*query)(*button));
}

Value game_mouse_pressed(std::span<Value> args, const NativeCallContext& context) {
  return button_function<&MouseState::pressed>("game.mouse_pressed", args, context);
}
Value game_mouse_held(std::span<Value> args, const NativeCallContext& context) {
  return button_function<&MouseState::held>("game.mouse_held", args, context);
}
Value game_mouse_released(std::span<Value> args, const NativeCallContext& context) {
  return button_function<&MouseState::released>("game.mouse_released", args, context);
}

// The optional size argument at `index`: the default when absent, an Error when wrong.
std::optional<Value> read_size(std::string_view name, std::span<Value> args, size_t index,
                               int& size) {
  size = kDefaultTextSize;
  if (args.size() <= index) return std::nullopt;
  int64_t wanted;
  if (!read_integer(args[index], wanted)) return library::expected(name, "a size", args[index]);
  if (wanted < 1 || wanted > kLargestTextSize)
    return library::error(messages::kGameTextSize,
                          {name, std::to_string(kLargestTextSize), display_text(args[index])});
  size = static_cast<int>(wanted);
  return std::nullopt;
}

// The text to show: a String as it is, any other value as print shows it.
std::optional<Value> read_text(std::string_view name, const Value& arg, std::string& text) {
  text = arg.is(ValueKind::String) ? std::string(arg.as_string()) : display_text(arg);
  if (text.find('\0') != std::string::npos) return library::error(messages::kGameTextNul, {name});
  return std::nullopt;
}

std::optional<Value> require_window(std::string_view name, const NativeCallContext& context) {
  if (has_window(context.graphics())) return std::nullopt;
  return library::error(messages::kGameNoWindow, {name});
}

Value failed(std::string_view name, const std::string& reason) {
  return library::error(messages::kGameTextFailed, {name, reason});
}

Value game_text(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.text";
  int64_t x, y;
  if (!read_integer(args[0], x)) return library::expected(name, "a number", args[0]);
  if (!read_integer(args[1], y)) return library::expected(name, "a number", args[1]);
  std::string text;
  int size;
  if (auto problem = read_text(name, args[2], text)) return std::move(*problem);
  if (auto problem = read_size(name, args, 3, size)) return std::move(*problem);
  if (auto problem = require_window(name, context)) return std::move(*problem);
  std::string error;
  if (!draw_text(context.graphics(), clamp_coordinate(low_bits_signed(x)),
                 clamp_coordinate(low_bits_signed(y)), text, size, error))
    return failed(name, error);
  return Value::null();
}

Value game_text_width(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.text_width";
  std::string text;
  int size;
  if (auto problem = read_text(name, args[0], text)) return std::move(*problem);
  if (auto problem = read_size(name, args, 1, size)) return std::move(*problem);
  if (auto problem = require_window(name, context)) return std::move(*problem);
  std::string error;
  const std::optional<TextBox> box = measure_text(context.graphics(), text, size, error);
  if (!box) return failed(name, error);
  return Value::number(box->width);
}

Value game_text_height(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.text_height";
  int size;
  if (auto problem = read_size(name, args, 0, size)) return std::move(*problem);
  if (auto problem = require_window(name, context)) return std::move(*problem);
  std::string error;
  const std::optional<int32_t> height = text_line_height(context.graphics(), size, error);
  if (!height) return failed(name, error);
  return Value::number(*height);
}

// Files larger than this are not loaded as music or images; sound effects, which are
// decoded whole (an OGG file to some ten times its size), are kept smaller.
constexpr int64_t kLargestFileMiB = 64;
constexpr int64_t kLargestSoundMiB = 8;

// The path argument, checked to name a readable regular file of at most `largest_mib`, so
// that neither SDL library blocks on a FIFO or reads a device.
std::optional<Value> read_path(std::string_view name, const Value& arg, std::string& path,
                               int64_t largest_mib = kLargestFileMiB) {
  if (!arg.is(ValueKind::String)) return library::expected(name, "a path", arg);
  path = std::string(arg.as_string());
  if (path.find('\0') != std::string::npos) return library::error(messages::kGamePathNul, {name});
  struct stat info;
  std::string reason;
  if (stat(path.c_str(), &info) != 0)
    reason = std::strerror(errno);
  else if (!S_ISREG(info.st_mode))
    reason = messages::kGameNotAFile;
  else if (info.st_size > (largest_mib << 20))
    reason = format_message(messages::kGameFileTooLarge, {std::to_string(largest_mib)});
  else if (!std::ifstream(path, std::ios::binary))
    reason = std::strerror(errno);
  if (reason.empty()) return std::nullopt;
  return library::error(messages::kGameCannotLoad, {name, path, reason});
}

Value cannot_load(std::string_view name, const std::string& path, const std::string& reason) {
  return library::error(messages::kGameCannotLoad, {name, path, reason});
}

// The id of a value that game.sound or game.image (`kind`) answered; 0 for any other value.
int64_t loaded_id(const Value& value, std::string_view kind) {
  if (!value.is(ValueKind::Dict)) return 0;
  const Dict& entries = value.as_dict();
  const Value* tag = entries.find("kind");
  const Value* id = entries.find("id");
  if (tag == nullptr || !tag->is(ValueKind::String) || tag->as_string() != kind || id == nullptr ||
      !id->is(ValueKind::Number))
    return 0;
  return id->as_number();
}

Value game_sound(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.sound";
  std::string path;
  if (auto problem = read_path(name, args[0], path, kLargestSoundMiB)) return std::move(*problem);
  std::string error;
  const std::optional<int64_t> id = sound_system(context.graphics()).load(path, error);
  if (!id) return cannot_load(name, path, error);
  Dict sound;
  sound.insert_or_assign("kind", Value::string("sound"));
  sound.insert_or_assign("id", Value::number(*id));
  sound.insert_or_assign("path", Value::string(path));
  return Value::dict(std::move(sound));
}

Value game_play(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.play";
  SoundSystem& sounds = sound_system(context.graphics());
  const int64_t id = loaded_id(args[0], "sound");
  if (!sounds.knows(id)) return library::expected(name, "a sound from game.sound", args[0]);
  double volume = 1.0;
  if (args.size() > 1) {
    if (!read_real(args[1], volume)) return library::expected(name, "a volume", args[1]);
    if (!(volume >= 0.0 && volume <= 1.0))
      return library::error(messages::kGameVolume, {name, display_text(args[1])});
  }
  return Value::boolean(sounds.play(id, volume));
}

Value game_music(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.music";
  std::string path;
  if (auto problem = read_path(name, args[0], path)) return std::move(*problem);
  std::string error;
  const std::optional<bool> playing = sound_system(context.graphics()).play_music(path, error);
  if (!playing) return cannot_load(name, path, error);
  return Value::boolean(*playing);
}

Value game_stop_music(std::span<Value>, const NativeCallContext& context) {
  sound_system(context.graphics()).stop_music();
  return Value::null();
}

// Why the image file is refused before it is decoded, from its header; empty when it is not.
std::string refuse_image(const std::string& path) {
  std::string head(kImageHeadBytes, '\0');
  std::ifstream file(path, std::ios::binary);
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(file.gcount()));
  const std::optional<DeclaredSize> size = declared_image_size(head);
  if (!size) return std::string(messages::kGameNotAnImage);
  if (size->width < 1 || size->height < 1 || size->width > kWidestImage ||
      size->height > kWidestImage ||
      static_cast<uint64_t>(size->width * size->height) > kMostImagePixels)
    return format_message(messages::kGameImageTooLarge,
                          {std::to_string(size->width), std::to_string(size->height),
                           std::to_string(kWidestImage), std::to_string(kMostImagePixels >> 20)});
  return "";
}

Value game_image(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.image";
  std::string path;
  if (auto problem = read_path(name, args[0], path)) return std::move(*problem);
  if (const std::string reason = refuse_image(path); !reason.empty())
    return cannot_load(name, path, reason);
  if (auto problem = require_window(name, context)) return std::move(*problem);
  std::string error;
  const std::optional<ImageInfo> image = load_image(context.graphics(), path, error);
  if (!image) return cannot_load(name, path, error);
  Dict entries;
  entries.insert_or_assign("kind", Value::string("image"));
  entries.insert_or_assign("id", Value::number(image->id));
  entries.insert_or_assign("width", Value::number(image->width));
  entries.insert_or_assign("height", Value::number(image->height));
  entries.insert_or_assign("path", Value::string(path));
  return Value::dict(std::move(entries));
}

Value game_draw_image(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.draw_image";
  const int64_t id = loaded_id(args[0], "image");
  if (id == 0) return library::expected(name, "an image from game.image", args[0]);
  // x, y, then the width and height, which default to the image's own (-1).
  int64_t box[4] = {0, 0, -1, -1};
  for (size_t i = 1; i < args.size(); ++i)
    if (!read_integer(args[i], box[i - 1])) return library::expected(name, "a number", args[i]);
  if (args.size() == 4) return library::error(messages::kGameImageBoth, {name});
  if (args.size() == 5 && (box[2] < 0 || box[3] < 0))
    return library::error(messages::kGameImageSize,
                          {name, display_text(args[3]), display_text(args[4])});
  if (auto problem = require_window(name, context)) return std::move(*problem);
  auto clamp = [](int64_t value) { return clamp_coordinate(low_bits_signed(value)); };
  auto size = [](int64_t value) {
    return static_cast<int32_t>(std::min<int64_t>(value, int64_t{kMaxSize}));
  };
  const int32_t w = size(box[2]), h = size(box[3]);
  if (!draw_image(context.graphics(), id, clamp(box[0]), clamp(box[1]), w, h))
    return library::expected(name, "an image from game.image", args[0]);
  return Value::null();
}

// In this order the module exports them. The signature is what the tools show and what the
// argument count is checked against.
constexpr std::array<NativeFunction, 15> kGameFunctions = {{
    {"mouse_x", 0, "", "mouse_x()", "The pointer's x in the window at the last present step.",
     game_mouse_x},
    {"mouse_y", 0, "", "mouse_y()", "The pointer's y in the window at the last present step.",
     game_mouse_y},
    {"mouse_pressed", 1, "", "mouse_pressed(button)",
     "Whether the button (\"left\", \"middle\", \"right\") went down in the last frame.",
     game_mouse_pressed},
    {"mouse_held", 1, "", "mouse_held(button)", "Whether the button is held down.",
     game_mouse_held},
    {"mouse_released", 1, "", "mouse_released(button)",
     "Whether the button went up in the last frame.", game_mouse_released},
    {"wheel", 0, "", "wheel()",
     "The wheel steps of the last frame: positive away from the user, negative towards.",
     game_wheel},
    {"text", 3, "", "text(x, y, text[, size])",
     "Draws a line of text, top-left corner at x, y, in the current colour (size 20 pixels).",
     game_text},
    {"text_width", 1, "", "text_width(text[, size])", "The width in pixels text() draws.",
     game_text_width},
    {"text_height", 0, "", "text_height([size])", "The height in pixels of a line of text.",
     game_text_height},
    {"image", 1, "", "image(path)",
     "Loads a PNG, JPEG or BMP file as an image of the window: {kind, id, width, height, path}.",
     game_image},
    {"draw_image", 3, "", "draw_image(image, x, y[, w, h])",
     "Draws the image, top-left corner at x, y, scaled to w x h (its own size without them).",
     game_draw_image},
    {"sound", 1, "", "sound(path)", "Loads a WAV or OGG file as a sound effect: {kind, id, path}.",
     game_sound},
    {"play", 1, "", "play(sound[, volume])",
     "Plays the sound at the volume from 0 to 1 (1); false when nothing plays.", game_play},
    {"music", 1, "", "music(path)",
     "Loops the WAV or OGG file as the music, in place of any; false when nothing plays.",
     game_music},
    {"stop_music", 0, "", "stop_music()", "Stops the music.", game_stop_music},
}};

constexpr NativeModule kGameModule = {"game", kGameFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& game_module() { return kGameModule; }

}  // namespace vormel
