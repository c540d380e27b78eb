// Every message the interpreter writes, as whole templates: each '{}' is filled in order by
// format_message(). Module messages live here too, so that one table holds every text; only
// a native function's too-few-arguments message stays with its entry in the function table.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vormel::messages {

// Variables, indexing and ranges.
inline constexpr std::string_view kUndefinedVariable = "Undefined variable '{}'";
inline constexpr std::string_view kArrayIndexKind = "Array index must be a number, got {}";
inline constexpr std::string_view kArrayIndexBounds = "Array index out of bounds: {} (length: {})";
inline constexpr std::string_view kDictKeyKind = "Dictionary key must be a string, got {}";
inline constexpr std::string_view kDictKeyMissing = "Dictionary key '{}' not found";
inline constexpr std::string_view kCannotIndex = "Cannot index {} with {}";
inline constexpr std::string_view kRangeBounds = "Range start and end must be numbers";
inline constexpr std::string_view kRangeTooLarge = "Range too large: {} elements (the limit is {})";

// Operators.
inline constexpr std::string_view kDivisionByZero = "Division by zero";
inline constexpr std::string_view kModuloByZero = "Modulo by zero";
inline constexpr std::string_view kUnsupportedOperation = "Unsupported operation on {}: {}";
inline constexpr std::string_view kCannotApply = "Cannot apply {} to {} and {}";
inline constexpr std::string_view kCannotNegate = "Cannot negate {}";
inline constexpr std::string_view kUnsupportedUnary = "Unsupported unary operation: {}";

// Calls.
inline constexpr std::string_view kFunctionMissing = "Function '{}' does not exist";
inline constexpr std::string_view kArgumentCount = "Function '{}' expects {} arguments but got {}";
inline constexpr std::string_view kModuleNotImported =
    "Module '{}' is not imported. Use 'use {};' to import it";
inline constexpr std::string_view kGraphicsFunctionMissing = "SDL2 module has no function '{}'";
inline constexpr std::string_view kHttpFunctionMissing = "HTTP module has no function '{}'";
inline constexpr std::string_view kModuleFunctionMissing = "Module '{}' has no function '{}'";
inline constexpr std::string_view kRecursionTooDeep = "Maximum recursion depth exceeded";
inline constexpr std::string_view kNestingTooDeep = "Maximum nesting depth exceeded";
inline constexpr std::string_view kOutOfMemory = "Out of memory";
// Ctrl-C stopped the statement the REPL was running.
inline constexpr std::string_view kInterrupted = "Interrupted";

// Statement context lines, written after the line of the failure itself.
inline constexpr std::string_view kLetFailed = "Error in let statement for '{}': {}";
inline constexpr std::string_view kGlobalLetFailed = "Error in global let statement for '{}': {}";
inline constexpr std::string_view kAssignFailed = "Error in assignment to '{}': {}";
inline constexpr std::string_view kCompoundAssignFailed =
    "Error in compound assignment to '{}': {}";
inline constexpr std::string_view kIfConditionFailed = "Error in if condition: {}";
inline constexpr std::string_view kWhileConditionFailed = "Error in while condition: {}";
inline constexpr std::string_view kForIterationFailed = "Error in for loop iteration: {}";
inline constexpr std::string_view kNotIterable =
    "Cannot iterate over {} in for loop. Expected an array.";
inline constexpr std::string_view kMatchSubjectFailed = "Error in match expression: {}";
inline constexpr std::string_view kMatchPatternFailed = "Error in match pattern: {}";
inline constexpr std::string_view kExpressionFailed = "Error in expression: {}";

// Modules.
inline constexpr std::string_view kModuleNotFound = "Failed to load module '{}': {}.vl not found";
inline constexpr std::string_view kModuleImportsItself =
    "Failed to load module '{}': {}.vl imports itself";
inline constexpr std::string_view kImportFailed = "Failed to import module '{}'";
inline constexpr std::string_view kNotExported = "Module '{}' does not export '{}'";

// The "sdl2" module: argument errors past the count (answered as Error values) and the fatal
// renderer failure.
inline constexpr std::string_view kCreateWindowKind = "Invalid arguments for create_window";
inline constexpr std::string_view kTitleKind = "Title must be a string";
inline constexpr std::string_view kColorKind = "Color values must be numbers";
inline constexpr std::string_view kFpsKind = "FPS must be a number";
inline constexpr std::string_view kFpsNotPositive = "FPS must be greater than 0";
inline constexpr std::string_view kCoordinatesKind = "Coordinates must be numbers";
inline constexpr std::string_view kRectangleKind = "Rectangle parameters must be numbers";
inline constexpr std::string_view kCircleKind = "Circle parameters must be numbers";
inline constexpr std::string_view kCouldNotClear = "Could not clear: {}";

