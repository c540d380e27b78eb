#include "interpreter/http/web_request_reader.hpp"

#include <climits>

namespace vormel::http {
namespace {

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

WebRequestReader::WebRequestReader() {
  http_parser_init(&parser_, HTTP_REQUEST);
  parser_.data = this;
  settings_.on_message_begin = on_message_begin;
  settings_.on_url = on_url;
  settings_.on_header_field = on_header_field;
  settings_.on_header_value = on_header_value;
  settings_.on_headers_complete = on_headers_complete;
  settings_.on_body = on_body;
  settings_.on_message_complete = on_message_complete;
}

WebRequestReader& WebRequestReader::self(http_parser* parser) {
  return *static_cast<WebRequestReader*>(parser->data);
}

// The request line and the headers together; past the limit the request is refused (431).
bool WebRequestReader::count_head_bytes(size_t length) {
  head_bytes_ += length;
  if (head_bytes_ <= kWebHeaderBytes) return true;
  refusal_ = 431;
  return false;
}

int WebRequestReader::on_message_begin(http_parser* parser) {
  WebRequestReader& reader = self(parser);
  reader.request_ = WebRequest{};
  reader.head_bytes_ = 0;
  reader.in_value_ = false;
  reader.started_ = true;
  return 0;
}

int WebRequestReader::on_url(http_parser* parser, const char* at, size_t length) {
  WebRequestReader& reader = self(parser);
  if (!reader.count_head_bytes(length)) return 1;
  reader.request_.target.append(at, length);
  return 0;
}

int WebRequestReader::on_header_field(http_parser* parser, const char* at, size_t length) {
  WebRequestReader& reader = self(parser);
  if (!reader.count_head_bytes(length)) return 1;
  // A name may arrive in pieces; a new one starts after a value.
  if (reader.in_value_ || reader.request_.headers.empty()) reader.request_.headers.emplace_back();
  reader.in_value_ = false;
  std::string& name = reader.request_.headers.back().first;
  for (size_t i = 0; i < length; ++i) name.push_back(ascii_lower(at[i]));
  return 0;
}

int WebRequestReader::on_header_value(http_parser* parser, const char* at, size_t length) {
  WebRequestReader& reader = self(parser);
  if (!reader.count_head_bytes(length)) return 1;
  reader.in_value_ = true;
  if (reader.request_.headers.empty()) reader.request_.headers.emplace_back();
  reader.request_.headers.back().second.append(at, length);
  return 0;
}

int WebRequestReader::on_headers_complete(http_parser* parser) {
  WebRequestReader& reader = self(parser);
  // A declared length over the limit is refused before any of the body is read.
  if ((parser->flags & F_CONTENTLENGTH) != 0 && parser->content_length != ULLONG_MAX &&
      parser->content_length > kWebBodyBytes) {
    reader.refusal_ = 413;
    return -1;
  }
  reader.request_.method = http_method_str(static_cast<http_method>(parser->method));
  return 0;
}

int WebRequestReader::on_body(http_parser* parser, const char* at, size_t length) {
  WebRequestReader& reader = self(parser);
  if (reader.request_.body.size() + length > kWebBodyBytes) {
    reader.refusal_ = 413;
    return 1;
  }
  reader.request_.body.append(at, length);
  return 0;
}

int WebRequestReader::on_message_complete(http_parser* parser) {
  WebRequestReader& reader = self(parser);
  reader.request_.keep_alive = http_should_keep_alive(parser) != 0;
  reader.request_.version_1_0 = parser->http_major == 1 && parser->http_minor == 0;
  reader.complete_ = true;
  // Stops the parser here: the bytes after this request wait until it has been answered.
  http_parser_pause(parser, 1);
  return 0;
}

size_t WebRequestReader::feed(std::string_view bytes) {
  if (complete_ || refusal_ != 0 || bytes.empty()) return 0;
  size_t used = http_parser_execute(&parser_, &settings_, bytes.data(), bytes.size());
  http_errno error = HTTP_PARSER_ERRNO(&parser_);
  if (error == HPE_PAUSED) return used;
  if (error == HPE_HEADER_OVERFLOW && refusal_ == 0) refusal_ = 431;
  if (error != HPE_OK && refusal_ == 0) refusal_ = 400;
  return used;
}

void WebRequestReader::finish() {
  if (complete_ || refusal_ != 0) return;
  http_parser_execute(&parser_, &settings_, nullptr, 0);
  if (!complete_ && started_ && refusal_ == 0) refusal_ = 400;
}

WebRequest WebRequestReader::take_request() {
  complete_ = false;
  started_ = false;
  http_parser_pause(&parser_, 0);
  return std::move(request_);
}

}  // namespace vormel::http
