// The "system" library module: its function table.
#include <span>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

constexpr NativeModule kSystemModule = {"system", std::span<const NativeFunction>(),
                                        messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& system_module() { return kSystemModule; }

}  // namespace vormel
