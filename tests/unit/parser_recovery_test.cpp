// How the parser treats input it cannot use: statement forms that break off, tokens that
// begin nothing inside every kind of list, constructs cut short by the end of the input, and
// nesting too deep for the native stack. Each case checks the whole tree's debug text.
#include <gtest/gtest.h>

#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace vormel {
namespace {

std::string parse(std::string_view source) { return debug_text(parse_program(tokenize(source))); }

TEST(ParserRecoveryTest, StatementFormsThatBreakOff) {
  // let without a name or without "=": the statement is dropped, parsing goes on after it.
  EXPECT_EQ(parse("let = 5"), "[Expr(Number(5))]");
  EXPECT_EQ(parse("let x 5"), "[Expr(Number(5))]");
  // def: no name, a parameter list that holds a non-name, no body.
  EXPECT_EQ(parse("def (a) { }"), "[Expr(Identifier(\"a\")), Expr(Dict([]))]");
  EXPECT_EQ(parse("def f(a, 1) { return }"), "[Expr(Number(1)), Expr(Dict([]))]");
  EXPECT_EQ(parse("def f() return 1"), "[Return(Some(Number(1)))]");
  EXPECT_EQ(parse("def f(a b,) { }"),
            "[Function { name: \"f\", params: [\"a\", \"b\"], body: [] }]");
  // if and while without a brace drop their condition.
  EXPECT_EQ(parse("if a return"), "[Return(None)]");
  EXPECT_EQ(parse("while a x = 1"), "[Assign { name: \"x\", value: Number(1) }]");
  // A brace right after while is the condition's dict literal, so the body is missing.
  EXPECT_EQ(parse("while { x = 1 } y"), "[Expr(Identifier(\"y\"))]");
  // else without a brace is consumed and gives no else body.
  EXPECT_EQ(parse("if a { } else x"),
            "[If { condition: Identifier(\"a\"), then_body: [], else_body: None }, "
            "Expr(Identifier(\"x\"))]");
  // for without a name, without in, without a brace.
  EXPECT_EQ(parse("for in xs { }"), "[Expr(Identifier(\"xs\")), Expr(Dict([]))]");
  EXPECT_EQ(parse("for i xs { }"), "[Expr(Identifier(\"xs\")), Expr(Dict([]))]");
  EXPECT_EQ(parse("for i in xs print(i)"),
            "[Expr(Call { name: \"print\", args: [Identifier(\"i\")] })]");
  // try without a brace, without catch, without a catch name, without a catch body.
  EXPECT_EQ(parse("try x catch e { }"),
            "[Expr(Identifier(\"x\")), Expr(Identifier(\"e\")), Expr(Dict([]))]");
  EXPECT_EQ(parse("try { a } e { b }"), "[Expr(Identifier(\"e\")), Expr(Dict([]))]");
  EXPECT_EQ(parse("try { a } catch { b }"), "[Expr(Dict([]))]");
  EXPECT_EQ(parse("try { a } catch e b"), "[Expr(Identifier(\"b\"))]");
  // global takes one name; use needs a module name.
  EXPECT_EQ(parse("global 1"), "[Expr(Number(1))]");
  EXPECT_EQ(parse("global a b"), "[Global(\"a\"), Expr(Identifier(\"b\"))]");
  EXPECT_EQ(parse("use 1"), "[Expr(Number(1))]");
  EXPECT_EQ(parse("use m as 1"),
            "[Use { module: \"m\", alias: None, items: None }, Expr(Number(1))]");
  EXPECT_EQ(parse("use m x"),
            "[Use { module: \"m\", alias: None, items: None }, Expr(Identifier(\"x\"))]");
}

TEST(ParserRecoveryTest, AssignmentTargetsAndValues) {
  // Only a plain name is assigned to; the "=" after an index starts the next statement.
  EXPECT_EQ(parse("a[0] = 1"),
            "[Expr(Index { object: Identifier(\"a\"), index: Number(0) }), Expr(Number(1))]");
  EXPECT_EQ(parse("a.b = 1"),
            "[Expr(Index { object: Identifier(\"a\"), index: String(\"b\") }), "
            "Expr(Number(1))]");
  // A value that begins with a token that begins nothing is the number 0.
  EXPECT_EQ(parse("x = = 1"), "[Assign { name: \"x\", value: Number(0) }, Expr(Number(1))]");
  EXPECT_EQ(parse("x *= ) 2"),
            "[CompoundAssign { name: \"x\", op: StarAssign, value: Number(0) }, "
            "Expr(Number(2))]");
  // return before a token that begins nothing returns 0, unlike return before "}".
  EXPECT_EQ(parse("return )"), "[Return(Some(Number(0)))]");
  EXPECT_EQ(parse("{ return }"), "[Expr(Dict([]))]");
}

TEST(ParserRecoveryTest, TokensThatBeginNothingInsideBlocks) {
  EXPECT_EQ(parse("def f() { ) x = 1 }"),
            "[Function { name: \"f\", params: [], body: [Assign { name: \"x\", value: "
            "Number(1) }] }]");
  EXPECT_EQ(parse("if a { ] = => -> ? , : }"),
            "[If { condition: Identifier(\"a\"), then_body: [], else_body: None }]");
  EXPECT_EQ(parse("while a { else catch in as x }"),
            "[While { condition: Identifier(\"a\"), body: [Expr(Identifier(\"x\"))] }]");
  EXPECT_EQ(parse("for i in xs { += 1 }"),
            "[For { var: \"i\", iter: Identifier(\"xs\"), body: [Expr(Number(1))] }]");
  EXPECT_EQ(parse("try { ; } catch e { ) }"),
            "[Try { body: [Expr(Number(0))], catch_var: \"e\", catch_body: [] }]");
  // A stray closing brace at the top level ends nothing.
  EXPECT_EQ(parse("} } let x = 1 }"), "[Let { name: \"x\", value: Number(1) }]");
}

TEST(ParserRecoveryTest, MatchArms) {
  // A pattern that consumes nothing and has no "=>" is passed over.
  EXPECT_EQ(parse("match v { , ) ] 1 => a }"),
            "[Match { expr: Identifier(\"v\"), arms: [(Value(Number(1)), "
            "[Expr(Identifier(\"a\"))])] }]");
  // "=>" with nothing before it is an arm whose pattern is 0.
  EXPECT_EQ(parse("match v { => a }"),
            "[Match { expr: Identifier(\"v\"), arms: [(Value(Number(0)), "
            "[Expr(Identifier(\"a\"))])] }]");
  // A pattern without "=>" is dropped and the next one starts at once.
  EXPECT_EQ(parse("match v { 1 2 => b }"),
            "[Match { expr: Identifier(\"v\"), arms: [(Value(Number(2)), "
            "[Expr(Identifier(\"b\"))])] }]");
  EXPECT_EQ(parse("match v { _ }"), "[Match { expr: Identifier(\"v\"), arms: [] }]");
  // An empty arm body is the number 0; a block body may hold anything a block holds.
  EXPECT_EQ(parse("match v { _ => }"),
            "[Match { expr: Identifier(\"v\"), arms: [(Wildcard, [Expr(Number(0))])] }]");
  EXPECT_EQ(parse("match v { 1 => { ) x } a + 1 => y; }"),
            "[Match { expr: Identifier(\"v\"), arms: [(Value(Number(1)), "
            "[Expr(Identifier(\"x\"))]), (Value(BinaryOp { left: Identifier(\"a\"), op: Plus, "
            "right: Number(1) }), [Expr(Identifier(\"y\"))])] }]");
  // Without a brace the match is dropped with its subject.
  EXPECT_EQ(parse("match v x => 1"), "[Expr(Identifier(\"x\")), Expr(Number(1))]");
}

TEST(ParserRecoveryTest, UseItemLists) {
  EXPECT_EQ(parse("use m { a, , b; }"),
            "[Use { module: \"m\", alias: None, items: Some([\"a\", \"b\"]) }]");
  EXPECT_EQ(parse("use m { a ( b ) \"c\" }"),
            "[Use { module: \"m\", alias: None, items: Some([\"a\", \"b\"]) }]");
  EXPECT_EQ(parse("use m { } x"),
            "[Use { module: \"m\", alias: None, items: Some([]) }, Expr(Identifier(\"x\"))]");
  EXPECT_EQ(parse("use m { a b"),
            "[Use { module: \"m\", alias: None, items: Some([\"a\", \"b\"]) }]");
}

TEST(ParserRecoveryTest, DictLiterals) {
  // Keys are bare names: anything else is passed over, and a name without ":" is dropped.
  EXPECT_EQ(parse("{1: a, b: 2}"), "[Expr(Dict([(\"b\", Number(2))]))]");
  EXPECT_EQ(parse("{a: 1,, b: 2}"), "[Expr(Dict([(\"a\", Number(1)), (\"b\", Number(2))]))]");
  EXPECT_EQ(parse("{a: 1 ; b: 2 c: 3}"),
            "[Expr(Dict([(\"a\", Number(1)), (\"b\", Number(2)), (\"c\", Number(3))]))]");
  EXPECT_EQ(parse("{a: 1, a: 2}"), "[Expr(Dict([(\"a\", Number(1)), (\"a\", Number(2))]))]");
  EXPECT_EQ(parse("{a: }"), "[Expr(Dict([(\"a\", Number(0))]))]");
  // Brackets left open inside a value are closed by the dict's brace.
  EXPECT_EQ(parse("{a: (1}"), "[Expr(Dict([(\"a\", Number(1))]))]");
  EXPECT_EQ(parse("{a: [1, 2}"), "[Expr(Dict([(\"a\", Array([Number(1), Number(2)]))]))]");
  EXPECT_EQ(parse("{a: f(1} x"),
            "[Expr(Dict([(\"a\", Call { name: \"f\", args: [Number(1)] })])), "
            "Expr(Identifier(\"x\"))]");
}

TEST(ParserRecoveryTest, ArgumentAndArrayLists) {
  EXPECT_EQ(parse("[1 : 2 => 3 else 4]"),
            "[Expr(Array([Number(1), Number(2), Number(3), Number(4)]))]");
  EXPECT_EQ(parse("[1, ]"), "[Expr(Array([Number(1)]))]");
  EXPECT_EQ(parse("[,]"), "[Expr(Array([Number(0)]))]");
  EXPECT_EQ(parse("f(,)"), "[Expr(Call { name: \"f\", args: [Number(0)] })]");
  EXPECT_EQ(parse("f(= ? ->)"), "[Expr(Call { name: \"f\", args: [] })]");
  // Any closing bracket ends a list; the wrong one is then left to the statement level.
  EXPECT_EQ(parse("f(1 ] 2)"), "[Expr(Call { name: \"f\", args: [Number(1)] }), Expr(Number(2))]");
  EXPECT_EQ(parse("[1, 2)"), "[Expr(Array([Number(1), Number(2)]))]");
  EXPECT_EQ(parse("[f(1]"), "[Expr(Array([Call { name: \"f\", args: [Number(1)] }]))]");
}

TEST(ParserRecoveryTest, OperatorsAndPostfixWithMissingParts) {
  EXPECT_EQ(parse("1 +"), "[Expr(BinaryOp { left: Number(1), op: Plus, right: Number(0) })]");
  EXPECT_EQ(parse("-"), "[Expr(UnaryOp { op: Minus, operand: Number(0) })]");
  EXPECT_EQ(parse("not"), "[Expr(UnaryOp { op: Not, operand: Number(0) })]");
  EXPECT_EQ(parse("and x"),
            "[Expr(BinaryOp { left: Number(0), op: And, right: Identifier(\"x\") })]");
  EXPECT_EQ(parse("1.."), "[Expr(Range { start: Number(1), end: Number(0) })]");
  // A stray dot is passed over inside the suffix loop, so the call still applies.
  EXPECT_EQ(parse("x."), "[Expr(Identifier(\"x\"))]");
  EXPECT_EQ(parse("x.1"), "[Expr(Identifier(\"x\")), Expr(Number(1))]");
  EXPECT_EQ(parse("a.(b)"), "[Expr(Call { name: \"a\", args: [Identifier(\"b\")] })]");
  // Call shapes through indexing: a string index on a name is a dotted name, anything else
  // passes the receiver first or goes through "call".
  EXPECT_EQ(parse("a[\"f\"](1)"), "[Expr(Call { name: \"a.f\", args: [Number(1)] })]");
  EXPECT_EQ(parse("a.b.c(1)"),
            "[Expr(Call { name: \"c\", args: [Index { object: Identifier(\"a\"), index: "
            "String(\"b\") }, Number(1)] })]");
  EXPECT_EQ(parse("\"s\".f()"), "[Expr(Call { name: \"f\", args: [String(\"s\")] })]");
  EXPECT_EQ(parse("a[0](1)"),
            "[Expr(Call { name: \"call\", args: [Index { object: Identifier(\"a\"), index: "
            "Number(0) }, Number(1)] })]");
}

TEST(ParserRecoveryTest, UnterminatedAtEndOfInput) {
  EXPECT_EQ(parse("if a { x"),
            "[If { condition: Identifier(\"a\"), then_body: [Expr(Identifier(\"x\"))], "
            "else_body: None }]");
  EXPECT_EQ(parse("if a { } else {"),
            "[If { condition: Identifier(\"a\"), then_body: [], else_body: Some([]) }]");
  EXPECT_EQ(parse("while a {"), "[While { condition: Identifier(\"a\"), body: [] }]");
  EXPECT_EQ(parse("for i in xs {"), "[For { var: \"i\", iter: Identifier(\"xs\"), body: [] }]");
  EXPECT_EQ(parse("match v {"), "[Match { expr: Identifier(\"v\"), arms: [] }]");
  EXPECT_EQ(parse("match v { 1 =>"),
            "[Match { expr: Identifier(\"v\"), arms: [(Value(Number(1)), [Expr(Number(0))])] }]");
  EXPECT_EQ(parse("try { a } catch e {"),
            "[Try { body: [Expr(Identifier(\"a\"))], catch_var: \"e\", catch_body: [] }]");
  // A try body that runs to the end has no catch, so the statement is dropped.
  EXPECT_EQ(parse("try { a"), "[]");
  EXPECT_EQ(parse("def f(a, b"), "[]");
  EXPECT_EQ(parse("use m {"), "[Use { module: \"m\", alias: None, items: Some([]) }]");
  EXPECT_EQ(parse("[1, 2"), "[Expr(Array([Number(1), Number(2)]))]");
  EXPECT_EQ(parse("(1 + 2"), "[Expr(BinaryOp { left: Number(1), op: Plus, right: Number(2) })]");
  EXPECT_EQ(parse("a[1"), "[Expr(Index { object: Identifier(\"a\"), index: Number(1) })]");
  EXPECT_EQ(parse("{a: 1"), "[Expr(Dict([(\"a\", Number(1))]))]");
  EXPECT_EQ(parse("{a"), "[Expr(Dict([]))]");
  // An unterminated string or block comment runs to the end of the input.
  EXPECT_EQ(parse("print(\"abc"), "[Expr(Call { name: \"print\", args: [String(\"abc\")] })]");
  EXPECT_EQ(parse("x = 1 /* y = 2"), "[Assign { name: \"x\", value: Number(1) }]");
  // Every open construct ends at the end of the input, innermost first.
  EXPECT_EQ(parse("def f() { if a { while b { match c { _ => { g(["),
            "[Function { name: \"f\", params: [], body: [If { condition: Identifier(\"a\"), "
            "then_body: [While { condition: Identifier(\"b\"), body: [Match { expr: "
            "Identifier(\"c\"), arms: [(Wildcard, [Expr(Call { name: \"g\", args: "
            "[Array([])] })])] }] }], else_body: None }] }]");
}

// How many If statements are nested through the first statement of each then-body. The tree
// is walked in a loop: a tree this deep is too deep for recursive walks on the same stack.
size_t if_levels(const Stmt& outermost) {
  size_t levels = 0;
  for (const Stmt* stmt = &outermost; stmt && stmt->kind == StmtKind::If; ++levels) {
    const StmtList& body = static_cast<const IfStmt&>(*stmt).then_body;
    stmt = body.empty() ? nullptr : body.front().get();
  }
  return levels;
}

// Nesting deeper than the native stack allows is cut off: the levels within the limit are
// kept, the part beyond it is passed over, and what follows the nested construct still parses.
TEST(ParserRecoveryTest, DeepNestingIsCutOff) {
  constexpr size_t kDepth = 100000;
  std::string blocks;
  for (size_t i = 0; i < kDepth; ++i) blocks += "if a { ";
  blocks += "x = 1 ";
  for (size_t i = 0; i < kDepth; ++i) blocks += "} ";
  blocks += "let y = 2";
  StmtList program = parse_program(tokenize(blocks));
  ASSERT_EQ(program.size(), 2u);
  size_t levels = if_levels(*program[0]);
  EXPECT_GT(levels, 100u);
  EXPECT_LT(levels, kDepth);
  EXPECT_EQ(debug_text(*program[1]), "Let { name: \"y\", value: Number(2) }");

  std::string arrays(kDepth, '[');
  arrays += "1";
  arrays += std::string(kDepth, ']');
  arrays += " z";
  program = parse_program(tokenize(arrays));
  ASSERT_EQ(program.size(), 2u);
  ASSERT_EQ(program[0]->kind, StmtKind::Expr);
  const Expr* expr = static_cast<const ExprStmt&>(*program[0]).expr.get();
  levels = 0;
  const ArrayExpr* innermost = nullptr;
  while (expr->kind == ExprKind::Array) {
    ++levels;
    innermost = static_cast<const ArrayExpr*>(expr);
    if (innermost->elements.size() != 1) break;
    expr = innermost->elements.front().get();
  }
  EXPECT_GT(levels, 100u);
  EXPECT_LT(levels, kDepth);
  ASSERT_NE(innermost, nullptr);
  EXPECT_TRUE(innermost->elements.empty());  // the tokens past the limit, "1" too, are gone
  EXPECT_EQ(debug_text(*program[1]), "Expr(Identifier(\"z\"))");
}

}  // namespace
}  // namespace vormel
