#include "bench/support/dictionary_data.h"

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <random>

#include "dataset/core/byte_layout.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/packet_model.h"
#include "dictionary/table_packet.h"

namespace dorvem::bench {

std::vector<std::string> HungarianHeadwords(std::size_t count, int duplicatePercent,
                                            std::uint32_t seed) {
  static const char* const kPieces[] = {
      "A",    "E",    "I",    "O",    "U",    "K",    "L",    "M",    "N",    "R",  "T",
      "D",    "G",    "V",    "Z",    "B",    "P",    "S",    "H",    "F",    "J",  "C",
      "\xC1", "\xC9", "\xCD", "\xD3", "\xD6", "\xD5", "\xDA", "\xDC", "\xDB", "CS", "SZ",
      "ZS",   "GY",   "NY",   "LY",   "TY",   "DZ",   "A",    "E",    "O",    "I"};
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> syllables(2, 9);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> separator(0, 29);
  std::vector<std::string> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (!out.empty() && percent(rng) < duplicatePercent) {
      std::uniform_int_distribution<std::size_t> earlier(0, out.size() - 1);
      out.push_back(out[earlier(rng)]);
      continue;
    }
    std::string w;
    for (int n = syllables(rng); n > 0; --n) {
      w += kPieces[piece(rng)];
      const int s = separator(rng);
      if (s == 0)
        w += ' ';
      else if (s == 1)
        w += '-';
      else if (s == 2)
        w += '\'';
    }
    if (w.size() > 40) w.resize(40);
    out.push_back(std::move(w));
  }
  return out;
}

namespace {

// The columns and the Hungarian LCID of the dictionary's table.
PacketModel DictionaryTable() {
  return DictionaryPacketTable();
}

// The media name of the i-th entry: one in three has a sound, the rest none.
PacketValue MediaNameValue(std::size_t i) {
  if (i % 3 != 0) return PacketValue{1, {}};
  const std::string file = "hang" + std::to_string(i) + ".mp3";
  return PacketValue{0, {file.begin(), file.end()}};
}

std::vector<std::uint8_t> IndexValue(std::size_t i) {
  std::vector<std::uint8_t> index(4);
  StoreU32(index.data(), static_cast<std::uint32_t>(i + 1));
  return index;
}

// Writes `bytes` to the temporary folder under `name` (whole or not at all).
std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  const std::string tmp = path + "." + std::to_string(::getpid());
  std::ofstream(tmp, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  std::filesystem::rename(tmp, path);
  return path;
}

}  // namespace

std::vector<std::uint8_t> DictionaryPacket(std::size_t count) {
  PacketModel m = DictionaryTable();

  const std::vector<std::string> words = HungarianHeadwords(count);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> memoLength(150, 450);
  std::string memoText =
      "{\\rtf1\\ansi\\ansicpg1250 {\\b ZENEI KIFEJEZ\\'c9S} olasz eredet\\'fb sz\\'f3, "
      "jelent\\'e9se: a tempo, a dinamika \\'e9s a karakter jel\\'f6l\\'e9se a kott\\'e1ban. ";
  while (memoText.size() < 600) memoText += memoText;
  std::vector<std::uint8_t> picture(1078 + 2000, 0x55);
  picture[0] = 'B';
  picture[1] = 'M';
  m.rows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    PacketRow row;
    row.values.push_back(MediaNameValue(i));
    row.values.push_back(PacketValue{0, {words[i].begin(), words[i].end()}});
    const int len = memoLength(rng);
    row.values.push_back(PacketValue{0, {memoText.begin(), memoText.begin() + len}});
    row.values.push_back(i % 10 == 0 ? PacketValue{0, picture} : PacketValue{1, {}});
    row.values.push_back(PacketValue{0, IndexValue(i)});
    m.rows.push_back(std::move(row));
  }
  std::vector<std::uint8_t> bytes;
  Must(WritePacketModel(m, PacketForm::kBinary, &bytes));
  return bytes;
}

std::vector<std::uint8_t> PlainDictionaryPacket(std::size_t count, std::size_t dottedCount) {
  PacketModel m = DictionaryTable();
  std::vector<std::string> words = HungarianHeadwords(count);
  for (std::size_t i = 0; i < dottedCount && i < count; ++i) {
    words[i].insert(words[i].begin(), '.');
    if (words[i].size() > 40) words[i].resize(40);
  }
  // Words of explanations, in windows-1250.
  static const char* const kWords[] = {"a",
                                       "hang",
                                       "dallam",
                                       "zenei",
                                       "kifejez\xE9s",
                                       "tempo",
                                       "ritmus",
                                       "sz\xF3l\xF3",
                                       "k\xF3rus",
                                       "\xFCtem",
                                       "hangszer",
                                       "l\xE1gy",
                                       "er\xF5s",
                                       "gyors",
                                       "lass\xFA",
                                       "olasz",
                                       "eredet\xFB",
                                       "jel\xF6l\xE9s",
                                       "kotta",
                                       "hangk\xF6z",
                                       "m\xFBv",
                                       "el\xF5"
                                       "ad\xE1s",
                                       "\xE9s",
                                       "vagy"};
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> memoLength(60, 240);
  std::uniform_int_distribution<std::size_t> word(0, std::size(kWords) - 1);
  m.rows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    PacketRow row;
    row.values.push_back(MediaNameValue(i));
    row.values.push_back(PacketValue{0, {words[i].begin(), words[i].end()}});
    const auto length = static_cast<std::size_t>(memoLength(rng));
    std::string memo;
    while (memo.size() < length) memo += std::string(kWords[word(rng)]) + ' ';
    memo.resize(length - 1);
    memo += '.';
    row.values.push_back(PacketValue{0, {memo.begin(), memo.end()}});
    row.values.push_back(PacketValue{1, {}});
    row.values.push_back(PacketValue{0, IndexValue(i)});
    m.rows.push_back(std::move(row));
  }
  std::vector<std::uint8_t> bytes;
  Must(WritePacketModel(m, PacketForm::kBinary, &bytes));
  return bytes;
}

