// Which module `use NAME` reaches, by the interpreter's rule: "sdl2" and "http" first, then
// the file NAME.vl (for the tools: beside the script), then a library module of that name.
// A script's own text.vl thus keeps meaning what it meant before the library had a "text".
// The checker and the language server both ask here, so they never disagree.
#pragma once

#include <functional>
#include <string_view>

#include "interpreter/native_module.hpp"

namespace vormel {

// The function table that `use name` reaches (a native module, or a library module when
// `file_beside` says no NAME.vl is there), or null for a script module file or nothing.
// `file_beside` is asked only for a library module's name.
const NativeModule* module_table(std::string_view name, const std::function<bool()>& file_beside);

}  // namespace vormel
