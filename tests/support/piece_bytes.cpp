#include "piece_bytes.h"

namespace zirared::test {

std::string Digits(int value) {
    return {static_cast<char>('0' + value / 100 % 10), static_cast<char>('0' + value / 10 % 10),
            static_cast<char>('0' + value % 10)};
}

std::string PieceHeader(int index, int count, const std::string& suffix) {
    return "VAVOVOZ" + Digits(index) + Digits(count) + suffix;
}

}  // namespace zirared::test
