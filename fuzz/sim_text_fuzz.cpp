// The text formats of the simulated machine: registry.reg must parse or be
// refused with a message, and what it writes must read back unchanged; an
// INI edit must leave a file in which the edited key reads back, also in a
// file saved anew as Wine saves it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/sim/sim_ini_text.h"
#include "platform/sim/sim_reg_file.h"

using namespace qr5::platform::sim;

namespace {

// Names and values from a small alphabet, without line breaks, as the
// profile functions accept them.
std::string Word(const uint8_t*& data, size_t& size, size_t max) {
  static const char kAlphabet[] = "abAB =;[]\"' \t_\xE9";
  std::string word;
  while (size > 0 && word.size() < max) {
    const uint8_t c = *data++;
    --size;
    if (c == 0xFF) break;
    word.push_back(kAlphabet[c % (sizeof kAlphabet - 1)]);
  }
  return word;
}

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\n\v\f\x1A";
  const size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string whole(reinterpret_cast<const char*>(data), size);
  try {
    const RegDatabase db = RegDatabase::Parse(whole, "fuzz.reg");
    const std::string text = db.Serialize();
    if (RegDatabase::Parse(text, "again.reg").Serialize() != text) std::abort();
  } catch (const std::runtime_error&) {
  }

  if (size < 3) return 0;
  const std::string section = Word(data, size, 8);
  const std::string key = Word(data, size, 8);
  const std::string value = Word(data, size, 12);
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string want_section = Trimmed(section);
  const std::string want_key = Trimmed(key);
  // What the profile functions refuse or Windows itself cannot read back.
  if (want_section.empty() || want_key.empty() || key.find('=') != std::string::npos ||
      want_key[0] == '[' || want_section.find(']') != std::string::npos) {
    return 0;
  }
  const std::string edited = IniEdit(text, section, key, value);
  const auto found = IniFindValue(edited, section, key);
  if (!found || *found != Trimmed(value)) std::abort();
  // Saved as Wine saves it: a fixed form, in which the key reads back too.
  // A file without a byte-order mark whose first line that stays begins
  // with those three bytes reads as marked once saved: the form is fixed
  // from the second save on.
  const std::string saved = IniRewrite(IniRewrite(text));
  if (IniRewrite(saved) != saved) std::abort();
  if (IniFindValue(IniEdit(saved, section, key, value), section, key) != found) std::abort();
  (void)IniProfileValue(*found);
  return 0;
}
