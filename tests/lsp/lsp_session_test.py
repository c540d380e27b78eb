#!/usr/bin/env python3
"""A scripted language-server client: starts vormel-lsp, talks the protocol over its standard
input and output, and checks each answer (initialize, didOpen, didChange, diagnostics, hover,
completion, shutdown, exit), the navigation requests (definition, references, document
symbols, rename, signature help) on a document with a module beside it, the library modules
(and a file of a library module's name beside the document, which wins), then the protocol's
edge cases: exit without shutdown, a
malformed body, an unknown method, and a broken frame; and hostile messages: requests before
initialize, changes with fields missing, ids that are neither numbers nor strings, and
nesting ten million deep.
"""
import json
import os
import queue
import random
import subprocess
import sys
import tempfile
import threading

TIMEOUT = 20


class Client:
    def __init__(self, server):
        self.process = subprocess.Popen([server], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
        self.messages = queue.Queue()
        self.next_id = 1
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        out = self.process.stdout
        while True:
            headers = {}
            while True:
                line = out.readline()
                if not line:
                    self.messages.put(None)
                    return
                line = line.strip()
                if not line:
                    break
                key, _, value = line.decode().partition(":")
                headers[key.lower()] = value.strip()
            body = out.read(int(headers["content-length"]))
            self.messages.put(json.loads(body))

    def send_raw(self, data):
        self.process.stdin.write(data)
        self.process.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def notify(self, method, params):
        self.send({"jsonrpc": "2.0", "method": method, "params": params})

    def request(self, method, params):
        request_id = self.next_id
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": request_id, "method": method, "params": params})
        return self.wait(lambda m: m.get("id") == request_id)

    def wait(self, matches):
        while True:
            message = self.messages.get(timeout=TIMEOUT)
            if message is None:
                raise AssertionError("the server closed its output")
            if matches(message):
                return message

    def diagnostics(self, uri):
        return self.wait(lambda m: m.get("method") == "textDocument/publishDiagnostics"
                         and m["params"]["uri"] == uri)["params"]["diagnostics"]

    def finish(self):
        self.process.stdin.close()
        status = self.process.wait(timeout=TIMEOUT)
        return status


def check(condition, what):
    if not condition:
        raise AssertionError(what)


MISTAKES = """use sdl2 as g
def area(w, h) { return w * h }
if area(1, 2) > 1 {
  print(1)
} else if true {
  print(2)
}
let s = "é😀" + 1 +
"""

FIXED = """use sdl2 as g
def area(w, h) { return w * h }
print(len("x"), area(1, 2))
g.draw_line(0, 0, 1, 1)
use sdl2; sdl2.create_window("t", 1, 1)
use shapes; shapes.square(2)
"""

# A script module beside the document.
SHAPES = """# helpers
def square(n) { return n * n }
def cube(n) { return n * n * n }
"""


def session(server, folder):
    uri = "file://" + os.path.join(folder, "my%20script.vl")
    with open(os.path.join(folder, "shapes.vl"), "w", encoding="utf-8") as f:
        f.write(SHAPES)
    client = Client(server)
    reply = client.request("initialize", {"processId": None, "rootUri": None, "capabilities": {}})
    caps = reply["result"]["capabilities"]
    check(caps["hoverProvider"] is True, "hover offered")
    check(caps["textDocumentSync"]["change"] == 1, "full document sync")
    check("." in caps["completionProvider"]["triggerCharacters"], "completion after a dot")
    client.notify("initialized", {})

    client.notify("textDocument/didOpen", {"textDocument": {
        "uri": uri, "languageId": "vormel", "version": 1, "text": MISTAKES}})
    diagnostics = client.diagnostics(uri)
    messages = [(d["range"]["start"]["line"], d["range"]["start"]["character"], d["message"])
                for d in diagnostics]
    check((4, 7, "'else' followed by 'if': write else { if ... }") in messages, messages)
    # The last "+" has no operand before the end of the file (line 8, after the last line).
    check((8, 0, "expression expected after '+'") in messages, messages)
    check(all(d["severity"] == 2 and d["source"] == "vormel-check" for d in diagnostics),
          "warnings from vormel-check")
    else_if = next(d for d in diagnostics if "else" in d["message"])
    check(else_if["range"]["end"] == {"line": 4, "character": 9}, else_if)

    # Columns count UTF-16 units, as the protocol asks.
    client.notify("textDocument/didChange", {
        "textDocument": {"uri": uri, "version": 2},
        "contentChanges": [{"text": 'let s = "é😀" + + 1\nfoo(1)\n'}]})
    messages = [(d["range"]["start"], d["message"]) for d in client.diagnostics(uri)]
    # The second "+" begins no operand: 16 UTF-16 units in ("é" is one, "😀" two).
    check(({"line": 0, "character": 16}, "expression expected after '+'") in messages, messages)
    check(({"line": 1, "character": 0}, "call of 'foo', which is neither a built-in nor defined "
           "in this file or its imports") in messages, messages)

    client.notify("textDocument/didChange", {
        "textDocument": {"uri": uri, "version": 3}, "contentChanges": [{"text": FIXED}]})
    check(client.diagnostics(uri) == [], "a fixed document has no diagnostics")

    def hover(line, character):
        reply = client.request("textDocument/hover", {
            "textDocument": {"uri": uri}, "position": {"line": line, "character": character}})
        result = reply["result"]
        return None if result is None else result["contents"]["value"]

    text = hover(2, 7)  # len
    check(text is not None and "len(value)" in text and "built-in" in text, text)
    text = hover(3, 4)  # g.draw_line through the alias
    check(text is not None and "sdl2.draw_line(x1, y1, x2, y2)" in text, text)
    text = hover(4, 16)  # sdl2.create_window
    check(text is not None and "sdl2.create_window(title, width, height)" in text, text)
    text = hover(2, 17)  # the script's own function
    check(text is not None and "area(w, h)" in text and "line 2" in text, text)
    text = hover(5, 20)  # a function of the script module shapes.vl
    check(text is not None and "shapes.square(n)" in text and "shapes.vl on line 2" in text, text)
    check(hover(6, 0) is None, "nothing to show on an empty line")
    reply = client.request("textDocument/hover", {
        "textDocument": {"uri": uri}, "position": {"line": 2, "character": 7}})
    check(reply["result"]["range"] == {"start": {"line": 2, "character": 6},
                                       "end": {"line": 2, "character": 9}}, reply)

    def complete(text_on_line_5, character):
        client.notify("textDocument/didChange", {
            "textDocument": {"uri": uri, "version": 4},
            "contentChanges": [{"text": FIXED + text_on_line_5}]})
        client.diagnostics(uri)
        reply = client.request("textDocument/completion", {
            "textDocument": {"uri": uri}, "position": {"line": 6, "character": character}})
        return {item["label"]: item for item in reply["result"]["items"]}

    items = complete("sdl2.", 5)
    check("create_window" in items and "get_input_held" in items and len(items) == 21, items)
    check(items["create_window"]["detail"] == "sdl2.create_window(title, width, height)", items)
    items = complete("http.se", 7)
    check("serve" in items and "send" in items and len(items) == 8, items)
    items = complete("shapes.", 7)
    check(set(items) == {"square", "cube"}, items)
    items = complete("g.dr", 4)
    check("draw_rect" in items, "completion through an alias")
    items = complete("wh", 2)
    check(items["while"]["kind"] == 14, "keywords")
    check(items["print"]["kind"] == 3 and items["print"]["detail"] == "print(values...)", items)
    check(items["area"]["detail"] == "area(w, h)", "the script's own functions")
    check(sum(1 for i in items.values() if i["kind"] == 14) == 21, "21 keywords")

    reply = client.request("textDocument/formatting", {"textDocument": {"uri": uri},
                                                       "options": {}})
    check(reply["error"]["code"] == -32601, "an unknown method is answered with an error")
    reply = client.request("textDocument/hover", {"textDocument": {"uri": uri}})
    check(reply["error"]["code"] == -32602, "missing parameters are answered with an error")

    client.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
    check(client.diagnostics(uri) == [], "closing clears the diagnostics")

    reply = client.request("shutdown", None)
    check("result" in reply and reply["result"] is None, reply)
    reply = client.request("textDocument/hover", {"textDocument": {"uri": uri},
                                                  "position": {"line": 0, "character": 0}})
    check(reply["error"]["code"] == -32600, "requests after shutdown are refused")
    client.notify("exit", None)
    check(client.process.wait(timeout=TIMEOUT) == 0, "exit after shutdown gives status 0")


NAVIGATION = """use geometry
use sdl2 as g
let total = 0
def area(w, h) {
  let result = w * h  # area is not a name here
  return result
}
for side in [1, 2] {
  total = total + area(side, geometry.double(side))
}
let box = {width: 3, total: 1}
print(box.total, "total", len(upper(total)))
g.draw_line(0, [1, 2], "x, y", (3)
"""

GEOMETRY = """def double(n) { return n * 2 }
"""


def navigation(server, folder):
    """Definition, references, symbols, rename and signature help on NAVIGATION, with the
    module geometry.vl in the same folder."""
    uri = "file://" + os.path.join(folder, "nav.vl")
    module_uri = "file://" + os.path.join(folder, "geometry.vl")
    with open(os.path.join(folder, "geometry.vl"), "w", encoding="utf-8") as f:
        f.write(GEOMETRY)
    lines = NAVIGATION.split("\n")
    client = Client(server)
    caps = client.request("initialize", {"processId": None, "rootUri": None,
                                          "capabilities": {}})["result"]["capabilities"]
    check(caps["definitionProvider"] and caps["referencesProvider"]
          and caps["documentSymbolProvider"] and caps["renameProvider"]["prepareProvider"], caps)
    check(caps["signatureHelpProvider"]["triggerCharacters"] == ["(", ","], caps)
    client.notify("textDocument/didOpen", {"textDocument": {
        "uri": uri, "languageId": "vormel", "version": 1, "text": NAVIGATION}})
    client.diagnostics(uri)

    def at(line, word, nth=0, shift=0):
        """The position of the nth `word` on `line` (plus `shift` characters)."""
        character = -1
        for _ in range(nth + 1):
            character = lines[line].index(word, character + 1)
        return {"line": line, "character": character + shift}

    def span(line, word, nth=0):
        start = at(line, word, nth)
        return {"start": start, "end": {"line": line, "character": start["character"] + len(word)}}

    def ask(method, position, **extra):
        params = {"textDocument": {"uri": uri}, "position": position, **extra}
        return client.request("textDocument/" + method, params)

    def definition(position):
        return ask("definition", position)["result"]

    # Definitions: a def, a first binding (let, for, parameter), a module file and the def
    # of a module's function; nothing for built-ins and the built-in modules.
    check(definition(at(8, "area")) == {"uri": uri, "range": span(3, "area")}, "def of area")
    check(definition(at(11, "total", 2))["range"] == span(2, "total"), "first binding of total")
    check(definition(at(8, "side", 1, 2))["range"] == span(7, "side"), "a for variable")
    check(definition(at(4, "h"))["range"] == span(3, "h"), "a parameter")
    module_start = {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": 0}}
    for position in (at(0, "geometry"), at(8, "geometry")):
        check(definition(position) == {"uri": module_uri, "range": module_start}, position)
    found = definition(at(8, "double"))
    check(found == {"uri": module_uri, "range": {"start": {"line": 0, "character": 4},
                                                 "end": {"line": 0, "character": 10}}}, found)
    for position in (at(11, "len"), at(1, " g", 0, 1), at(11, "total", 1), at(10, "width")):
        check(definition(position) is None, position)

    # References: names only, not the dict key, the member after a dot, the string or the
    # comment; without the declaration on request.
    def references(position, declaration):
        reply = ask("references", position, context={"includeDeclaration": declaration})
        return [(r["range"]["start"]["line"], r["range"]["start"]["character"])
                for r in reply["result"]]
    total = [(2, 4), (8, 2), (8, 10), (11, at(11, "total", 2)["character"])]
    check(references(at(8, "total"), True) == total, references(at(8, "total"), True))
    check(references(at(8, "total"), False) == total[1:], "without the declaration")
    check(references(at(3, "area"), True) == [(3, 4), (8, 18)], "the comment is not a use")
    check(references(at(8, "geometry"), True) == [(0, 4), (8, 29)], "a module")
    check(ask("references", at(10, "width"), context={"includeDeclaration": True})["result"]
          is None, "a dictionary key is no name")

    symbols = ask("documentSymbol", {"line": 0, "character": 0})["result"]
    check([(s["name"], s["kind"]) for s in symbols] == [("total", 13), ("area", 12), ("box", 13)],
          symbols)
    area = symbols[1]
    check(area["detail"] == "(w, h)" and area["selectionRange"] == span(3, "area"), area)
    check(area["range"] == {"start": {"line": 3, "character": 0},
                            "end": {"line": 6, "character": 1}}, area)

    # Rename: every reference, after a prepareRename that gives the name's range.
    reply = ask("prepareRename", at(8, "area", 0, 2))
    check(reply["result"] == {"range": span(8, "area"), "placeholder": "area"}, reply)
    edits = ask("rename", at(8, "total"), newName="sum")["result"]["changes"][uri]
    check(sorted((e["range"]["start"]["line"], e["range"]["start"]["character"]) for e in edits)
          == total and all(e["newText"] == "sum" for e in edits), edits)
    refusals = [(ask("prepareRename", at(11, "len")), "built-in"),
                (ask("prepareRename", at(7, "for")), "keyword"),
                (ask("prepareRename", at(8, "geometry")), "module"),
                (ask("prepareRename", at(1, " g", 0, 1)), "module"),
                (ask("rename", at(3, "area"), newName="for"), "keyword"),
                (ask("rename", at(3, "area"), newName="9lives"), "not a name"),
                (ask("rename", at(3, "area"), newName="a b"), "not a name"),
                (ask("rename", at(3, "area"), newName="print"), "built-in"),
                (ask("rename", at(3, "area"), newName="total"), "already used")]
    for reply, reason in refusals:
        check(reply.get("error", {}).get("code") == -32803 and reason in reply["error"]["message"],
              (reply, reason))

    # Signature help: the argument under the cursor counts commas at the call's own depth
    # (not inside brackets or strings); a variadic last parameter takes the rest.
    def signature(position):
        result = ask("signatureHelp", position)["result"]
        if result is None:
            return None
        active = result["activeParameter"]
        label = result["signatures"][0]["label"]
        start, end = result["signatures"][0]["parameters"][active]["label"]
        return label, label[start:end]
    check(signature(at(8, "side")) == ("area(w, h)", "w"), signature(at(8, "side")))
    check(signature(at(8, "geometry")) == ("area(w, h)", "h"), "after the comma")
    check(signature(at(8, "side", 1)) == ("geometry.double(n)", "n"), "a script module")
    check(signature(at(11, "len")) == ("print(values...)", "values..."), "variadic")
    check(signature(at(11, "total", 2)) == ("upper(text)", "text"), "the innermost call")
    check(signature({"line": 12, "character": len(lines[12])})
          == ("g.draw_line(x1, y1, x2, y2)", "y2"), "through an alias")
    check(signature(at(2, "total")) is None, "outside any call")
    check(signature(at(3, "w")) is None, "a parameter list is no call")

    reply = client.request("textDocument/definition", {
        "textDocument": {"uri": "file:///nowhere.vl"}, "position": {"line": 0, "character": 0}})
    check(reply["result"] is None, "a document that is not open")
    reply = ask("rename", at(3, "area"))
    check(reply["error"]["code"] == -32602, "rename without a new name")
    client.request("shutdown", None)
    client.notify("exit", None)
    check(client.process.wait(timeout=TIMEOUT) == 0, "navigation session ends cleanly")


LIBRARY = """use math as m
use math { sin }
print(m.sin(1), sin(2), m.pi())
use text
m.sin(1, 2)
"""

# A file of a library module's name, beside the document, takes the library's place.
OWN_MATH = """def sin(a, b) { return a + b }
"""


def library(server, folder):
    """Diagnostics, hover, completion, signature help and definition of library functions,
    from the interpreter's tables; then the same requests once math.vl is beside."""
    uri = "file://" + os.path.join(folder, "lib.vl")
    lines = LIBRARY.split("\n")
    client = Client(server)
    client.request("initialize", {"processId": None, "rootUri": None, "capabilities": {}})

    def at(line, word, nth=0):
        character = -1
        for _ in range(nth + 1):
            character = lines[line].index(word, character + 1)
        return {"line": line, "character": character}

    def ask(method, position, **extra):
        params = {"textDocument": {"uri": uri}, "position": position, **extra}
        return client.request("textDocument/" + method, params)["result"]

    def hover(position):
        result = ask("hover", position)
        return None if result is None else result["contents"]["value"]

    def signature(position):
        result = ask("signatureHelp", position)
        return None if result is None else result["signatures"][0]["label"]

    def warnings():
        return [(d["range"]["start"]["line"], d["range"]["start"]["character"], d["message"])
                for d in client.diagnostics(uri)]

    client.notify("textDocument/didOpen", {"textDocument": {
        "uri": uri, "languageId": "vormel", "version": 1, "text": LIBRARY}})
    found = warnings()
    check(found == [(4, 2, "'m.sin' is called with 2 arguments, too many for math.sin(x)")],
          found)
    sine = "```vormel\nmath.sin(x)\n```\nThe sine of x radians."
    check(hover(at(2, "sin")) == sine, hover(at(2, "sin")))
    check(hover(at(2, "sin", 1)) == sine, "an imported item")
    check(signature(at(2, "1")) == "m.sin(x)", signature(at(2, "1")))
    check(signature(at(2, "2")) == "sin(x)", signature(at(2, "2")))
    for position in (at(2, "sin"), at(0, "math")):
        check(ask("definition", position) is None, "the library is in no file")
    items = {i["label"]: i for i in ask("completion", at(2, "sin"))["items"]}  # after "m."
    check("sin" in items and "pi" in items, items)
    check(items["sin"]["detail"] == "math.sin(x)"
          and all(i["detail"].startswith("math.") for i in items.values()), items)

    with open(os.path.join(folder, "math.vl"), "w", encoding="utf-8") as f:
        f.write(OWN_MATH)
    client.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": 2},
                                             "contentChanges": [{"text": LIBRARY}]})
    found = warnings()
    check(found == [(2, 16, "'sin' takes 2 arguments but is called with 1"),
                    (2, 26, "module 'math' has no function 'pi'")], found)
    check(hover(at(2, "sin")) == "```vormel\nm.sin(a, b)\n```\nDefined in math.vl on line 1.",
          hover(at(2, "sin")))
    check(signature(at(2, "1")) == "m.sin(a, b)", "the file's signature")
    found = ask("definition", at(2, "sin"))
    check(found["uri"] == "file://" + os.path.join(folder, "math.vl"), found)
    items = ask("completion", at(2, "sin"))["items"]
    check([i["label"] for i in items] == ["sin"], items)
    client.request("shutdown", None)
    client.notify("exit", None)
    check(client.process.wait(timeout=TIMEOUT) == 0, "library session ends cleanly")


