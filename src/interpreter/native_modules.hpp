// The registry of native modules, in routing order: an imported module function value is
// offered to each in turn ("sdl2" first, then "http").
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "interpreter/native_module.hpp"
#include "interpreter/value.hpp"

namespace vormel {

using ExportTable = Dict;

std::span<const NativeModule* const> native_modules();
// The native module imported under `name`, or null for a script module.
const NativeModule* find_native_module(std::string_view name);
// The module's function `function` (without prefix), or null.
const NativeFunction* find_native_function(const NativeModule& module, std::string_view function);
// A fresh export table: one BuiltinFunction "{module}.{function}" per function.
ExportTable native_exports(const NativeModule& module);
// Runs the function a full name such as "sdl2.draw_point" names; nullopt (not-mine) when
// the name is not one of this module's functions.
std::optional<Value> dispatch_native(const NativeModule& module, std::string_view full_name,
                                     std::span<Value> args, const NativeCallContext& context);
// Offers a full name to every module in routing order, then to the library modules;
// nullopt when none claims it.
std::optional<Value> dispatch_any_native(std::string_view full_name, std::span<Value> args,
                                         const NativeCallContext& context);

}  // namespace vormel
