#pragma once

#include <string>

namespace zirared::test {

// A piece's number as its name and header carry it: three digits, zero-padded.
std::string Digits(int value);

// The 16 bytes that open piece `index` of `count`, written out by hand.
std::string PieceHeader(int index, int count, const std::string& suffix = "doc");

}  // namespace zirared::test
