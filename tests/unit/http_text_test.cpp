// The HTTP module's text functions: JSON text, url splitting, request text, the request
// path the server answers, and status lines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "interpreter/http/http_client.hpp"
#include "interpreter/http/json_text.hpp"
#include "interpreter/http/page_response.hpp"
#include "interpreter/http/request_path.hpp"
#include "interpreter/http/status_line.hpp"
#include "interpreter/http/url_parts.hpp"
#include "interpreter/value.hpp"
#include "support/text_format.hpp"

namespace vormel::http {
namespace {

Value str(std::string text) { return Value::string(std::move(text)); }

TEST(JsonTextTest, EveryKind) {
  ValueList items;
  items.push_back(Value::number(1));
  items.push_back(Value::floating(2.5));
  items.push_back(str("a"));
  items.push_back(Value::boolean(true));
  items.push_back(Value::null());
  EXPECT_EQ(to_json(Value::array(std::move(items))), "[1,2.5,\"a\",true,null]");
  EXPECT_EQ(to_json(Value::number(std::numeric_limits<int64_t>::min())), "-9223372036854775808");
  EXPECT_EQ(to_json(Value::boolean(false)), "false");
  EXPECT_EQ(to_json(Value::array({})), "[]");
  EXPECT_EQ(to_json(Value::dict(Dict())), "{}");
  EXPECT_EQ(to_json(Value::rect({1, 2, 3, 4})), "null");
  EXPECT_EQ(to_json(Value::color({1, 2, 3})), "null");
  EXPECT_EQ(to_json(Value::circle({1, 2, 3})), "null");
  EXPECT_EQ(to_json(Value::triangle({1, 2, 3, 4, 5, 6})), "null");
  EXPECT_EQ(to_json(Value::builtin_function("http.get")), "null");
  EXPECT_EQ(to_json(Value::error("bad")), "null");
}

TEST(JsonTextTest, FloatsUseTheDisplayRuleAndNullForNonFinite) {
  EXPECT_EQ(to_json(Value::floating(3.0)), "3");
  EXPECT_EQ(to_json(Value::floating(1e21)), "1000000000000000000000");
  EXPECT_EQ(to_json(Value::floating(1e-7)), "0.0000001");
  EXPECT_EQ(to_json(Value::floating(-0.0)), "-0");
  for (double v : {0.1, 1.0 / 3.0, 123456.789, -2.5e-300, 1.7976931348623157e308})
    EXPECT_EQ(to_json(Value::floating(v)), display_float_text(v));
  EXPECT_EQ(to_json(Value::floating(std::nan(""))), "null");
  EXPECT_EQ(to_json(Value::floating(std::numeric_limits<double>::infinity())), "null");
  EXPECT_EQ(to_json(Value::floating(-std::numeric_limits<double>::infinity())), "null");
}

TEST(JsonTextTest, StringsAreEscaped) {
  EXPECT_EQ(to_json(str("q\"b\\c\nd")), R"("q\"b\\c\nd")");
  EXPECT_EQ(to_json(str("\r\t\b\f")), R"("\r\t\b\f")");
  EXPECT_EQ(to_json(str(std::string("\x00\x01\x1f", 3))), R"("\u0000\u0001\u001f")");
  // DEL, non-ASCII letters and the slash stay as they are.
  EXPECT_EQ(to_json(str("\x7f/h\xc3\xa9\xe2\x82\xac")), "\"\x7f/h\xc3\xa9\xe2\x82\xac\"");
  EXPECT_EQ(to_json(str("\xef\xbf\xbd")), "\"\xef\xbf\xbd\"");
  // A byte that is not UTF-8 cannot appear in JSON text.
  EXPECT_EQ(to_json(str("a\xff"
                        "b")),
            R"("a\ufffdb")");
}

TEST(JsonTextTest, KeysAreEscaped) {
  Dict entries;
  entries.insert_or_assign("plain", Value::number(1));
  entries.insert_or_assign("q\"uote", Value::number(2));
  entries.insert_or_assign(std::string("ctl\x01\n\\", 6), Value::number(3));
  entries.insert_or_assign("\":1,\"injected", Value::number(4));
  EXPECT_EQ(to_json(Value::dict(std::move(entries))),
            R"({"plain":1,"q\"uote":2,"ctl\u0001\n\\":3,"\":1,\"injected":4})");
}

TEST(JsonTextTest, NestedContainers) {
  Dict inner;
  inner.insert_or_assign("x", Value::array({Value::number(1), Value::dict(Dict())}));
  ValueList outer;
  outer.push_back(Value::dict(std::move(inner)));
  outer.push_back(Value::array({Value::array({})}));
  EXPECT_EQ(to_json(Value::array(std::move(outer))), R"([{"x":[1,{}]},[[]]])");
}

TEST(JsonTextTest, DeepNestingNeedsNoNativeStack) {
  constexpr size_t kDepth = 2'000'000;
  Value nested = Value::number(7);
  for (size_t i = 0; i < kDepth; ++i) {
    ValueList wrapper;
    wrapper.push_back(std::move(nested));
    nested = Value::array(std::move(wrapper));
  }
  std::string text = to_json(nested);
  ASSERT_EQ(text.size(), 2 * kDepth + 1);
  EXPECT_EQ(text.find_first_not_of('['), kDepth);
  EXPECT_EQ(text[kDepth], '7');
  EXPECT_EQ(text.find_first_not_of(']', kDepth + 1), std::string::npos);
}

TEST(UrlPartsTest, HostPortAndPath) {
  UrlParts parts = split_url("http://example.test:8080/a/b?x=1");
  EXPECT_FALSE(parts.https);
  EXPECT_EQ(parts.host, "example.test");
  EXPECT_EQ(parts.port, 8080);
  EXPECT_EQ(parts.path, "/a/b?x=1");

  parts = split_url("example.test:3000");
  EXPECT_EQ(parts.host, "example.test");
  EXPECT_EQ(parts.port, 3000);
  EXPECT_EQ(parts.path, "/");

  parts = split_url("http://h");
  EXPECT_EQ(parts.host, "h");
  EXPECT_EQ(parts.port, 80);
  EXPECT_EQ(parts.path, "/");
}

TEST(UrlPartsTest, UnusablePortTextGivesEighty) {
  EXPECT_EQ(split_url("h:abc/").port, 80);
  EXPECT_EQ(split_url("h:/").port, 80);
  EXPECT_EQ(split_url("h:70000/").port, 80);
  EXPECT_EQ(split_url("h:65536").port, 80);
  EXPECT_EQ(split_url("h:-1").port, 80);
  EXPECT_EQ(split_url("h:+").port, 80);
  EXPECT_EQ(split_url("h:++1").port, 80);
  EXPECT_EQ(split_url("h:65535").port, 65535);
  EXPECT_EQ(split_url("h:+81").port, 81);
  EXPECT_EQ(split_url("h:0081").port, 81);
  EXPECT_EQ(split_url("h:99999999999999999999").port, 80);
}

TEST(UrlPartsTest, Schemes) {
  EXPECT_TRUE(split_url("https://x/").https);
  UrlParts upper = split_url("HTTP://x.test/p");
  EXPECT_FALSE(upper.https);
  EXPECT_EQ(upper.host, "HTTP");
  EXPECT_EQ(upper.port, 80);
  EXPECT_EQ(upper.path, "//x.test/p");
  UrlParts other = split_url("ftp://x/");
  EXPECT_EQ(other.host, "ftp");
  EXPECT_EQ(other.path, "//x/");
  EXPECT_FALSE(split_url("https:/").https);
}

TEST(RequestTextTest, ExactBytes) {
  EXPECT_EQ(request_text("GET", "/a?x=1", "h", ""),
            "GET /a?x=1 HTTP/1.1\r\nHost: h\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(request_text("POST", "/", "h", "h\xc3\xa9llo"),
            "POST / HTTP/1.1\r\nHost: h\r\nConnection: close\r\nContent-Length: 6\r\n\r\n"
            "h\xc3\xa9llo");
}

TEST(RequestPathTest, SecondWordOfTheFirstLine) {
  EXPECT_EQ(request_path("GET /about HTTP/1.1\r\nHost: x\r\n\r\n"), "/about");
  EXPECT_EQ(request_path("GET /about?x=1#f HTTP/1.1\n"), "/about?x=1#f");
  EXPECT_EQ(request_path("GET /about"), "/about");
  EXPECT_EQ(request_path("GET /about\r\n"), "/about");
  EXPECT_EQ(request_path("  GET\t\t/x  y\n/z"), "/x");
  // U+3000 IDEOGRAPHIC SPACE and U+0085 NEXT LINE are white space too.
  EXPECT_EQ(request_path("GET\xe3\x80\x80/w\xc2\x85z"), "/w");
  EXPECT_EQ(request_path("GET /\xff"), "/\xef\xbf\xbd");
}

TEST(RequestPathTest, RootWhenThereIsNoSecondWord) {
  EXPECT_EQ(request_path(""), "/");
  EXPECT_EQ(request_path("GET"), "/");
  EXPECT_EQ(request_path("GET\n/x y"), "/");
  EXPECT_EQ(request_path("\r\nGET /x"), "/");
  EXPECT_EQ(request_path("   \t "), "/");
}

TEST(PageResponseTest, ExactBytes) {
  EXPECT_EQ(found_response(std::make_shared<const std::string>("h\xc3\xa9llo")).bytes(),
            "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 6\r\n\r\nh\xc3\xa9llo");
  EXPECT_EQ(not_found_response().size(), 80u);
}

TEST(StatusLineTest, ReasonTable) {
  EXPECT_EQ(status_line(404, reason_phrase(404)), "HTTP/1.1 404 Not Found");
  EXPECT_EQ(status_line(299, reason_phrase(299)), "HTTP/1.1 299 Unknown");
  EXPECT_EQ(status_line(-5, "x"), "HTTP/1.1 -5 x");
  EXPECT_EQ(reason_phrase(503), "Service Unavailable");
  EXPECT_EQ(reason_phrase(304), "Not Modified");
}

}  // namespace
}  // namespace vormel::http
