// A window that records every renderer call as a line of text ("point 10 -3"), serves
// scripted input events, and can be told to fail; with a window system that hands it out.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "interpreter/graphics/window_system.hpp"

namespace vormel::testing {

struct WindowScript {
  std::vector<std::string> calls;
  std::deque<InputEvent> events;
  WindowSize size{320, 240};
  bool fail_color = false;
  bool fail_clear = false;
  std::string error = "renderer lost";
  // What the window system was asked for.
  std::vector<std::string> opened;
  bool refuse_to_open = false;
  bool window_alive = false;
};

inline std::string call_text(const char* name, std::initializer_list<long long> numbers) {
  std::string text = name;
  for (long long n : numbers) text += " " + std::to_string(n);
  return text;
}

class RecordingWindow final : public Window {
 public:
  explicit RecordingWindow(std::shared_ptr<WindowScript> script) : script_(std::move(script)) {
    script_->window_alive = true;
  }
  ~RecordingWindow() override { script_->window_alive = false; }

  bool set_draw_color(DrawColor c) override {
    script_->calls.push_back(call_text("color", {c.r, c.g, c.b, c.a}));
    return !script_->fail_color;
  }
  bool clear() override {
    script_->calls.push_back("clear");
    return !script_->fail_clear;
  }
  void draw_point(int32_t x, int32_t y) override {
    script_->calls.push_back(call_text("point", {x, y}));
  }
  void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    script_->calls.push_back(call_text("line", {x1, y1, x2, y2}));
  }
  void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    script_->calls.push_back(call_text("rect", {x, y, w, h}));
  }
  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    script_->calls.push_back(call_text("fill", {x, y, w, h}));
  }
  std::string error_text() override { return script_->error; }
  void present() override { script_->calls.push_back("present"); }
  WindowSize size() override { return script_->size; }
  bool poll_event(InputEvent& event) override {
    if (script_->events.empty()) return false;
    event = script_->events.front();
    script_->events.pop_front();
    return true;
  }

 private:
  std::shared_ptr<WindowScript> script_;
};

class RecordingWindowSystem final : public WindowSystem {
 public:
  explicit RecordingWindowSystem(std::shared_ptr<WindowScript> script)
      : script_(std::move(script)) {}
  std::unique_ptr<Window> open_window(std::string_view title, int width, int height) override {
    script_->opened.push_back(std::string(title) + " " + std::to_string(width) + "x" +
                              std::to_string(height));
    if (script_->refuse_to_open) return nullptr;
    return std::make_unique<RecordingWindow>(script_);
  }

 private:
  std::shared_ptr<WindowScript> script_;
};

// Records renderer calls only (for the drawing algorithms on their own); throws Full once
// `limit` calls have been made, to stop very long walks early.
class RecordingRenderer final : public Renderer {
 public:
  struct Full {};
  explicit RecordingRenderer(size_t limit = 1000000) : limit_(limit) {}
  std::vector<std::string> calls;
  std::optional<PixelArea> area;  // reported as the visible area when set

  bool set_draw_color(DrawColor c) override {
    add(call_text("color", {c.r, c.g, c.b, c.a}));
    return true;
  }
  bool clear() override {
    add("clear");
    return true;
  }
  void draw_point(int32_t x, int32_t y) override { add(call_text("point", {x, y})); }
  void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    add(call_text("line", {x1, y1, x2, y2}));
  }
  void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    add(call_text("rect", {x, y, w, h}));
  }
  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    add(call_text("fill", {x, y, w, h}));
  }
  std::string error_text() override { return {}; }
  std::optional<PixelArea> visible_area() override { return area; }

 private:
  void add(std::string call) {
    calls.push_back(std::move(call));
    if (calls.size() >= limit_) throw Full{};
  }
  size_t limit_;
};

}  // namespace vormel::testing
