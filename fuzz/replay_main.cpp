// Replays fuzz inputs without libFuzzer: runs a target's entry point once
// over every file of the folders (or files) named on the command line, in
// name order, so that a normal or sanitizer build checks the kept corpora.
// A crash or a sanitizer report ends the run with its own status; a folder
// without inputs is an error, so that a lost corpus cannot pass.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path p(argv[i]);
    if (std::filesystem::is_directory(p)) {
      for (const auto& e : std::filesystem::directory_iterator(p))
        if (e.is_regular_file()) inputs.push_back(e.path());
    } else {
      inputs.push_back(p);
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "%s: no inputs to replay\n", argv[0]);
    return 2;
  }
  std::sort(inputs.begin(), inputs.end());
  std::size_t bytes = 0;
  for (const std::filesystem::path& p : inputs) {
    std::ifstream in(p, std::ios::binary);
    const std::vector<char> data((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], p.c_str());
      return 2;
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    bytes += data.size();
  }
  std::printf("replayed %zu inputs, %zu bytes\n", inputs.size(), bytes);
  return 0;
}
