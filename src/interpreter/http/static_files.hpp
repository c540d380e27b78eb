// Files served from a folder by the web module (web.static): a request's path opened safely
// under the folder, its content type, Last-Modified and If-Modified-Since, and a small cache
// of the bytes of small files.
#pragma once

#include <string>
#include <string_view>

#include "interpreter/http/owned_descriptor.hpp"
#include "interpreter/http/web_response.hpp"

namespace vormel::http {

// Files up to this size are read whole into the response (and cached); larger ones are sent
// from the file as the client takes them.
inline constexpr size_t kWholeFileBytes = 1024 * 1024;

// A folder opened for serving.
struct StaticFolder {
  OwnedDescriptor root;
};

// Opens `path` (relative to the working folder unless absolute). Returns 0, or the error
// number (ENOTDIR for a path that is not a folder).
int open_static_folder(const std::string& path, StaticFolder& folder);

// The content type for a file name, by its extension: "text/css; charset=utf-8", or
// "application/octet-stream" for one not in the table.
std::string_view static_content_type(std::string_view name);

// The response to a GET or HEAD for `path` (as sent, percent-encoded, "" or starting with
// '/') under `folder`. A path that could leave the folder (a ".." or "." segment, an empty
// segment, a backslash or NUL, raw or percent-encoded, an encoded slash), a symbolic link
// leading out of it, and anything but a regular file give 404. A folder gives its
// index.html.
// `if_modified_since` is the request's header ("" if none).
WebResponse static_file(const StaticFolder& folder, std::string_view method, std::string_view path,
                        std::string_view if_modified_since);

}  // namespace vormel::http
