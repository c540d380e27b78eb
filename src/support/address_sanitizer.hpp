// Whether this build runs under the address sanitizer: memory caches step aside there, so
// that every freed block reaches the sanitizer and a use after free is still caught.
#pragma once

namespace vormel {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

}  // namespace vormel
