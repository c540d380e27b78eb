// The equality list.index_of and list.unique use: the == operator's where it is defined
// (Numbers and Floats by value, a Float within 2^-52; NaN equals nothing; Strings and
// Booleans by content), extended to the kinds == refuses: null equals null, arrays equal
// element by element, dicts with the same keys and equal values, and anything else only
// itself.
#pragma once

#include "interpreter/value.hpp"

namespace vormel::library {

bool values_equal(const Value& a, const Value& b);

}  // namespace vormel::library
