// A blob field's stream: a copy of the active record's value that can be
// read in pieces and positioned anywhere, and that keeps its bytes after the
// dataset moves on.
#include <gtest/gtest.h>

#include <string>

#include "dataset/host/blob_stream.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/fields.h"
#include "tests/dataset/test_packets.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;
using testing::TempFile;

// Reads `count` bytes from the stream's position; the text of what came.
std::string ReadSome(TClientBlobStream& s, std::size_t count) {
  std::string out(count + 8, '#');
  out.resize(s.Read(out.data(), count));
  return out;
}

TEST(BlobStreamTest, PiecesSeeksAndTheEndReadAsTheValueHolds) {
  // Zero bytes inside the value are bytes like any other.
  const std::string picture("BM\0\1ABCDEFGH\0", 13);
  TempFile file(Encode(
      DictionaryModel({{{}, "A", "memo", picture, 1}, {{}, "B", "other", std::nullopt, 2}})));
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  ds.Open();
  auto* graphic = dynamic_cast<TBlobField*>(ds.Fields()[3]);
  ASSERT_NE(graphic, nullptr);
  std::unique_ptr<TClientBlobStream> s = graphic->CreateBlobStream();
  EXPECT_EQ(s->Size(), 13);
  EXPECT_EQ(s->Position(), 0);

  struct Step {
    std::int64_t seek;  // -2: read on from where the last read stopped
    std::size_t count;
    std::string read;
    std::int64_t after;
  };
  const Step steps[] = {
      {-2, 3, std::string("BM\0", 3), 3},
      {-2, 4, std::string("\1ABC", 4), 7},
      {-2, 100, std::string("DEFGH\0", 6), 13},
      {-2, 5, "", 13},                    // at the end nothing more comes
      {5, 2, "BC", 7},                    // back into the middle
      {-7, 2, "BM", 2},                   // before the start: the start
      {13, 1, "", 13},                    // exactly the end
      {1000, 1, "", 13},                  // past the end: the end
      {12, 4, std::string("\0", 1), 13},  // the last byte alone
      {0, 0, "", 0},                      // nothing asked, nothing moves
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.seek) + " " + std::to_string(step.count));
    if (step.seek != -2) s->Seek(step.seek);
    EXPECT_EQ(ReadSome(*s, step.count), step.read);
    EXPECT_EQ(s->Position(), step.after);
  }

  // The copy belongs to the stream: moving on changes nothing in it, while a
  // new stream holds the new record's (blank, so empty) value.
  ds.GoNext();
  EXPECT_EQ(ds.Fields()[1]->AsString(), "B");
  s->Seek(2);
  EXPECT_EQ(ReadSome(*s, 4), std::string("\0\1AB", 4));
  std::unique_ptr<TClientBlobStream> blank = graphic->CreateBlobStream();
  EXPECT_EQ(blank->Size(), 0);
  EXPECT_EQ(ReadSome(*blank, 4), "");
  EXPECT_EQ(graphic->BlobSize(), 0);
}

// A part of the active record's blob read in place, with the whole
// value's length; the same bytes through the dataset that any dataset
// (whose default reads the whole value first) gives.
TEST(BlobStreamTest, APartOfTheValueReadsAsTheValueHolds) {
  const std::string picture("BM\0\1ABCDEFGH\0", 13);
  TempFile file(Encode(
      DictionaryModel({{{}, "A", "memo", picture, 1}, {{}, "B", "other", std::nullopt, 2}})));
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  ds.Open();
  const TField* graphic = ds.Fields()[3];
  struct Part {
    std::size_t offset;
    std::size_t count;
    std::string read;
  };
  const Part parts[] = {
      {0, 3, std::string("BM\0", 3)},
      {3, 4, "\1ABC"},
      {7, 100, std::string("DEFGH\0", 6)},
      {12, 1, std::string("\0", 1)},
      {13, 1, ""},
      {1000, 5, ""},
      {2, 0, ""},
  };
  for (const Part& p : parts) {
    SCOPED_TRACE(std::to_string(p.offset) + " " + std::to_string(p.count));
    for (bool whole : {false, true}) {
      std::string out(p.count + 8, '#');
      std::size_t size = 99;
      auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
      out.resize(whole ? ds.TDataSet::ReadBlobPart(graphic, p.offset, p.count, bytes, &size)
                       : ds.ReadBlobPart(graphic, p.offset, p.count, bytes, &size));
      EXPECT_EQ(out, p.read);
      EXPECT_EQ(size, 13u);
    }
  }
  // A null value: nothing, of length 0.
  ds.GoNext();
  std::uint8_t byte = 7;
  std::size_t size = 99;
  EXPECT_EQ(ds.ReadBlobPart(graphic, 0, 1, &byte, &size), 0u);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(byte, 7);
}

}  // namespace
}  // namespace dorvem
