#!/usr/bin/env node
// Tokenises scripts with the Vormel TextMate grammar through vscode-textmate and
// vscode-oniguruma, the libraries VS Code itself uses. Two kinds of checks:
//  - probes: chosen pieces of code must get their scopes (keywords, strings, escapes, numbers,
//    comments, definitions, and every built-in and module function that
//    "vormel-check --list-names" reports from the interpreter's tables);
//  - snapshots: samples/NAME.vl tokenised must equal samples/NAME.snap (run with --update to
//    rewrite the snapshots after an intended grammar change, and review the difference).
"use strict";
const fs = require("fs");
const path = require("path");

const here = __dirname;
const root = path.resolve(here, "..", "..");
let vsctm, oniguruma;
try {
  vsctm = require("vscode-textmate");
  oniguruma = require("vscode-oniguruma");
} catch (e) {
  console.log("vscode-textmate and vscode-oniguruma are not installed (npm ci in tests/editors)");
  process.exit(77);  // skipped
}

const grammarPath = path.join(root, "editors", "vscode", "syntaxes", "vormel.tmLanguage.json");

async function loadGrammar() {
  const wasm = fs.readFileSync(require.resolve("vscode-oniguruma/release/onig.wasm"));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const registry = new vsctm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scopeName) =>
      scopeName === "source.vormel"
        ? vsctm.parseRawGrammar(fs.readFileSync(grammarPath, "utf8"), grammarPath)
        : null,
  });
  return registry.loadGrammar("source.vormel");
}

// [[text, scopes without the root scope], ...] per line.
function tokenize(grammar, text) {
  let state = vsctm.INITIAL;
  return text.split("\n").map((line) => {
    const result = grammar.tokenizeLine(line, state);
    state = result.ruleStack;
    return result.tokens.map((t) => [
      line.substring(t.startIndex, t.endIndex),
      t.scopes.filter((s) => s !== "source.vormel"),
    ]);
  });
}

function snapshot(grammar, text) {
  return tokenize(grammar, text)
    .map((tokens, i) =>
      tokens
        .filter(([t]) => t.trim() !== "")
        .map(([t, scopes]) => `${i + 1}: ${JSON.stringify(t)} ${scopes.join(" ") || "-"}`)
        .join("\n"))
    .filter((l) => l !== "")
    .join("\n") + "\n";
}

// The scopes of the first token whose text is `piece` in `code` (one line).
function scopesOf(grammar, code, piece) {
  for (const [text, scopes] of tokenize(grammar, code).flat())
    if (text === piece) return scopes;
  return null;
}

// The interpreter's callable names, from the checker (argument 1 of this script).
function libraryNames() {
  const checker = process.argv.slice(2).find((a) => !a.startsWith("--"));
  if (!checker) throw new Error("usage: textmate_test.js PATH/TO/vormel-check [--update]");
  const out = require("child_process").execFileSync(checker, ["--list-names"], { encoding: "utf8" });
  return out.split("\n").filter((l) => l !== "");
}

const probes = [
  ["if x > 1 { print(x) } else { }", "if", "keyword.control.vormel"],
  ["if x > 1 { print(x) } else { }", "else", "keyword.control.vormel"],
  ["for i in 1..3 { break }", "in", "keyword.control.vormel"],
  ["for i in 1..3 { break }", "..", "keyword.operator.range.vormel"],
  ["while true { continue }", "continue", "keyword.control.vormel"],
  ["match v { _ => 0 }", "=>", "keyword.operator.arrow.vormel"],
  ["try { f() } catch e { }", "catch", "keyword.control.vormel"],
  ["let x = 1", "let", "storage.type.vormel"],
  ["global count", "global", "storage.type.vormel"],
  ["use sdl2 as g", "use", "keyword.control.import.vormel"],
  ["use sdl2 as g", "as", "keyword.control.import.vormel"],
  ["use sdl2 as g", "sdl2", "entity.name.namespace.vormel"],
  ["def area(w, h) { return w * h }", "def", "storage.type.function.vormel"],
  ["def area(w, h) { return w * h }", "area", "entity.name.function.vormel"],
  ["def area(w, h) { return w * h }", "return", "keyword.control.vormel"],
  ["x = a and not b or !c", "and", "keyword.operator.logical.vormel"],
  ["x = a and not b or !c", "not", "keyword.operator.logical.vormel"],
  ["x = a and not b or !c", "!", "keyword.operator.logical.vormel"],
  ["ok = true", "true", "constant.language.boolean.vormel"],
  ["n = 42 + 3.25", "42", "constant.numeric.integer.vormel"],
  ["n = 42 + 3.25", "3.25", "constant.numeric.float.vormel"],
  ["n += 2 ** 3", "+=", "keyword.operator.assignment.compound.vormel"],
  ["n += 2 ** 3", "**", "keyword.operator.arithmetic.vormel"],
  ["a != b", "!=", "keyword.operator.comparison.vormel"],
  ['s = "tab\\there"', "\\t", "constant.character.escape.vormel"],
  ['s = "tab\\there"', "here", "string.quoted.double.vormel"],
  ['s = "# not a comment"', "# not a comment", "string.quoted.double.vormel"],
  ["x = 1 # note", "# note", "comment.line.number-sign.vormel"],
  ["x = 1 /* note */ y", " note ", "comment.block.vormel"],
  ["sdl2.create_window(\"t\", 640, 480)", "create_window", "support.function.module.vormel"],
  ["sdl2.create_window(\"t\", 640, 480)", "sdl2", "entity.name.namespace.vormel"],
  ["http.serve(8080)", "serve", "support.function.module.vormel"],
  ["total = compute(3)", "compute", "entity.name.function.call.vormel"],
  ["printer = 1", "printer", "variable.other.vormel"],
  ["xs.len()", "len", "entity.name.function.call.vormel"],  // a member, not the built-in
];

