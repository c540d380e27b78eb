// The "time" library module: its function table. Times are seconds since 1970-01-01 00:00
// UTC, as Floats; date and iso read them in the local time zone (TZ).
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <span>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"
#include "interpreter/step_budget.hpp"

namespace vormel {
namespace {

// 0001-01-01 and 9999-12-31 23:59:59 UTC, a day wider on each side for the time zones; the
// year of the local time is checked again after the conversion.
constexpr double kEarliestTime = -62135596800.0 - 86400.0;
constexpr double kLatestTime = 253402300799.0 + 86400.0;
// Longer sleeps are cut to this (31 years), so that the deadline fits the clock's range.
constexpr double kLongestSleep = 1e9;

double seconds_of(std::chrono::nanoseconds since) {
  const auto ns = since.count();
  return static_cast<double>(ns / 1'000'000'000) + static_cast<double>(ns % 1'000'000'000) / 1e9;
}

double now_seconds() {
  return seconds_of(std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::system_clock::now().time_since_epoch()));
}

Value time_now(std::span<Value>, const NativeCallContext&) {
  return Value::floating(now_seconds());
}

Value time_clock(std::span<Value>, const NativeCallContext&) {
  return Value::floating(seconds_of(std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::steady_clock::now().time_since_epoch())));
}

// Waits in poll_or_interrupt, so that Ctrl-C in the REPL stops the statement; other signals
// only wake the wait, which then goes on to the deadline.
Value time_sleep(std::span<Value> args, const NativeCallContext&) {
  double seconds;
  if (!read_real(args[0], seconds)) return library::expected("time.sleep", "a number", args[0]);
  if (!std::isfinite(seconds) || seconds < 0)
    return library::error(messages::kTimeSleepDuration, {display_text(args[0])});
#ifdef VORMEL_STEP_BUDGET
  // Fuzzing builds do not wait: a sleep costs a step per millisecond of the budget instead.
  spend_steps(1 + static_cast<uint64_t>(std::min(seconds, kLongestSleep) * 1000));
  return Value::null();
#endif
  using Clock = std::chrono::steady_clock;
  const auto length = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(std::min(seconds, kLongestSleep)));
  const auto deadline = Clock::now() + length;
  for (;;) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) break;
    // Rounded up, so that the wait never ends before the deadline; at most a day at a time.
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    poll_or_interrupt(nullptr, 0, static_cast<int>(std::min<int64_t>(milliseconds, 86'400'000)));
  }
  return Value::null();
}

// The local calendar time of the argument (now without one), or an Error naming `function`.
bool local_time(std::string_view function, std::span<Value> args, std::tm& out, Value& error) {
  double seconds = now_seconds();
  if (!args.empty() && !read_real(args[0], seconds)) {
    error = library::expected(function, "a number", args[0]);
    return false;
  }
  const bool in_range = seconds >= kEarliestTime && seconds <= kLatestTime;  // false for NaN
  const std::time_t whole = in_range ? static_cast<std::time_t>(std::floor(seconds)) : 0;
  if (!in_range || localtime_r(&whole, &out) == nullptr || out.tm_year + 1900 < 1 ||
      out.tm_year + 1900 > 9999) {
    error = library::error(messages::kTimeOutOfRange,
                           {function, args.empty() ? "now" : display_text(args[0])});
    return false;
  }
  return true;
}

// weekday is 1 for Monday to 7 for Sunday, as ISO 8601 counts.
Value time_date(std::span<Value> args, const NativeCallContext&) {
  std::tm parts;
  Value error;
  if (!local_time("time.date", args, parts, error)) return error;
  Dict date;
  date.insert_or_assign("year", Value::number(parts.tm_year + 1900));
  date.insert_or_assign("month", Value::number(parts.tm_mon + 1));
  date.insert_or_assign("day", Value::number(parts.tm_mday));
  date.insert_or_assign("hour", Value::number(parts.tm_hour));
  date.insert_or_assign("minute", Value::number(parts.tm_min));
  date.insert_or_assign("second", Value::number(parts.tm_sec));
  date.insert_or_assign("weekday", Value::number(parts.tm_wday == 0 ? 7 : parts.tm_wday));
  return Value::dict(std::move(date));
}

// "2024-06-15T12:00:00+02:00": local time, whole seconds, and always the offset from UTC.
Value time_iso(std::span<Value> args, const NativeCallContext&) {
  std::tm parts;
  Value error;
  if (!local_time("time.iso", args, parts, error)) return error;
  // Real offsets are within a day; the clamp keeps the text's width known.
  const int offset_minutes = static_cast<int>(std::clamp(parts.tm_gmtoff / 60, -1439L, 1439L));
  const int offset = offset_minutes < 0 ? -offset_minutes : offset_minutes;
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                offset_minutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return Value::string(text);
}

constexpr std::array<NativeFunction, 5> kTimeFunctions = {{
    {"now", 0, "", "now()", "Seconds since 1970-01-01 UTC, as a Float.", time_now},
    {"clock", 0, "", "clock()", "Seconds on a clock that never goes back, for measuring.",
     time_clock},
    {"sleep", 1, "", "sleep(seconds)", "Waits the given number of seconds.", time_sleep},
    {"date", 0, "", "date([t])", "The local date and time of t (or now) as a dict.", time_date},
    {"iso", 0, "", "iso([t])", "The local time of t (or now) as ISO 8601 text with its offset.",
     time_iso},
}};

constexpr NativeModule kTimeModule = {"time", kTimeFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& time_module() { return kTimeModule; }

}  // namespace vormel
