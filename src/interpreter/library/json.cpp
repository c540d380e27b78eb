// The "json" library module: its function table.
#include <span>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

constexpr NativeModule kJsonModule = {"json", std::span<const NativeFunction>(),
                                      messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& json_module() { return kJsonModule; }

}  // namespace vormel
