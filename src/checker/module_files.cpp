#include "checker/module_files.hpp"

#include "checker/library_names.hpp"
#include "checker/module_lookup.hpp"

namespace vormel {

const ModuleFile* ModuleFiles::find(const std::string& module) {
  if (!can_read() || is_builtin_module(module)) return nullptr;
  auto cached = files_.find(module);
  if (cached != files_.end()) return cached->second.get();
  std::unique_ptr<ModuleFile>& entry = files_[module];
  if (std::optional<std::string> text = options_.read_module(module)) {
    entry = std::make_unique<ModuleFile>();
    entry->text = std::move(*text);
    entry->view = read_script_view(entry->text);
    entry->bindings = collect_bindings(entry->view.program);
  }
  return entry.get();
}

const NativeModule* ModuleFiles::table(const std::string& module) {
  return module_table(module, [&] {
    if (options_.module_file_exists) return options_.module_file_exists(module);
    return find(module) != nullptr;
  });
}

}  // namespace vormel
