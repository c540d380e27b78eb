// The "http" module: its function table.
#pragma once

#include "interpreter/native_module.hpp"

namespace vormel {

const NativeModule& http_module();

}  // namespace vormel
