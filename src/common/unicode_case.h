#pragma once
// Upper-casing as Windows compares file names: one code point to one, by the
// table NTFS and the system's ordinal comparison use (Unicode's simple case
// mapping, less a few letters whose capital is another letter's: the micro
// sign, dotless i and long s stay themselves, so "ı" and "I" are two files).
//
// Covered: Latin (ASCII, Latin-1, Extended-A, Extended Additional, which holds
// Vietnamese), Greek, Cyrillic (with its supplement), Armenian, Georgian,
// Roman numerals, circled letters and fullwidth ASCII. Every other code point
// is its own capital here (CJK has no case). A letter Windows folds and this
// table does not makes two names differ that Windows finds equal: callers that
// guard a boundary refuse in that case, never accept.

namespace velmoran {

char32_t SimpleUpperCase(char32_t c);

}  // namespace velmoran
