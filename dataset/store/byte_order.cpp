#include "dataset/store/byte_order.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dataset/core/parallel.h"
#include "dataset/core/radix_sort.h"
#include "dataset/store/field_desc.h"
#include "dataset/store/spread_pairs.h"
#include "dataset/store/table.h"

namespace dorvem {

namespace {

// A present value: its first eight bytes as a big-endian number (zeros
// after its end) and its record. Values have no zero byte, so comparing the
// numbers compares the first eight bytes with the shorter value first.
struct Keyed {
  std::uint64_t prefix;
  std::uint32_t record;
};

}  // namespace

bool CoversPresentValues(const DSBASE& table, std::uint32_t fieldId,
                         const LargeVector<std::uint32_t>& order) {
  const std::uint32_t records = table.RecordCount();
  try {
    std::vector<std::uint64_t> seen(static_cast<std::size_t>(records) / 64 + 1, 0);
    for (const std::uint32_t r : order) {
      if (r == 0 || r > records) return false;
      std::uint64_t& word = seen[(r - 1) >> 6];
      const std::uint64_t bit = std::uint64_t{1} << ((r - 1) & 63);
      if (word & bit) return false;
      word |= bit;
    }
    for (std::uint32_t r = 1; r <= records; ++r) {
      const bool listed = (seen[(r - 1) >> 6] >> ((r - 1) & 63)) & 1;
      if (listed != (table.NullFlag(r, fieldId) == kNullFlagValue)) return false;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool InByteOrder(const DSBASE& table, std::uint32_t fieldId,
                 const LargeVector<std::uint32_t>& order) {
  const std::uint32_t width = table.Field(fieldId).recordLength;
  // Pair p is order[p], order[p + 1].
  const std::size_t pairs = order.empty() ? 0 : order.size() - 1;
  const SpreadPairs asked = PickSpreadPairs(pairs);
  // The values lie all over the column: those of the pair kAhead pairs on
  // are asked for while these two are compared, so that the misses overlap.
  constexpr std::size_t kAhead = 8;
  const std::size_t ahead = kAhead * asked.stride;
  for (std::size_t p = asked.first; p < pairs; p += asked.stride) {
    if (p + ahead < pairs) {
      __builtin_prefetch(table.ValuePtr(order[p + ahead], fieldId));
      __builtin_prefetch(table.ValuePtr(order[p + ahead + 1], fieldId));
    }
    // strncmp compares unsigned bytes up to the first difference or the
    // end of both: a value that ends (its zero) where the other goes on is
    // the smaller, which is the byte order.
    const auto* x = reinterpret_cast<const char*>(table.ValuePtr(order[p], fieldId));
    const auto* y = reinterpret_cast<const char*>(table.ValuePtr(order[p + 1], fieldId));
    const int c = std::strncmp(x, y, width);
    if (c > 0 || (c == 0 && order[p] >= order[p + 1])) return false;
  }
  return true;
}

bool ComputeByteOrder(const DSBASE& table, std::uint32_t fieldId,
                      LargeVector<std::uint32_t>* order) {
  const std::uint32_t records = table.RecordCount();
  const std::uint32_t width = table.Field(fieldId).recordLength;
  try {
    std::vector<Keyed> keyed;
    keyed.reserve(records);
    for (std::uint32_t r = 1; r <= records; ++r) {
      if (table.NullFlag(r, fieldId) != kNullFlagValue) continue;
      const std::uint8_t* v = table.ValuePtr(r, fieldId);
      std::uint64_t p = 0;
      bool ended = false;
      for (std::uint32_t i = 0; i < 8; ++i) {
        ended = ended || i >= width || v[i] == 0;
        p = (p << 8) | (ended ? 0 : v[i]);
      }
      keyed.push_back(Keyed{p, r});
    }
    // The rest of two values whose first eight bytes agree, then records.
    const auto less = [&table, fieldId, width](const Keyed& a, const Keyed& b) {
      if (a.prefix != b.prefix) return a.prefix < b.prefix;
      if ((a.prefix & 0xFF) != 0 && width > 8) {
        const std::uint8_t* x = table.ValuePtr(a.record, fieldId);
        const std::uint8_t* y = table.ValuePtr(b.record, fieldId);
        for (std::uint32_t i = 8; i < width; ++i) {
          if (x[i] != y[i]) return x[i] < y[i];
          if (x[i] == 0) break;
        }
      }
      return a.record < b.record;
    };
    // By the first eight bytes, stably: values that agree in them stay in
    // record order, which is their order when they end within them. Runs
    // that agree in eight bytes and go on are then sorted by the rest.
    if (!RadixSortBy64(keyed, [](const Keyed& k) { return k.prefix; })) {
      ParallelSort(keyed, less);
    } else if (width > 8) {
      for (std::size_t i = 0; i < keyed.size();) {
        std::size_t j = i + 1;
        while (j < keyed.size() && keyed[j].prefix == keyed[i].prefix) ++j;
        if (j - i > 1 && (keyed[i].prefix & 0xFF) != 0)
          std::sort(keyed.begin() + static_cast<std::ptrdiff_t>(i),
                    keyed.begin() + static_cast<std::ptrdiff_t>(j), less);
        i = j;
      }
    }
    ResizeToWrite(*order, keyed.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) (*order)[i] = keyed[i].record;
  } catch (const std::bad_alloc&) {
    order->clear();
    return false;
  }
  return true;
}

}  // namespace dorvem
