#include "interpreter/messages.hpp"

namespace vormel {

std::string format_message(std::string_view message, std::initializer_list<std::string_view> args) {
  std::string text;
  size_t reserve = message.size();
  for (std::string_view arg : args) reserve += arg.size();
  text.reserve(reserve);
  auto next = args.begin();
  for (size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '{' && i + 1 < message.size() && message[i + 1] == '}' &&
        next != args.end()) {
      text.append(*next++);
      ++i;
    } else {
      text.push_back(message[i]);
    }
  }
  return text;
}

}  // namespace vormel
