// The "file" library module: its function table. Paths are relative to the working folder;
// a failure is an Error naming the function, the path and the system's reason.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"
#include "support/text_format.hpp"
#include "support/whole_file.hpp"

namespace vormel {
namespace {

// The path argument, or an Error: it must be a String the system can take whole.
bool read_path(std::string_view function, const Value& arg, std::string& path, Value& error) {
  if (!arg.is(ValueKind::String)) {
    error = library::expected(function, "a path string", arg);
    return false;
  }
  if (arg.as_string().find('\0') != std::string::npos) {
    error = library::error(messages::kFilePathNul, {function});
    return false;
  }
  path = arg.as_string();
  return true;
}

// Fuzzing builds run generated scripts, which may look at files but never change one.
#ifdef VORMEL_STEP_BUDGET
constexpr bool kChangesAllowed = false;
#else
constexpr bool kChangesAllowed = true;
#endif

// read_path() for a path the function will change.
bool read_path_to_change(std::string_view function, const Value& arg, std::string& path,
                         Value& error) {
  if (!kChangesAllowed) {
    error = library::error(messages::kFileChangesOff, {function});
    return false;
  }
  return read_path(function, arg, path, error);
}

Value cannot(std::string_view function, std::string_view action, const std::string& path,
             int error_number) {
  return library::error(messages::kFileCannot,
                        {function, action, path, std::strerror(error_number)});
}

// Writes all of `text` to `fd`, through short writes and interrupted calls; 0 or the errno.
int write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    text.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

// The permissions a replaced file keeps, or what a new file would get.
mode_t mode_for(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) return status.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Replaces `path` by a file holding `text`, so that at every moment the path names either the
// old content or the whole new one: the text goes to a temporary file beside it, is flushed
// to the disk, and the temporary is then renamed over the path. A failure removes the
// temporary. Returns 0 or the errno.
int replace_file(const std::string& path, std::string_view text) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  // Cut so that a long name still leaves room for the temporary's suffix.
  const std::string name = path.substr(folder.size()).substr(0, 200);
  std::string temporary = folder + "." + name + ".tmp-XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  int failure = ::fchmod(fd, mode_for(path)) == 0 ? 0 : errno;
  if (failure == 0) failure = write_all(fd, text);
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temporary.c_str());
    return failure;
  }
  // The rename itself reaches the disk with the folder's entry; a folder that cannot be
  // flushed leaves the file whole either way.
  const int folder_fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
  if (folder_fd >= 0) {
    ::fsync(folder_fd);
    ::close(folder_fd);
  }
  return 0;
}

// The whole file as text, or an Error naming `function`.
bool read_text(std::string_view function, const Value& arg, std::string& text, Value& error) {
  std::string path;
  if (!read_path(function, arg, path, error)) return false;
  if (const int failure = read_whole_file(path, text); failure != 0) {
    error = cannot(function, "read", path, failure);
    return false;
  }
  if (!is_valid_utf8(text)) {
    error = library::error(messages::kFileNotUtf8, {function, path});
    return false;
  }
  return true;
}

// The text to write: a String, taken as it is.
bool read_content(std::string_view function, const Value& arg, Value& error) {
  if (arg.is(ValueKind::String)) return true;
  error = library::expected(function, "a string", arg);
  return false;
}

Value file_read(std::span<Value> args, const NativeCallContext&) {
  std::string text;
  Value error;
  if (!read_text("file.read", args[0], text, error)) return error;
  return Value::string(std::move(text));
}

// Split at "\n"; a "\r" before it goes too, and a final line break adds no empty line.
Value file_lines(std::span<Value> args, const NativeCallContext&) {
  std::string text;
  Value error;
  if (!read_text("file.lines", args[0], text, error)) return error;
  ValueList lines;
  std::string_view rest = text;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (end != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(Value::string(std::string(line)));
  }
  return Value::array(std::move(lines));
}

Value file_write(std::span<Value> args, const NativeCallContext&) {
  std::string path;
  Value error;
  if (!read_path_to_change("file.write", args[0], path, error) ||
      !read_content("file.write", args[1], error))
    return error;
  if (const int failure = replace_file(path, args[1].as_string()); failure != 0)
    return cannot("file.write", "write", path, failure);
  return Value::null();
}

Value file_append(std::span<Value> args, const NativeCallContext&) {
  std::string path;
  Value error;
  if (!read_path_to_change("file.append", args[0], path, error) ||
      !read_content("file.append", args[1], error))
    return error;
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return cannot("file.append", "append to", path, errno);
  int failure = write_all(fd, args[1].as_string());
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure != 0) return cannot("file.append", "append to", path, failure);
  return Value::null();
}

Value file_exists(std::span<Value> args, const NativeCallContext&) {
  std::string path;
  Value error;
  if (!read_path("file.exists", args[0], path, error)) return error;
  struct stat status;
  return Value::boolean(::stat(path.c_str(), &status) == 0);
}

Value file_is_dir(std::span<Value> args, const NativeCallContext&) {
  std::string path;
  Value error;
  if (!read_path("file.is_dir", args[0], path, error)) return error;
  struct stat status;
  return Value::boolean(::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode));
}

// A file, or a folder that is empty.
Value file_remove(std::span<Value> args, const NativeCallContext&) {
  std::string path;
  Value error;
  if (!read_path_to_change("file.remove", args[0], path, error)) return error;
  if (std::remove(path.c_str()) != 0) return cannot("file.remove", "remove", path, errno);
  return Value::null();
}

// The names in a folder, without "." and "..", sorted by their bytes.
Value file_list(std::span<Value> args, const NativeCallContext&) {
  std::string path;
  Value error;
  if (!read_path("file.list", args[0], path, error)) return error;
  DIR* folder = ::opendir(path.c_str());
  if (folder == nullptr) return cannot("file.list", "list", path, errno);
  std::vector<std::string> names;
  try {
    while (const dirent* entry = ::readdir(folder)) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") names.emplace_back(name);
    }
  } catch (...) {
    ::closedir(folder);
    throw;
  }
  ::closedir(folder);
  std::sort(names.begin(), names.end());
  ValueList list;
  list.reserve(names.size());
  for (std::string& name : names) list.push_back(Value::string(std::move(name)));
  return Value::array(std::move(list));
}

constexpr std::array<NativeFunction, 8> kFileFunctions = {{
    {"read", 1, "", "read(path)", "The whole file as text.", file_read},
    {"write", 2, "", "write(path, text)", "Replaces the file's content with the text, safely.",
     file_write},
    {"append", 2, "", "append(path, text)", "Adds the text at the end of the file.", file_append},
    {"lines", 1, "", "lines(path)", "The file's lines, without their line breaks.", file_lines},
    {"exists", 1, "", "exists(path)", "Whether a file or folder is at the path.", file_exists},
    {"remove", 1, "", "remove(path)", "Removes a file or an empty folder.", file_remove},
    {"list", 1, "", "list(dir)", "The sorted names in a folder.", file_list},
    {"is_dir", 1, "", "is_dir(path)", "Whether the path is a folder.", file_is_dir},
}};

constexpr NativeModule kFileModule = {"file", kFileFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& file_module() { return kFileModule; }

}  // namespace vormel
