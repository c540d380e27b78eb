// text.format's templates: "{}" takes the next value's display text, "{{" and "}}" stand for
// a brace. Every placeholder needs a value and every value a placeholder.
#pragma once

#include <span>
#include <string_view>

#include "interpreter/value.hpp"

namespace vormel::library {

// The filled template, or an Error naming text.format.
Value fill_template(std::string_view pattern, std::span<const Value> values);

}  // namespace vormel::library
