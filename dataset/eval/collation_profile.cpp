#include "dataset/eval/collation_profile.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace dorvem::eval {
namespace {

// Calls `each` with the collation elements of `text` as the element
// iterator delivers them (a CE with more than 32 bits of weight comes as two
// values) until it returns false or they end. False on an ICU failure.
template <typename Each>
bool EachElement(const UCollator* collator, const char16_t* text, std::int32_t length,
                 Each&& each) {
  UErrorCode status = U_ZERO_ERROR;
  UCollationElements* it = ucol_openElements(collator, text, length, &status);
  if (U_FAILURE(status) || it == nullptr) return false;
  for (;;) {
    const std::int32_t ce = ucol_next(it, &status);
    if (U_FAILURE(status) || ce == UCOL_NULLORDER || !each(static_cast<std::uint32_t>(ce))) break;
  }
  ucol_closeElements(it);
  return U_SUCCESS(status);
}

// The collation elements of `text`, the first `limit` of them at most; empty
// on an ICU failure.
std::vector<std::uint32_t> Elements(const UCollator* collator, const char16_t* text,
                                    std::int32_t length, std::size_t limit = SIZE_MAX) {
  std::vector<std::uint32_t> out;
  if (limit == 0) return out;
  const bool ok = EachElement(collator, text, length, [&](std::uint32_t ce) {
    out.push_back(ce);
    return out.size() < limit;
  });
  if (!ok) out.clear();
  return out;
}

// Every string of the collator's contraction set, context (prefix) rules
// included. False when ICU cannot say.
bool ReadContractions(const UCollator* collator, std::vector<std::u16string>* out) {
  UErrorCode status = U_ZERO_ERROR;
  USet* set = uset_openEmpty();
  ucol_getContractionsAndExpansions(collator, set, nullptr, true, &status);
  if (U_FAILURE(status)) {
    uset_close(set);
    return false;
  }
  const std::int32_t items = uset_getItemCount(set);
  std::vector<UChar> buffer(64);
  for (std::int32_t i = 0; i < items; ++i) {
    UChar32 start = 0, end = 0;
    UErrorCode itemStatus = U_ZERO_ERROR;
    std::int32_t n = uset_getItem(set, i, &start, &end, buffer.data(),
                                  static_cast<std::int32_t>(buffer.size()), &itemStatus);
    if (itemStatus == U_BUFFER_OVERFLOW_ERROR) {
      buffer.resize(static_cast<std::size_t>(n) + 1);
      itemStatus = U_ZERO_ERROR;
      n = uset_getItem(set, i, &start, &end, buffer.data(),
                       static_cast<std::int32_t>(buffer.size()), &itemStatus);
    }
    if (U_FAILURE(itemStatus)) {
      uset_close(set);
      return false;
    }
    if (n > 0) {
      out->emplace_back(buffer.data(), static_cast<std::size_t>(n));
    } else {
      // A range of single code points: each is a unit of its own kind.
      for (UChar32 c = start; c <= end && c <= 0xFFFF; ++c)
        out->emplace_back(1, static_cast<char16_t>(c));
    }
  }
  uset_close(set);
  return true;
}

constexpr std::uint32_t kCaseBitsMask = 0xFFFFFF3Fu;

bool FullyWeighted(std::uint32_t ce) {
  return (ce >> 16) != 0 && ((ce >> 8) & 0xFF) != 0 && (ce & 0x3F) != 0;
}

// A 32-bit value that carries the low bits of the CE before it.
bool IsContinuation(std::uint32_t ce) {
  return (ce & 0xC0) == 0xC0;
}

// Appends the nonzero weights of a complete CE to each level.
void AddWeights(std::uint32_t ce, LevelWeights* out) {
  const std::uint16_t weights[3] = {static_cast<std::uint16_t>(ce >> 16),
                                    static_cast<std::uint16_t>((ce >> 8) & 0xFF),
                                    static_cast<std::uint16_t>(ce & 0x3F)};
  for (int k = 0; k < 3; ++k)
    if (weights[k] != 0) out->level[k].push_back(weights[k]);
}

// The nonzero weights on each level of complete CEs; false when one of them
// continues into a second value.
bool WeightsOf(const std::vector<std::uint32_t>& ces, LevelWeights* out) {
  for (auto& level : out->level) level.clear();
  for (std::uint32_t ce : ces) {
    if (IsContinuation(ce)) return false;
    AddWeights(ce, out);
  }
  return true;
}

}  // namespace

const CollationProfile& CollationProfile::For(const locale::Collator& collator) {
  static std::mutex mutex;
  static std::map<const locale::Collator*, std::unique_ptr<CollationProfile>> cache;
  std::lock_guard<std::mutex> lock(mutex);
  auto& slot = cache[&collator];
  if (!slot) slot.reset(new CollationProfile(collator));
  return *slot;
}

const CollationProfile* CollationProfile::ForLocale(locale::LCID lcid, bool ignoreCase) {
  const locale::Collator* collator =
      locale::Collator::For(lcid, ignoreCase ? locale::kIgnoreCase : 0);
  return collator != nullptr ? &For(*collator) : nullptr;
}

