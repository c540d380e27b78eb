#include "parser/source_names.hpp"

#include <mutex>
#include <vector>

namespace vormel {
namespace {

struct SourceNames {
  std::mutex mutex;
  std::vector<std::string> names{"?"};
};

SourceNames& source_names() {
  static SourceNames names;
  return names;
}

}  // namespace

uint8_t source_number(std::string_view name) {
  SourceNames& table = source_names();
  std::lock_guard lock(table.mutex);
  for (size_t i = 1; i < table.names.size(); ++i)
    if (table.names[i] == name) return static_cast<uint8_t>(i);
  if (table.names.size() > UINT8_MAX) return 0;
  table.names.emplace_back(name);
  return static_cast<uint8_t>(table.names.size() - 1);
}

std::string source_name(uint8_t number) {
  SourceNames& table = source_names();
  std::lock_guard lock(table.mutex);
  return number < table.names.size() ? table.names[number] : table.names[0];
}

}  // namespace vormel
