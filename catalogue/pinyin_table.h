#pragma once
// Each Han character's pinyin initials, generated at build time from Debian's copy of the
// Unihan-derived pinyin data; sorted by code point.
#include <cstddef>

namespace pinyintable {

struct CEntry {
    unsigned int codePoint;
    const char* initials; // the most common reading's first
};

extern const CEntry kEntries[];
extern const std::size_t kEntryCount;

} // namespace pinyintable
