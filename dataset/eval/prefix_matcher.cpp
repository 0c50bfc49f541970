#include "dataset/eval/prefix_matcher.h"

#include <algorithm>

#include "dataset/locale/locale_services.h"

namespace dorvem::eval {
namespace {

bool IsPrefix(const std::vector<std::uint16_t>& head, const std::vector<std::uint16_t>& whole) {
  return head.size() <= whole.size() && std::equal(head.begin(), head.end(), whole.begin());
}

// The first position from which a contraction can reach position m: no
// contraction is longer than the profile's longest.
std::size_t Reach(const CollationProfile& profile, std::size_t m) {
  const std::size_t longest = profile.LongestContraction();
  return m + 1 > longest ? m + 1 - longest : 0;
}

// True when no unit of `t` spans positions m - 1 and m (m >= 1): no
// contraction or context string occurs in t starting before m and ending
// after it, and t[m] never attaches to the character before it.
bool SplitsAt(const CollationProfile& profile, const std::u16string& t, unsigned char keyAtM,
              std::size_t m) {
  if (!profile.Analysed() || !profile.Starter(keyAtM)) return false;
  for (std::size_t i = Reach(profile, m); i < m; ++i)
    for (const std::u16string& c : profile.ContractionsFrom(t[i]))
      if (i + c.size() > m && i + c.size() <= t.size() && t.compare(i, c.size(), c) == 0)
        return false;
  return true;
}

// The characters that can continue across position m a unit that begins at
// or before `last` (last < m) in a text whose first m characters are t's:
// for every contraction or context string c whose first characters are
// t[i..m) with i <= last, the character that follows them in c.
std::u16string Joining(const CollationProfile& profile, const std::u16string& t, std::size_t last,
                       std::size_t m) {
  std::u16string out;
  for (std::size_t i = Reach(profile, m); i <= last; ++i)
    for (const std::u16string& c : profile.ContractionsFrom(t[i]))
      if (i + c.size() > m && c.compare(0, m - i, t, i, m - i) == 0) out += c[m - i];
  return out;
}

// The length of the unit that starts at s in a text whose characters s..m-1
// are t's and whose unit there ends by m: the longest contraction that
// t[s..m) begins with, else the one character.
std::size_t UnitLength(const CollationProfile& profile, const std::u16string& t, std::size_t s,
                       std::size_t m) {
  std::size_t length = 1;
  for (const std::u16string& c : profile.ContractionsFrom(t[s]))
    if (c.size() > length && c.size() <= m - s && t.compare(s, c.size(), c) == 0) length = c.size();
  return length;
}

}  // namespace

PrefixMatcher::PrefixMatcher(const locale::Collator* collator, std::string_view constant)
    : collator_(collator), constant_(constant) {
  if (collator_ == nullptr) return;
  profile_ = &CollationProfile::For(*collator_);
  for (int b = 0; b < 256; ++b)
    identity_ = identity_ && profile_->Key(static_cast<unsigned char>(b)) == b;
  const std::size_t n = constant_.size();
  keys_.resize(n);
  std::u16string decoded(n, u'\0');
  for (std::size_t i = 0; i < n; ++i) {
    const auto b = static_cast<unsigned char>(constant_[i]);
    keys_[i] = profile_->Key(b);
    decoded[i] = collator_->DecodeByte(b);
  }
  // Rule 2's answers are asked for as values end: each costs a comparison
  // as long as T, so working them all out here would cost N times that.
  shortEqual_.assign(n, -1);
  // Rules 3 and 4 are tabled for the first kTabled split points only: a
  // value that agrees with a longer constant beyond them goes to the
  // collator, and the tables stay bounded however long the constant is.
  tabled_ = std::min(n, kTabled);
  restElement_.resize(tabled_);
  restFull_.resize(tabled_);
  reject_.assign(tabled_ * 256, 0);
  for (std::size_t m = 0; m < tabled_; ++m) {
    bool full = false;
    restElement_[m] =
        profile_->FirstElement(decoded.data() + m, static_cast<std::int32_t>(n - m), &full);
    restFull_[m] = full;
  }
  // Whether T splits at each position (SplitsAt depends on the position
  // alone), worked out once rather than for every m that looks back at it.
  std::vector<std::uint8_t> tSplits(tabled_, 1);
  for (std::size_t s = 1; s < tabled_; ++s) tSplits[s] = SplitsAt(*profile_, decoded, keys_[s], s);
  // A split point s at least `reach` characters before m (the longest
  // contraction's length) is out of reach of every string x could continue
  // or end: none joins x to a unit begun before s, none goes on from T's
  // characters s..m-1 to x, and P's unit at s is T's own, whatever m is. Such
  // an s rejects every x or none, by its `differs` alone, so the split
  // points of a run of starters that m has left that far behind are folded
  // into one flag as m moves on, and only the nearer ones are worked out for
  // each m. This keeps the tables linear in N.
  const std::size_t reach = std::max<std::size_t>(1, profile_->LongestContraction());
  std::size_t runStart = 0;  // keys_[runStart..m-1] are all starters
  std::size_t farNext = 0;   // the next split point to fold into farDiffers
  bool farDiffers = false;   // some folded split point rejects every x
  for (std::size_t m = 0; m < tabled_; ++m) {
    if (m > 0 && !profile_->Starter(keys_[m - 1])) {
      runStart = farNext = m;
      farDiffers = false;
    }
    for (; farNext + reach <= m; ++farNext)
      if (tSplits[farNext] && !farDiffers) {
        farDiffers = Split(decoded, farNext, m).differs;
        ++splitPoints_;
      }
    // Rule 3 applies where the strings split at m: always after an
    // independent character; after any other, when T splits there and x
    // cannot join T's head.
    const bool afterIndependent = m == 0 || profile_->Independent(keys_[m - 1]);
    const bool splits = afterIndependent || tSplits[m];
    const std::u16string joining =
        afterIndependent || !splits ? std::u16string() : Joining(*profile_, decoded, m - 1, m);
    // Rule 4: earlier split points s; for each, the x it rejects.
    std::vector<EarlierSplit> earlier;
    if (!afterIndependent && profile_->Analysed()) {
      for (std::size_t s = m; s-- > std::max(runStart, farNext);)
        if (tSplits[s]) {
          earlier.push_back(Split(decoded, s, m));
          ++splitPoints_;
        }
      if (farDiffers) earlier.push_back(EarlierSplit{{}, true, {}});
    }
    // Rule 3c asks only whether x's weights begin T's remainder's, so no
    // more of the remainder's are read than any x has.
    LevelWeights restWeights;
    const bool weighed =
        splits && profile_->TextWeights(decoded.data() + m, static_cast<std::int32_t>(n - m),
                                        &restWeights, profile_->LongestWeights());
    for (int x = 1; x < 256; ++x) {
      const auto key = static_cast<unsigned char>(x);
      if (profile_->Key(key) != key || key == keys_[m]) continue;
      const char16_t ch = collator_->DecodeByte(key);
      bool rejected = false;
      if (afterIndependent ||
          (splits && profile_->Starter(key) && joining.find(ch) == std::u16string::npos))
        rejected = Rejects(m, key, &restWeights, weighed);
      if (!rejected && profile_->Starter(key))
        for (const EarlierSplit& e : earlier)
          if (e.Rejects(ch)) {
            rejected = true;
            break;
          }
      reject_[m * 256 + x] = rejected;
    }
  }
}

bool PrefixMatcher::Differs(const char16_t* unit, std::size_t length, std::size_t s) const {
  bool full = false;
  const std::uint32_t first =
      profile_->FirstElement(unit, static_cast<std::int32_t>(length), &full);
  const auto primary = static_cast<std::uint16_t>(first >> 16);
  const auto restPrimary = static_cast<std::uint16_t>(restElement_[s] >> 16);
  return (full && restFull_[s] && first != restElement_[s]) ||
         (primary != 0 && restPrimary != 0 && primary != restPrimary);
}

PrefixMatcher::EarlierSplit PrefixMatcher::Split(const std::u16string& t, std::size_t s,
                                                 std::size_t m) const {
  EarlierSplit e;
  // P splits at s unless x continues a string begun before s.
  if (s > 0) e.joining = Joining(*profile_, t, s - 1, m);
  // Without a string that x continues, P's unit at s is the longest one
  // within T's characters s..m-1.
  e.differs = Differs(t.data() + s, UnitLength(*profile_, t, s, m), s);
  // Strings that begin with T's characters s..m-1 and go on with some x: a
  // string that ends with x is P's unit when x comes (no shorter one is);
  // a longer one may be.
  const std::size_t known = m - s;
  for (const std::u16string& c : profile_->ContractionsFrom(t[s])) {
    if (c.size() <= known || c.compare(0, known, t, s, known) != 0) continue;
    EarlierSplit::Next* next = nullptr;
    for (EarlierSplit::Next& n : e.next)
      if (n.ch == c[known]) next = &n;
    if (next == nullptr) {
      e.next.push_back(EarlierSplit::Next{c[known], e.differs, true});
      next = &e.next.back();
    }
    const bool differs = Differs(c.data(), c.size(), s);
    if (c.size() == known + 1)
      next->whole = differs;
    else
      next->longer = next->longer && differs;
  }
  return e;
}

bool PrefixMatcher::EarlierSplit::Rejects(char16_t x) const {
  if (joining.find(x) != std::u16string::npos) return false;
  for (const Next& n : next)
    if (n.ch == x) return n.whole && n.longer;
  return differs;
}

bool PrefixMatcher::Rejects(std::size_t m, unsigned char x, const LevelWeights* rest,
                            bool restWeighed) const {
  if (restFull_[m] && profile_->LeadFull(x) && !profile_->LeadElementMayBe(x, restElement_[m]))
    return true;
  const auto restPrimary = static_cast<std::uint16_t>(restElement_[m] >> 16);
  if (restPrimary != 0 && profile_->LeadKnown(x) && !profile_->LeadMayBe(x, restPrimary))
    return true;
  if (const LevelWeights* own = profile_->Weights(x); own != nullptr && restWeighed)
    for (int k = 0; k < 3; ++k)
      if (!IsPrefix(own->level[k], rest->level[k])) return true;
  return false;
}

bool PrefixMatcher::ShortEqual(std::size_t m) {
  if (shortEqual_[m] < 0) {
    ++calls_;
    shortEqual_[m] = collator_->CompareA(constant_.data(), static_cast<int>(m), constant_.data(),
                                         static_cast<int>(keys_.size())) == locale::kEqual;
  }
  return shortEqual_[m] != 0;
}

bool PrefixMatcher::Compare(const char* value, std::size_t known) {
  const std::size_t n = keys_.size();
  std::size_t length = known;
  while (length < n && value[length] != 0) ++length;
  // The answer depends only on the keys of the prefix.
  scratch_.resize(length);
  for (std::size_t i = 0; i < length; ++i)
    scratch_[i] = static_cast<char>(profile_->Key(static_cast<unsigned char>(value[i])));
  if (auto it = memo_.find(std::string_view(scratch_)); it != memo_.end()) return it->second;
  ++calls_;
  const bool equal = collator_->CompareA(value, static_cast<int>(length), constant_.data(),
                                         static_cast<int>(n)) == locale::kEqual;
  memo_.emplace(scratch_, equal);
  return equal;
}

}  // namespace dorvem::eval
