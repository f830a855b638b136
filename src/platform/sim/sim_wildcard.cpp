#include "platform/sim/sim_wildcard.h"

#include <vector>

#include "platform/sim/sim_codepage.h"

namespace qr5::platform::sim {

namespace {

// The DOS wildcard forms, kept out of the range of name characters.
enum : int { kStar = 0x100, kDosStar, kDosQm, kDosDot };

std::vector<int> Translate(const std::string& mask) {
  std::vector<int> expr;
  if (mask == "*.*") return {kStar};
  for (size_t i = 0; i < mask.size(); ++i) {
    const char c = mask[i];
    const char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
    if (c == '?') {
      expr.push_back(kDosQm);
    } else if (c == '*') {
      expr.push_back(next == '.' ? kDosStar : kStar);
    } else if (c == '.' && (next == '?' || next == '*' || next == '\0')) {
      expr.push_back(kDosDot);
    } else {
      expr.push_back(static_cast<unsigned char>(AnsiUpper(c)));
    }
  }
  return expr;
}

class Matcher {
 public:
  Matcher(std::vector<int> expr, std::string name)
      : expr_(std::move(expr)), name_(AnsiUpper(name)),
        memo_((expr_.size() + 1) * (name_.size() + 1), -1) {}

  bool Match(size_t e, size_t n) {
    signed char& slot = memo_[e * (name_.size() + 1) + n];
    if (slot < 0) slot = Compute(e, n) ? 1 : 0;
    return slot == 1;
  }

 private:
  bool Compute(size_t e, size_t n) {
    const size_t end = name_.size();
    if (e == expr_.size()) return n == end;
    const int c = expr_[e];
    switch (c) {
      case kStar:
        return Match(e + 1, n) || (n < end && Match(e, n + 1));
      case kDosStar:
        // Anything up to, but not across, the last dot of the name.
        if (Match(e + 1, n)) return true;
        return n < end && (name_[n] != '.' || name_.find('.', n + 1) != std::string::npos) &&
               Match(e, n + 1);
      case kDosQm:
        if (n == end || name_[n] == '.') return Match(e + 1, n);
        return Match(e + 1, n + 1);
      case kDosDot:
        if (n == end) return Match(e + 1, n);
        return name_[n] == '.' && Match(e + 1, n + 1);
      default:
        return n < end && static_cast<unsigned char>(name_[n]) == c && Match(e + 1, n + 1);
    }
  }

  std::vector<int> expr_;
  std::string name_;
  std::vector<signed char> memo_;
};

}  // namespace

bool HasWildcards(const std::string& mask) { return mask.find_first_of("*?") != std::string::npos; }

bool WildcardMatch(const std::string& mask, const std::string& name) {
  Matcher matcher(Translate(mask), name);
  return matcher.Match(0, 0);
}

}  // namespace qr5::platform::sim
