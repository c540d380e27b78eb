// ICU's functions are looked up by the versioned names that its headers give them
// (u_charType is u_charType_72 for ICU 72), in the library of that same version.
#include "support/unicode_rules.hpp"

#include <unicode/ucasemap.h>
#include <unicode/uchar.h>
#include <unicode/uvernum.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "support/shared_library.hpp"

#define VORMEL_QUOTED(x) #x
// The name after the headers' renaming: VORMEL_ICU_NAME(u_charType) is "u_charType_72".
#define VORMEL_ICU_NAME(f) VORMEL_QUOTED(f)

namespace vormel::unicode {
namespace {

constexpr const char* kLibrary = "libicuuc.so." VORMEL_ICU_NAME(U_ICU_VERSION_MAJOR_NUM);

struct Icu {
  decltype(&u_hasBinaryProperty) has_binary_property = nullptr;
  decltype(&u_charType) char_type = nullptr;
  decltype(&u_isprint) is_print = nullptr;
  decltype(&ucasemap_utf8ToUpper) to_upper = nullptr;
  decltype(&ucasemap_utf8ToLower) to_lower = nullptr;
  UCaseMap* root = nullptr;  // the root locale's case rules, kept for the whole run
};

[[noreturn]] void fail(const char* reason) {
  std::fflush(stdout);
  std::fprintf(stderr, "Error: Unicode text rules need ICU (%s), which could not be loaded: %s\n",
               kLibrary, reason != nullptr ? reason : "unknown reason");
  std::fflush(stderr);
  // Other threads may be running (the web server's): end without running destructors.
  std::_Exit(1);
}

// A function the rules cannot do without: the run ends when ICU lacks it.
template <class Function>
void need(void* library, const char* name, Function& slot) {
  if (!look_up(library, name, slot)) fail(dlerror());
}

Icu load() {
  void* library = open_library(kLibrary);
  if (library == nullptr) fail(dlerror());
  Icu icu;
  need(library, VORMEL_ICU_NAME(u_hasBinaryProperty), icu.has_binary_property);
  need(library, VORMEL_ICU_NAME(u_charType), icu.char_type);
  need(library, VORMEL_ICU_NAME(u_isprint), icu.is_print);
  need(library, VORMEL_ICU_NAME(ucasemap_utf8ToUpper), icu.to_upper);
  need(library, VORMEL_ICU_NAME(ucasemap_utf8ToLower), icu.to_lower);
  decltype(&ucasemap_open) open_case_map = nullptr;
  need(library, VORMEL_ICU_NAME(ucasemap_open), open_case_map);
  UErrorCode status = U_ZERO_ERROR;
  icu.root = open_case_map("", 0, &status);
  if (U_FAILURE(status) || icu.root == nullptr) fail("its root locale's case rules are missing");
  return icu;
}

// Loaded once, by whichever thread asks first.
const Icu& icu() {
  static const Icu loaded = load();
  return loaded;
}

}  // namespace

bool is_alphanumeric(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  const Icu& rules = icu();
  auto cp = static_cast<UChar32>(c);
  if (rules.has_binary_property(cp, UCHAR_ALPHABETIC)) return true;
  int8_t category = rules.char_type(cp);
  return category == U_DECIMAL_DIGIT_NUMBER || category == U_LETTER_NUMBER ||
         category == U_OTHER_NUMBER;
}

bool is_printable(char32_t c) {
  if (c < 0x80) return c >= 0x20 && c < 0x7F;
  return icu().is_print(static_cast<UChar32>(c)) != 0;
}

bool is_white_space(char32_t c) {
  if (c < 0x80) return c == ' ' || (c >= '\t' && c <= '\r');
  return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool map_case(std::string_view text, bool upper, std::string& out) {
  if (text.size() > INT32_MAX) return false;
  const Icu& rules = icu();
  auto map = upper ? rules.to_upper : rules.to_lower;
  const auto length = static_cast<int32_t>(text.size());
  // Most texts keep their length; one that grows is mapped again into the size it needs.
  out.resize(text.size() + 16);
  for (;;) {
    UErrorCode status = U_ZERO_ERROR;
    auto capacity = static_cast<int32_t>(std::min<size_t>(out.size(), INT32_MAX));
    int32_t written = map(rules.root, out.data(), capacity, text.data(), length, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR && static_cast<size_t>(written) > out.size()) {
      out.resize(static_cast<size_t>(written));
      continue;
    }
    if (U_FAILURE(status)) return false;
    out.resize(static_cast<size_t>(written));
    return true;
  }
}

}  // namespace vormel::unicode
