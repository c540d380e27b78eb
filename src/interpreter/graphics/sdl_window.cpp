// The window system over SDL2: with sdl_sound.cpp, the only files that include SDL's
// headers. The library is loaded when the first window opens, not when the program starts:
// it brings some fifty shared libraries with it, whose loading would otherwise cost every
// script (most never open a window) several milliseconds.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "interpreter/graphics/pixel_frame.hpp"
#include "interpreter/graphics/text_cache.hpp"
#include "interpreter/graphics/video_driver_choice.hpp"
#include "interpreter/graphics/window_system.hpp"
#include "support/shared_library.hpp"

namespace vormel {
namespace {

// The SDL functions this file calls.
#define VORMEL_SDL_FUNCTIONS(X)                                                                   \
  X(Init)                                                                                         \
  X(InitSubSystem)                                                                                \
  X(QuitSubSystem)                                                                                \
  X(WasInit)                                                                                      \
  X(Quit) X(CreateWindow) X(CreateRenderer) X(DestroyRenderer) X(DestroyWindow)                   \
      X(SetRenderDrawColor) X(RenderClear) X(RenderDrawPoint) X(RenderDrawLine) X(RenderDrawRect) \
          X(RenderFillRect) X(RenderPresent) X(GetWindowSize) X(PollEvent) X(GetError)            \
              X(GetCurrentVideoDriver) X(SetHint) X(GetHint) X(free) X(SetError)                  \
                  X(CreateTextureFromSurface) X(FreeSurface) X(GetWindowPixelFormat)              \
                      X(CreateTexture) X(DestroyTexture) X(SetTextureBlendMode)                   \
                          X(SetTextureScaleMode) X(UpdateTexture) X(RenderCopy) X(ShowWindow)

struct SdlApi {
#define VORMEL_SDL_POINTER(name) decltype(&SDL_##name) name = nullptr;
  VORMEL_SDL_FUNCTIONS(VORMEL_SDL_POINTER)
#undef VORMEL_SDL_POINTER
};

const SdlApi* g_sdl = nullptr;  // set once the library is loaded; every window needs it

// The library's functions, loaded on first use and kept for the process's life; false when
// it cannot be loaded (the window is then not created, like any failed creation).
bool load_sdl() {
  static const bool loaded = [] {
    void* library = open_library("libSDL2-2.0.so.0");
    if (library == nullptr) return false;
    static SdlApi api;
#define VORMEL_SDL_LOOKUP(name) \
  if (!look_up(library, "SDL_" #name, api.name)) return false;
    VORMEL_SDL_FUNCTIONS(VORMEL_SDL_LOOKUP)
#undef VORMEL_SDL_LOOKUP
    g_sdl = &api;
    return true;
  }();
  return loaded;
}

const SdlApi& sdl() { return *g_sdl; }

// The SDL2_ttf functions, loaded the same way on the first line of text, so that windows
// which show no text do not load the font library.
#define VORMEL_TTF_FUNCTIONS(X) \
  X(Init) X(Quit) X(OpenFont) X(CloseFont) X(SizeUTF8) X(FontHeight) X(RenderUTF8_Blended)

struct TtfApi {
#define VORMEL_TTF_POINTER(name) decltype(&TTF_##name) name = nullptr;
  VORMEL_TTF_FUNCTIONS(VORMEL_TTF_POINTER)
#undef VORMEL_TTF_POINTER
};

const TtfApi* load_ttf() {
  static const TtfApi* loaded = []() -> const TtfApi* {
    void* library = open_library("libSDL2_ttf-2.0.so.0");
    if (library == nullptr) return nullptr;
    static TtfApi api;
#define VORMEL_TTF_LOOKUP(name) \
  if (!look_up(library, "TTF_" #name, api.name)) return nullptr;
    VORMEL_TTF_FUNCTIONS(VORMEL_TTF_LOOKUP)
#undef VORMEL_TTF_LOOKUP
    return &api;
  }();
  return loaded;
}

// DejaVu Sans, from Debian's fonts-dejavu-core, a dependency of the package.
constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// Rendered lines kept per window: enough for a game's labels, at most 32 MiB of pixels.
constexpr size_t kCachedTexts = 256;
constexpr size_t kCachedTextPixels = size_t{8} << 20;
// Open font sizes kept per window; past this, all are closed and opened again as needed.
constexpr size_t kOpenFontSizes = 16;
// The widest line drawn: wider textures are refused by many renderers.
constexpr int kWidestText = 16384;

void destroy_texture(SDL_Texture* texture) { sdl().DestroyTexture(texture); }

// The text side of a window: SDL2_ttf, the fonts by size and the rendered lines. Made on the
// first text call; released before the renderer it drew with.
class SdlText {
 public:
  ~SdlText() {
    cache_.clear();
    close_fonts();
    if (ttf_ != nullptr) ttf_->Quit();
  }

  // Null with SDL's error set when the library or the font cannot be had.
  TTF_Font* font(int size) {
    if (ttf_ == nullptr) {
      const TtfApi* api = load_ttf();
      if (api == nullptr) {
        sdl().SetError("cannot load SDL2_ttf (libSDL2_ttf-2.0.so.0)");
        return nullptr;
      }
      if (api->Init() != 0) return nullptr;
      ttf_ = api;
    }
    if (auto it = fonts_.find(size); it != fonts_.end()) return it->second;
    if (fonts_.size() >= kOpenFontSizes) close_fonts();
    TTF_Font* opened = ttf_->OpenFont(kFontPath, size);
    if (opened == nullptr) {
      const std::string reason = sdl().GetError();
      sdl().SetError("cannot open the font '%s': %s", kFontPath, reason.c_str());
      return nullptr;
    }
    fonts_.emplace(size, opened);
    return opened;
  }

  std::optional<TextBox> measure(std::string_view text, int size) {
    TTF_Font* sized = font(size);
    if (sized == nullptr) return std::nullopt;
    if (text.empty()) return TextBox{0, ttf_->FontHeight(sized)};
    const std::string terminated(text);
    int width = 0, height = 0;
    if (ttf_->SizeUTF8(sized, terminated.c_str(), &width, &height) != 0) return std::nullopt;
    return TextBox{width, height};
  }

  std::optional<int32_t> line_height(int size) {
    TTF_Font* sized = font(size);
    if (sized == nullptr) return std::nullopt;
    return ttf_->FontHeight(sized);
  }

  bool draw(SDL_Renderer* renderer, int32_t x, int32_t y, std::string_view text, int size,
            DrawColor color) {
    if (text.empty()) return font(size) != nullptr;
    const TextCache<SDL_Texture*>::Entry* entry = cache_.find(text, size, color);
    if (entry == nullptr) {
      entry = render(renderer, text, size, color);
      if (entry == nullptr) return false;
    }
    const SDL_Rect target{x, y, entry->width, entry->height};
    if (sdl().RenderCopy(renderer, entry->texture, nullptr, &target) != 0) sdl().GetError();
    return true;
  }

 private:
  const TextCache<SDL_Texture*>::Entry* render(SDL_Renderer* renderer, std::string_view text,
                                               int size, DrawColor color) {
    const std::optional<TextBox> box = measure(text, size);
    if (!box) return nullptr;
    if (box->width > kWidestText) {
      sdl().SetError("the text is %d pixels wide (the limit is %d)", box->width, kWidestText);
      return nullptr;
    }
    const std::string terminated(text);
    SDL_Surface* surface = ttf_->RenderUTF8_Blended(fonts_.at(size), terminated.c_str(),
                                                    SDL_Color{color.r, color.g, color.b, color.a});
    if (surface == nullptr) return nullptr;
    SDL_Texture* texture = sdl().CreateTextureFromSurface(renderer, surface);
    const int width = surface->w, height = surface->h;
    sdl().FreeSurface(surface);
    if (texture == nullptr) return nullptr;
    return &cache_.insert(text, size, color, {texture, width, height});
  }

  void close_fonts() {
    for (auto& [size, opened] : fonts_) ttf_->CloseFont(opened);
    fonts_.clear();
  }

  const TtfApi* ttf_ = nullptr;
  std::map<int, TTF_Font*> fonts_;
  TextCache<SDL_Texture*> cache_{kCachedTexts, kCachedTextPixels, destroy_texture};
};

// SDL2_image's loader, loaded on the first image.
#define VORMEL_IMG_FUNCTIONS(X) X(Init) X(Quit) X(Load)

struct ImgApi {
#define VORMEL_IMG_POINTER(name) decltype(&IMG_##name) name = nullptr;
  VORMEL_IMG_FUNCTIONS(VORMEL_IMG_POINTER)
#undef VORMEL_IMG_POINTER
};

const ImgApi* load_img() {
  static const ImgApi* loaded = []() -> const ImgApi* {
    void* library = open_library("libSDL2_image-2.0.so.0");
    if (library == nullptr) return nullptr;
    static ImgApi api;
#define VORMEL_IMG_LOOKUP(name) \
  if (!look_up(library, "IMG_" #name, api.name)) return nullptr;
    VORMEL_IMG_FUNCTIONS(VORMEL_IMG_LOOKUP)
#undef VORMEL_IMG_LOOKUP
    return &api;
  }();
  return loaded;
}

// The images of a window as textures of its renderer, by id - 1. Made on the first image;
// released before the renderer.
class SdlImages {
 public:
  ~SdlImages() {
    for (const Loaded& image : images_) sdl().DestroyTexture(image.texture);
    if (img_ != nullptr) img_->Quit();
  }

  // Null with SDL's error set when the file cannot be had.
  std::optional<ImageInfo> load(SDL_Renderer* renderer, const std::string& path) {
    if (auto it = ids_.find(path); it != ids_.end()) {
      const Loaded& image = images_[static_cast<size_t>(it->second - 1)];
      return ImageInfo{it->second, image.width, image.height};
    }
    if (img_ == nullptr) {
      const ImgApi* api = load_img();
      if (api == nullptr) {
        sdl().SetError("cannot load SDL2_image (libSDL2_image-2.0.so.0)");
        return std::nullopt;
      }
      api->Init(IMG_INIT_PNG | IMG_INIT_JPG);
      img_ = api;
    }
    if (images_.size() >= kMostImages) {
      sdl().SetError("too many images (the limit is %d)", static_cast<int>(kMostImages));
      return std::nullopt;
    }
    SDL_Surface* surface = img_->Load(path.c_str());
    if (surface == nullptr) return std::nullopt;
    const int width = surface->w, height = surface->h;
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (pixels_ + pixels > kMostImagePixels) {
      sdl().FreeSurface(surface);
      sdl().SetError("the images loaded would hold more than %d million pixels",
                     static_cast<int>(kMostImagePixels >> 20));
      return std::nullopt;
    }
    SDL_Texture* texture = sdl().CreateTextureFromSurface(renderer, surface);
    sdl().FreeSurface(surface);
    if (texture == nullptr) return std::nullopt;
    pixels_ += pixels;
    images_.push_back({texture, width, height});
    const auto id = static_cast<int64_t>(images_.size());
    ids_.emplace(path, id);
    return ImageInfo{id, width, height};
  }

  // The one place an image reaches the renderer.
  bool draw(SDL_Renderer* renderer, int64_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (id < 1 || id > static_cast<int64_t>(images_.size())) return false;
    const Loaded& image = images_[static_cast<size_t>(id - 1)];
    const SDL_Rect target{x, y, w < 0 ? image.width : w, h < 0 ? image.height : h};
    if (target.w == 0 || target.h == 0) return true;
    if (sdl().RenderCopy(renderer, image.texture, nullptr, &target) != 0) sdl().GetError();
    return true;
  }

 private:
  struct Loaded {
    SDL_Texture* texture;
    int32_t width, height;
  };
  const ImgApi* img_ = nullptr;
  std::vector<Loaded> images_;
  std::map<std::string, int64_t> ids_;
  size_t pixels_ = 0;
};

// The one switch over the fast path: drawing into a frame in memory (pixel_frame.hpp), shown
// once per present, instead of one SDL call per point, line or rectangle. Both light the
// same pixels. VORMEL_GRAPHICS_DIRECT=1 (read once) takes the call-by-call path, for the
// tests that compare the two; so does a line method other than SDL's default
// (SDL_RENDER_LINE_METHOD 2 or 3, drawn by the renderer's own lines), which the frame does
// not copy.
bool frame_drawing_wanted() {
  static const bool direct = [] {
    const char* value = std::getenv("VORMEL_GRAPHICS_DIRECT");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  if (direct) return false;
  const char* method = sdl().GetHint(SDL_HINT_RENDER_LINE_METHOD);
  const int line_method = method == nullptr ? 0 : std::atoi(method);
  return line_method != 2 && line_method != 3;
}

// Ctrl-C while a window exists, in file mode: SDL's own handler turns SIGINT into a quit
// event, so a game can end its loop cleanly; a second SIGINT ends the process, for scripts
// that never look. Where the program handles SIGINT itself (the REPL, whose Ctrl-C stops the
// running statement and keeps the session), SDL is told to install no handlers at all.
constexpr int kInterruptedStatus = 130;
struct sigaction g_sdl_interrupt_action;
volatile sig_atomic_t g_interrupts = 0;

void on_interrupt(int signal_number) {
  g_interrupts = g_interrupts + 1;
  if (g_interrupts >= 2) _exit(kInterruptedStatus);
  // SDL's handler queues the quit event and re-installs itself; take the signal back.
  g_sdl_interrupt_action.sa_handler(signal_number);
  struct sigaction ours = {};
  ours.sa_handler = on_interrupt;
  sigemptyset(&ours.sa_mask);
  sigaction(SIGINT, &ours, nullptr);
}

bool g_interrupts_chained = false;

// Whether SIGINT still has its default action, so that SDL may take it (file mode).
bool interrupts_are_unclaimed() {
  struct sigaction current = {};
  return sigaction(SIGINT, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
         current.sa_handler == SIG_DFL;
}

// Called once SDL's event subsystem has installed its handlers. When SIGINT was ignored or
// taken by someone else before, SDL installed nothing and nothing is chained.
void chain_interrupt_handler() {
  struct sigaction current = {};
  if (sigaction(SIGINT, nullptr, &current) != 0) return;
  if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler == SIG_DFL ||
      current.sa_handler == SIG_IGN)
    return;
  g_sdl_interrupt_action = current;
  g_interrupts = 0;
  struct sigaction ours = {};
  ours.sa_handler = on_interrupt;
  sigemptyset(&ours.sa_mask);
  sigaction(SIGINT, &ours, nullptr);
  g_interrupts_chained = true;
}

// Hands SIGINT back to SDL, which restores the default when it shuts its events down.
void unchain_interrupt_handler() {
  if (!g_interrupts_chained) return;
  sigaction(SIGINT, &g_sdl_interrupt_action, nullptr);
  g_interrupts_chained = false;
}

// Windows alive in this process (a module's interpreter may open its own): SDL is shut down
// when the last one goes.
int g_live_windows = 0;

// What one creation attempt acquired, released in reverse order unless kept.
struct SdlResources {
  bool initialised_sdl = false;
  bool initialised_video = false;
  bool initialised_events = false;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* frame_texture = nullptr;  // the frame's picture on the renderer, if any

  void release() {
    if (frame_texture != nullptr) sdl().DestroyTexture(frame_texture);
    if (renderer != nullptr) sdl().DestroyRenderer(renderer);
    if (window != nullptr) sdl().DestroyWindow(window);
    if (initialised_events) sdl().QuitSubSystem(SDL_INIT_EVENTS);
    if (initialised_video) sdl().QuitSubSystem(SDL_INIT_VIDEO);
    // Sounds may still play (sdl_sound.cpp): their system then shuts SDL down when it closes.
    if ((initialised_sdl || g_live_windows == 0) && sdl().WasInit(SDL_INIT_AUDIO) == 0)
      sdl().Quit();
    *this = SdlResources{};
  }
};

class SdlWindow final : public Window {
 public:
  explicit SdlWindow(SdlResources resources) : sdl_(resources) {
    ++g_live_windows;
    if (frame_drawing_wanted()) start_frame();
  }
  ~SdlWindow() override {
    text_.reset();  // its textures belong to the renderer
    images_.reset();
    --g_live_windows;
    if (g_live_windows == 0) unchain_interrupt_handler();
    sdl_.release();
  }
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool set_draw_color(DrawColor c) override {
    color_ = c;
    // The frame keeps the colour even while shapes go call by call, for the next clear.
    if (frame_) frame_->set_draw_color(c);
    if (in_frame()) return true;
    return sdl().SetRenderDrawColor(sdl_.renderer, c.r, c.g, c.b, c.a) == 0;
  }
  // Clearing covers every pixel, so a window that drew call by call since a texture returns
  // to its frame here.
  bool clear() override {
    if (frame_ && follow_window_size()) {
      frame_handed_over_ = false;
      return frame_->clear();
    }
    return sdl().RenderClear(sdl_.renderer) == 0;
  }
  // Failures of single drawing calls are dropped: the error text is fetched and discarded.
  void draw_point(int32_t x, int32_t y) override {
    if (in_frame()) return frame_->draw_point(x, y);
    if (sdl().RenderDrawPoint(sdl_.renderer, x, y) != 0) sdl().GetError();
  }
  void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    if (in_frame()) return frame_->draw_line(x1, y1, x2, y2);
    if (sdl().RenderDrawLine(sdl_.renderer, x1, y1, x2, y2) != 0) sdl().GetError();
  }
  void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    if (in_frame()) return frame_->draw_rect(x, y, w, h);
    const SDL_Rect rect{x, y, w, h};
    if (sdl().RenderDrawRect(sdl_.renderer, &rect) != 0) sdl().GetError();
  }
  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    if (in_frame()) return frame_->fill_rect(x, y, w, h);
    const SDL_Rect rect{x, y, w, h};
    if (sdl().RenderFillRect(sdl_.renderer, &rect) != 0) sdl().GetError();
  }
  std::string error_text() override { return sdl().GetError(); }
  // Without high-DPI scaling (window flags 0) the output has the window's size.
  std::optional<PixelArea> visible_area() override {
    if (frame_ && follow_window_size()) return frame_->visible_area();
    const WindowSize current = size();
    return PixelArea{current.width, current.height};
  }

  void present() override {
    if (in_frame()) copy_frame_to_renderer();
    sdl().RenderPresent(sdl_.renderer);
  }
  WindowSize size() override {
    WindowSize size{0, 0};
    sdl().GetWindowSize(sdl_.window, &size.width, &size.height);
    return size;
  }
  bool poll_event(InputEvent& event) override {
    SDL_Event sdl_event;
    if (sdl().PollEvent(&sdl_event) == 0) return false;
    event = InputEvent{};
    switch (sdl_event.type) {
      case SDL_QUIT: event.kind = InputEvent::Kind::Quit; break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        event.kind =
            sdl_event.type == SDL_KEYDOWN ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
        event.keycode = sdl_event.key.keysym.sym;
        event.repeat = sdl_event.key.repeat != 0;
        break;
      case SDL_MOUSEMOTION:
        event.kind = InputEvent::Kind::MouseMove;
        event.x = sdl_event.motion.x;
        event.y = sdl_event.motion.y;
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (sdl_event.button.button == SDL_BUTTON_LEFT)
          event.button = MouseButton::Left;
        else if (sdl_event.button.button == SDL_BUTTON_MIDDLE)
          event.button = MouseButton::Middle;
        else if (sdl_event.button.button == SDL_BUTTON_RIGHT)
          event.button = MouseButton::Right;
        else
          break;  // the side buttons have no name
        event.kind = sdl_event.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Kind::MouseDown
                                                           : InputEvent::Kind::MouseUp;
        event.x = sdl_event.button.x;
        event.y = sdl_event.button.y;
        break;
      case SDL_MOUSEWHEEL:
        event.kind = InputEvent::Kind::Wheel;
        event.wheel_steps = sdl_event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -sdl_event.wheel.y
                                                                                : sdl_event.wheel.y;
        break;
      case SDL_DROPFILE:
      case SDL_DROPTEXT:
        sdl().free(sdl_event.drop.file);  // the one event payload SDL leaves to the receiver
        break;
      default: break;
    }
    return true;
  }

  std::optional<TextBox> measure_text(std::string_view text, int size) override {
    return text_state().measure(text, size);
  }
  std::optional<int32_t> line_height(int size) override { return text_state().line_height(size); }
  bool draw_text(int32_t x, int32_t y, std::string_view text, int size, DrawColor color) override {
    hand_over_frame();
    return text_state().draw(sdl_.renderer, x, y, text, size, color);
  }
  std::optional<ImageInfo> load_image(const std::string& path) override {
    if (!images_) images_ = std::make_unique<SdlImages>();
    return images_->load(sdl_.renderer, path);
  }
  bool draw_image(int64_t id, int32_t x, int32_t y, int32_t w, int32_t h) override {
    if (!images_) return false;
    hand_over_frame();
    return images_->draw(sdl_.renderer, id, x, y, w, h);
  }

 private:
  SdlText& text_state() {
    if (!text_) text_ = std::make_unique<SdlText>();
    return *text_;
  }

  bool in_frame() const { return frame_ && !frame_handed_over_; }

  // The frame goes to the renderer as one picture, copied pixel for pixel over the output.
  // A texture (text, an image) is drawn by the renderer over what is there, so the frame goes
  // first; the shapes after it are drawn call by call until the next clear, which keeps the
  // order of drawing. (Both ways light the same pixels.)
  void hand_over_frame() {
    if (!in_frame()) return;
    frame_handed_over_ = true;
    copy_frame_to_renderer();
    if (sdl().SetRenderDrawColor(sdl_.renderer, color_.r, color_.g, color_.b, color_.a) != 0)
      sdl().GetError();
  }

  void copy_frame_to_renderer() {
    if (!follow_window_size()) return;
    if (sdl().UpdateTexture(sdl_.frame_texture, nullptr, frame_->pixels(), frame_->width() * 4) !=
            0 ||
        sdl().RenderCopy(sdl_.renderer, sdl_.frame_texture, nullptr, nullptr) != 0)
      sdl().GetError();
  }

  // The frame and its texture, both of the window's size; without either, the window draws
  // call by call.
  void start_frame() {
    const WindowSize current = size();
    if (!PixelFrame::fits(current.width, current.height) || !make_frame_texture(current)) return;
    try {
      frame_ = std::make_unique<PixelFrame>(current.width, current.height);
    } catch (const std::bad_alloc&) {
      drop_frame_texture();
    }
  }

  bool make_frame_texture(WindowSize size) {
    SDL_Texture* texture =
        sdl().CreateTexture(sdl_.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                            size.width, size.height);
    if (texture == nullptr) {
      sdl().GetError();
      return false;
    }
    sdl_.frame_texture = texture;
    // Copied as it is: no blending, no filtering.
    if (sdl().SetTextureBlendMode(texture, SDL_BLENDMODE_NONE) != 0 ||
        sdl().SetTextureScaleMode(texture, SDL_ScaleModeNearest) != 0) {
      drop_frame_texture();
      return false;
    }
    return true;
  }

  void drop_frame_texture() {
    sdl().DestroyTexture(sdl_.frame_texture);
    sdl_.frame_texture = nullptr;
  }

  // A window whose size changed gets a frame of the new size, keeping the pixels both share;
  // if it cannot, it draws call by call from then on. False in that case.
  bool follow_window_size() {
    const WindowSize current = size();
    if (current.width == frame_->width() && current.height == frame_->height()) return true;
    drop_frame_texture();
    if (PixelFrame::fits(current.width, current.height) && make_frame_texture(current)) {
      try {
        frame_->resize(current.width, current.height);
        return true;
      } catch (const std::bad_alloc&) {
        drop_frame_texture();
      }
    }
    frame_.reset();
    return false;
  }

  SdlResources sdl_;
  std::unique_ptr<PixelFrame> frame_;
  // Set once the frame went to the renderer before a texture; cleared by the next clear.
  bool frame_handed_over_ = false;
  DrawColor color_{255, 255, 255, 255};
  std::unique_ptr<SdlText> text_;
  std::unique_ptr<SdlImages> images_;
};

class SdlWindowSystem final : public WindowSystem {
 public:
  std::unique_ptr<Window> open_window(std::string_view title, int width, int height) override {
    if (!load_sdl()) return nullptr;
    SdlResources acquired;
    const bool sdl_takes_interrupts = interrupts_are_unclaimed();
    sdl().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, sdl_takes_interrupts ? "0" : "1");
    if (sdl().WasInit(SDL_INIT_EVERYTHING) == 0 && g_live_windows == 0) {
      if (sdl().Init(0) != 0) return fail(acquired);
      acquired.initialised_sdl = true;
    }
    if (sdl().WasInit(SDL_INIT_VIDEO) == 0) {
      if (sdl().InitSubSystem(SDL_INIT_VIDEO) != 0) return fail(acquired);
      acquired.initialised_video = true;
    }
    const char* driver = sdl().GetCurrentVideoDriver();
    if (driver == nullptr || !video_driver_is_usable(driver, std::getenv("SDL_VIDEODRIVER")))
      return fail(acquired);
    const std::string terminated_title(title);
    acquired.window = sdl().CreateWindow(terminated_title.c_str(), SDL_WINDOWPOS_UNDEFINED,
                                         SDL_WINDOWPOS_UNDEFINED, width, height, SDL_WINDOW_HIDDEN);
    if (acquired.window == nullptr) return fail(acquired);
    // Renderer flags 0: no vsync, so that the frame-rate limit alone paces the loop.
    // An accelerated renderer may replace the window's X window with one of another
    // visual; the window is shown only after that, so no short-lived window is ever mapped.
    acquired.renderer = sdl().CreateRenderer(acquired.window, -1, 0);
    if (acquired.renderer == nullptr) return fail(acquired);
    sdl().ShowWindow(acquired.window);
    if (sdl().InitSubSystem(SDL_INIT_EVENTS) != 0) return fail(acquired);
    acquired.initialised_events = true;
    if (g_live_windows == 0 && sdl_takes_interrupts) chain_interrupt_handler();
    return std::make_unique<SdlWindow>(acquired);
  }

 private:
  static std::unique_ptr<Window> fail(SdlResources& acquired) {
    acquired.release();
    return nullptr;
  }
};

}  // namespace

std::unique_ptr<WindowSystem> make_sdl_window_system() {
  return std::make_unique<SdlWindowSystem>();
}

}  // namespace vormel
