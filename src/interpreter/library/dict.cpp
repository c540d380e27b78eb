// The "dict" library module: its function table.
#include <span>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

constexpr NativeModule kDictModule = {"dict", std::span<const NativeFunction>(),
                                      messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& dict_module() { return kDictModule; }

}  // namespace vormel
