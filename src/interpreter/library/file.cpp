// The "file" library module: its function table.
#include <span>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

constexpr NativeModule kFileModule = {"file", std::span<const NativeFunction>(),
                                      messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& file_module() { return kFileModule; }

}  // namespace vormel
