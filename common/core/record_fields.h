// The private settings record's fields by name, so that test job files and tools can set any
// field from text ("watermarkIndex=3", "jobName=Report", "overlayList=2,255").
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vex {

enum class RecordFieldKind {
  U8,
  U16,
  U32,
  I16,
  I32,
  Wide,      // UTF-16LE text; width = capacity in characters, terminator included
  Bytes,     // raw octets; width = capacity in bytes
  U16Array,  // width = number of u16 slots
};

struct RecordFieldInfo {
  std::string_view name;
  std::size_t offset;
  RecordFieldKind kind;
  // Bytes for integers, characters for Wide, bytes for Bytes, slots for U16Array.
  std::size_t width;
};

// Every named field of the record, in offset order.
std::span<const RecordFieldInfo> recordFields();

// The field called `name` (exact spelling), or null.
const RecordFieldInfo* findRecordField(std::string_view name);

// Number of record bytes the field occupies.
std::size_t recordFieldBytes(const RecordFieldInfo& field);

// Sets one field of a kRecordSize-byte record from its text form:
// - integers: decimal, 0x-hexadecimal, optionally negative; the value must fit the field's type;
// - Wide: the text itself, cut to capacity - 1 characters and NUL-terminated;
// - Bytes: hexadecimal digits, two per byte ("0a1bff"), at most the capacity; the rest of the
//   field is kept;
// - overlayList: 1 to 4 comma-separated values 0..65535 written from slot 0; later slots are kept.
// On failure returns false, writes nothing to the record and, when `error` is given, describes
// the problem naming the field.
bool setRecordFieldFromText(std::uint8_t* record, std::string_view name, std::u16string_view value,
                            std::string* error);

}  // namespace vex
