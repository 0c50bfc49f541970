// Test helpers: tables with columns of any type, opened through the client
// dataset, for the filter parser and filter engine tests.
//
// TableBuilder collects columns and rows and writes them as a binary packet;
// OpenTable writes that packet to a temporary file and opens a client
// dataset named "tblAdat" on it (fields created per definition). Values are
// given as the engine holds them (little-endian, strings without their
// terminating zero); std::nullopt is a blank value.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dataset/host/client_dataset.h"
#include "dataset/packet/packet_model.h"
#include "tests/dataset/test_packets.h"

namespace dorvem::testing {

using Value = std::optional<std::vector<std::uint8_t>>;

Value Str(const std::string& s);
Value I16(std::int16_t v);
Value U16(std::uint16_t v);
Value I32(std::int32_t v);
Value I64(std::int64_t v);
Value F64(double v);
Value Bool(bool v);
inline const Value kNull = std::nullopt;

class TableBuilder {
 public:
  // A string column of `width` bytes; subtype "FixedChar" makes it fixed.
  TableBuilder& String(const std::string& name, std::uint16_t width,
                       const std::string& subtype = {});
  // A column of packet type code `code` and byte size `size`.
  TableBuilder& Fixed(const std::string& name, std::uint32_t code, std::uint32_t size);
  // A BCD column of `precision` digits, `decimals` of them after the point.
  TableBuilder& Bcd(const std::string& name, std::uint16_t precision, std::uint16_t decimals);
  // A blob column with a subtype ("Text" for a memo, "Binary").
  TableBuilder& Blob(const std::string& name, const std::string& subtype);
  TableBuilder& Lcid(std::uint32_t lcid);
  TableBuilder& Row(std::vector<Value> values);

  const PacketModel& Model() const { return model_; }

 private:
  PacketModel model_;
};

// The dictionary's five columns with one row per headword (FAJLNEV and
// SZOVMAGY blank, GRAPHIC blank, Index = 1, 2, ...).
TableBuilder DictionaryTable(const std::vector<std::optional<std::string>>& headwords,
                             std::uint32_t lcid = 1038);

// A client dataset open on a table; the file lives as long as the object.
class OpenTable {
 public:
  explicit OpenTable(const TableBuilder& table, const std::string& name = "tblAdat");
  TClientDataSet& DataSet() { return *ds_; }
  TClientDataSet* operator->() { return ds_.get(); }
  const std::string& Path() const { return file_.Path(); }

 private:
  TempFile file_;
  std::unique_ptr<TClientDataSet> ds_;
};

std::string Hex(const std::vector<std::uint8_t>& bytes);

}  // namespace dorvem::testing
