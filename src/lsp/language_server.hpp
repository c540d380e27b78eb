// vormel-lsp: the checker's warnings as diagnostics, hover on built-ins and module
// functions, completion, and navigation (definitions, references, document symbols, rename,
// signature help), over the Language Server Protocol.
#pragma once

#include <iosfwd>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "lsp/module_files.hpp"

namespace vormel {

class LanguageServer {
 public:
  LanguageServer(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  // Serves until "exit" or the end of input; the process's exit status (0 after a shutdown
  // request, 1 otherwise, as the protocol asks).
  int run();

 private:
  void handle(const nlohmann::json& message);
  nlohmann::json respond(const std::string& method, const nlohmann::json& params);
  void notify(const std::string& method, const nlohmann::json& params);
  void publish_diagnostics(const std::string& uri);
  void change_document(const std::string& uri, const nlohmann::json& changes);
  nlohmann::json hover(const nlohmann::json& params) const;
  nlohmann::json completion(const nlohmann::json& params) const;
  nlohmann::json navigate(const std::string& method, const nlohmann::json& params) const;

  std::istream& in_;
  std::ostream& out_;
  std::map<std::string, std::string> documents_;  // by URI
  bool initialized_ = false;                      // after the "initialize" request
  bool shutdown_requested_ = false;
  bool exit_requested_ = false;
};

}  // namespace vormel
