// Which reading of a link's bytes a person would choose when they are valid both as UTF-8 and
// as code page 936. The GBK bytes of many short Chinese names are valid UTF-8 by chance (a lead
// byte C2-DF and a trail byte 80-BF make a two-byte sequence): "水" (CB AE) reads as "ˮ".
#pragma once

#include <string_view>

namespace zentrova::lists {

// True when `gbk`, the code-page-936 reading of `bytes`, is the one to keep rather than `utf8`,
// their UTF-8 reading. UTF-8 that holds CJK characters stays UTF-8, and so does UTF-8 whose only
// characters beyond ASCII are invisible ones (which the lists then refuse); otherwise the reading
// whose characters are more plausible in a name wins (each ASCII word whose first letter GBK would
// take into a character counting against its reading), and a tie keeps UTF-8. CJK, kana, Hangul,
// full-width forms, common punctuation and Latin-1 letters inside Latin words are plausible;
// Latin-extended, IPA, Greek, Cyrillic, Armenian, Hebrew, Arabic, box drawing, C1 controls,
// invisible and direction marks and private-use characters are not.
bool ReadsBetterAsGbk(std::string_view bytes, std::u16string_view utf8, std::u16string_view gbk);

// Whether `text` holds a CJK ideograph: UTF-8 that does is never read otherwise, so a caller
// need not make the other reading.
bool HoldsCjk(std::u16string_view text);

}  // namespace zentrova::lists
