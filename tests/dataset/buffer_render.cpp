#include "tests/dataset/buffer_render.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "dataset/core/byte_layout.h"

namespace dorvem::testing {
namespace {

const char* OperatorName(std::uint32_t op) {
  switch (op) {
    case 1:
      return "ISNULL";
    case 2:
      return "ISNOTNULL";
    case 3:
      return "=";
    case 4:
      return "<>";
    case 5:
      return ">";
    case 6:
      return "<";
    case 7:
      return ">=";
    case 8:
      return "<=";
    case 9:
      return "NOT";
    case 10:
      return "AND";
    case 11:
      return "OR";
    case 16:
      return "+";
    case 17:
      return "-";
    case 18:
      return "*";
    case 19:
      return "/";
    case 30:
      return "LIKE";
    case 31:
      return "IN";
    case 37:
      return ":=";
    default:
      return "?";
  }
}

struct Reader {
  const std::vector<std::uint8_t>& b;
  std::size_t nodes = 0, literals = 0;
  int depth = 0;

  std::uint16_t U16(std::size_t at) const {
    if (at + 2 > b.size()) throw std::runtime_error("bad");
    return LoadU16(b.data() + at);
  }
  std::uint32_t U32(std::size_t at) const {
    if (at + 4 > b.size()) throw std::runtime_error("bad");
    return LoadU32(b.data() + at);
  }
  std::uint16_t Operand(std::size_t node, int i) const { return U16(nodes + node + 8 + 2 * i); }
  std::string Name(std::size_t lit) const {
    std::string s;
    for (std::size_t i = literals + lit; i < b.size() && b[i]; ++i)
      s.push_back(static_cast<char>(b[i]));
    return s;
  }

  std::string List(std::uint16_t element) {
    std::string out;
    int guard = 0;
    do {
      if (!out.empty()) out += ", ";
      out += Node(Operand(element, 0));
      element = Operand(element, 1);
    } while (element != 0 && ++guard < 10000);
    return out;
  }

  std::string Const(std::size_t node) const {
    const std::uint16_t type = Operand(node, 0), size = Operand(node, 1);
    const std::size_t at = literals + Operand(node, 2);
    char text[64];
    if (size == 0) return "null:" + std::to_string(type);
    if (at + size > b.size()) throw std::runtime_error("bad");
    const std::uint8_t* p = b.data() + at;
    switch (type) {
      case 1:
        return "'" +
               std::string(reinterpret_cast<const char*>(p),
                           strnlen(reinterpret_cast<const char*>(p), size)) +
               "'";
      case 2:
        return "date:" + std::to_string(static_cast<std::int32_t>(LoadU32(p)));
      case 4:
        return "b:" + std::to_string(LoadU16(p));
      case 5:
        return "i16:" + std::to_string(static_cast<std::int16_t>(LoadU16(p)));
      case 6:
        return "i32:" + std::to_string(static_cast<std::int32_t>(LoadU32(p)));
      case 10:
        return "time:" + std::to_string(LoadU32(p));
      case 12:
        return "u16:" + std::to_string(LoadU16(p));
      case 7:
      case 11: {
        double d;
        std::memcpy(&d, p, 8);
        std::snprintf(text, sizeof text, "%s:%.17g", type == 7 ? "f64" : "ts", d);
        return text;
      }
      default: {
        std::string out = "t" + std::to_string(type) + ":";
        for (std::uint16_t i = 0; i < size; ++i) {
          std::snprintf(text, sizeof text, "%02x", p[i]);
          out += text;
        }
        return out;
      }
    }
  }

  std::string Node(std::uint16_t node) {
    if (++depth > 200) throw std::runtime_error("bad");
    const std::uint32_t cls = U32(nodes + node), op = U32(nodes + node + 4);
    std::string out;
    switch (cls) {
      case 1:
        out = std::string(OperatorName(op)) + "(" + Node(Operand(node, 0)) + ")";
        break;
      case 2:
        if (op == 31)
          out = "IN(" + Node(Operand(node, 0)) + ", [" + List(Operand(node, 1)) + "])";
        else
          out = std::string(OperatorName(op)) + "(" + Node(Operand(node, 0)) + ", " +
                Node(Operand(node, 1)) + ")";
        break;
      case 3:
        out = std::string(OperatorName(op)) + "[ci=" + std::to_string(Operand(node, 0)) +
              ",n=" + std::to_string(Operand(node, 1)) + "](" + Node(Operand(node, 2)) + ", " +
              Node(Operand(node, 3)) + ")";
        break;
      case 4:
        out = Name(Operand(node, 1)) + "#" + std::to_string(Operand(node, 0));
        break;
      case 5:
        out = Const(node);
        break;
      case 10:
        out = Name(Operand(node, 0)) + "(" + (Operand(node, 1) ? List(Operand(node, 1)) : "") + ")";
        break;
      default:
        throw std::runtime_error("bad");
    }
    --depth;
    return out;
  }
};

}  // namespace

std::string Render(const std::vector<std::uint8_t>& buffer) {
  try {
    Reader r{buffer};
    if (buffer.size() < 10 || r.U16(2) != buffer.size()) return "<bad buffer>";
    r.nodes = r.U16(6);
    r.literals = r.U16(8);
    return r.Node(0);
  } catch (const std::exception&) {
    return "<bad buffer>";
  }
}

}  // namespace dorvem::testing
