// PrefixSearch: the records a prefix comparison accepts, found over the
// byte order of the field's values instead of by asking every record.
//
// In the byte order (store/byte_order.h) the values that share their first
// d bytes q fill one run, those that end at d first. The search walks these
// runs from d = 0 down: for each next byte b present in a run (found by
// binary search), PrefixMatcher::Settled(q + b) either decides every value
// of the sub-run that goes on beyond d + 1 bytes (all accepted, or none),
// or leaves it open, and then the walk goes one byte deeper. Values that
// end where a run begins are one string, asked once with Equal. At depth N
// every value of a run has the same first N bytes, and Equal reads no more,
// so one call decides the run. Each answer is Equal's own (Settled answers
// only what Equal answers for every such value), so the records found are
// exactly those Equal accepts.
//
// While q has the constant's first d keys, a next byte that cannot follow
// them (PrefixMatcher::MayFollow) makes its whole sub-run unequal, so the
// walk jumps by one binary search to the next byte that can: a key costs a
// few searches per depth, not one per byte present (some sixty at the top).
//
// The walk gives up (false) when it would visit more runs than `budget`;
// the caller then asks every record, as before.
#pragma once

#include <cstdint>
#include <vector>

namespace dorvem {

class DSBASE;

namespace eval {

class PrefixMatcher;

// Marks in *accepted (bit r - 1 for record r; sized for every record of the
// table and cleared first) the records of `order` (`count` records in the
// byte order of field `fieldId`, nulls left out) whose value `matcher`
// calls equal. False when the walk would take more than `budget` runs.
// `firstByteStarts`, when given, is the order's table of first places by
// first byte (CollationRanks::ByteOrder): the walk reads the places noted
// there instead of searching for them, and notes those it searches for.
bool FindPrefixMatches(PrefixMatcher& matcher, const DSBASE& table, std::uint32_t fieldId,
                       const std::uint32_t* order, std::uint32_t count, std::uint32_t budget,
                       std::vector<std::uint64_t>* accepted,
                       std::uint32_t* firstByteStarts = nullptr);

}  // namespace eval
}  // namespace dorvem
