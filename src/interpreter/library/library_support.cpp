#include "interpreter/library/library_support.hpp"

#include <string>

#include "interpreter/interpreter.hpp"
#include "interpreter/native_modules.hpp"

namespace vormel::library {

Value error(std::string_view message, std::initializer_list<std::string_view> args) {
  return Value::error(format_message(message, args));
}

Value expected(std::string_view function, std::string_view what, const Value& got) {
  return error(messages::kLibraryExpected, {function, what, type_name(got)});
}

Value call_back(const NativeCallContext& context, std::string_view function, const Value& callee,
                std::span<Value> args) {
  Interpreter* interpreter = context.interpreter();
  if (interpreter != nullptr && callee.is(ValueKind::Function)) {
    Value keep = callee;  // the body stays alive whatever the call rebinds
    const FunctionDef& def = keep.as_function();
    if (def.params.size() != args.size())
      return error(messages::kLibraryCallbackArity,
                   {function, std::to_string(def.params.size()), std::to_string(args.size())});
    return interpreter->run_user_function(def, args, nullptr);
  }
  if (callee.is(ValueKind::BuiltinFunction))
    if (auto result = dispatch_any_native(callee.builtin_name(), args, context))
      return std::move(*result);
  return expected(function, "a function", callee);
}

}  // namespace vormel::library
