#pragma once
// Upper-casing as Windows compares file names: one code point to one, as
// Unicode's simple case mapping does (no "ß" to "SS", no locale rules). It
// covers the cased letters of the Latin (ASCII, Latin-1, Latin Extended-A),
// Greek and Cyrillic blocks and fullwidth ASCII; every other code point is
// its own upper case (CJK has no case).

namespace velmoran {

char32_t SimpleUpperCase(char32_t c);

}  // namespace velmoran
