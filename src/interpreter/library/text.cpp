// The "text" library module: its function table.
#include <span>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

constexpr NativeModule kTextModule = {"text", std::span<const NativeFunction>(),
                                      messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& text_module() { return kTextModule; }

}  // namespace vormel
