#pragma once
// The binary encoding of Internet Printing Protocol messages (version 2.0, as CUPS speaks it): requests
// the program builds and responses it reads, so that the dialog's first questions to the print service
// can be asked without loading libcups.
//
// A response is read from bytes that may be anything. Every length is checked against what is left,
// fixed limits bound the message (size, attributes, values, nesting of collections), and a malformed
// message is refused as a whole with the reason; nothing is read past the end and no value is guessed.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tess::ipp {

// Delimiter tags: the group that the attributes after it belong to.
enum class GroupTag : std::uint8_t {
  Operation = 0x01,
  Job = 0x02,
  End = 0x03,
  Printer = 0x04,
  Unsupported = 0x05,
};

// Value tags. Tags of the same ranges that are not named here are kept as they came, by range: 0x10-0x1F
// out-of-band (no value), 0x20-0x2F integers (four bytes), 0x30-0x3F octet strings, 0x40-0x5F strings.
enum class ValueTag : std::uint8_t {
  Unsupported = 0x10,
  Unknown = 0x12,
  NoValue = 0x13,
  Integer = 0x21,
  Boolean = 0x22,
  Enum = 0x23,
  OctetString = 0x30,
  DateTime = 0x31,
  Resolution = 0x32,
  RangeOfInteger = 0x33,
  BegCollection = 0x34,
  TextWithLanguage = 0x35,
  NameWithLanguage = 0x36,
  EndCollection = 0x37,
  TextWithoutLanguage = 0x41,
  NameWithoutLanguage = 0x42,
  Keyword = 0x44,
  Uri = 0x45,
  UriScheme = 0x46,
  Charset = 0x47,
  NaturalLanguage = 0x48,
  MimeMediaType = 0x49,
  MemberAttrName = 0x4A,
};

struct Attribute;

// One value. Which fields count depends on the tag:
// - integers and enums: `integer`; booleans: `integer` 0 or 1;
// - rangeOfInteger: `integer` (lower) and `upper`; resolution: `integer` (cross feed), `upper` (feed)
//   and `units` (3 dots per inch, 4 dots per centimetre);
// - strings, octet strings and dateTime: `text` (the bytes as sent); with language also `language`;
// - collections: `members`; out-of-band values: nothing.
struct Value {
  ValueTag tag = ValueTag::NoValue;
  std::int32_t integer = 0;
  std::int32_t upper = 0;
  std::int8_t units = 0;
  std::string text;
  std::string language;
  std::vector<Attribute> members;

  bool operator==(const Value&) const;
};

struct Attribute {
  std::string name;
  std::vector<Value> values;

  bool operator==(const Attribute&) const;
};

// The attributes after one group tag. A response may hold several groups of the same tag: one per printer
// of a printer list, one per job of a job list.
struct Group {
  GroupTag tag = GroupTag::Operation;
  std::vector<Attribute> attributes;

  // The attribute of that name, or null.
  const Attribute* Find(std::string_view name) const;

  bool operator==(const Group&) const = default;
};

struct Message {
  std::uint8_t majorVersion = 2;
  std::uint8_t minorVersion = 0;
  std::uint16_t code = 0;  // the operation of a request, the status of a response
  std::uint32_t requestId = 1;
  std::vector<Group> groups;

  // The attribute of that name in the first group of that tag that has one, or null.
  const Attribute* Find(std::string_view name, GroupTag tag) const;

  bool operator==(const Message&) const = default;
};

// Limits of a message the program reads.
inline constexpr std::size_t kMaxMessageBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxValues = 1'000'000;
inline constexpr int kMaxCollectionDepth = 16;

// Values made the way requests need them.
Value Text(ValueTag tag, std::string text);
Value Integer(ValueTag tag, std::int32_t value);

// The message's bytes: each group's tag and attributes, then the end-of-attributes tag. Throws
// std::length_error for a name or value longer than a length field holds (32767 bytes) and
// std::invalid_argument for an attribute without a name or a value.
std::vector<std::uint8_t> Encode(const Message& message);

// Reads one message up to and including its end-of-attributes tag; what follows it (a document) is not
// looked at. Without a message, `why` (when given) says what was wrong and where.
std::optional<Message> Decode(std::span<const std::uint8_t> bytes, std::string* why = nullptr);

}  // namespace tess::ipp