std::vector<std::uint8_t> PeerShapedPacket(std::size_t count) {
  static const char* const kOnsets[] = {"",  "b",  "c",  "cs", "d",  "dz", "f",  "g",  "gy", "h",
                                        "k", "l",  "ly", "m",  "n",  "ny", "p",  "r",  "s",  "sz",
                                        "t", "ty", "v",  "z",  "zs", "tr", "kr", "pr", "fl"};
  // a á e é i í o ó ö ő u ú ü ű in windows-1250.
  static const char* const kVowels[] = {"a",    "\xE1", "e",    "\xE9", "i",    "\xED", "o",
                                        "\xF3", "\xF6", "\xF5", "u",    "\xFA", "\xFC", "\xFB"};
  static const char* const kCodas[] = {"", "", "n", "l", "r", "s", "t", "k", "sz", "ng", "m"};
  std::mt19937 rng(1038);
  auto pick = [&rng](const auto& list) {
    return std::string(
        list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(rng)]);
  };
  auto between = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto upper = [](std::string s) {
    for (char& c : s) {
      const auto b = static_cast<unsigned char>(c);
      if (b >= 'a' && b <= 'z') c = static_cast<char>(b - 32);
      // The accented small letters above lie 32 above their capitals.
      if (b == 0xE1 || b == 0xE9 || b == 0xED || b == 0xF3 || b == 0xF6 || b == 0xF5 || b == 0xFA ||
          b == 0xFC || b == 0xFB)
        c = static_cast<char>(b - 32);
    }
    return s;
  };
  PacketModel m = DictionaryTable();
  m.rows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string word;
    for (int n = between(1, 4); n > 0; --n) word += pick(kOnsets) + pick(kVowels) + pick(kCodas);
    if (between(0, 3) == 0) {
      word += ' ';
      for (int n = between(1, 3); n > 0; --n) word += pick(kOnsets) + pick(kVowels);
    }
    const std::string lower = word.substr(0, 40);
    const std::string headword = upper(lower);
    const std::string once = lower + ": zenei fogalom, " + std::to_string(i + 1) +
                             ". sz\xF3"
                             "cikk. ";
    std::string memo;
    for (int n = between(1, 4); n > 0; --n) memo += once;
    PacketRow row;
    if (i % 3 == 0) {
      char media[32];
      std::snprintf(media, sizeof media, "m%06zu.mp3", i);
      row.values.push_back(PacketValue{0, {media, media + std::strlen(media)}});
    } else {
      row.values.push_back(PacketValue{1, {}});
    }
    row.values.push_back(PacketValue{0, {headword.begin(), headword.end()}});
    row.values.push_back(PacketValue{0, {memo.begin(), memo.end()}});
    row.values.push_back(PacketValue{1, {}});
    row.values.push_back(PacketValue{0, IndexValue(i)});
    m.rows.push_back(std::move(row));
  }
  std::vector<std::uint8_t> bytes;
  Must(WritePacketModel(m, PacketForm::kBinary, &bytes));
  return bytes;
}

std::string PeerShapedPacketFile(std::size_t count) {
  const std::string name = "dorvem-bench-peer-" + std::to_string(count) + ".cds";
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  if (!std::filesystem::exists(path)) WriteTempFile(name, PeerShapedPacket(count));
  return path.string();
}

std::vector<std::uint8_t> EntryPacket(const std::vector<BenchEntry>& entries) {
  PacketModel m = DictionaryTable();
  auto value = [](const auto& v) {
    return v ? PacketValue{0, {v->begin(), v->end()}} : PacketValue{1, {}};
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const BenchEntry& e = entries[i];
    PacketRow row;
    row.values.push_back(PacketValue{1, {}});
    row.values.push_back(PacketValue{0, {e.headword.begin(), e.headword.end()}});
    row.values.push_back(value(e.memo));
    row.values.push_back(value(e.graphic));
    row.values.push_back(PacketValue{0, IndexValue(i)});
    m.rows.push_back(std::move(row));
  }
  std::vector<std::uint8_t> bytes;
  Must(WritePacketModel(m, PacketForm::kBinary, &bytes));
  return bytes;
}

