#include "dataset/eval/like_pattern.h"

#include "dataset/locale/locale_services.h"

namespace dorvem::eval {

LikePattern::LikePattern(const locale::Collator* collator, std::string_view pattern)
    : collator_(collator) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const auto c = static_cast<unsigned char>(pattern[i]);
    if (c == '%') {
      // Consecutive runs match what one does.
      if (tokens_.empty() || tokens_.back().kind != Kind::kAnyRun)
        tokens_.push_back({Kind::kAnyRun, 0});
    } else if (c == '_') {
      tokens_.push_back({Kind::kOne, 0});
    } else if (c == '\\' && i + 1 < pattern.size()) {
      tokens_.push_back({Kind::kChar, static_cast<unsigned char>(pattern[++i])});
    } else {
      tokens_.push_back({Kind::kChar, c});
    }
  }
}

bool LikePattern::CharEqual(unsigned char a, unsigned char b) {
  if (a == b) return true;
  if (collator_ == nullptr) return false;
  if (equal_.empty()) equal_.assign(256 * 256, 0);
  std::uint8_t& known = equal_[a * 256 + b];
  if (known == 0) {
    const char x = static_cast<char>(a), y = static_cast<char>(b);
    known = collator_->CompareA(&x, 1, &y, 1) == locale::kEqual ? 1 : 2;
  }
  return known == 1;
}

bool LikePattern::Matches(const unsigned char* text, std::size_t length) {
  // Greedy matching that, on a mismatch, lets the last '%' take one more
  // character and tries again from there.
  const std::size_t n = tokens_.size();
  std::size_t t = 0, p = 0;
  std::size_t runToken = n, runText = 0;
  while (t < length) {
    if (p < n && (tokens_[p].kind == Kind::kOne ||
                  (tokens_[p].kind == Kind::kChar && CharEqual(text[t], tokens_[p].c)))) {
      ++t;
      ++p;
    } else if (p < n && tokens_[p].kind == Kind::kAnyRun) {
      runToken = p++;
      runText = t;
    } else if (runToken != n) {
      p = runToken + 1;
      t = ++runText;
    } else {
      return false;
    }
  }
  while (p < n && tokens_[p].kind == Kind::kAnyRun) ++p;
  return p == n;
}

}  // namespace dorvem::eval
