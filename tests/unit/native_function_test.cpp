// The one dispatcher of every native function: the argument-count check from the table
// entry, handlers that rely on it, and the graphics context, which only the functions that
// draw ask for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "interpreter/builtins/builtins.hpp"
#include "interpreter/graphics/graphics_testing.hpp"
#include "interpreter/http/network_switch.hpp"
#include "interpreter/native_modules.hpp"
#include "recording_window.hpp"

namespace vormel {
namespace {

Value count_runs(std::span<Value> args, const NativeCallContext&) {
  return Value::number(static_cast<int64_t>(args.size()));
}

TEST(NativeFunctionTest, TooFewArgumentsGetTheEntrysAnswerWithoutRunningIt) {
  const NativeFunction module_function{"f",       2,    "f requires 2 arguments",
                                       "f(a, b)", "F.", count_runs};
  const NativeFunction builtin{"g", 2, "", "g(a, b)", "G.", count_runs};
  GraphicsContextPtr graphics = make_graphics_context(
      std::make_unique<testing::RecordingWindowSystem>(std::make_shared<testing::WindowScript>()));
  NativeCallContext context(*graphics);
  std::vector<Value> one = {Value::number(1)};
  std::vector<Value> two = {Value::number(1), Value::number(2)};
  Value refused = call_native(module_function, one, context);
  ASSERT_TRUE(refused.is_error());
  EXPECT_EQ(refused.error_message(), "f requires 2 arguments");
  EXPECT_TRUE(call_native(builtin, one, context).is_null());
  EXPECT_EQ(call_native(module_function, two, context).as_number(), 2);
  EXPECT_EQ(call_native(builtin, two, context).as_number(), 2);
}

// Counts the requests for the graphics context.
struct GraphicsRequests {
  GraphicsContextPtr graphics = make_graphics_context(
      std::make_unique<testing::RecordingWindowSystem>(std::make_shared<testing::WindowScript>()));
  int count = 0;

  static GraphicsContext& answer(void* owner) {
    auto& requests = *static_cast<GraphicsRequests*>(owner);
    ++requests.count;
    return *requests.graphics;
  }
};

TEST(NativeFunctionTest, OnlyDrawingFunctionsAskForTheGraphicsContext) {
  GraphicsRequests requests;
  NativeCallContext context(&requests, &GraphicsRequests::answer);
  auto call = [&](std::string_view name, std::vector<Value> args) {
    if (name.find('.') == std::string_view::npos) return dispatch_builtin(name, args, context);
    return dispatch_any_native(name, args, context);
  };
  call("http.json", {Value::number(1)});
  call("http.status", {Value::number(404)});
  call("http.template", {Value::string("no such template file")});
  call("http.get", {});
  call("len", {Value::string("abc")});
  call("push", {Value::array({}), Value::number(1)});
  call("rect", {Value::number(0), Value::number(0), Value::number(1), Value::number(1)});
  EXPECT_EQ(requests.count, 0);
  call("sdl2.is_window_open", {});
  call("window_width", {});
  EXPECT_EQ(requests.count, 2);
}

// Handlers read their arguments unchecked up to the entry's minimum: given exactly that many
// (Nulls, texts, then small numbers, so that kind checks fail early and late) none reads
// past them, which the sanitizer builds catch. In a child process, since the network switch
// cannot be turned back on. Numbers come last: the frame-rate limit they set is never
// waited for.
TEST(NativeFunctionDeathTest, EveryHandlerRunsOnItsMinimumArgumentCount) {
  EXPECT_EXIT(
      {
        http::forbid_network();
        GraphicsRequests requests;
        NativeCallContext context(&requests, &GraphicsRequests::answer);
        for (const Value& fill : {Value::null(), Value::string("1"), Value::number(3)}) {
          auto run = [&](const NativeFunction& function) {
            std::vector<Value> args(function.min_args, fill);
            call_native(function, args, context);
          };
          for (const NativeFunction& function : builtin_functions())
            if (function.name != "input") run(function);  // the one that reads standard input
          for (const NativeModule* module : native_modules())
            for (const NativeFunction& function : module->functions) run(function);
        }
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vormel
