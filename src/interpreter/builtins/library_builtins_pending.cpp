// Placeholder bodies: every handler yields Null until its implementation lands (the
// collection/string/math/random work replaces this file).
#include "interpreter/builtins/library_builtins.hpp"

namespace vormel {

#define VORMEL_PENDING(name) \
  Value builtin_##name(std::span<Value>) { return Value::null(); }
VORMEL_PENDING(push)
VORMEL_PENDING(pop)
VORMEL_PENDING(reverse)
VORMEL_PENDING(contains)
VORMEL_PENDING(split)
VORMEL_PENDING(slice)
VORMEL_PENDING(concat)
VORMEL_PENDING(upper)
VORMEL_PENDING(lower)
VORMEL_PENDING(abs)
VORMEL_PENDING(sqrt)
VORMEL_PENDING(pow)
VORMEL_PENDING(floor)
VORMEL_PENDING(ceil)
VORMEL_PENDING(round)
VORMEL_PENDING(min)
VORMEL_PENDING(max)
VORMEL_PENDING(random)
VORMEL_PENDING(random_range)
#undef VORMEL_PENDING

}  // namespace vormel
