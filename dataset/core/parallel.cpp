#include "dataset/core/parallel.h"

#include <system_error>
#include <thread>

namespace dorvem {

unsigned PartsFor(std::size_t items, std::size_t minPerPart) {
  const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
  const std::size_t byItems = minPerPart ? items / minPerPart : items;
  return static_cast<unsigned>(std::max<std::size_t>(1, std::min<std::size_t>(cores, byItems)));
}

bool RunParts(unsigned parts, const std::function<bool(unsigned part)>& work) {
  if (parts == 0) return true;
  std::vector<char> ok;
  std::vector<std::thread> threads;
  try {
    ok.assign(parts, 0);
    threads.reserve(parts - 1);
  } catch (const std::bad_alloc&) {
    // No room to keep track: every part runs here, one after another.
    bool all = true;
    for (unsigned p = 0; p < parts; ++p) all = work(p) && all;
    return all;
  }
  for (unsigned p = 1; p < parts; ++p) {
    try {
      threads.emplace_back([&ok, &work, p] { ok[p] = work(p); });
    } catch (const std::system_error&) {
      ok[p] = work(p);
    } catch (const std::bad_alloc&) {
      ok[p] = work(p);
    }
  }
  ok[0] = work(0);
  for (std::thread& t : threads) t.join();
  for (char k : ok)
    if (!k) return false;
  return true;
}

}  // namespace dorvem
