#include "interpreter/native_function.hpp"

#include <string>

namespace vormel {

Value too_few_arguments(const NativeFunction& function) {
  if (function.too_few.empty()) return Value::null();
  return errors::unless_out_of_memory([&] { return Value::error(std::string(function.too_few)); });
}

}  // namespace vormel
