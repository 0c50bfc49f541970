// A packet written back as the JSON description that `cdstool build` reads
// (packet_json.h), so that a dictionary can be edited and built again.
//
// The description goes to <dir>/<name>.json; memos and other blobs go to
// files beside it, one folder per column (<dir>/<COLUMN>/<row>.<ext>, the
// row numbered from 1 with leading zeros): a memo that is rich text as
// ".rtf", its bytes as they are; any other memo as ".txt", in UTF-8 with
// "encoding": "utf-8" when its text converts to UTF-8 and back to the same
// bytes, else as its bytes; a picture (a bitmap, with or without the
// graphic header before it) as ".bmp" and any other blob as ".bin", both
// with their bytes as they are. An empty blob is "" and a blank value null.
// Strings are UTF-8 text when they convert back to the same bytes, else
// {"hex"}; integers and booleans are numbers; values of every other type
// are {"hex"} of their stored bytes. Building the description gives a
// packet with the same columns, parameters, rows and bytes of every value;
// what the description cannot say (a value marked "not changed", a column
// type the builder does not make) is refused before anything is written.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "dataset/packet/packet_model.h"

namespace cdstool {

// Called after each row written, with the rows written and all of them.
using ExportProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Writes `model` into the folder `dir` (created when missing) as
// <dir>/<name>.json and the value files; returns the description's path.
// Raises std::runtime_error naming the column or row that cannot be
// written, and the file errors of packet_file.h.
std::string ExportPacketModel(const dorvem::PacketModel& model, const std::string& dir,
                              const std::string& name, const ExportProgress& progress = {});

}  // namespace cdstool
