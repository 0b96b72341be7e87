// Internal to platform/os: reading UTF-8 one sequence at a time.
#pragma once

#include <cstddef>
#include <string>

namespace os_internal {

// Length of the valid UTF-8 sequence at `at` (1 for ASCII), or 0 when the bytes
// there start none (overlong forms, surrogates and cut-short sequences
// included). The code point goes to *codePoint when the length is not 0.
std::size_t Utf8Sequence(const std::string& text, std::size_t at, char32_t* codePoint);

}  // namespace os_internal
