#include "lsp/module_files.hpp"

#include <filesystem>

#include "checker/module_lookup.hpp"
#include "support/source_file.hpp"

namespace vormel {
namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Module names are ASCII names that may continue with other letters; those bytes are
// escaped.
std::string escaped_for_uri(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '_' || c == '-' || c == '.';
    if (plain) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

}  // namespace

std::string path_of_uri(const std::string& uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.compare(0, kScheme.size(), kScheme) != 0) return "";
  std::string path;
  for (size_t i = kScheme.size(); i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && hex_digit(uri[i + 1]) >= 0 &&
        hex_digit(uri[i + 2]) >= 0) {
      path += static_cast<char>(hex_digit(uri[i + 1]) * 16 + hex_digit(uri[i + 2]));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  return path;
}

std::string module_uri(const std::string& uri, const std::string& name) {
  if (path_of_uri(uri).empty()) return "";
  return uri.substr(0, uri.rfind('/') + 1) + escaped_for_uri(name) + ".vl";
}

std::optional<std::string> read_module_beside(const std::string& uri, const std::string& name) {
  std::string path = path_of_uri(uri);
  if (path.empty()) return std::nullopt;
  std::filesystem::path file = std::filesystem::path(path).parent_path() / (name + ".vl");
  std::string source;
  std::string failure;
  if (!read_script(file.string(), source, failure)) return std::nullopt;
  return source;
}

bool module_file_beside(const std::string& uri, const std::string& name) {
  std::string path = path_of_uri(uri);
  if (path.empty()) return false;
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::path(path).parent_path() / (name + ".vl"),
                                 ignored);
}

const NativeModule* module_table_beside(const std::string& uri, const std::string& name) {
  return module_table(name, [&] { return module_file_beside(uri, name); });
}

}  // namespace vormel
