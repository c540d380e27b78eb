#include <gtest/gtest.h>

#include "cli/driver.hpp"

namespace vormel {
namespace {

TEST(ArgumentsTest, NoArgumentsStartTheRepl) {
  EXPECT_EQ(parse_arguments({"vormel"}).kind, Command::Kind::Repl);
}

}  // namespace
}  // namespace vormel
