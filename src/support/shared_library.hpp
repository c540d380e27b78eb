// Libraries loaded with dlopen on first use instead of linked (SDL2 and its companions, ICU,
// libedit), so that a run which never needs one neither pays for loading it nor fails
// without it. Their functions are looked up by name into typed pointers.
#pragma once

#include <dlfcn.h>

namespace vormel {

// The library of that file name with all its functions bound now, its names kept out of
// later loads; null when it cannot be loaded (dlerror() says why).
inline void* open_library(const char* file_name) {
  return dlopen(file_name, RTLD_NOW | RTLD_LOCAL);
}

// Sets `slot` to the library's `name` as the slot's pointer type; false when the library has
// no such name (dlerror() says why).
template <class Pointer>
bool look_up(void* library, const char* name, Pointer& slot) {
  slot = reinterpret_cast<Pointer>(dlsym(library, name));
  return slot != nullptr;
}

}  // namespace vormel
