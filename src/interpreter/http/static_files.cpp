#include "interpreter/http/static_files.hpp"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "interpreter/http/server_socket.hpp"
#include "interpreter/http/web_form.hpp"

namespace vormel::http {
namespace {

// Every type that web.static gives; a name whose extension is not here is
// application/octet-stream.
constexpr std::array<std::pair<std::string_view, std::string_view>, 19> kContentTypes = {{
    {"html", "text/html; charset=utf-8"},
    {"htm", "text/html; charset=utf-8"},
    {"css", "text/css; charset=utf-8"},
    {"js", "text/javascript; charset=utf-8"},
    {"json", "application/json"},
    {"txt", "text/plain; charset=utf-8"},
    {"png", "image/png"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"gif", "image/gif"},
    {"svg", "image/svg+xml"},
    {"ico", "image/x-icon"},
    {"wasm", "application/wasm"},
    {"pdf", "application/pdf"},
    {"mp3", "audio/mpeg"},
    {"ogg", "audio/ogg"},
    {"wav", "audio/wav"},
    {"woff2", "font/woff2"},
    {"xml", "application/xml"},
}};

constexpr std::array<std::string_view, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

constexpr size_t kCacheBytes = 32 * 1024 * 1024;

// "Sun, 06 Nov 1994 08:49:37 GMT", whatever the locale.
std::string http_date(time_t seconds) {
  tm parts{};
  gmtime_r(&seconds, &parts);
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT",
                kDays[static_cast<size_t>(parts.tm_wday) % 7].data(), parts.tm_mday,
                kMonths[static_cast<size_t>(parts.tm_mon) % 12].data(), parts.tm_year + 1900,
                parts.tm_hour, parts.tm_min, parts.tm_sec);
  return text;
}

// Reads only the form http_date writes (the one HTTP asks clients to send); others are
// ignored, and the file is sent.
std::optional<time_t> parse_http_date(std::string_view text) {
  if (text.size() != 29 || text.substr(3, 2) != ", " || text.substr(25) != " GMT") return {};
  auto number = [&](size_t at, size_t length) {
    int value = 0;
    for (size_t i = at; i < at + length; ++i) {
      if (text[i] < '0' || text[i] > '9') return -1;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  tm parts{};
  parts.tm_mday = number(5, 2);
  parts.tm_year = number(12, 4) - 1900;
  parts.tm_hour = number(17, 2);
  parts.tm_min = number(20, 2);
  parts.tm_sec = number(23, 2);
  parts.tm_mon = -1;
  for (size_t i = 0; i < kMonths.size(); ++i)
    if (text.substr(8, 3) == kMonths[i]) parts.tm_mon = static_cast<int>(i);
  if (parts.tm_mday < 0 || parts.tm_year < 0 || parts.tm_hour < 0 || parts.tm_min < 0 ||
      parts.tm_sec < 0 || parts.tm_mon < 0 || text[7] != ' ' || text[11] != ' ' ||
      text[16] != ' ' || text[19] != ':' || text[22] != ':')
    return {};
  return timegm(&parts);
}

// The path under the folder that a request names ("." for the folder itself), or nothing
// when it could lead out of it.
std::optional<std::string> relative_path(std::string_view sent) {
  for (size_t percent = sent.find('%'); percent != std::string_view::npos;
       percent = sent.find('%', percent + 1))
    if (sent.substr(percent + 1, 2) == "2f" || sent.substr(percent + 1, 2) == "2F") return {};
  std::string decoded = percent_decode(sent, false);
  if (decoded.find_first_of(std::string_view("\\\0", 2)) != std::string::npos) return {};
  std::string relative;
  size_t pos = 0;  // at a '/'
  while (pos < decoded.size()) {
    size_t next = decoded.find('/', pos + 1);
    std::string_view segment = std::string_view(decoded).substr(pos + 1, next - pos - 1);
    if (segment.empty() && next == std::string::npos) break;  // a trailing '/'
    if (segment.empty() || segment == "." || segment == "..") return {};
    relative.append(relative.empty() ? "" : "/").append(segment);
    pos = next;
  }
  return relative.empty() ? "." : relative;
}

// Opens `relative` under `root` without leaving it: a symbolic link may lead elsewhere in
// the folder, but not out of it. Returns the descriptor or -1. O_NONBLOCK: opening a FIFO
// must not wait for a writer.
int open_beneath(int root, const std::string& relative) {
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  open_how how{};
  how.flags = kFlags;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
  long fd = ::syscall(SYS_openat2, root, relative.c_str(), &how, sizeof how);
  if (fd >= 0 || errno != ENOSYS) return static_cast<int>(fd);
  // Kernels before 5.6: one segment at a time, following no symbolic link at all.
  OwnedDescriptor folder(::fcntl(root, F_DUPFD_CLOEXEC, 0));
  for (size_t start = 0; folder.valid();) {
    size_t slash = relative.find('/', start);
    std::string segment = relative.substr(start, slash - start);
    int next = ::openat(folder.get(), segment.c_str(),
                        kFlags | O_NOFOLLOW | (slash == std::string::npos ? 0 : O_DIRECTORY));
    if (next < 0 || slash == std::string::npos) return next;
    folder = OwnedDescriptor(next);
    start = slash + 1;
  }
  return -1;
}

struct CachedFile {
  std::string name;
  std::string bytes;
  std::string last_modified;
  time_t modified = 0;
  dev_t device = 0;
  ino_t inode = 0;
  timespec modified_exactly{};
  timespec changed{};
  ServerClock::time_point checked;
};

// Small files by folder and request path. An entry is used as it is for a second after the
// file was last looked at; then the file is opened again, and read again unless its inode,
// size and times are those the entry was read with. Full, the cache starts afresh.
struct FileCache {
  std::map<std::pair<int, std::string>, CachedFile> files;
  size_t bytes = 0;
};

constexpr size_t kCacheEntries = 4096;
constexpr auto kCacheTrust = std::chrono::seconds(1);

FileCache& file_cache() {
  static FileCache cache;
  return cache;
}

bool same_time(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool same_file(const CachedFile& cached, const struct stat& info) {
  return cached.device == info.st_dev && cached.inode == info.st_ino &&
         cached.bytes.size() == static_cast<size_t>(info.st_size) &&
         same_time(cached.modified_exactly, info.st_mtim) &&
         same_time(cached.changed, info.st_ctim);
}

// Reads `size` bytes of `fd`; false on a read error. A file that shrank meanwhile gives
// what it has now.
bool read_whole(int fd, size_t size, std::string& bytes) {
  bytes.resize(size);
  size_t got = 0;
  while (got < size) {
    ssize_t read = ::pread(fd, bytes.data() + got, size - got, static_cast<off_t>(got));
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return false;
    if (read == 0) break;
    got += static_cast<size_t>(read);
  }
  bytes.resize(got);
  return true;
}

const CachedFile& remember(FileCache& cache, std::pair<int, std::string> key, CachedFile entry) {
  auto found = cache.files.find(key);
  if (found != cache.files.end()) {
    cache.bytes -= found->second.bytes.size();
    cache.files.erase(found);
  }
  if (cache.bytes + entry.bytes.size() > kCacheBytes || cache.files.size() >= kCacheEntries) {
    cache.files.clear();
    cache.bytes = 0;
  }
  cache.bytes += entry.bytes.size();
  return cache.files.emplace(std::move(key), std::move(entry)).first->second;
}

// A file response's status and headers; the body or the file is the caller's to add.
WebResponse file_response(std::string_view name, time_t modified, std::string last_modified,
                          size_t size, std::string_view method,
                          std::string_view if_modified_since) {
  WebResponse response;
  response.type = static_content_type(name);
  response.headers.emplace_back("Last-Modified", std::move(last_modified));
  std::optional<time_t> since = parse_http_date(if_modified_since);
  if (since && modified <= *since) response.status = 304;
  if (response.status == 304 || method == "HEAD") {
    response.headers_only = true;
    response.file_length = size;
  }
  return response;
}

}  // namespace

int open_static_folder(const std::string& path, StaticFolder& folder) {
  folder.root = OwnedDescriptor(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  return folder.root.valid() ? 0 : errno;
}

std::string_view static_content_type(std::string_view name) {
  size_t dot = name.rfind('.');
  size_t slash = name.rfind('/');
  if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
    std::string extension(name.substr(dot + 1));
    for (char& c : extension)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    for (const auto& [known, type] : kContentTypes)
      if (known == extension) return type;
  }
  return "application/octet-stream";
}

WebResponse static_file(const StaticFolder& folder, std::string_view method, std::string_view path,
                        std::string_view if_modified_since) {
  std::optional<std::string> relative = relative_path(path);
  if (!relative) return status_page(404);
  FileCache& cache = file_cache();
  std::pair<int, std::string> key{folder.root.get(), *relative};
  const ServerClock::time_point now = ServerClock::now();
  auto found = cache.files.find(key);
  const CachedFile* cached = nullptr;
  if (found != cache.files.end() && now - found->second.checked < kCacheTrust) {
    cached = &found->second;
  } else {
    OwnedDescriptor file(open_beneath(folder.root.get(), *relative));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) return status_page(404);
    if (S_ISDIR(info.st_mode)) {
      relative->append("/index.html");
      file = OwnedDescriptor(open_beneath(folder.root.get(), *relative));
      if (!file.valid() || ::fstat(file.get(), &info) != 0) return status_page(404);
    }
    if (!S_ISREG(info.st_mode)) return status_page(404);
    auto size = static_cast<size_t>(info.st_size);
    if (found != cache.files.end() && same_file(found->second, info)) {
      found->second.checked = now;
      cached = &found->second;
    } else if (size > kWholeFileBytes) {
      WebResponse response =
          file_response(*relative, info.st_mtim.tv_sec, http_date(info.st_mtim.tv_sec), size,
                        method, if_modified_since);
      if (!response.headers_only) {
        response.file = std::make_shared<OwnedDescriptor>(std::move(file));
        response.file_length = size;
      }
      return response;
    } else {
      CachedFile entry{*relative,           {},           http_date(info.st_mtim.tv_sec),
                       info.st_mtim.tv_sec, info.st_dev,  info.st_ino,
                       info.st_mtim,        info.st_ctim, now};
      if (!read_whole(file.get(), size, entry.bytes)) return status_page(500);
      cached = &remember(cache, std::move(key), std::move(entry));
    }
  }
  WebResponse response = file_response(cached->name, cached->modified, cached->last_modified,
                                       cached->bytes.size(), method, if_modified_since);
  if (!response.headers_only) response.body = cached->bytes;
  return response;
}

}  // namespace vormel::http
