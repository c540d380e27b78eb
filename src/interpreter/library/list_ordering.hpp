// The order list.sort and list.sort_by put values in: Numbers and Floats by value (NaN after
// every other number), Strings by code point. Other kinds, or numbers beside strings, cannot
// be ordered.
#pragma once

#include <string_view>

#include "interpreter/value.hpp"

namespace vormel::library {

// Null when every key can be ordered with every other; else the Error `function` answers.
Value check_orderable(std::string_view function, const ValueList& keys);
// Whether `a` goes before `b`; both passed check_orderable together.
bool orders_before(const Value& a, const Value& b);

}  // namespace vormel::library