async function main() {
  const grammar = await loadGrammar();
  const failures = [];
  const expect = (code, piece, scope) => {
    const scopes = scopesOf(grammar, code, piece);
    if (!scopes || !scopes.includes(scope))
      failures.push(`${JSON.stringify(code)}: ${JSON.stringify(piece)} has ` +
                    `${JSON.stringify(scopes)}, expected ${scope}`);
  };
  for (const [code, piece, scope] of probes) expect(code, piece, scope);
  const names = libraryNames();
  const builtins = names.filter((n) => !n.includes("."));
  const moduleFunctions = names.filter((n) => n.includes("."));
  if (builtins.length !== 39) failures.push(`found ${builtins.length} built-ins, expected 39`);
  if (moduleFunctions.length === 0) failures.push("found no module functions");
  for (const name of builtins) expect(`x = ${name}(1)`, name, "support.function.builtin.vormel");
  for (const name of moduleFunctions)
    expect(`x = ${name}(1)`, name.split(".")[1], "support.function.module.vormel");

  // The extension's manifest ties the language, the grammar and the configuration together.
  const extension = path.join(root, "editors", "vscode");
  const manifest = JSON.parse(fs.readFileSync(path.join(extension, "package.json"), "utf8"));
  const language = manifest.contributes.languages.find((l) => l.id === "vormel");
  const grammarEntry = manifest.contributes.grammars.find((g) => g.language === "vormel");
  if (!language || !language.extensions.includes(".vl")) failures.push("no vormel language for .vl");
  if (!grammarEntry || grammarEntry.scopeName !== "source.vormel" ||
      path.resolve(extension, grammarEntry.path) !== grammarPath)
    failures.push("the manifest does not point at the grammar");
  if (!fs.existsSync(path.join(extension, manifest.main))) failures.push("no extension entry");
  const config = JSON.parse(
    fs.readFileSync(path.resolve(extension, language.configuration), "utf8"));
  const pairs = (config.autoClosingPairs || []).map((p) => p.open + p.close);
  if (config.comments.lineComment !== "#" || config.comments.blockComment.join("") !== "/**/")
    failures.push("comments are # and /* */");
  for (const pair of ["{}", "[]", "()", '""'])
    if (!pairs.includes(pair)) failures.push(`no auto-closing pair ${pair}`);
  if (JSON.stringify(config.brackets) !== JSON.stringify([["{", "}"], ["[", "]"], ["(", ")"]]))
    failures.push("brackets are {} [] ()");

  const update = process.argv.includes("--update");
  const samples = path.join(here, "samples");
  for (const file of fs.readdirSync(samples).filter((f) => f.endsWith(".vl")).sort()) {
    const actual = snapshot(grammar, fs.readFileSync(path.join(samples, file), "utf8"));
    const snapFile = path.join(samples, file.replace(/\.vl$/, ".snap"));
    if (update) {
      fs.writeFileSync(snapFile, actual);
      continue;
    }
    const expected = fs.existsSync(snapFile) ? fs.readFileSync(snapFile, "utf8") : "";
    if (actual !== expected) {
      const a = actual.split("\n"), e = expected.split("\n");
      const line = a.findIndex((l, i) => l !== e[i]);
      failures.push(`${file}: snapshot differs at line ${line + 1}: ` +
                    `expected ${JSON.stringify(e[line])}, got ${JSON.stringify(a[line])}`);
    }
  }
  for (const f of failures) console.log(f);
  console.log(`${probes.length + names.length} probes, snapshots of ${samples}`);
  process.exit(failures.length ? 1 : 0);
}

main().catch((e) => {
  console.log(e.stack || String(e));
  process.exit(1);
});
