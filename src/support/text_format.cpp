// Placeholder until the text forms land.
#include "support/text_format.hpp"
namespace vormel {
bool is_valid_utf8(std::string_view) { return true; }
}  // namespace vormel
