// The narrow code page where the system has none: a process-wide setting, code page 936 from
// the project's own table and the others served by iconv.
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <vector>

#include "codec/code_page.h"

namespace zentrova::codepage {

namespace {

// Both directions as lookup tables, built once per code page through iconv: a conversion is
// then one table read per character instead of one iconv call per character.
struct Tables {
  struct Bytes {
    std::uint8_t length = 0;  // 0: the code page cannot hold this code unit
    char bytes[2] = {};
  };
  static constexpr std::uint32_t kLead = 0x10000;
  static constexpr std::uint32_t kInvalid = 0x20000;

  std::uint32_t codePage = 0;
  std::vector<Bytes> narrow = std::vector<Bytes>(0x10000);
  std::array<std::uint32_t, 256> single{};
  std::vector<char16_t> pairs = std::vector<char16_t>(0x10000);  // 0: no character
  bool asciiIsItself = false;  // ASCII's code units and bytes are the same (not so in EBCDIC)
};

#include "codec/code_page_936.inc"

// Code page 936, the program's home, from the table compiled in: iconv's CP936 lacks what
// Windows adds, and some systems (the browser's) have no iconv for it at all.
std::unique_ptr<Tables> Tables936() {
  auto tables = std::make_unique<Tables>();
  tables->codePage = 936;
  auto add = [&](std::uint32_t unit, std::uint8_t length, unsigned first, unsigned second) {
    tables->narrow[unit] = {length, {static_cast<char>(first), static_cast<char>(second)}};
  };
  for (std::uint32_t byte = 0; byte < 0x80; ++byte) {
    tables->single[byte] = byte;
    add(byte, 1, byte, 0);
  }
  constexpr unsigned kFirstLead = 0x81, kFirstTrail = 0x40, kTrails = 0xFF - kFirstTrail;
  for (std::uint32_t byte = 0x80; byte <= 0xFF; ++byte) {
    const std::uint16_t unit = kSingles936[byte - 0x80];
    if (unit != 0) {
      tables->single[byte] = unit;
      add(unit, 1, byte, 0);
      continue;
    }
    tables->single[byte] = Tables::kLead;
    for (unsigned trail = kFirstTrail; trail <= 0xFE; ++trail) {
      const std::uint16_t pair = kPairs936[(byte - kFirstLead) * kTrails + (trail - kFirstTrail)];
      if (pair == 0) continue;
      tables->pairs[(byte << 8) | trail] = pair;
      add(pair, 2, byte, trail);
    }
  }
  tables->asciiIsItself = true;
  return tables;
}

#ifdef ZENTROVA_ONLY_CODE_PAGE_936
// The web page would carry iconv's tables of other code pages for nothing.
std::unique_ptr<Tables> TablesFromIconv(std::uint32_t) { return nullptr; }
#else
// Whether `tables` map each ASCII code unit to the byte of the same value and back.
bool AsciiIsItself(const Tables& tables) {
  for (std::uint32_t unit = 0; unit < 0x80; ++unit) {
    const Tables::Bytes& entry = tables.narrow[unit];
    if (entry.length != 1 || static_cast<unsigned char>(entry.bytes[0]) != unit ||
        tables.single[unit] != unit) {
      return false;
    }
  }
  return true;
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in`; returns the bytes written, or -1 with errno set.
  long Convert(const char* in, std::size_t inSize, char* out, std::size_t outSize) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    char* dst = out;
    std::size_t outLeft = outSize;
    if (iconv(handle_, &src, &inSize, &dst, &outLeft) == static_cast<std::size_t>(-1)) return -1;
    if (iconv(handle_, nullptr, nullptr, &dst, &outLeft) == static_cast<std::size_t>(-1)) {
      return -1;
    }
    return static_cast<long>(outSize - outLeft);
  }

 private:
  iconv_t handle_;
};

std::unique_ptr<Tables> TablesFromIconv(std::uint32_t codePage) {
  const std::string name = "CP" + std::to_string(codePage);
  Iconv toNarrow(name.c_str(), "UTF-16LE");
  Iconv toWide("UTF-16LE", name.c_str());
  if (!toNarrow.ok() || !toWide.ok()) return nullptr;

  auto tables = std::make_unique<Tables>();
  tables->codePage = codePage;
  for (std::uint32_t unit = 0; unit < 0x10000; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // half a pair is never a character
    const char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char out[8];
    const long n = toNarrow.Convert(in, 2, out, sizeof out);
    if (n == 1 || n == 2) {
      tables->narrow[unit].length = static_cast<std::uint8_t>(n);
      tables->narrow[unit].bytes[0] = out[0];
      tables->narrow[unit].bytes[1] = out[1];
    } else if (n > 2) {
      return nullptr;  // longer sequences: not an ANSI code page
    }
  }
  for (std::uint32_t lead = 0; lead < 256; ++lead) {
    const char in[1] = {static_cast<char>(lead)};
    char out[8];
    const long n = toWide.Convert(in, 1, out, sizeof out);
    if (n == 2) {
      tables->single[lead] =
          static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8);
      continue;
    }
    if (n >= 0 || errno != EINVAL) {
      tables->single[lead] = Tables::kInvalid;
      continue;
    }
    tables->single[lead] = Tables::kLead;
    for (std::uint32_t trail = 0; trail < 256; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      if (toWide.Convert(pair, 2, out, sizeof out) == 2) {
        tables->pairs[(lead << 8) | trail] = static_cast<char16_t>(
            static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
      }
    }
  }
  tables->asciiIsItself = AsciiIsItself(*tables);
  return tables;
}
#endif

std::unique_ptr<Tables> BuildTables(std::uint32_t codePage) {
  return codePage == 936 ? Tables936() : TablesFromIconv(codePage);
}

// When iconv lacks the code page, ASCII still round-trips and everything else becomes "?".
std::unique_ptr<Tables> AsciiTables(std::uint32_t codePage) {
  auto tables = std::make_unique<Tables>();
  tables->codePage = codePage;
  for (std::uint32_t unit = 0; unit < 0x80; ++unit) {
    tables->narrow[unit] = {1, {static_cast<char>(unit), 0}};
    tables->single[unit] = unit;
  }
  for (std::uint32_t byte = 0x80; byte < 0x100; ++byte) tables->single[byte] = Tables::kInvalid;
  tables->asciiIsItself = true;
  return tables;
}

// The one piece of global mutable state the codec has: the host offers no ANSI code page, so
// the process carries its own.
std::uint32_t gCodePage = kDefaultCodePage;
std::unique_ptr<Tables> gTables;

const Tables& CurrentTables() {
  if (!gTables || gTables->codePage != gCodePage) {
    gTables = BuildTables(gCodePage);
    if (!gTables) gTables = AsciiTables(gCodePage);
  }
  return *gTables;
}

}  // namespace

std::uint32_t NarrowCodePage() { return gCodePage; }

bool SetNarrowCodePage(std::uint32_t codePage) {
  if (codePage == gCodePage) return true;
  auto tables = BuildTables(codePage);
  if (!tables) return false;
  gTables = std::move(tables);
  gCodePage = codePage;
  return true;
}

bool HoldsUnit(char16_t unit) { return CurrentTables().narrow[unit].length != 0; }

std::string ToNarrow(std::u16string_view text) {
  const Tables& tables = CurrentTables();
  // Most texts (links among them) are ASCII throughout, and then their own bytes.
  if (tables.asciiIsItself && IsAscii(text)) return std::string(text.begin(), text.end());
  // Counted first, so a long text costs its own size and no more.
  std::size_t size = 0;
  for (const char16_t unit : text) size += std::max<std::size_t>(tables.narrow[unit].length, 1);
  std::string bytes(size, '\0');
  char* out = bytes.data();
  for (const char16_t unit : text) {
    const Tables::Bytes& entry = tables.narrow[unit];
    if (entry.length == 0) {
      *out++ = '?';
    } else {
      out[0] = entry.bytes[0];
      out[1] = entry.bytes[1];
      out += entry.length;
    }
  }
  bytes.resize(static_cast<std::size_t>(out - bytes.data()));
  return bytes;
}

std::u16string FromNarrow(std::string_view bytes) {
  const Tables& tables = CurrentTables();
  if (tables.asciiIsItself && IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
  std::u16string text(bytes.size(), u'\0');
  char16_t* out = text.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::uint32_t single = tables.single[lead];
    if (single < Tables::kLead) {
      *out++ = static_cast<char16_t>(single);
      continue;
    }
    char16_t pair = 0;
    if (single == Tables::kLead && i + 1 < bytes.size()) {
      pair = tables.pairs[(lead << 8) | static_cast<unsigned char>(bytes[i + 1])];
    }
    if (pair != 0) {
      *out++ = pair;
      ++i;
    } else {
      *out++ = u'\uFFFD';
    }
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return text;
}

std::optional<std::u16string> FromValidNarrow(std::string_view bytes) {
  std::u16string text = FromNarrow(bytes);
  // No code page here maps a byte sequence to U+FFFD: each one in the text is a bad byte.
  if (text.find(u'\uFFFD') != std::u16string::npos) return std::nullopt;
  return text;
}

}  // namespace zentrova::codepage
