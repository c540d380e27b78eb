// The script modules a checked script imports, each read and parsed once.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "checker/check.hpp"
#include "checker/script_bindings.hpp"
#include "interpreter/native_module.hpp"
#include "parser/script_view.hpp"

namespace vormel {

struct ModuleFile {
  std::string text;  // the view reads it in place
  ScriptView view;
  ScriptBindings bindings;
};

class ModuleFiles {
 public:
  explicit ModuleFiles(const CheckOptions& options) : options_(options) {}
  // Whether files can be looked at; without a reader, script modules are taken on trust.
  bool can_read() const { return static_cast<bool>(options_.read_module); }
  // The file of script module `module`, or nullptr when it cannot be read (or there is no
  // reader, or the module is built in).
  const ModuleFile* find(const std::string& module);
  // The function table that `use module` reaches ("sdl2", "http", or a library module that
  // no file of its name hides), or null for a script module.
  const NativeModule* table(const std::string& module);

 private:
  const CheckOptions& options_;
  std::map<std::string, std::unique_ptr<ModuleFile>> files_;  // null: unreadable
};

}  // namespace vormel
