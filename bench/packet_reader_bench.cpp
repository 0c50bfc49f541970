// Reading a packet of 1,000,000 rows x 5 columns value by value, as the
// record store loads it: one NextField per value into a reused buffer, blobs
// sized first with NextFieldSize.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench/support/dictionary_data.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/reader_interface.h"
#include "dataset/packet/writer_interface.h"

namespace dorvem {
namespace {

std::vector<std::uint8_t> MakePacket(std::uint32_t rows, PacketForm form) {
  EngineRef<TDATAPACKET_WRITE> w;
  bench::Must(DATAPACKETWRITE_Factory(w.Receive()));
  DSColumnDesc cols[5];
  const char* names[] = {"FAJLNEV", "KSZOVEG", "SZOVMAGY", "GRAPHIC", "Index"};
  const std::uint32_t words[] = {0x00490002, 0x00490001, 0x004B0004, 0x004B0004, 0x00010004};
  for (int i = 0; i < 5; ++i) {
    std::strcpy(cols[i].name, names[i]);
    cols[i].typeWord = words[i];
  }
  bench::Must(w->PutColumnDescs(5, cols));
  const std::uint16_t w255 = 255, w40 = 40;
  bench::Must(w->AddParameter(1, "WIDTH", 0x00020002, &w255, 2));
  bench::Must(w->AddParameter(2, "WIDTH", 0x00020002, &w40, 2));
  bench::Must(w->AddParameter(3, "SUBTYPE", 0x00490001, "Text", 4));
  const std::string memo(60, 'm');
  for (std::uint32_t r = 0; r < rows; ++r) {
    const std::uint8_t status = 0;
    const std::string file = "sound" + std::to_string(r) + ".mid";
    const std::string word = "HEADWORD " + std::to_string(r);
    bench::Must(w->PutField(0, &status, 1));
    bench::Must(w->PutField(0, file.data(), static_cast<std::uint32_t>(file.size())));
    bench::Must(w->PutField(0, word.data(), static_cast<std::uint32_t>(word.size())));
    bench::Must(w->PutField(0, memo.data(), static_cast<std::uint32_t>(memo.size())));
    bench::Must(w->PutField(packet::kFieldBlank, nullptr, 0));
    bench::Must(w->PutField(0, &r, 4));
  }
  std::vector<std::uint8_t> out;
  bench::Must(w->GetDataPacket(form, &out));
  return out;
}

void ReadAll(benchmark::State& state, PacketForm form) {
  const auto packet = MakePacket(static_cast<std::uint32_t>(state.range(0)), form);
  std::vector<std::uint8_t> value(65536);
  char name[256];
  for (auto _ : state) {
    state.PauseTiming();  // the packet arrives as the file's bytes, moved in
    std::vector<std::uint8_t> copy = packet;
    state.ResumeTiming();
    EngineRef<TDATAPACKET_READ> r;
    bench::Must(DATAPACKETREAD_Factory(r.Receive()));
    bench::Must(r->StartPacket(std::move(copy)));
    DSColumnDesc d;
    for (;;) {
      DBResult e = r->NextColumn(&d);
      std::uint32_t word = 0, size = 0;
      while (r->NextParamSize(&size) == 0) {
        size = static_cast<std::uint32_t>(value.size());
        bench::Must(r->NextParam(name, &word, &size, value.data()));
      }
      if (e) break;
    }
    std::uint64_t rows = 0;
    for (;;) {
      std::uint32_t size = 4, status = 0;
      if (r->NextField(&size, value.data(), &status)) break;
      ++rows;
      for (int c = 0; c < 5; ++c) {
        if (c == 2 || c == 3) bench::Must(r->NextFieldSize(&size));
        size = static_cast<std::uint32_t>(value.size());
        bench::Must(r->NextField(&size, value.data(), &status));
      }
    }
    benchmark::DoNotOptimize(rows);
  }
}

void BM_ReadBinaryPacket(benchmark::State& state) {
  ReadAll(state, PacketForm::kBinary);
}
BENCHMARK(BM_ReadBinaryPacket)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_ReadTextPacket(benchmark::State& state) {
  ReadAll(state, PacketForm::kXml);
}
BENCHMARK(BM_ReadTextPacket)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dorvem

BENCHMARK_MAIN();