// The HTTP module: wrong-kind arguments, server, templates and client.
inline constexpr std::string_view kHttpPortKind = "Port must be a number";
inline constexpr std::string_view kHttpStatusKind = "Status code must be a number";
inline constexpr std::string_view kHttpServerStarting = "Starting HTTP server on port {}";
inline constexpr std::string_view kHttpServerListening = "Server listening on http://127.0.0.1:{}";
inline constexpr std::string_view kHttpBindFailed = "Failed to bind to port: {}";
inline constexpr std::string_view kHttpConnectionError = "Connection error: {}";
inline constexpr std::string_view kHttpTemplateUnreadable = "Failed to read template: {}";
inline constexpr std::string_view kHttpNotUtf8 = "stream did not contain valid UTF-8";
inline constexpr std::string_view kHttpsUnsupported = "HTTPS not supported, use HTTP";
inline constexpr std::string_view kHttpConnectFailed = "Failed to connect to {}: {}";
inline constexpr std::string_view kHttpNoAddresses = "could not resolve to any addresses";
inline constexpr std::string_view kHttpWriteFailed = "Failed to write request: {}";
inline constexpr std::string_view kHttpReadFailed = "Failed to read response: {}";
inline constexpr std::string_view kHttpNetworkForbidden = "network access is turned off";

// The standard library. Every message starts with the function's full name ("text.trim"),
// so that a script's ERROR line says which call failed. Each module's own messages follow
// the shared ones under its name.
inline constexpr std::string_view kLibraryTooFewArguments = "{}: too few arguments; expected {}";
inline constexpr std::string_view kLibraryTooManyArguments = "{}: too many arguments; expected {}";
inline constexpr std::string_view kLibraryExpected = "{}: expected {}, got {}";
inline constexpr std::string_view kLibraryCallbackArity =
    "{}: the function passed takes {} arguments, not {}";

// library: text
inline constexpr std::string_view kTextNotANumber = "text.number: not a number: '{}'";
inline constexpr std::string_view kTextNumberOutOfRange = "text.number: out of range: '{}'";
inline constexpr std::string_view kTextTooLong =
    "{}: the result would be too long: {} bytes (the limit is {})";
inline constexpr std::string_view kTextNegative = "{}: {} must not be negative, got {}";
inline constexpr std::string_view kTextEmptyOld = "text.replace: the text to replace is empty";
inline constexpr std::string_view kTextCodeOfEmpty = "text.code: the text is empty";
inline constexpr std::string_view kTextNotACode = "text.from_code: not a character code: {}";
inline constexpr std::string_view kTextFillNotOneCharacter =
    "{}: the fill must be one character, got '{}'";
inline constexpr std::string_view kTextFormatTooFewArgs =
    "text.format: the template has more placeholders than the {} values given";
inline constexpr std::string_view kTextFormatTooManyArgs =
    "text.format: {} values given for {} placeholders";
inline constexpr std::string_view kTextFormatUnmatched =
    "text.format: unmatched '{}' at character {} of the template";

// library: list
inline constexpr std::string_view kListIndexOutOfRange = "{}: index out of range: {} (length: {})";
inline constexpr std::string_view kListSliceOutOfRange =
    "list.slice: range {} to {} is out of range (length: {})";
inline constexpr std::string_view kListCannotSort = "{}: cannot sort {}";
inline constexpr std::string_view kListMixedKinds = "{}: cannot compare {} with {}";
inline constexpr std::string_view kListSumKind = "list.sum: expected numbers, got {} at index {}";
inline constexpr std::string_view kListStepZero = "list.range: the step must not be 0";
inline constexpr std::string_view kListRangeTooLarge =
    "list.range: too large: {} elements (the limit is {})";

// library: dict
inline constexpr std::string_view kDictKeyNotString = "{}: keys are strings, got {}";

// library: math
inline constexpr std::string_view kMathClampBounds = "math.clamp: expected lo <= hi, got {} and {}";

// library: time
inline constexpr std::string_view kTimeSleepDuration =
    "time.sleep: expected a finite number of seconds, zero or more, got {}";
inline constexpr std::string_view kTimeOutOfRange =
    "{}: the time {} is outside the years 1 to 9999";

// library: json
inline constexpr std::string_view kJsonParseFailed = "json.parse: {} at line {}, column {}";
inline constexpr std::string_view kJsonUnexpected = "unexpected {}";
inline constexpr std::string_view kJsonEndOfText = "end of text";
inline constexpr std::string_view kJsonControlCharacter = "unescaped control character in a string";
inline constexpr std::string_view kJsonBadUnicodeEscape = "'\\u' not followed by 4 hex digits";
inline constexpr std::string_view kJsonLoneSurrogate = "lone surrogate in a '\\u' escape";
inline constexpr std::string_view kJsonBadEscape = "invalid escape in a string";
inline constexpr std::string_view kJsonInvalidUtf8 = "invalid UTF-8";
inline constexpr std::string_view kJsonBadNumber = "invalid number";
inline constexpr std::string_view kJsonNumberOutOfRange = "number out of range: {}";
inline constexpr std::string_view kJsonTooDeep = "nesting deeper than {}";
inline constexpr std::string_view kJsonTextIndent =
    "json.text: indent must be from 0 to {}, got {}";