CollationProfile::CollationProfile(const locale::Collator& collator) : collator_(collator) {
  const UCollator* ucol = collator.Handle();
  // Keys: the first byte read as the same character.
  for (int b = 0; b < 256; ++b) {
    key_[b] = static_cast<unsigned char>(b);
    for (int earlier = 0; earlier < b; ++earlier) {
      if (collator.DecodeByte(static_cast<unsigned char>(earlier)) ==
          collator.DecodeByte(static_cast<unsigned char>(b))) {
        key_[b] = static_cast<unsigned char>(earlier);
        break;
      }
    }
  }
  // Settings under which characters stop being independent units (numeric
  // digit runs), lose their weights (shifted punctuation) or are compared on
  // fewer levels leave nothing known: every comparison goes to the collator.
  UErrorCode status = U_ZERO_ERROR;
  if (ucol_getAttribute(ucol, UCOL_NUMERIC_COLLATION, &status) == UCOL_ON ||
      ucol_getAttribute(ucol, UCOL_ALTERNATE_HANDLING, &status) == UCOL_SHIFTED ||
      ucol_getStrength(ucol) < UCOL_TERTIARY || U_FAILURE(status))
    return;
  std::vector<std::u16string> contractions;
  if (!ReadContractions(ucol, &contractions)) return;
  analysed_ = true;
  std::set<char16_t> inContraction;
  for (const std::u16string& s : contractions) inContraction.insert(s.begin(), s.end());

  for (int b = 1; b < 256; ++b) {
    if (key_[b] != b) continue;
    const char16_t u = collator.DecodeByte(static_cast<unsigned char>(b));
    starter_[b] = u_getCombiningClass(u) == 0;
    const std::vector<std::uint32_t> alone = Elements(ucol, &u, 1);
    independent_[b] = !alone.empty() && !inContraction.count(u) && u_getCombiningClass(u) == 0;
    hasWeights_[b] = independent_[b] && WeightsOf(alone, &weights_[b]);
    if (hasWeights_[b])
      for (const auto& level : weights_[b].level)
        longestWeights_ = std::max(longestWeights_, level.size());
    // The first CE of every unit that can start with this character.
    std::vector<std::vector<std::uint32_t>> units = {alone};
    for (const std::u16string& s : contractions)
      if (!s.empty() && s[0] == u)
        units.push_back(Elements(ucol, s.data(), static_cast<std::int32_t>(s.size())));
    bool full = true, known = true;
    std::vector<std::uint32_t> elements;
    std::vector<std::uint16_t> primaries;
    for (const std::vector<std::uint32_t>& ces : units) {
      if (ces.empty()) {
        full = known = false;
        break;
      }
      full = full && FullyWeighted(ces[0]);
      known = known && (ces[0] >> 16) != 0;
      elements.push_back(ces[0] & kCaseBitsMask);
      primaries.push_back(static_cast<std::uint16_t>(ces[0] >> 16));
    }
    leadFull_[b] = full;
    leadKnown_[b] = known;
    std::sort(elements.begin(), elements.end());
    elements.erase(std::unique(elements.begin(), elements.end()), elements.end());
    std::sort(primaries.begin(), primaries.end());
    primaries.erase(std::unique(primaries.begin(), primaries.end()), primaries.end());
    leadElements_[b] = std::move(elements);
    leadPrimaries_[b] = std::move(primaries);
  }
  contractions_ = std::move(contractions);
  for (const std::u16string& c : contractions_) {
    if (c.empty()) continue;
    byFirst_[c[0]].push_back(c);
    longestContraction_ = std::max(longestContraction_, c.size());
  }
}

const std::vector<std::u16string>& CollationProfile::ContractionsFrom(char16_t c) const {
  static const std::vector<std::u16string> none;
  const auto it = byFirst_.find(c);
  return it == byFirst_.end() ? none : it->second;
}

bool CollationProfile::LeadElementMayBe(unsigned char key, std::uint32_t element) const {
  const auto& e = leadElements_[key];
  return std::binary_search(e.begin(), e.end(), element);
}

bool CollationProfile::LeadMayBe(unsigned char key, std::uint16_t primary) const {
  const auto& p = leadPrimaries_[key];
  return std::binary_search(p.begin(), p.end(), primary);
}

std::uint32_t CollationProfile::FirstElement(const char16_t* text, std::int32_t length,
                                             bool* full) const {
  // The iterator reads ahead as far as the first unit needs: stopping after
  // its first value keeps this from growing with the text.
  const std::vector<std::uint32_t> ces = Elements(collator_.Handle(), text, length, 1);
  *full = !ces.empty() && FullyWeighted(ces[0]);
  return ces.empty() ? 0 : ces[0] & kCaseBitsMask;
}

bool CollationProfile::TextWeights(const char16_t* text, std::int32_t length, LevelWeights* out,
                                   std::size_t enough) const {
  for (auto& level : out->level) level.clear();
  // A long run of ignorables (values without weights) is not read to its
  // end: past this many values the text counts as not weighed.
  const std::size_t most = enough >= SIZE_MAX / 16 ? SIZE_MAX : 8 * enough + 32;
  std::size_t read = 0;
  bool complete = true;
  const bool ok = EachElement(collator_.Handle(), text, length, [&](std::uint32_t ce) {
    if (IsContinuation(ce)) return complete = false;
    // Past `enough` weights on every level this value was read only to see
    // that the last one kept is complete (not continued by it).
    if (std::all_of(std::begin(out->level), std::end(out->level),
                    [&](const auto& level) { return level.size() >= enough; }))
      return false;
    if (++read > most) return complete = false;
    AddWeights(ce, out);
    return true;
  });
  return ok && (read > 0 || length == 0) && complete;
}

}  // namespace dorvem::eval
