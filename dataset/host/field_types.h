// The host's side of the field types (TFieldType, core/field_type.h): the
// compatibility classes that decide which field object may bind to which
// definition, the mapping from the engine's logical types, and the 38-byte
// field-type map the filter parser receives.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "dataset/core/field_type.h"
#include "dataset/store/field_desc.h"

namespace dorvem {

// Two types may bind when their classes are equal.
int CompatibilityClass(TFieldType type);

// Host field type of an engine field (by logical type and subtype);
// ftUnknown when the field has no host type.
TFieldType HostFieldType(const DSFLDDesc& desc);

// Logical type of each field type, indexed by TFieldType, as handed to the
// filter parser.
extern const std::array<std::uint8_t, kFieldTypeCount> kFieldTypeMap;

}  // namespace dorvem
