// The byte order of a string column: its present values sorted as unsigned
// byte strings, for searches that settle whole runs of values sharing their
// first bytes (eval/prefix_search.h).
//
// A value is the field's bytes up to its terminating zero (at most the
// field's record length); values compare byte by byte, a shorter one
// first when it is the other's beginning; equal values stand in record
// order. So values that share their first d bytes fill one run of the
// order, and within it those that end at d come first.
#pragma once

#include <cstdint>
#include <vector>

#include "dataset/core/large_allocator.h"

namespace dorvem {

class DSBASE;

// The records of `table` whose field `fieldId` (a string field) is not
// null, in the byte order of their values, into *order. False when memory
// runs out.
bool ComputeByteOrder(const DSBASE& table, std::uint32_t fieldId,
                      LargeVector<std::uint32_t>* order);

// True when `order` holds every record with a present value exactly once
// and nothing else: the first half of what a byte order read back from
// elsewhere must be before it is used. Two sequential passes.
bool CoversPresentValues(const DSBASE& table, std::uint32_t fieldId,
                         const LargeVector<std::uint32_t>& order);

// True when the records of `order` (each a record of `table`) stand in the
// byte order of their values, equal values in record order, as far as the
// neighbour pairs PickSpreadPairs picks tell (spread_pairs.h): the second
// half, since a checksum only tells that a copy is whole, not that it was
// written by this program.
bool InByteOrder(const DSBASE& table, std::uint32_t fieldId,
                 const LargeVector<std::uint32_t>& order);

}  // namespace dorvem