// library: file
inline constexpr std::string_view kFileCannot = "{}: cannot {} '{}': {}";
inline constexpr std::string_view kFileNotUtf8 = "{}: '{}' is not UTF-8 text";
inline constexpr std::string_view kFilePathNul = "{}: a path cannot hold a NUL character";
inline constexpr std::string_view kFileChangesOff = "{}: changing files is turned off";

// library: system
inline constexpr std::string_view kSystemExitStatus =
    "system.exit: expected a status from 0 to 255, got {}";

// library: web
inline constexpr std::string_view kWebServerStarting = "Starting web server on port {}";
inline constexpr std::string_view kWebServerListening = "Server listening on http://{}:{}";
inline constexpr std::string_view kWebPathStart = "{}: a path starts with '/', got '{}'";
inline constexpr std::string_view kWebPortRange =
    "web.serve: expected a port from 0 to 65535, got {}";
inline constexpr std::string_view kWebNotIpv4 = "web.serve: not an IPv4 address: '{}'";
inline constexpr std::string_view kWebCannotListen = "web.serve: cannot listen on {}:{}: {}";
inline constexpr std::string_view kWebAlreadyServing = "web.serve: already serving";
inline constexpr std::string_view kWebUnknownOption =
    "web.serve: unknown option '{}'; the options are max_body and share_port";
inline constexpr std::string_view kWebMaxBodyRange =
    "web.serve: expected max_body of 0 bytes or more, got {}";
inline constexpr std::string_view kWebJsonStatus =
    "web.json: expected a status from 100 to 999, got {}";
inline constexpr std::string_view kWebHandlerFailed = "web: the handler for {} {} failed: {}";
inline constexpr std::string_view kWebHandlerResult =
    "web: the handler for {} {} returned {}; expected a string, a dict or web.json(...)";
inline constexpr std::string_view kWebHandlerStatus =
    "web: the handler for {} {} gave the status {}; expected 100 to 999";
inline constexpr std::string_view kWebHandlerHeader =
    "web: the handler for {} {} set a header with a line break or NUL: '{}'";
inline constexpr std::string_view kWebStaticNul =
    "web.static: a folder cannot hold a NUL character";
inline constexpr std::string_view kWebStaticFolder = "web.static: cannot serve '{}': {}";

// library: game
inline constexpr std::string_view kGameNoWindow = "{}: no window is open";
inline constexpr std::string_view kGameUnknownButton =
    "{}: unknown button '{}'; expected \"left\", \"middle\" or \"right\"";
inline constexpr std::string_view kGameTextSize = "{}: the size must be from 1 to {}, got {}";
inline constexpr std::string_view kGameTextNul = "{}: the text cannot hold a NUL character";
inline constexpr std::string_view kGameTextFailed = "{}: {}";
inline constexpr std::string_view kGamePathNul = "{}: the path cannot hold a NUL character";
inline constexpr std::string_view kGameCannotLoad = "{}: cannot load '{}': {}";
inline constexpr std::string_view kGameNotAFile = "not a regular file";
inline constexpr std::string_view kGameFileTooLarge = "the file is larger than {} MiB";
inline constexpr std::string_view kGameNotAnImage = "not a PNG, JPEG or BMP image";
inline constexpr std::string_view kGameImageTooLarge =
    "the image is {} x {} pixels; the limit is {} on a side and {} million in all";
inline constexpr std::string_view kGameImageBoth =
    "{}: give both the width and the height, or neither";
inline constexpr std::string_view kGameVolume = "{}: the volume must be from 0 to 1, got {}";
inline constexpr std::string_view kGameImageSize =
    "{}: the width and height cannot be negative, got {} and {}";

// Trace lines (written only under the debug switch).
inline constexpr std::string_view kTraceCalling = "Calling function: {}";
inline constexpr std::string_view kTraceIsBuiltin = "{} is a builtin";
inline constexpr std::string_view kTraceNotBuiltin =
    "{} is not a builtin, looking for user function";
inline constexpr std::string_view kTraceLookup = "get_variable({}) returned: {}";
inline constexpr std::string_view kTraceFoundFunction = "Found function with {} params, calling";
inline constexpr std::string_view kTraceParsed = "Parsed {} statements";
inline constexpr std::string_view kTraceExporting = "Exporting: {} = {}";
inline constexpr std::string_view kTraceModuleExports = "Module {} has {} exports";
inline constexpr std::string_view kTraceNoMatch = "No match patterns matched in match statement";

}  // namespace vormel::messages

namespace vormel {

// `message` with each '{}' replaced by the next of `args`; extra '{}' stay as written.
std::string format_message(std::string_view message, std::initializer_list<std::string_view> args);

}  // namespace vormel
