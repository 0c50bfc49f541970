// Running a program over one record: the null rule, then each opcode's value.
#include <algorithm>
#include <cmath>
#include <string>

#include "dataset/core/sql_time_stamp.h"
#include "dataset/eval/functions.h"
#include "dataset/eval/like_pattern.h"
#include "dataset/eval/prefix_matcher.h"
#include "dataset/eval/program.h"
#include "dataset/eval/values.h"
#include "dataset/locale/locale_services.h"
#include "dataset/store/logical_types.h"

namespace dorvem::eval {
namespace {

bool Holds(Relation r, int c) {
  switch (r) {
    case Relation::kEqual:
      return c == 0;
    case Relation::kNotEqual:
      return c != 0;
    case Relation::kGreater:
      return c > 0;
    case Relation::kLess:
      return c < 0;
    case Relation::kGreaterOrEqual:
      return c >= 0;
    case Relation::kLessOrEqual:
      return c <= 0;
  }
  return false;
}

template <typename T>
int Order(T a, T b) {
  return (a > b) - (a < b);
}

int Collate(const locale::Collator* c, const char* a, std::size_t la, const char* b,
            std::size_t lb) {
  if (c == nullptr) return locale::kCompareFailed;
  return c->CompareA(a, static_cast<int>(la), b, static_cast<int>(lb));
}

std::size_t WithoutTrailingBlanks(const char* s, std::size_t n) {
  while (n > 0 && s[n - 1] == ' ') --n;
  return n;
}

// The string comparison rules: partial length, fixed-length strings, and a
// failed comparison counting as "less".
bool CompareStrings(const Instruction& in, const char* a, std::size_t la, const char* b,
                    std::size_t lb) {
  std::size_t n = in.partial;
  switch (in.relation) {
    case Relation::kEqual:
      if (n == 0 && in.fixedChar && in.leftIsField)
        n = std::max(WithoutTrailingBlanks(a, la), WithoutTrailingBlanks(b, lb));
      if (n > 0) {
        la = std::min(la, n);
        lb = std::min(lb, n);
      }
      return Collate(in.collator, a, la, b, lb) == locale::kEqual;
    case Relation::kNotEqual:
      if (n > 0) {
        if (in.leftIsField)
          la = std::min(la, n);
        else
          lb = std::min(lb, n);
      }
      return Collate(in.collator, a, la, b, lb) != locale::kEqual;
    default: {
      const int c = Collate(in.collator, a, la, b, lb);
      switch (in.relation) {
        case Relation::kLess:
          return c == locale::kLess || c == locale::kCompareFailed;
        case Relation::kLessOrEqual:
          return c != locale::kGreater;
        case Relation::kGreater:
          return c == locale::kGreater;
        default:
          return c == locale::kEqual || c == locale::kGreater;
      }
    }
  }
}

bool IsTrueText(const char* s) {
  return locale::lstrcmpiA(s, "TRUE") == 0;
}

}  // namespace

bool Program::Passes(std::uint32_t record) {
  if (prefix_.matcher) return prefix_.Passes(*table_, record);
  for (Instruction& in : code_) Run(in, record);
  const Value v = Read(*table_, root_, record);
  return root_.type == kLtBool16 && !v.null && LoadLE<std::uint16_t>(v.p) != 0;
}

void Program::Run(Instruction& in, std::uint32_t record) {
  const DSBASE& t = *table_;
  const Operand& lo = in.left;
  const Operand& ro = in.right;
  const Value l = (lo.fieldId || lo.value) ? Read(t, lo, record) : Value{nullptr, false};
  const Value r = in.hasRight ? Read(t, ro, record) : Value{nullptr, false};

  bool null = false;
  switch (in.op) {
    case Opcode::kAnd:
    case Opcode::kOr:
      break;
    case Opcode::kNot:
    case Opcode::kIsNull:
      break;
    case Opcode::kAssign:
      null = l.null;
      break;
    case Opcode::kFunction:
      for (const Operand& a : in.list) null = null || Read(t, a, record).null;
      break;
    default:
      null = l.null || r.null;
  }

  std::uint8_t* out = in.result;
  auto setBool = [&](bool b) { StoreLE<std::uint16_t>(out, b ? 1 : 0); };
  switch (in.op) {
    case Opcode::kCmpString: {
      const auto* a = reinterpret_cast<const char*>(l.p);
      const auto* b = reinterpret_cast<const char*>(r.p);
      setBool(CompareStrings(in, a, StringLength(l, lo), b, StringLength(r, ro)));
      break;
    }
    case Opcode::kCmpStringPrefix: {
      const bool equal = in.prefix->Equal(reinterpret_cast<const char*>(l.p));
      setBool(in.relation == Relation::kEqual ? equal : !equal);
      break;
    }
    case Opcode::kCmpInt16:
      setBool(Holds(in.relation, Order(LoadLE<std::int16_t>(l.p), LoadLE<std::int16_t>(r.p))));
      break;
    case Opcode::kCmpInt32:
      setBool(Holds(in.relation, Order(LoadLE<std::int32_t>(l.p), LoadLE<std::int32_t>(r.p))));
      break;
    case Opcode::kCmpUInt32:
      setBool(Holds(in.relation, Order(LoadLE<std::uint32_t>(l.p), LoadLE<std::uint32_t>(r.p))));
      break;
    case Opcode::kCmpFloat64: {
      const double a = LoadLE<double>(l.p), b = LoadLE<double>(r.p);
      bool holds;
      switch (in.relation) {
        case Relation::kEqual:
          holds = a == b || std::fabs(a - b) < 1e-15;
          break;
        case Relation::kNotEqual:
          holds = !(a == b);
          break;
        case Relation::kGreater:
          holds = a > b;
          break;
        case Relation::kLess:
          holds = a < b;
          break;
        case Relation::kGreaterOrEqual:
          holds = a >= b;
          break;
        default:
          holds = a <= b;
      }
      setBool(holds);
      break;
    }
    case Opcode::kCmpSqlTimeStamp:
      setBool(Holds(in.relation, CompareSqlTimeStamps(l.p, r.p)));
      break;
    case Opcode::kCmpBytes: {
      const std::size_t n = std::min(lo.size, ro.size);
      int c = std::memcmp(l.p, r.p, n);
      c = c != 0 ? (c > 0 ? 1 : -1) : Order(lo.size, ro.size);
      setBool(Holds(in.relation, c));
      break;
    }
    case Opcode::kCmpBool:
      setBool(Holds(in.relation,
                    Order<int>(LoadLE<std::uint16_t>(l.p) != 0, LoadLE<std::uint16_t>(r.p) != 0)));
      break;
    case Opcode::kCmpStringBool:
    case Opcode::kCmpBoolString: {
      const bool stringLeft = in.op == Opcode::kCmpStringBool;
      const Value& s = stringLeft ? l : r;
      const Value& b = stringLeft ? r : l;
      const std::string text(reinterpret_cast<const char*>(s.p),
                             StringLength(s, stringLeft ? lo : ro));
      const bool same = IsTrueText(text.c_str()) == (LoadLE<std::uint16_t>(b.p) != 0);
      setBool(in.relation == Relation::kEqual ? same : !same);
      break;
    }
    case Opcode::kLikeString:
    case Opcode::kLikeBlob:
    case Opcode::kLikeText:
      setBool(RunLike(in, l, r, record));
      break;
    case Opcode::kAnd:
      setBool(LoadLE<std::uint16_t>(l.p) != 0 && LoadLE<std::uint16_t>(r.p) != 0);
      break;
    case Opcode::kOr:
      setBool(LoadLE<std::uint16_t>(l.p) != 0 || LoadLE<std::uint16_t>(r.p) != 0);
      break;
    case Opcode::kNot:
      setBool(LoadLE<std::uint16_t>(l.p) == 0);
      break;
    case Opcode::kIsNull:
      setBool(l.null);
      break;
    case Opcode::kIsNotNull:
      setBool(!l.null);
      break;
    case Opcode::kIn: {
      bool any = false;
      for (const Operand& e : in.list) {
        const Value v = Read(t, e, record);
        any = any || (!v.null && LoadLE<std::uint16_t>(v.p) != 0);
      }
      setBool(any);
      break;
    }
    case Opcode::kToFloat64:
      StoreLE(out, NumberValue(l.p, lo.type, lo.size));
      break;
    case Opcode::kDateToTimeStamp:
      StoreLE(out, LoadLE<std::int32_t>(l.p) * kMsPerDay);
      break;
    case Opcode::kDateToSqlTimeStamp:
      StoreTemporal(out, kLtSqlTimeStamp, LoadLE<std::int32_t>(l.p) * kMsPerDay);
      break;
    case Opcode::kTimeStampToTime:
      StoreTemporal(out, kLtTime, LoadLE<double>(l.p));
      break;
    case Opcode::kAddFloat:
      StoreLE(out, LoadLE<double>(l.p) + LoadLE<double>(r.p));
      break;
    case Opcode::kSubFloat:
      StoreLE(out, LoadLE<double>(l.p) - LoadLE<double>(r.p));
      break;
    case Opcode::kMulFloat:
      StoreLE(out, LoadLE<double>(l.p) * LoadLE<double>(r.p));
      break;
    case Opcode::kDivFloat: {
      const double divisor = LoadLE<double>(r.p);
      if (divisor == 0) null = true;
      StoreLE(out, divisor == 0 ? 0.0 : LoadLE<double>(l.p) / divisor);
      break;
    }
    case Opcode::kConcat: {
      const std::size_t la = StringLength(l, lo), lb = StringLength(r, ro);
      std::memmove(out, l.p, la);
      std::memmove(out + la, r.p, lb);
      out[la + lb] = 0;
      break;
    }
    case Opcode::kAddDays:
      StoreLE(out, TemporalMs(l.p, lo.type) + LoadLE<double>(r.p) * kMsPerDay);
      break;
    case Opcode::kSubDays:
      StoreTemporal(out, in.resultType, TemporalMs(l.p, lo.type) - LoadLE<double>(r.p) * kMsPerDay);
      break;
    case Opcode::kDiffDays:
      StoreLE(out, (TemporalMs(l.p, lo.type) - TemporalMs(r.p, ro.type)) / kMsPerDay);
      break;
    case Opcode::kAssign:
      std::memmove(out, l.p, std::min(lo.size, in.resultSize));
      break;
    case Opcode::kFunction:
      if (!RunFunction(t, in, record)) null = true;
      break;
  }
  *in.resultNull = null ? 1 : 0;
}

bool Program::RunLike(Instruction& in, const Value& l, const Value& r, std::uint32_t record) {
  const unsigned char* text = l.p;
  std::size_t length = 0;
  std::string digits;
  switch (in.op) {
    case Opcode::kLikeString:
      length = StringLength(l, in.left);
      break;
    case Opcode::kLikeBlob: {
      // The blob's bytes (none when blank or unreadable).
      std::uint32_t size = 0;
      const std::uint32_t handle = LoadLE<std::uint32_t>(l.p);
      const BlobStore* blobs = table_->Blobs();
      blobScratch_.clear();
      if (!l.null && handle != 0 && blobs != nullptr && blobs->Length(handle, &size) == dbr::kOk) {
        blobScratch_.resize(size);
        std::uint32_t copied = 0;
        if (size && blobs->Read(handle, 0, size, blobScratch_.data(), &copied) == dbr::kOk)
          blobScratch_.resize(copied);
        else
          blobScratch_.clear();
      }
      text = blobScratch_.data();
      length = blobScratch_.size();
      break;
    }
    default:
      if (in.left.type == kLtInt64) {
        digits = std::to_string(LoadLE<std::int64_t>(l.p));
        text = reinterpret_cast<const unsigned char*>(digits.data());
        length = digits.size();
      } else {
        length = StringLength(l, in.left);
      }
  }
  if (in.like) return in.like->Matches(text, length);
  // A pattern read from the record is prepared for this record.
  (void)record;
  LikePattern pattern(
      in.collator, std::string_view(reinterpret_cast<const char*>(r.p), StringLength(r, in.right)));
  return pattern.Matches(text, length);
}

}  // namespace dorvem::eval
