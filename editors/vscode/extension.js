// Starts vormel-lsp for Vormel files: diagnostics from the checker, hover, completion and
// navigation (definitions, references, symbols, rename, signature help).
const vscode = require("vscode");
const { LanguageClient, TransportKind } = require("vscode-languageclient/node");

let client;

function activate(context) {
  const command = vscode.workspace.getConfiguration("vormel").get("languageServer.path");
  const server = { command, transport: TransportKind.stdio };
  client = new LanguageClient(
    "vormel",
    "Vormel language server",
    { run: server, debug: server },
    { documentSelector: [{ scheme: "file", language: "vormel" }] }
  );
  context.subscriptions.push({ dispose: () => client && client.stop() });
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
