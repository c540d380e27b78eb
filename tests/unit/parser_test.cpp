#include "parser/parser.hpp"

#include <gtest/gtest.h>

#include "lexer/lexer.hpp"

namespace vormel {
namespace {

std::string parse(std::string_view source) { return debug_text(parse_program(tokenize(source))); }

// The debug text of the single expression statement `source`.
std::string expr(std::string_view source) {
  StmtList program = parse_program(tokenize(source));
  if (program.size() != 1 || program[0]->kind != StmtKind::Expr)
    return "not one expression: " + debug_text(program);
  return debug_text(*static_cast<const ExprStmt&>(*program[0]).expr);
}

TEST(ParserTest, StatementForms) {
  EXPECT_EQ(parse("let x = 1; let y = 2"),
            "[Let { name: \"x\", value: Number(1) }, Let { name: \"y\", value: Number(2) }]");
  EXPECT_EQ(parse("let x y = 2"), "[Assign { name: \"y\", value: Number(2) }]");
  EXPECT_EQ(parse("def f(a, b) { return a + b }"),
            "[Function { name: \"f\", params: [\"a\", \"b\"], body: [Return(Some(BinaryOp { left: "
            "Identifier(\"a\"), op: Plus, right: Identifier(\"b\") }))] }]");
  EXPECT_EQ(parse("def f() { return }"),
            "[Function { name: \"f\", params: [], body: [Return(None)] }]");
  EXPECT_EQ(parse("return;"), "[Return(None)]");
  EXPECT_EQ(parse("if a { }"),
            "[If { condition: Identifier(\"a\"), then_body: [], else_body: None }]");
  EXPECT_EQ(parse("if a { } else if b { }"),
            "[If { condition: Identifier(\"a\"), then_body: [], else_body: None }, If { condition: "
            "Identifier(\"b\"), then_body: [], else_body: None }]");
  EXPECT_EQ(parse("for i in 1..5 { }"),
            "[For { var: \"i\", iter: Range { start: Number(1), end: Number(5) }, body: [] }]");
  EXPECT_EQ(parse("x += 1"), "[CompoundAssign { name: \"x\", op: PlusAssign, value: Number(1) }]");
  EXPECT_EQ(parse("global counter"), "[Global(\"counter\")]");
  EXPECT_EQ(
      parse("try { risky() } catch e { print(e) }"),
      "[Try { body: [Expr(Call { name: \"risky\", args: [] })], catch_var: \"e\", catch_body: "
      "[Expr(Call { name: \"print\", args: [Identifier(\"e\")] })] }]");
  EXPECT_EQ(parse(";"), "[Expr(Number(0))]");
}

TEST(ParserTest, MatchAndUse) {
  std::string arms =
      "[Match { expr: Identifier(\"v\"), arms: [(Value(Number(1)), [Expr(Identifier(\"a\"))]), "
      "(Wildcard, [Expr(Identifier(\"b\"))])] }]";
  EXPECT_EQ(parse("match v { 1 => a _ => b }"), arms);
  EXPECT_EQ(parse("match v { 1 => a; _ => b; }"), arms);
  EXPECT_EQ(parse("match v { 1 => a, _ => b }"), arms);  // a stray comma is passed over
  EXPECT_EQ(parse("use m;"), "[Use { module: \"m\", alias: None, items: None }]");
  EXPECT_EQ(parse("use m as n"), "[Use { module: \"m\", alias: Some(\"n\"), items: None }]");
  EXPECT_EQ(parse("use m { a, b }"),
            "[Use { module: \"m\", alias: None, items: Some([\"a\", \"b\"]) }]");
  EXPECT_EQ(parse("use m { a 1 b }"),
            "[Use { module: \"m\", alias: None, items: Some([\"a\", \"b\"]) }]");
}

TEST(ParserTest, PrecedenceAndAssociativity) {
  EXPECT_EQ(expr("1 + 2 * 3"),
            "BinaryOp { left: Number(1), op: Plus, right: BinaryOp { left: Number(2), op: Star, "
            "right: Number(3) } }");
  EXPECT_EQ(expr("10 - 4 - 3"),
            "BinaryOp { left: BinaryOp { left: Number(10), op: Minus, right: Number(4) }, op: "
            "Minus, right: Number(3) }");
  EXPECT_EQ(expr("2 ** 3 ** 2"),
            "BinaryOp { left: BinaryOp { left: Number(2), op: Power, right: Number(3) }, op: "
            "Power, right: Number(2) }");
  EXPECT_EQ(expr("not a == b"),
            "BinaryOp { left: UnaryOp { op: Not, operand: Identifier(\"a\") }, op: Equal, right: "
            "Identifier(\"b\") }");
  EXPECT_EQ(
      expr("-a.b"),
      "UnaryOp { op: Minus, operand: Index { object: Identifier(\"a\"), index: String(\"b\") } }");
  EXPECT_EQ(
      expr("a..b..c"),
      "not one expression: [Expr(Range { start: Identifier(\"a\"), end: Identifier(\"b\") }), "
      "Expr(Range { start: Number(0), end: Identifier(\"c\") })]");
  EXPECT_EQ(expr("+ 3"), "BinaryOp { left: Number(0), op: Plus, right: Number(3) }");
}

TEST(ParserTest, CallShapes) {
  EXPECT_EQ(
      expr("sdl2.create_window(t, 640, 480)"),
      "Call { name: \"sdl2.create_window\", args: [Identifier(\"t\"), Number(640), Number(480)] }");
  EXPECT_EQ(expr("[1, 2].g()"), "Call { name: \"g\", args: [Array([Number(1), Number(2)])] }");
  EXPECT_EQ(expr("f(1)(2)"),
            "Call { name: \"call\", args: [Call { name: \"f\", args: [Number(1)] }, Number(2)] }");
  EXPECT_EQ(expr("(f)(3)"), "Call { name: \"f\", args: [Number(3)] }");
  EXPECT_EQ(expr("print(1,"), "Call { name: \"print\", args: [Number(1)] }");
  EXPECT_EQ(expr("f(1 2)"), "Call { name: \"f\", args: [Number(1), Number(2)] }");
  EXPECT_EQ(expr("f(1,,2)"), "Call { name: \"f\", args: [Number(1), Number(0), Number(2)] }");
  EXPECT_EQ(expr("f(a : b)"), "Call { name: \"f\", args: [Identifier(\"a\"), Identifier(\"b\")] }");
}

TEST(ParserTest, Literals) {
  EXPECT_EQ(expr("{a: 1, b}"), "Dict([(\"a\", Number(1))])");
  EXPECT_EQ(expr("{}"), "Dict([])");
  EXPECT_EQ(expr("{\"k\": 1, a: 2}"), "Dict([(\"a\", Number(2))])");
  EXPECT_EQ(expr("[]"), "Array([])");
  EXPECT_EQ(expr("a.b[0]"),
            "Index { object: Index { object: Identifier(\"a\"), index: String(\"b\") }, index: "
            "Number(0) }");
}

TEST(ParserTest, EveryInputEnds) {
  EXPECT_EQ(parse(") ] , : = += => -> ? else in catch as }"), "[]");
  EXPECT_EQ(
      parse("def f() { let x = 1"),
      "[Function { name: \"f\", params: [], body: [Let { name: \"x\", value: Number(1) }] }]");
  std::string deep(200000, '(');
  EXPECT_NO_FATAL_FAILURE(parse_program(tokenize(deep)));
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "def f() { ";
  EXPECT_NO_FATAL_FAILURE(parse_program(tokenize(nested)));
}

}  // namespace
}  // namespace vormel

namespace vormel {
namespace {

// Whatever depth the parser reaches, the tree's text shows every level: printing a level
// needs less native stack than parsing it did.
TEST(ParserTest, DebugTextOfTheDeepestTreeIsWhole) {
  std::string source;
  for (int i = 0; i < 100000; ++i) source += "if a { ";
  StmtList program = parse_program(tokenize(source));
  size_t depth = 0;
  for (const StmtList* level = &program; !level->empty(); ++depth)
    level = &static_cast<const IfStmt&>(*level->front()).then_body;
  ASSERT_GT(depth, 1000u);
  std::string text = debug_text(program);
  EXPECT_EQ(text.rfind("[If { condition: Identifier(\"a\"), then_body: [If", 0), 0u);
  EXPECT_EQ(text.find("..."), std::string::npos);
  size_t ifs = 0;
  for (size_t at = text.find("If {"); at != std::string::npos; at = text.find("If {", at + 1))
    ++ifs;
  EXPECT_EQ(ifs, depth);
}

}  // namespace
}  // namespace vormel
