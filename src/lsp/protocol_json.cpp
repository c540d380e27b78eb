#include "lsp/protocol_json.hpp"

namespace vormel {

using nlohmann::json;

namespace {

json position_json(LspPosition position) {
  return {{"line", position.line}, {"character", position.character}};
}

}  // namespace

json range_json(std::string_view text, size_t start, size_t end) {
  return {{"start", position_json(to_lsp_position(text, start))},
          {"end", position_json(to_lsp_position(text, end))}};
}

json location_json(const std::string& uri, std::string_view text, size_t start, size_t end) {
  return {{"uri", uri}, {"range", range_json(text, start, end)}};
}

LspPosition position_of(const json& position) {
  return LspPosition{position.at("line").get<size_t>(), position.at("character").get<size_t>()};
}

size_t offset_param(std::string_view text, const json& params) {
  return to_offset(text, position_of(params.at("position")));
}

}  // namespace vormel
