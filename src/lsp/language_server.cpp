// One document store (full texts by URI), re-checked on every open and change. Hover and
// completion read the document's tree for its own functions and its module aliases; the
// navigation requests each have their own file and read the document's name index.
#include "lsp/language_server.hpp"

#include <filesystem>
#include <istream>
#include <optional>
#include <stdexcept>

#include "checker/check.hpp"
#include "checker/library_names.hpp"
#include "lexer/token.hpp"
#include "lsp/definitions.hpp"
#include "lsp/document_symbols.hpp"
#include "lsp/json_rpc.hpp"
#include "lsp/module_files.hpp"
#include "lsp/protocol_json.hpp"
#include "lsp/references.hpp"
#include "lsp/rename.hpp"
#include "lsp/signature_help.hpp"
#include "lsp/text_positions.hpp"
#include "parser/script_view.hpp"
#include "parser/syntax_walk.hpp"

namespace vormel {

using nlohmann::json;

namespace {

// JSON-RPC and protocol error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kServerNotInitialized = -32002;
constexpr int kRequestFailed = -32803;
// Protocol enumerations.
constexpr int kSeverityWarning = 2;
constexpr int kTextDocumentSyncFull = 1;
constexpr int kCompletionFunction = 3;
constexpr int kCompletionKeyword = 14;
constexpr int kCompletionModule = 9;

struct MethodNotFound : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What a document defines and imports, for hover and completion.
struct DocumentOutline {
  struct Function {
    std::string name;
    std::vector<std::string> params;
    uint32_t line;
  };
  std::vector<Function> functions;
  std::map<std::string, std::string> modules;  // the name used in calls -> the module
  std::map<std::string, std::string> items;    // a name imported by item -> its module
};

DocumentOutline outline_of(std::string_view text) {
  ScriptView view = read_script_view(text);
  DocumentOutline outline;
  for (const std::string& module : builtin_module_names()) outline.modules[module] = module;
  SyntaxVisitor visitor;
  visitor.on_statement = [&](const Stmt& stmt) {
    if (stmt.kind == StmtKind::Function) {
      const auto& f = static_cast<const FunctionStmt&>(stmt);
      size_t token = std::min(view.token_of(stmt) + 1, view.tokens.size() - 1);
      outline.functions.push_back({f.name, f.def->params, view.trace.token_starts[token].line});
    } else if (stmt.kind == StmtKind::Use) {
      const auto& use = static_cast<const UseStmt&>(stmt);
      if (!use.items) outline.modules[use.alias ? *use.alias : use.module] = use.module;
      if (use.items)
        for (const std::string& item : *use.items) outline.items[item] = use.module;
    }
  };
  walk(view.program, visitor);
  return outline;
}

// A name imported by item from a library module ("use math { sin }").
std::optional<LibraryFunctionDoc> describe_imported_item(const std::string& uri,
                                                         const DocumentOutline& outline,
                                                         const std::string& name) {
  auto item = outline.items.find(name);
  if (item == outline.items.end() || !is_library_module(item->second) ||
      !module_table_beside(uri, item->second))
    return std::nullopt;
  return describe_library_function(item->second + "." + name);
}

std::string signature_of(const DocumentOutline::Function& f) {
  std::string text = f.name + "(";
  for (size_t i = 0; i < f.params.size(); ++i) text += (i ? ", " : "") + f.params[i];
  return text + ")";
}

}  // namespace

int LanguageServer::run() {
  std::string body;
  for (;;) {
    ReadResult read = read_message(in_, body);
    if (read != ReadResult::Message) break;
    // Deeper messages are refused before parsing: copying or printing one would recurse
    // as deep as it nests.
    json message = nesting_within(body, kDeepestNesting) ? json::parse(body, nullptr, false)
                                                         : json(json::value_t::discarded);
    if (message.is_discarded()) {
      write_message(out_, {{"jsonrpc", "2.0"},
                           {"id", nullptr},
                           {"error", {{"code", kParseError}, {"message", "Parse error"}}}});
      continue;
    }
    handle(message);
    if (exit_requested_) break;
  }
  return shutdown_requested_ && exit_requested_ ? 0 : 1;
}

void LanguageServer::handle(const json& message) {
  // A request's id is a number or a string; anything else makes the message invalid.
  const bool usable_id = !message.is_object() || !message.contains("id") ||
                         message["id"].is_number() || message["id"].is_string();
  if (!message.is_object() || !message.contains("method") || !message["method"].is_string() ||
      !usable_id) {
    if (message.is_object() && message.contains("id") && !message.contains("method"))
      return;  // a response to a request of ours (the server sends none)
    write_message(out_, {{"jsonrpc", "2.0"},
                         {"id", nullptr},
                         {"error", {{"code", kInvalidRequest}, {"message", "Invalid request"}}}});
    return;
  }
  std::string method = message["method"];
  json params = message.value("params", json::object());
  if (!message.contains("id")) {
    if (!initialized_ && method != "exit") return;  // the protocol drops these
    try {
      notify(method, params);
    } catch (const json::exception&) {
      // A notification with unusable parameters has no one to answer.
    }
    return;
  }
  json reply = {{"jsonrpc", "2.0"}, {"id", message["id"]}};
  try {
    if (!initialized_ && method != "initialize") {
      reply["error"] = {{"code", kServerNotInitialized}, {"message", "Server not initialized"}};
    } else if (shutdown_requested_) {
      reply["error"] = {{"code", kInvalidRequest}, {"message", "The server is shutting down"}};
    } else {
      reply["result"] = respond(method, params);
    }
  } catch (const MethodNotFound&) {
    reply["error"] = {{"code", kMethodNotFound}, {"message", "Unknown method " + method}};
  } catch (const json::exception& e) {
    reply["error"] = {{"code", kInvalidParams}, {"message", e.what()}};
  } catch (const RequestRefused& e) {
    reply["error"] = {{"code", kRequestFailed}, {"message", e.what()}};
  }
  write_message(out_, reply);
}

json LanguageServer::respond(const std::string& method, const json& params) {
  if (method == "initialize") {
    initialized_ = true;
    return {{"capabilities",
             {{"textDocumentSync", {{"openClose", true}, {"change", kTextDocumentSyncFull}}},
              {"hoverProvider", true},
              {"completionProvider", {{"triggerCharacters", {"."}}}},
              {"definitionProvider", true},
              {"referencesProvider", true},
              {"documentSymbolProvider", true},
              {"renameProvider", {{"prepareProvider", true}}},
              {"signatureHelpProvider", {{"triggerCharacters", {"(", ","}}}}}},
            {"serverInfo", {{"name", "vormel-lsp"}}}};
  }
  if (method == "shutdown") {
    shutdown_requested_ = true;
    return nullptr;
  }
  if (method == "textDocument/hover") return hover(params);
  if (method == "textDocument/completion") return completion(params);
  if (!method.starts_with("textDocument/")) throw MethodNotFound(method);
  return navigate(method, params);
}

// The requests that read one open document; null for a document that is not open.
json LanguageServer::navigate(const std::string& method, const json& params) const {
  const bool known = method == "textDocument/definition" || method == "textDocument/references" ||
                     method == "textDocument/documentSymbol" || method == "textDocument/rename" ||
                     method == "textDocument/prepareRename" ||
                     method == "textDocument/signatureHelp";
  if (!known) throw MethodNotFound(method);
  const std::string& uri = params.at("textDocument").at("uri").get_ref<const std::string&>();
  auto doc = documents_.find(uri);
  if (doc == documents_.end()) return nullptr;
  const std::string& text = doc->second;
  if (method == "textDocument/documentSymbol") return document_symbols(text);
  size_t offset = offset_param(text, params);
  if (method == "textDocument/definition") return find_definition(uri, text, offset);
  if (method == "textDocument/references")
    return find_references(uri, text, offset,
                           params.at("context").at("includeDeclaration").get<bool>());
  if (method == "textDocument/prepareRename") return prepare_rename(text, offset);
  if (method == "textDocument/rename")
    return rename_name(uri, text, offset, params.at("newName").get<std::string>());
  return signature_help(uri, text, offset);
  throw MethodNotFound(method);
}

void LanguageServer::notify(const std::string& method, const json& params) {
  if (method == "exit") {
    exit_requested_ = true;
  } else if (method == "textDocument/didOpen") {
    const json& doc = params.at("textDocument");
    std::string uri = doc.at("uri");
    documents_[uri] = doc.at("text").get<std::string>();
    publish_diagnostics(uri);
  } else if (method == "textDocument/didChange") {
    std::string uri = params.at("textDocument").at("uri");
    change_document(uri, params.at("contentChanges"));
    publish_diagnostics(uri);
  } else if (method == "textDocument/didClose") {
    std::string uri = params.at("textDocument").at("uri");
    documents_.erase(uri);
    write_message(out_, {{"jsonrpc", "2.0"},
                         {"method", "textDocument/publishDiagnostics"},
                         {"params", {{"uri", uri}, {"diagnostics", json::array()}}}});
  }
  // Anything else ("initialized", "$/cancelRequest", ...) needs nothing.
}

// Every field is read with checks (a missing or mistyped one throws json::exception), and
// the document changes only when every change could be applied.
void LanguageServer::change_document(const std::string& uri, const json& changes) {
  std::string text = documents_[uri];
  for (size_t i = 0; i < changes.size(); ++i) {
    const json& change = changes.at(i);
    std::string replacement = change.at("text");
    if (!change.contains("range")) {
      text = std::move(replacement);
      continue;
    }
    const json& range = change.at("range");
    size_t start = to_offset(text, position_of(range.at("start")));
    size_t end = to_offset(text, position_of(range.at("end")));
    if (end < start) std::swap(start, end);
    text.replace(start, end - start, replacement);
  }
  documents_[uri] = std::move(text);
}

void LanguageServer::publish_diagnostics(const std::string& uri) {
  const std::string& text = documents_[uri];
  CheckOptions options;
  if (!path_of_uri(uri).empty()) {
    options.read_module = [uri](const std::string& module) {
      return read_module_beside(uri, module);
    };
    options.module_file_exists = [uri](const std::string& module) {
      return module_file_beside(uri, module);
    };
    // A module's functions may call each other by the module's name ("shapes.square").
    options.module_name = std::filesystem::path(path_of_uri(uri)).stem().string();
  }
  LineIndex lines(text);
  json diagnostics = json::array();
  for (const Warning& warning : check_source(text, options)) {
    LspPosition start = to_lsp_position(lines, warning.at);
    LspPosition end = to_lsp_position(lines, warning.end);
    diagnostics.push_back({{"range",
                            {{"start", {{"line", start.line}, {"character", start.character}}},
                             {"end", {{"line", end.line}, {"character", end.character}}}}},
                           {"severity", kSeverityWarning},
                           {"source", "vormel-check"},
                           {"message", warning.message}});
  }
  write_message(out_, {{"jsonrpc", "2.0"},
                       {"method", "textDocument/publishDiagnostics"},
                       {"params", {{"uri", uri}, {"diagnostics", diagnostics}}}});
}

json LanguageServer::hover(const json& params) const {
  std::string uri = params.at("textDocument").at("uri");
  auto doc = documents_.find(uri);
  if (doc == documents_.end()) return nullptr;
  const std::string& text = doc->second;
  NameSpan span = name_at(text, offset_param(text, params));
  if (span.empty()) return nullptr;
  std::string name = text.substr(span.start, span.end - span.start);
  DocumentOutline outline = outline_of(text);

  std::string signature;
  std::string summary;
  bool member = span.start > 0 && text[span.start - 1] == '.';
  if (member) {
    NameSpan owner = name_at(text, span.start - 1);
    std::string prefix = text.substr(owner.start, span.start - 1 - owner.start);
    auto module = outline.modules.find(prefix);
    if (module == outline.modules.end()) return nullptr;
    if (module_table_beside(uri, module->second)) {
      if (auto entry = describe_library_function(module->second + "." + name)) {
        signature = entry->signature;
        summary = entry->summary;
      }
    } else if (auto module_text = read_module_beside(uri, module->second)) {
      for (const auto& f : outline_of(*module_text).functions) {
        if (f.name != name) continue;
        signature = module->first + "." + signature_of(f);
        summary = "Defined in " + module->second + ".vl on line " + std::to_string(f.line) + ".";
        break;
      }
    }
    if (signature.empty()) return nullptr;
  } else if (auto entry = describe_library_function(name)) {
    signature = entry->signature;
    summary = std::string(entry->summary) + " (built-in)";
  } else if (auto entry = describe_imported_item(uri, outline, name)) {
    signature = entry->signature;
    summary = entry->summary;
  } else {
    for (const auto& f : outline.functions) {
      if (f.name != name) continue;
      signature = signature_of(f);
      summary = "Defined on line " + std::to_string(f.line) + ".";
      break;
    }
    if (signature.empty()) return nullptr;
  }
  return {{"contents",
           {{"kind", "markdown"}, {"value", "```vormel\n" + signature + "\n```\n" + summary}}},
          {"range", range_json(text, span.start, span.end)}};
}

json LanguageServer::completion(const json& params) const {
  json items = json::array();
  std::string uri = params.at("textDocument").at("uri");
  auto doc = documents_.find(uri);
  if (doc == documents_.end()) return {{"isIncomplete", false}, {"items", items}};
  const std::string& text = doc->second;
  size_t offset = offset_param(text, params);
  size_t start = name_at(text, offset).start;
  DocumentOutline outline = outline_of(text);
  auto add = [&items](const std::string& label, int kind, std::string_view detail,
                      std::string_view documentation) {
    json item = {{"label", label}, {"kind", kind}};
    if (!detail.empty()) item["detail"] = detail;
    if (!documentation.empty()) item["documentation"] = documentation;
    items.push_back(std::move(item));
  };

  if (start > 0 && text[start - 1] == '.') {
    NameSpan owner = name_at(text, start - 1);
    std::string prefix = text.substr(owner.start, start - 1 - owner.start);
    auto module = outline.modules.find(prefix);
    if (module != outline.modules.end() && module_table_beside(uri, module->second)) {
      for (const std::string& function : module_function_names(module->second)) {
        auto entry = describe_library_function(module->second + "." + function);
        add(function, kCompletionFunction, entry ? entry->signature : "",
            entry ? entry->summary : "");
      }
    } else if (module != outline.modules.end()) {
      if (auto module_text = read_module_beside(uri, module->second))
        for (const auto& f : outline_of(*module_text).functions)
          add(f.name, kCompletionFunction, signature_of(f), "");
    }
    return {{"isIncomplete", false}, {"items", items}};
  }
  for (std::string_view keyword : keywords()) add(std::string(keyword), kCompletionKeyword, "", "");
  for (const std::string& name : builtin_function_names()) {
    auto entry = describe_library_function(name);
    add(name, kCompletionFunction, entry ? entry->signature : "", entry ? entry->summary : "");
  }
  for (const auto& f : outline.functions) add(f.name, kCompletionFunction, signature_of(f), "");
  for (const auto& [name, module] : outline.modules)
    add(name, kCompletionModule, "module " + module, "");
  return {{"isIncomplete", false}, {"items", items}};
}

}  // namespace vormel
