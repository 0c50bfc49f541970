// Building a packet model from a JSON description (cdstool build).
//
// {
//   "params":  {"LCID": 1038, "NAME": {"type": "uint16[]", "value": [2]}},
//   "columns": [{"name": "KSZOVEG", "type": "string", "width": 40},
//               {"name": "SZOVMAGY", "type": "blob", "subtype": "Text"}, ...],
//   "rows":    [{"KSZOVEG": "ÁRIA", "SZOVMAGY": {"file": "memo/aria.rtf"},
//                "$status": 0}, ...]
// }
//
// Column types: string (width), blob (subtype), int8/16/32/64,
// uint8/16/32/64, bool, float64, date ("YYYY-MM-DD"), time ("HH:MM:SS"),
// timestamp ("YYYY-MM-DD HH:MM:SS"), bytes and varbytes (width), unicode
// (width in bytes). A column may carry "readonly", "required", "hidden" and
// "linkfield" booleans and "params" of its own. Parameter values: an integer
// (uint32, or int32 when negative), a string, a boolean, or {"type", "value"}
// with one of the integer types, "string" or "bool", optionally followed by
// "[]" for an array.
//
// Strings are UTF-8 and are converted to the packet's code page (the ANSI
// code page of its LCID, windows-1250 without one). A blob or bytes value is
// a string (converted the same way), {"file": path} (relative to the JSON
// file; its bytes as they are, or with "encoding": "utf-8" its UTF-8 text
// converted like a string), {"base64": text} or {"hex": text}. A value of
// any other type may also be {"base64"} or {"hex"}: its stored bytes as
// they are (as many as a fixed-size type holds). null or an absent key is
// blank.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "dataset/packet/packet_model.h"

namespace cdstool {

// Called after each row built, with the rows built and all of them.
using BuildProgress = std::function<void(std::size_t done, std::size_t total)>;

// Parses `jsonText`; `baseDir` resolves relative file names. Raises
// std::runtime_error with a message naming the offending part.
dorvem::PacketModel PacketModelFromJson(const std::string& jsonText, const std::string& baseDir,
                                        const BuildProgress& progress = {});

}  // namespace cdstool
