#include "text/countdown.h"

#include <cstring>

std::string CountdownText(const std::tm&, int, int, int) {
    return {};
}

void BuildCountdownText(char* out, size_t size) {
    if (size > 0) out[0] = '\0';
}
