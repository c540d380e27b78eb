// Reads a template file whole, as UTF-8 text; nothing in it is substituted.
#pragma once

#include <string>

namespace vormel::http {

struct TemplateText {
  bool ok = false;
  std::string text;  // the contents, or the failure's cause
};

TemplateText read_template(const std::string& path);

}  // namespace vormel::http
