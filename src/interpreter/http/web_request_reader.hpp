// Reading the requests of one keep-alive connection with http-parser (Debian's
// libhttp-parser): the bytes go in as they arrive, whole requests come out one at a time,
// and a request the server will not take is named by the status that refuses it.
#pragma once

#include <http_parser.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vormel::http {

inline constexpr size_t kWebHeaderBytes = 16 * 1024;
inline constexpr size_t kWebBodyBytes = 1024 * 1024;

struct WebRequest {
  std::string method;
  std::string target;                                        // as sent: the path and the query
  std::vector<std::pair<std::string, std::string>> headers;  // names lower-cased
  std::string body;                                          // chunked bodies arrive joined
  bool keep_alive = false;
  // HTTP/1.0: a connection kept open must be said so in the response.
  bool version_1_0 = false;
};

class WebRequestReader {
 public:
  WebRequestReader();
  WebRequestReader(const WebRequestReader&) = delete;
  WebRequestReader& operator=(const WebRequestReader&) = delete;

  // Takes received bytes. Returns how many were used: reading stops after a whole request
  // (the rest belongs to the next one) or at a refusal.
  size_t feed(std::string_view bytes);
  // The client closed its side: ends a request whose body runs to the end of the stream.
  void finish();

  bool has_request() const { return complete_; }
  // The whole request; reading the next one starts afresh.
  WebRequest take_request();
  // 0 while all is well; else 400, 413 or 431, and the connection answers and closes.
  int refusal() const { return refusal_; }
  // Some bytes of a request have arrived (an idle keep-alive connection has none).
  bool in_request() const { return started_ && !complete_; }

 private:
  static int on_message_begin(http_parser* parser);
  static int on_url(http_parser* parser, const char* at, size_t length);
  static int on_header_field(http_parser* parser, const char* at, size_t length);
  static int on_header_value(http_parser* parser, const char* at, size_t length);
  static int on_headers_complete(http_parser* parser);
  static int on_body(http_parser* parser, const char* at, size_t length);
  static int on_message_complete(http_parser* parser);
  static WebRequestReader& self(http_parser* parser);
  bool count_head_bytes(size_t length);

  http_parser parser_{};
  http_parser_settings settings_{};
  WebRequest request_;
  size_t head_bytes_ = 0;
  bool in_value_ = false;
  bool started_ = false;
  bool complete_ = false;
  int refusal_ = 0;
};

}  // namespace vormel::http
