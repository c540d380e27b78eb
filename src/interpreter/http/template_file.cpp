#include "interpreter/http/template_file.hpp"

#include "interpreter/http/owned_descriptor.hpp"
#include "interpreter/messages.hpp"
#include "support/text_format.hpp"
#include "support/whole_file.hpp"

namespace vormel::http {

TemplateText read_template(const std::string& path) {
  std::string text;
  if (int error = read_whole_file(path, text); error != 0) return {false, system_error_text(error)};
  if (!is_valid_utf8(text)) return {false, std::string(messages::kHttpNotUtf8)};
  return {true, std::move(text)};
}

}  // namespace vormel::http
