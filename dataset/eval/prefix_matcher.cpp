#include "dataset/eval/prefix_matcher.h"

#include <algorithm>

#include "dataset/locale/locale_services.h"

namespace dorvem::eval {
namespace {

bool IsPrefix(const std::vector<std::uint16_t>& head, const std::vector<std::uint16_t>& whole) {
  return head.size() <= whole.size() && std::equal(head.begin(), head.end(), whole.begin());
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
  shortEqual_.resize(n);
  restElement_.resize(n);
  restFull_.resize(n);
  reject_.assign(n * 256, 0);
  for (std::size_t m = 0; m < n; ++m) {
    shortEqual_[m] = collator_->CompareA(constant_.data(), static_cast<int>(m), constant_.data(),
                                         static_cast<int>(n)) == locale::kEqual;
    const char16_t* rest = decoded.data() + m;
    const auto restLength = static_cast<std::int32_t>(n - m);
    bool full = false;
    restElement_[m] = profile_->FirstElement(rest, restLength, &full);
    restFull_[m] = full;
    // Rule 3 applies only where the strings split.
    if (m > 0 && !profile_->Independent(keys_[m - 1])) continue;
    LevelWeights restWeights;
    const bool weighed = profile_->TextWeights(rest, restLength, &restWeights);
    for (int x = 1; x < 256; ++x) {
      const auto key = static_cast<unsigned char>(x);
      if (profile_->Key(key) == key && key != keys_[m])
        reject_[m * 256 + x] = Rejects(m, key, &restWeights, weighed);
    }
  }
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
