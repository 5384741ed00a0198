#pragma once
// Upper-casing as Windows compares file names: one code point to one, by the
// table NTFS and the system's ordinal comparison use (Unicode's simple case
// mapping, less a few letters whose capital is another letter's: the micro
// sign, dotless i and long s stay themselves, so "ı" and "I" are two files).
//
// The table follows Windows Vista's for every letter of the Basic Multilingual
// Plane but four whose capital is longer in UTF-8 than they are (ɫ, ɽ, and Ⱥ,
// Ⱦ, which Windows maps the other way round): upper-casing here keeps each
// character's length in bytes. Characters beyond the BMP (two UTF-16 units)
// are not folded. A letter Windows folds and this does not (the four, and any
// a later Windows added) makes two names differ that Windows finds equal:
// callers that guard a boundary then refuse, never accept.

namespace velmoran {

char32_t SimpleUpperCase(char32_t c);

}  // namespace velmoran
