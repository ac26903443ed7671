// The decoder command on arbitrary source text from the input box: it always writes the
// output box, publishes only a result that holds "http://", and otherwise shows its failure
// text and leaves the clipboard as it was.
#include <cstdlib>
#include <memory>

#include "codec/base64.h"
#include "fake_surface.h"
#include "fuzz/fuzz_input.h"
#include "links/link_commands.h"
#include "links/link_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrova;
  const std::u16string source = fuzz::Utf16(data, size);
  testing::FakeTextBox input(source);
  testing::FakeTextBox output;
  testing::FakeClipboard clipboard(u"kept");
  static std::unique_ptr<Base64> codec;
  LinkSurface surface{input, output, clipboard, codec};

  // A box of spaces only counts as empty, and the clipboard is read instead.
  DecodeToPlain(surface);
  if (output.writes.size() != 1) std::abort();
  const std::u16string& shown = output.writes.front();
  if (links::Holds(shown, links::kHttp)) {
    if (clipboard.current() != shown) std::abort();
  } else if (shown != links::kNotSpecialLink || clipboard.current() != u"kept") {
    std::abort();
  }
  return 0;
}
