// `use`: loading modules (the two built-in tables, a script file run in a fresh interpreter
// whose globals become the exports, or else a library module's table) and binding them.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "interpreter/diagnostics.hpp"
#include "interpreter/error_trace.hpp"
#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/native_modules.hpp"
#include "lexer/lexer.hpp"
#include "parser/placed_parse.hpp"
#include "support/source_file.hpp"

namespace vormel {

const ExportTable* Interpreter::find_module(std::string_view name) const {
  auto it = modules_.find(name);
  return it == modules_.end() ? nullptr : &it->second;
}

std::optional<ExportTable> Interpreter::load_module(const std::string& name) {
  if (auto cached = module_cache_.find(name); cached != module_cache_.end()) return cached->second;
  // Native modules get a fresh table at every import and are not cached.
  if (const NativeModule* native = find_native_module(name)) return native_exports(*native);

  // A module file that (directly or not) imports itself would load forever: refuse the
  // inner import instead. The set is process-wide because each load has its own interpreter.
  static std::vector<std::string> loading;
  if (std::find(loading.begin(), loading.end(), name) != loading.end()) {
    log_error(messages::kModuleImportsItself, {name, name});
    return std::nullopt;
  }
  std::string source;
  std::string failure;
  if (!read_script(name + ".vl", source, failure)) {
    // A library module answers only where no file of that name exists: a script's own
    // text.vl keeps winning, and an unreadable one still fails as before.
    std::error_code ignored;
    if (const NativeModule* library = find_library_module(name);
        library != nullptr && !std::filesystem::exists(name + ".vl", ignored))
      return native_exports(*library);
    log_error(messages::kModuleNotFound, {name, name});
    return std::nullopt;
  }
  loading.push_back(name);
  // Taken off however the load ends: Ctrl-C in the REPL unwinds through it.
  struct LoadingEntry {
    std::vector<std::string>& list;
    ~LoadingEntry() { list.pop_back(); }
  } entry{loading};
  StmtList program = parse_placed(source, name + ".vl");
  if (debug_enabled())
    log_debug(format_message(messages::kTraceParsed, {std::to_string(program.size())}));

  ExportTable exports;
  {
    Interpreter module;
    for (const StmtPtr& stmt : program) module.execute(*stmt);
    for (auto& [global, value] : module.globals_in_order()) {
      if (debug_enabled())
        log_debug(format_message(messages::kTraceExporting,
                                 {global, value.is(ValueKind::Function) ? "Function" : "Other"}));
      exports.insert_or_assign(global, std::move(value));
    }
  }
  if (debug_enabled())
    log_debug(
        format_message(messages::kTraceModuleExports, {name, std::to_string(exports.size())}));
  module_cache_.insert_or_assign(name, exports);
  return exports;
}

Flow Interpreter::execute_use(const UseStmt& use) {
  ErrorPlace place(&use.place);
  std::optional<ExportTable> exports = load_module(use.module);
  if (!exports) {
    log_error(messages::kImportFailed, {use.module});
    return pending_;
  }
  if (use.items) {
    for (const std::string& item : *use.items) {
      if (const Value* value = exports->find(item))
        set_global(intern(item), *value);
      else
        log_error(messages::kNotExported, {use.module, item});
    }
    return pending_;
  }
  modules_.insert_or_assign(use.alias ? *use.alias : use.module, std::move(*exports));
  return pending_;
}

}  // namespace vormel