std::string EntryPacketFile(const std::string& name, const std::vector<BenchEntry>& entries) {
  return WriteTempFile("dorvem-bench-" + name + ".cds", EntryPacket(entries));
}

std::string LargeRichTextMemo(std::size_t size) {
  std::string memo =
      "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1038{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}"
      "{\\f1\\froman\\fcharset238 Times New Roman;}}\r\n"
      "{\\colortbl ;\\red128\\green0\\blue0;\\red0\\green0\\blue128;\\red0\\green96\\blue0;}\r\n"
      "\\viewkind4\\uc1\\pard\\sa120\\f0\\fs26\\cf1\\b HANGSZEREK\\b0\\cf0\\fs20\\par\r\n";
  static const char* const kParagraphs[] = {
      "\\pard\\sa100 A {\\b von\\'f3s hangszerek} csoportj\\'e1ba tartozik a heged\\'fb, a "
      "br\\'e1csa, a gordonka \\'e9s a {\\i nagyb\\'f5g\\'f5}. Hangjukat a von\\'f3 "
      "sz\\'f5r\\'e9nek s\\'farl\\'f3d\\'e1sa kelti.\\par\r\n",
      "\\pard\\li360\\fi-200\\sa40 \\'95 {\\cf2\\b Faf\\'fav\\'f3s:} fuvola, obo\\'e1, "
      "klarin\\'e9t, "
      "fagott; a {\\i hangsz\\'edn} a furat alakj\\'e1t\\'f3l f\\'fcgg.\\par\r\n",
      "\\pard\\li360\\fi-200\\sa40 \\'95 {\\cf3\\b R\\'e9zf\\'fav\\'f3s:} k\\'fcrt, trombita, "
      "harsona, "
      "tuba; az {\\ul ajakr\\'e9s} rezg\\'e9se sz\\'f3laltatja meg \\'f5ket.\\par\r\n",
      "\\pard\\qj\\sa100\\f1 L\\'e1sd m\\'e9g: {\\b ZENEKAR}, {\\b KAMARAZENE}, "
      "{\\i continuo}. \\ldblquote A hangszerel\\'e9s m\\'fbv\\'e9szete\\rdblquote  "
      "\\endash  \\u337?\\u369? \\f0\\par\r\n",
  };
  for (std::size_t i = 0; memo.size() + 3 < size; ++i)
    memo += kParagraphs[i % std::size(kParagraphs)];
  memo += "}\r\n";
  return memo;
}

namespace {
void PutLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
}
}  // namespace

std::vector<std::uint8_t> PictureBlob24(int width, int height) {
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t h = static_cast<std::size_t>(height);
  const std::size_t rowBytes = (w * 3 + 3) / 4 * 4;
  const std::size_t fileSize = 14 + 40 + rowBytes * h;
  std::vector<std::uint8_t> b(8 + fileSize, 0);
  PutLe(b, 0, 1, 2);
  PutLe(b, 2, 0x0100, 2);
  PutLe(b, 4, static_cast<std::uint32_t>(fileSize), 4);
  const std::size_t f = 8;  // the bitmap file
  b[f] = 'B';
  b[f + 1] = 'M';
  PutLe(b, f + 2, static_cast<std::uint32_t>(fileSize), 4);
  PutLe(b, f + 10, 14 + 40, 4);
  PutLe(b, f + 14, 40, 4);
  PutLe(b, f + 18, static_cast<std::uint32_t>(width), 4);
  PutLe(b, f + 22, static_cast<std::uint32_t>(height), 4);
  PutLe(b, f + 26, 1, 2);
  PutLe(b, f + 28, 24, 2);
  PutLe(b, f + 34, static_cast<std::uint32_t>(rowBytes * h), 4);
  for (std::size_t y = 0; y < h; ++y) {
    std::uint8_t* row = b.data() + f + 54 + y * rowBytes;
    for (std::size_t x = 0; x < w; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(x + y);      // blue
      row[3 * x + 1] = static_cast<std::uint8_t>(y * 2);  // green
      row[3 * x + 2] = static_cast<std::uint8_t>(x);      // red
    }
  }
  return b;
}

std::string DictionaryPacketFile(std::size_t count) {
  const std::string name = "dorvem-bench-" + std::to_string(count) + ".cds";
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  if (!std::filesystem::exists(path)) WriteTempFile(name, DictionaryPacket(count));
  return path.string();
}

std::string CacheFolder() {
  return (std::filesystem::temp_directory_path() / "dorvem-bench-cache").string();
}

namespace {
std::uint64_t StatusKilobytes(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(in, line))
    if (line.rfind(prefix, 0) == 0) return std::stoull(line.substr(prefix.size()));
  return 0;
}
}  // namespace

std::uint64_t PeakResidentBytes() {
  return StatusKilobytes("VmHWM") * 1024;
}
std::uint64_t CurrentResidentBytes() {
  return StatusKilobytes("VmRSS") * 1024;
}

void ResetPeakResident() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

void Must(DBResult result) {
  if (result == dbr::kOk) return;
  std::fprintf(stderr, "engine call failed with code %u\n", static_cast<unsigned>(result));
  std::abort();
}

}  // namespace dorvem::bench
