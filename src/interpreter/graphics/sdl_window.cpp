// The window system over SDL2: the only file that includes SDL's headers. The library is
// loaded when the first window opens, not when the program starts: it brings some fifty
// shared libraries with it, whose loading would otherwise cost every script (most never
// open a window) several milliseconds.
#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "interpreter/graphics/pixel_frame.hpp"
#include "interpreter/graphics/video_driver_choice.hpp"
#include "interpreter/graphics/window_system.hpp"

namespace vormel {
namespace {

// The SDL functions this file calls.
#define VORMEL_SDL_FUNCTIONS(X)                                                                   \
  X(Init)                                                                                         \
  X(InitSubSystem) X(QuitSubSystem) X(WasInit) X(Quit) X(CreateWindow) X(CreateRenderer)          \
      X(DestroyRenderer) X(DestroyWindow) X(SetRenderDrawColor) X(RenderClear) X(RenderDrawPoint) \
          X(RenderDrawLine) X(RenderDrawRect) X(RenderFillRect) X(RenderPresent) X(GetWindowSize) \
              X(PollEvent) X(GetError) X(GetCurrentVideoDriver) X(SetHint) X(GetHint) X(free)     \
                  X(GetWindowPixelFormat) X(CreateTexture) X(DestroyTexture)                      \
                      X(SetTextureBlendMode) X(SetTextureScaleMode) X(UpdateTexture) X(RenderCopy)

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
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return false;
    static SdlApi api;
#define VORMEL_SDL_LOOKUP(name)                                                     \
  api.name = reinterpret_cast<decltype(&SDL_##name)>(dlsym(library, "SDL_" #name)); \
  if (api.name == nullptr) return false;
    VORMEL_SDL_FUNCTIONS(VORMEL_SDL_LOOKUP)
#undef VORMEL_SDL_LOOKUP
    g_sdl = &api;
    return true;
  }();
  return loaded;
}

const SdlApi& sdl() { return *g_sdl; }

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
    if (initialised_sdl || g_live_windows == 0) sdl().Quit();
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
    --g_live_windows;
    if (g_live_windows == 0) unchain_interrupt_handler();
    sdl_.release();
  }
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool set_draw_color(DrawColor c) override {
    if (frame_) return frame_->set_draw_color(c);
    return sdl().SetRenderDrawColor(sdl_.renderer, c.r, c.g, c.b, c.a) == 0;
  }
  bool clear() override {
    if (frame_ && follow_window_size()) return frame_->clear();
    return sdl().RenderClear(sdl_.renderer) == 0;
  }
  // Failures of single drawing calls are dropped: the error text is fetched and discarded.
  void draw_point(int32_t x, int32_t y) override {
    if (frame_) return frame_->draw_point(x, y);
    if (sdl().RenderDrawPoint(sdl_.renderer, x, y) != 0) sdl().GetError();
  }
  void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    if (frame_) return frame_->draw_line(x1, y1, x2, y2);
    if (sdl().RenderDrawLine(sdl_.renderer, x1, y1, x2, y2) != 0) sdl().GetError();
  }
  void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    if (frame_) return frame_->draw_rect(x, y, w, h);
    const SDL_Rect rect{x, y, w, h};
    if (sdl().RenderDrawRect(sdl_.renderer, &rect) != 0) sdl().GetError();
  }
  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    if (frame_) return frame_->fill_rect(x, y, w, h);
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

  // The frame goes to the renderer as one picture, copied pixel for pixel over the output.
  void present() override {
    if (frame_ && follow_window_size()) {
      if (sdl().UpdateTexture(sdl_.frame_texture, nullptr, frame_->pixels(), frame_->width() * 4) !=
              0 ||
          sdl().RenderCopy(sdl_.renderer, sdl_.frame_texture, nullptr, nullptr) != 0)
        sdl().GetError();
    }
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
      case SDL_DROPFILE:
      case SDL_DROPTEXT:
        sdl().free(sdl_event.drop.file);  // the one event payload SDL leaves to the receiver
        break;
      default: break;
    }
    return true;
  }

 private:
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
                                         SDL_WINDOWPOS_UNDEFINED, width, height, 0);
    if (acquired.window == nullptr) return fail(acquired);
    // Renderer flags 0: no vsync, so that the frame-rate limit alone paces the loop.
    acquired.renderer = sdl().CreateRenderer(acquired.window, -1, 0);
    if (acquired.renderer == nullptr) return fail(acquired);
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
