#include "tests/dataset/test_packets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>

#include "dataset/packet/packet_format.h"
#include "dictionary/table_packet.h"

namespace dorvem::testing {

namespace {

PacketValue Text(const std::optional<std::string>& s) {
  if (!s) return PacketValue{1, {}};
  return PacketValue{0, {s->begin(), s->end()}};
}

}  // namespace

PacketModel DictionaryModel(const std::vector<DictRow>& rows, std::uint32_t lcid) {
  PacketModel m = DictionaryPacketTable(lcid);
  for (const DictRow& r : rows) {
    PacketRow row;
    row.values.push_back(Text(r.fajlnev));
    row.values.push_back(Text(r.kszoveg));
    row.values.push_back(Text(r.szovmagy));
    row.values.push_back(Text(r.graphic));
    if (r.index) {
      const std::uint32_t v = static_cast<std::uint32_t>(*r.index);
      row.values.push_back(PacketValue{
          0,
          {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}});
    } else {
      row.values.push_back(PacketValue{1, {}});
    }
    m.rows.push_back(std::move(row));
  }
  return m;
}

std::vector<std::uint8_t> Encode(const PacketModel& model, bool xml) {
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(WritePacketModel(model, xml ? PacketForm::kXml : PacketForm::kBinary, &bytes), 0);
  return bytes;
}

TempFile::TempFile(const std::vector<std::uint8_t>& bytes, const std::string& name) {
  static std::atomic<int> counter{0};
  dir_ = std::filesystem::temp_directory_path() /
         ("dorvem-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir_);
  path_ = (dir_ / name).string();
  Rewrite(bytes);
}

TempFile::~TempFile() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void TempFile::Rewrite(const std::vector<std::uint8_t>& bytes) const {
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace dorvem::testing
