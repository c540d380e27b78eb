// A long dict key's shared text.
#include "interpreter/dict_key.hpp"

#include <new>

namespace vormel {

uint64_t DictKey::copy_long_text(std::string_view text) {
  // A length past the mark's 56 bits could not be allocated anyway.
  if (text.size() >> 56 != 0) throw std::bad_alloc();
  auto* block = static_cast<LongText*>(::operator new(sizeof(LongText) + text.size()));
  block->refs = 1;
  std::memcpy(block + 1, text.data(), text.size());
  return reinterpret_cast<uintptr_t>(block);
}

}  // namespace vormel
