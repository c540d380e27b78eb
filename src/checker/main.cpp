// vormel-check FILE...: prints "file:line:column: warning: message" for each warning.
// Exit status: 0 when every file is clean, 1 when there were warnings, 2 when a file could
// not be read (or no file was named).
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "checker/check.hpp"
#include "checker/library_names.hpp"
#include "support/large_stack.hpp"
#include "support/source_file.hpp"

namespace {

constexpr const char* kUsage =
    "Usage: vormel-check FILE...\n"
    "       vormel-check --list-names\n"
    "Reports what the parser would pass over in each Vormel script, and code that runs but\n"
    "surprises, as file:line:column: warning: message.\n"
    "Exit status: 0 clean, 1 warnings, 2 a file could not be read.\n"
    "--list-names prints every built-in and module function name, one a line (for editors).\n";

void list_names() {
  for (const std::string& name : vormel::builtin_function_names()) std::cout << name << "\n";
  for (const std::string& module : vormel::builtin_module_names())
    for (const std::string& name : vormel::module_function_names(module))
      std::cout << module << "." << name << "\n";
}

int check_files(const std::vector<std::string>& files) {
  bool warned = false;
  bool unreadable = false;
  for (const std::string& file : files) {
    std::string source;
    std::string failure;
    if (!vormel::read_script(file, source, failure)) {
      std::cerr << file << ": error: cannot read: " << failure << "\n";
      unreadable = true;
      continue;
    }
    vormel::CheckOptions options;
    std::filesystem::path folder = std::filesystem::path(file).parent_path();
    options.module_name = std::filesystem::path(file).stem().string();
    options.read_module = [folder](const std::string& module) -> std::optional<std::string> {
      std::string text;
      std::string reason;
      if (!vormel::read_script((folder / (module + ".vl")).string(), text, reason))
        return std::nullopt;
      return text;
    };
    options.module_file_exists = [folder](const std::string& module) {
      std::error_code ignored;
      return std::filesystem::exists(folder / (module + ".vl"), ignored);
    };
    for (const vormel::Warning& warning : vormel::check_source(source, options)) {
      std::cout << vormel::format_warning(file, warning) << "\n";
      warned = true;
    }
  }
  std::cout.flush();
  return unreadable ? 2 : warned ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  if (files.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  if (files.size() == 1 && (files[0] == "-h" || files[0] == "--help")) {
    std::cout << kUsage;
    return 0;
  }
  if (files.size() == 1 && files[0] == "--list-names") {
    list_names();
    return 0;
  }
  return vormel::run_with_large_stack([&] { return check_files(files); });
}
