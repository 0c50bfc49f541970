// Index definitions of a client dataset (TIndexDef, TIndexDefs), and the
// field-list text both they and IndexFieldNames use.
//
// A definition names an index and its key fields by field name: `Fields`
// lists the key fields separated by ";", `DescFields` and `CaseInsFields`
// list those of them that sort descending or ignore case (or, when empty,
// the options ixDescending and ixCaseInsensitive mean every key field).
// The dataset owns its TIndexDefs; while open it can refresh them from the
// engine's named indexes. Definitions that the engine does not have are
// created in the engine when an IndexName asks for them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace dorvem {

enum TIndexOption : std::uint8_t {
  ixPrimary,
  ixUnique,
  ixDescending,
  ixCaseInsensitive,
  ixExpression,
  ixNonMaintained,
};

// A set of TIndexOption.
class TIndexOptions {
 public:
  TIndexOptions() = default;
  TIndexOptions(std::initializer_list<TIndexOption> options) {
    for (TIndexOption o : options) Include(o);
  }
  bool Has(TIndexOption o) const { return (bits_ >> o) & 1u; }
  void Include(TIndexOption o) { bits_ |= 1u << o; }
  void Exclude(TIndexOption o) { bits_ &= ~(1u << o); }
  bool operator==(const TIndexOptions&) const = default;

 private:
  std::uint8_t bits_ = 0;
};

struct TIndexDef {
  std::string name;
  std::string fields;         // key field names, ";"-separated
  std::string descFields;     // the key fields that sort descending
  std::string caseInsFields;  // the key fields that ignore case
  TIndexOptions options;
  int groupingLevel = 0;
};

class TIndexDefs {
 public:
  void Clear() { defs_.clear(); }
  TIndexDef& Add(TIndexDef def);
  int Count() const { return static_cast<int>(defs_.size()); }
  const TIndexDef& operator[](int i) const { return defs_[static_cast<std::size_t>(i)]; }
  // The definition with this name, ignoring case; null when none.
  const TIndexDef* Find(std::string_view name) const;

 private:
  std::vector<TIndexDef> defs_;
};

// The names of a ";"-separated field list, each trimmed of leading and
// trailing characters whose code is 32 or less. A ";" at the very end adds
// no name; "A;;B" has an empty name between A and B.
std::vector<std::string> SplitFieldList(std::string_view text);

}  // namespace dorvem
