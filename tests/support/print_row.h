#pragma once

#include <ostream>

namespace zirared::test {

template <class Row>
concept NamedRow = requires(const Row& row) {
    row.why;
}
|| requires(const Row& row) {
    row.name;
};

// GoogleTest prints a table row by its `why` (or `name`): bring it in with
// `using test::PrintTo;` in the namespace of the rows.
template <NamedRow Row>
void PrintTo(const Row& row, std::ostream* out) {
    if constexpr (requires { row.why; }) {
        *out << row.why;
    } else {
        *out << row.name;
    }
}

}  // namespace zirared::test
