// Test failures name a check's refusal reasons instead of their numbers.
#pragma once
#include <ostream>

template <typename Refusal>
requires requires(Refusal refusal) {
    RefusalName(refusal);
}
std::ostream& operator<<(std::ostream& out, Refusal refusal) {
    return out << RefusalName(refusal);
}
