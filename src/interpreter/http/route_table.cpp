#include "interpreter/http/route_table.hpp"

#include <mutex>
#include <utility>
#include <vector>

namespace vormel::http {
namespace {

struct RouteTable {
  std::mutex lock;
  std::vector<std::pair<std::string, PageContent>> pages;
};

// Created on first use and kept for the whole process (pages outlive any one interpreter).
RouteTable& route_table() {
  static RouteTable table;
  return table;
}

}  // namespace

void add_page(std::string path, std::string content) {
  RouteTable& table = route_table();
  std::lock_guard guard(table.lock);
  table.pages.emplace_back(std::move(path),
                           std::make_shared<const std::string>(std::move(content)));
}

PageContent find_page(std::string_view path) {
  RouteTable& table = route_table();
  std::lock_guard guard(table.lock);
  for (const auto& [page_path, content] : table.pages)
    if (page_path == path) return content;
  return nullptr;
}

}  // namespace vormel::http
