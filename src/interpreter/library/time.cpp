// The "time" library module: its function table.
#include <span>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

constexpr NativeModule kTimeModule = {"time", std::span<const NativeFunction>(),
                                      messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& time_module() { return kTimeModule; }

}  // namespace vormel