def edge_cases(server):
    client = Client(server)
    client.send_raw(b"Content-Length: 9\r\n\r\n{not json")
    reply = client.wait(lambda m: "error" in m)
    check(reply["error"]["code"] == -32700 and reply["id"] is None, reply)
    client.notify("exit", None)
    check(client.process.wait(timeout=TIMEOUT) == 1, "exit without shutdown gives status 1")

    client = Client(server)
    client.send_raw(b"Content-Length: banana\r\n\r\n{}")
    check(client.finish() == 1, "a broken frame ends the server with status 1")

    client = Client(server)
    client.send_raw(b"Content-Length: 99999999999\r\n\r\n")
    check(client.finish() == 1, "an oversized frame ends the server")

    client = Client(server)
    check(client.finish() == 1, "end of input without exit gives status 1")


def hostile_messages(server):
    client = Client(server)
    position = {"textDocument": {"uri": "untitled:a"}, "position": {"line": 0, "character": 0}}
    reply = client.request("textDocument/hover", position)
    check(reply["error"]["code"] == -32002, f"a request before initialize: {reply}")
    client.request("initialize", {"processId": None, "rootUri": None, "capabilities": {}})
    client.notify("textDocument/didOpen", {"textDocument": {
        "uri": "untitled:a", "languageId": "vormel", "version": 1, "text": "print(1)\n"}})
    client.diagnostics("untitled:a")
    for change in [{"range": {}, "text": "zz"}, {"range": {"start": {"line": 0}}, "text": "z"},
                   {"range": {"start": {"line": 0, "character": 0}, "end": 5}, "text": "z"},
                   {"range": "x", "text": "z"}, 7]:
        client.notify("textDocument/didChange", {"textDocument": {"uri": "untitled:a"},
                                                 "contentChanges": [{"text": "x = 1"}, change]})
    for bad_id in ({"a": 1}, [1], True):
        client.send({"jsonrpc": "2.0", "id": bad_id, "method": "shutdown"})
        reply = client.wait(lambda m: "error" in m)
        check(reply["error"]["code"] == -32600 and reply["id"] is None, reply)
    depth = 10_000_000
    body = b'{"jsonrpc":"2.0","method":"shutdown","id":' + b"[" * depth + b"]" * depth + b"}"
    client.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    reply = client.wait(lambda m: "error" in m)
    check(reply["error"]["code"] == -32700 and reply["id"] is None, reply)
    # Still serving, with the document as it was before the broken changes.
    reply = client.request("textDocument/hover", position)
    check(reply.get("result") is not None and "print" in json.dumps(reply["result"]), reply)
    client.request("shutdown", None)
    client.notify("exit", None)
    check(client.process.wait(timeout=TIMEOUT) == 0, "the server survives hostile messages")


