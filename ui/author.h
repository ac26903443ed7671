// The author's contact details, shown in the About box and the credit line. Placeholders: the
// number belongs to nobody and the address uses a domain reserved for examples.
#pragma once

#include <string_view>

namespace zentrova::author {

inline constexpr std::u16string_view kName = u"Ovrani";
inline constexpr std::u16string_view kMessengerNumber = u"10000000";
inline constexpr std::u16string_view kWebAddress = u"www.ovrani.example";

}  // namespace zentrova::author
