// Test helper: an expression buffer rendered as a short prefix notation,
// so that tests can state the tree a filter text flattens to.
//
//   Compare node   =[ci=0,n=3](KSZOVEG#2, 'ABC')
//   Binary node    >(Index#5, f64:2)      In: IN(Index#5, [f64:1, f64:2])
//   Unary node     ISNULL(KSZOVEG#2)      NOT(...)
//   Function node  UPPER(KSZOVEG#2)
//   Constants      'text'  b:1  i16:-3  u16:7  i32:12  f64:1.5  date:739000
//                  time:3600000  null:6 (logical type 6, no bytes)  t24:<hex>
// A malformed buffer renders as "<bad buffer>".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dorvem::testing {

std::string Render(const std::vector<std::uint8_t>& buffer);

}  // namespace dorvem::testing