def random_documents(server, root):
    """Broken documents (the project's scripts with random cuts and insertions) each get
    diagnostics inside the document, and every position request anywhere answers without
    error (a rename may be refused)."""
    rng = random.Random(15)
    texts = []
    for folder in ("examples", "tests/checker/cases"):
        for name in sorted(os.listdir(os.path.join(root, folder))):
            if name.endswith(".vl"):
                with open(os.path.join(root, folder, name), encoding="utf-8") as f:
                    texts.append(f.read())
    pieces = ["{", "}", "(", "\"", "/*", "else", "é😀", "&", "\n", "xs[0] = 1", "sdl2."]
    client = Client(server)
    client.request("initialize", {"processId": None, "rootUri": None, "capabilities": {}})
    uri = "untitled:broken"
    for version in range(60):
        text = rng.choice(texts)
        for _ in range(rng.randint(1, 5)):
            at = rng.randint(0, len(text))
            if rng.random() < 0.4:
                text = text[:at] + text[at + rng.randint(1, 30):]
            else:
                text = text[:at] + rng.choice(pieces) + text[at:]
        if version == 0:
            client.notify("textDocument/didOpen", {"textDocument": {
                "uri": uri, "languageId": "vormel", "version": 1, "text": text}})
        else:
            client.notify("textDocument/didChange", {
                "textDocument": {"uri": uri, "version": version + 1},
                "contentChanges": [{"text": text}]})
        lines = text.split("\n")
        for d in client.diagnostics(uri):
            start = d["range"]["start"]
            check(start["line"] < len(lines) + 1, (d, text))
        for method in ("hover", "completion", "definition", "references", "documentSymbol",
                       "prepareRename", "rename", "signatureHelp"):
            line = rng.randrange(len(lines))
            position = {"line": line, "character": rng.randint(0, len(lines[line]) + 2)}
            reply = client.request("textDocument/" + method, {
                "textDocument": {"uri": uri}, "position": position, "newName": "renamed",
                "context": {"includeDeclaration": True}})
            refused = method.endswith("ename") and reply.get("error", {}).get("code") == -32803
            check("result" in reply or refused, (method, reply))
    client.request("shutdown", None)
    client.notify("exit", None)
    check(client.process.wait(timeout=TIMEOUT) == 0, "the server survives broken documents")


def main():
    server = os.path.abspath(sys.argv[1])
    root = os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as folder:
        session(server, folder)
    with tempfile.TemporaryDirectory() as folder:
        navigation(server, folder)
    with tempfile.TemporaryDirectory() as folder:
        library(server, folder)
    edge_cases(server)
    hostile_messages(server)
    random_documents(server, root)
    print("language server session passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
