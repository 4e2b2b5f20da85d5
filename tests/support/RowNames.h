#pragma once
// Test names for the rows of a parameterised suite. A row type has a PrintTo
// (for failure messages); its name in the test list is what PrintTo prints,
// made into a name GoogleTest accepts. Names never hold addresses or raw
// bytes, so they are the same in every build and `ctest --rerun-failed` works;
// a row type without a PrintTo stops the test program at once.
//
//   void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }
//   INSTANTIATE_TEST_SUITE_P(Rows, Suite, ::testing::ValuesIn(kRows), tolva::testing::RowName());

#include <gtest/gtest.h>

#include <string>

namespace tolva::testing {

// Letters, digits and underscores stay; signs that tell rows apart become
// words ("-0.5" -> "Minus0Dot5"); a run of blanks or other signs becomes one
// underscore, none at the end.
std::string TestName(const std::string& printed);

struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const
    {
        return TestName(::testing::PrintToString(info.param));
    }
};

} // namespace tolva::testing
