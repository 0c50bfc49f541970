#include "views/memo_field.h"

#include <algorithm>
#include <memory>
#include <string>

#include "dataset/host/dataset.h"
#include "dataset/host/fields.h"

namespace dorvem {

namespace {

// The rest of a long memo is scanned in pieces of this many bytes.
constexpr std::size_t kScanPiece = 256 * 1024;

}  // namespace

TMemoHead ReadMemoHead(const TField& field, std::size_t headBytes) {
  TMemoHead head;
  const auto* blob = dynamic_cast<const TBlobField*>(&field);
  TDataSet* ds = field.DataSet();
  if (blob == nullptr || ds == nullptr || !ds->Active() || field.FieldNo() <= 0) {
    const std::string text = field.AsString();
    head.size = text.size();
    head.bytes.assign(text.begin(), text.begin() + std::min(text.size(), headBytes));
    head.zeroInRest = text.find('\0', head.bytes.size()) != std::string::npos;
    return head;
  }
  ds->ReadBlobPart(blob, 0, 0, nullptr, &head.size);
  head.bytes.resize(std::min(head.size, headBytes));
  std::size_t read = 0;
  while (read < head.bytes.size()) {
    std::size_t size = 0;
    const std::size_t n =
        ds->ReadBlobPart(blob, read, head.bytes.size() - read, head.bytes.data() + read, &size);
    if (n == 0) break;
    read += n;
  }
  head.bytes.resize(read);
  if (read == head.size) return head;
  // Only a memo longer than its head has a rest to scan; the piece is not
  // cleared first, as every byte looked at is read into it.
  const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(kScanPiece);
  for (std::size_t at = read; at < head.size && !head.zeroInRest;) {
    std::size_t size = 0;
    const std::size_t n = ds->ReadBlobPart(blob, at, kScanPiece, piece.get(), &size);
    if (n == 0) break;
    head.zeroInRest = std::find(piece.get(), piece.get() + n, std::uint8_t{0}) != piece.get() + n;
    at += n;
  }
  return head;
}

}  // namespace dorvem
