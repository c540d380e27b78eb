#include "interpreter/node_cache.hpp"

namespace vormel {

void NodeCacheDeleter::operator()(NodeCache* cache) const noexcept { delete cache; }

}  // namespace vormel
