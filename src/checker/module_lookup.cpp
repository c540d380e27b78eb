#include "checker/module_lookup.hpp"

#include "interpreter/library/library_modules.hpp"
#include "interpreter/native_modules.hpp"

namespace vormel {

const NativeModule* module_table(std::string_view name, const std::function<bool()>& file_beside) {
  if (const NativeModule* native = find_native_module(name)) return native;
  const NativeModule* library = find_library_module(name);
  return library != nullptr && !file_beside() ? library : nullptr;
}

}  // namespace vormel
