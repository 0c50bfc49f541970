#include "views/rtf/rtf_parser.h"

#include <algorithm>

#include "views/rtf/rtf_limits.h"

namespace dorvem::rtf {

namespace {

// Decoders one document may open; further code pages decode as the
// fallback, so hostile input cannot make every word open a converter.
constexpr std::size_t kMaxDecoders = 16;

bool IsHigh(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

TRtfParser::TRtfParser(std::string_view bytes, QTextDocument& doc)
    : tokens_(bytes), builder_(doc, fonts_, colours_), pixelBudget_(kMaxDocumentPicturePixels) {
  groups_.reserve(kMaxGroupDepth);
}

void TRtfParser::Run() {
  while (!Step(kWholeDocument)) {
  }
}

bool TRtfParser::Step(std::size_t bytes) {
  if (ended_) return true;
  const std::size_t start = tokens_.Position();
  const std::size_t until = bytes > kWholeDocument - start ? kWholeDocument : start + bytes;
  const std::size_t paragraphs = builder_.ParagraphsEnded();
  builder_.BeginEdit();
  while (!ended_) {
    const TRtfToken t = tokens_.Next();
    if (t.kind == TRtfTokenKind::kEnd) {
      EndDocument();
      break;
    }
    OnToken(t);
    // A paragraph ended in this step, and nothing of the next is built.
    if (tokens_.Position() >= until && builder_.ParagraphsEnded() > paragraphs &&
        builder_.AtParagraphEnd())
      break;
  }
  builder_.EndEdit();
  return ended_;
}

void TRtfParser::OnToken(TRtfToken t) {
  if (skip_ > 0) {
    switch (t.kind) {
      case TRtfTokenKind::kText: {
        const std::size_t n = std::min<std::size_t>(skip_, t.text.size());
        skip_ -= static_cast<int>(n);
        t.text.remove_prefix(n);
        if (t.text.empty()) return;
        break;
      }
      case TRtfTokenKind::kHexByte:
      case TRtfTokenKind::kSymbol:
      case TRtfTokenKind::kBinary:
        --skip_;
        return;
      default:
        skip_ = 0;
        break;
    }
  }
  if (highSurrogate_ != 0 && !(t.kind == TRtfTokenKind::kWord && t.text == "u"))
    EmitPendingSurrogate();

  if (t.kind == TRtfTokenKind::kGroupOpen) {
    OpenGroup();
    return;
  }
  if (groups_.empty()) return;  // nothing counts outside the document's group
  switch (t.kind) {
    case TRtfTokenKind::kGroupClose:
      if (overflow_ > 0) {
        --overflow_;
      } else if (groups_.size() == 1) {
        EndDocument();
      } else {
        CloseGroup();
      }
      break;
    case TRtfTokenKind::kWord:
      OnWord(t);
      break;
    case TRtfTokenKind::kSymbol:
      OnSymbol(t.value);
      break;
    case TRtfTokenKind::kHexByte: {
      const char byte = static_cast<char>(t.value);
      OnBytes(std::string_view(&byte, 1));
      break;
    }
    case TRtfTokenKind::kText:
      OnBytes(t.text);
      break;
    case TRtfTokenKind::kBinary:
      FlushBytes();
      if (groups_.back().destination == TRtfDestination::kPicture && picture_)
        picture_->AppendBinary(t.text);
      break;
    default:
      break;
  }
}

void TRtfParser::OpenGroup() {
  FlushBytes();
  if (groups_.empty()) {
    groups_.emplace_back();
    return;
  }
  if (groups_.size() >= static_cast<std::size_t>(kMaxGroupDepth)) {
    ++overflow_;
    return;
  }
  TRtfGroup child = groups_.back();
  child.destinationStart = false;
  child.ignorable = false;
  groups_.push_back(child);
}

void TRtfParser::CloseGroup() {
  FlushBytes();
  const TRtfGroup& g = groups_.back();
  if (g.destination == TRtfDestination::kFontTable) fonts_.EndEntry(documentCodePage_);
  if (g.destinationStart) {
    switch (g.destination) {
      case TRtfDestination::kFontTable:
        decoder_ = nullptr;
        builder_.TablesChanged();
        break;
      case TRtfDestination::kColourTable:
        builder_.TablesChanged();
        break;
      case TRtfDestination::kPicture:
        if (picture_) {
          const QImage image = picture_->Decode(pixelBudget_);
          if (!image.isNull())
            builder_.InsertImage(image, picture_->ShownSize(image), g.chars, g.para);
          picture_.reset();
        }
        break;
      default:
        break;
    }
  }
  groups_.pop_back();
}

void TRtfParser::EndDocument() {
  ended_ = true;
  if (groups_.empty()) return;  // bytes that never opened the document's group
  FlushBytes();
  EmitPendingSurrogate();
  const TRtfCharProps chars = groups_.back().chars;
  const TRtfParaProps para = groups_.back().para;
  while (!groups_.empty()) CloseGroup();
  builder_.Finish(para, chars);
}

void TRtfParser::OnBytes(std::string_view bytes) {
  switch (groups_.back().destination) {
    case TRtfDestination::kText:
      pendingBytes_.append(bytes);  // decoded together at the next other token
      break;
    case TRtfDestination::kFontTable:
      fonts_.AppendNameBytes(bytes, documentCodePage_);
      break;
    case TRtfDestination::kColourTable:
      colours_.AppendText(bytes);
      break;
    case TRtfDestination::kPicture:
      if (picture_) picture_->AppendHex(bytes);
      break;
    case TRtfDestination::kSkip:
      break;
  }
}

void TRtfParser::OnUnicode(std::int32_t value) {
  const std::int32_t v = value < 0 ? value + 65536 : value;
  const char16_t c = (v < 0 || v > 0xFFFF) ? u'\uFFFD' : static_cast<char16_t>(v);
  if (IsHigh(c)) {
    EmitPendingSurrogate();
    highSurrogate_ = c;
    return;
  }
  if (IsLow(c)) {
    if (highSurrogate_ == 0) {
      EmitChar(u'\uFFFD');
      return;
    }
    const char16_t pair[2] = {highSurrogate_, c};
    highSurrogate_ = 0;
    FlushBytes();
    builder_.AppendText(QStringView(pair, 2), groups_.back().chars, groups_.back().para);
    return;
  }
  EmitPendingSurrogate();
  EmitChar(c);
}

void TRtfParser::EmitPendingSurrogate() {
  if (highSurrogate_ == 0) return;
  highSurrogate_ = 0;
  EmitChar(u'\uFFFD');
}

void TRtfParser::EmitChar(char16_t c) {
  FlushBytes();
  if (groups_.back().destination == TRtfDestination::kText)
    builder_.AppendChar(c, groups_.back().chars, groups_.back().para);
}

int TRtfParser::CurrentCodePage() const {
  const int font = groups_.back().chars.font;
  const TRtfFont* f = fonts_.Find(font >= 0 ? font : defaultFont_);
  return f != nullptr ? f->codePage : documentCodePage_;
}

TTextDecoder& TRtfParser::DecoderFor(int codePage) {
  for (auto& [number, decoder] : decoders_)
    if (number == codePage) return *decoder;
  if (decoders_.size() >= kMaxDecoders) codePage = kFallbackCodePage;
  for (auto& [number, decoder] : decoders_)
    if (number == codePage) return *decoder;
  decoders_.emplace_back(codePage, std::make_unique<TTextDecoder>(codePage));
  return *decoders_.back().second;
}

void TRtfParser::FlushBytes() {
  if (pendingBytes_.empty()) return;
  const TRtfGroup& g = groups_.back();
  const int font = g.chars.font >= 0 ? g.chars.font : defaultFont_;
  if (decoder_ == nullptr || font != decoderFont_) {
    decoder_ = &DecoderFor(CurrentCodePage());
    decoderFont_ = font;
  }
  scratch_.resize(0);  // keeps the buffer
  decoder_->Append(pendingBytes_, scratch_);
  decoder_->Flush(scratch_);
  pendingBytes_.clear();
  builder_.AppendText(scratch_, g.chars, g.para);
}

}  // namespace dorvem::rtf
