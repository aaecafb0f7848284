#include "platform/printing/IppMessage.h"

#include <stdexcept>
#include <utility>

namespace tess::ipp {

namespace {

// Name and value lengths are signed 16-bit fields: at most 32767 bytes.
constexpr std::size_t kMaxFieldBytes = 32767;

enum class Range { OutOfBand, Integer, OctetString, String, Unknown };

Range RangeOf(std::uint8_t tag) {
  if (tag >= 0x10 && tag <= 0x1F) return Range::OutOfBand;
  if (tag >= 0x20 && tag <= 0x2F) return Range::Integer;
  if (tag >= 0x30 && tag <= 0x3F) return Range::OctetString;
  if (tag >= 0x40 && tag <= 0x5F) return Range::String;
  return Range::Unknown;
}

// ---------------------------------------------------------------------------------------------------
// Writing

class Writer {
 public:
  void Byte(std::uint8_t b) { FBytes.push_back(b); }
  void Short(std::size_t v) {
    Byte(static_cast<std::uint8_t>(v >> 8));
    Byte(static_cast<std::uint8_t>(v));
  }
  void Int(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int shift = 24; shift >= 0; shift -= 8) Byte(static_cast<std::uint8_t>(u >> shift));
  }
  void Field(std::string_view text, const char* what) {
    if (text.size() > kMaxFieldBytes)
      throw std::length_error(std::string("IPP ") + what + " longer than 32767 bytes");
    Short(text.size());
    FBytes.insert(FBytes.end(), text.begin(), text.end());
  }

  void Values(std::string_view name, const std::vector<Value>& values) {
    bool first = true;
    for (const Value& v : values) {
      Byte(static_cast<std::uint8_t>(v.tag));
      Field(first ? name : std::string_view(), "attribute name");
      first = false;
      ValueBody(v);
    }
  }

  std::vector<std::uint8_t> Take() { return std::move(FBytes); }

 private:
  void ValueBody(const Value& v) {
    const auto tag = static_cast<std::uint8_t>(v.tag);
    switch (v.tag) {
      case ValueTag::Boolean:
        Short(1);
        Byte(v.integer != 0 ? 1 : 0);
        return;
      case ValueTag::Resolution:
        Short(9);
        Int(v.integer);
        Int(v.upper);
        Byte(static_cast<std::uint8_t>(v.units));
        return;
      case ValueTag::RangeOfInteger:
        Short(8);
        Int(v.integer);
        Int(v.upper);
        return;
      case ValueTag::TextWithLanguage:
      case ValueTag::NameWithLanguage: {
        const std::size_t length = 2 + v.language.size() + 2 + v.text.size();
        if (length > kMaxFieldBytes) throw std::length_error("IPP value longer than 32767 bytes");
        Short(length);
        Field(v.language, "language");
        Field(v.text, "value");
        return;
      }
      case ValueTag::BegCollection:
        Short(0);
        for (const Attribute& member : v.members) {
          Byte(static_cast<std::uint8_t>(ValueTag::MemberAttrName));
          Short(0);
          Field(member.name, "member name");
          for (const Value& mv : member.values) {
            Byte(static_cast<std::uint8_t>(mv.tag));
            Short(0);
            ValueBody(mv);
          }
        }
        Byte(static_cast<std::uint8_t>(ValueTag::EndCollection));
        Short(0);
        Short(0);
        return;
      default:
        break;
    }
    switch (RangeOf(tag)) {
      case Range::OutOfBand:
        Short(0);
        return;
      case Range::Integer:
        Short(4);
        Int(v.integer);
        return;
      default:
        Field(v.text, "value");
        return;
    }
  }

  std::vector<std::uint8_t> FBytes;
};

// ---------------------------------------------------------------------------------------------------
// Reading

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : FBytes(bytes) {}

  std::optional<Message> Read() {
    if (FBytes.size() > kMaxMessageBytes) return Refuse(Bad("the message is larger than 16 MB", 0));
    if (Left() < 8) return Refuse(Bad("the message ends within its 8-byte header", 0));
    Message m;
    m.majorVersion = FBytes[0];
    m.minorVersion = FBytes[1];
    m.code = static_cast<std::uint16_t>(FBytes[2] << 8 | FBytes[3]);
    m.requestId = static_cast<std::uint32_t>(IntAt(FBytes, 4));
    FAt = 8;
    for (;;) {
      const std::size_t at = FAt;
      if (Left() < 1) return Refuse(Bad("the message ends before its end-of-attributes tag", at));
      const std::uint8_t tag = FBytes[FAt++];
      if (tag == static_cast<std::uint8_t>(GroupTag::End)) return m;
      if (tag < 0x10) {
        if (tag == 0x00) return Refuse(Bad("a reserved delimiter tag", at));
        m.groups.push_back({static_cast<GroupTag>(tag), {}});
        continue;
      }
      if (m.groups.empty()) return Refuse(Bad("a value before any attribute group", at));
      if (tag == static_cast<std::uint8_t>(ValueTag::EndCollection) ||
          tag == static_cast<std::uint8_t>(ValueTag::MemberAttrName)) {
        return Refuse(Bad("a collection's member or end outside a collection", at));
      }
      std::string name;
      Value value;
      if (!ReadField(name, "attribute name") || !ReadValue(tag, at, value, 0)) return std::nullopt;
      // A value without a name is one more value of the attribute before it, in the same group.
      std::vector<Attribute>& attributes = m.groups.back().attributes;
      if (name.empty()) {
        if (attributes.empty()) return Refuse(Bad("an additional value without an attribute before it", at));
      } else {
        attributes.push_back({std::move(name), {}});
      }
      attributes.back().values.push_back(std::move(value));
      if (!CountValue(at)) return std::nullopt;
    }
  }

  const std::string& Why() const { return FWhy; }

 private:
  std::size_t Left() const { return FBytes.size() - FAt; }

  // Records the first reason a message is refused, with the byte it was found at.
  bool Bad(const std::string& what, std::size_t at) {
    if (FWhy.empty()) FWhy = what + " (byte " + std::to_string(at) + ")";
    return false;
  }

  static std::nullopt_t Refuse(bool /*recorded*/) { return std::nullopt; }

  bool CountValue(std::size_t at) { return ++FValues <= kMaxValues || Bad("more than a million values", at); }

  bool ReadLength(std::size_t& length, const char* what) {
    const std::size_t at = FAt;
    if (Left() < 2) return Bad(std::string("the message ends within the length of an ") + what, at);
    length = static_cast<std::size_t>(FBytes[FAt] << 8 | FBytes[FAt + 1]);
    if (length > kMaxFieldBytes) return Bad(std::string("an ") + what + " longer than 32767 bytes", at);
    FAt += 2;
    if (Left() < length) return Bad(std::string("the message ends within an ") + what, at);
    return true;
  }

  bool ReadField(std::string& out, const char* what) {
    std::size_t length = 0;
    if (!ReadLength(length, what)) return false;
    out.assign(reinterpret_cast<const char*>(FBytes.data() + FAt), length);
    FAt += length;
    return true;
  }

  static std::int32_t IntAt(std::span<const std::uint8_t> b, std::size_t at) {
    const std::uint32_t u = static_cast<std::uint32_t>(b[at]) << 24 |
                            static_cast<std::uint32_t>(b[at + 1]) << 16 |
                            static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
    return static_cast<std::int32_t>(u);
  }

  // The value after its tag (at `tagAt`) and name: its length and body, a collection up to its end.
  bool ReadValue(std::uint8_t tag, std::size_t tagAt, Value& v, int depth) {
    v.tag = static_cast<ValueTag>(tag);
    std::size_t length = 0;
    if (!ReadLength(length, "value")) return false;
    const std::span<const std::uint8_t> body = FBytes.subspan(FAt, length);
    FAt += length;
    auto lengthIs = [&](std::size_t wanted) {
      return length == wanted || Bad("a value of the wrong length for its tag", tagAt);
    };
    switch (v.tag) {
      case ValueTag::Boolean:
        if (!lengthIs(1)) return false;
        if (body[0] > 1) return Bad("a boolean that is neither 0 nor 1", tagAt);
        v.integer = body[0];
        return true;
      case ValueTag::Resolution:
        if (!lengthIs(9)) return false;
        v.integer = IntAt(body, 0);
        v.upper = IntAt(body, 4);
        v.units = static_cast<std::int8_t>(body[8]);
        return true;
      case ValueTag::RangeOfInteger:
        if (!lengthIs(8)) return false;
        v.integer = IntAt(body, 0);
        v.upper = IntAt(body, 4);
        return true;
      case ValueTag::DateTime:
        if (!lengthIs(11)) return false;
        v.text.assign(reinterpret_cast<const char*>(body.data()), body.size());
        return true;
      case ValueTag::TextWithLanguage:
      case ValueTag::NameWithLanguage: {
        Reader parts(body);
        if (!parts.ReadField(v.language, "language") || !parts.ReadField(v.text, "value") ||
            parts.Left() != 0) {
          return Bad("a text with language whose parts do not fill it", tagAt);
        }
        return true;
      }
      case ValueTag::BegCollection:
        return ReadMembers(v, depth + 1);
      default:
        break;
    }
    switch (RangeOf(tag)) {
      case Range::OutOfBand:
        return true;  // no value; a length other than 0 is skipped, as readers of the protocol do
      case Range::Integer:
        if (!lengthIs(4)) return false;
        v.integer = IntAt(body, 0);
        return true;
      case Range::OctetString:
      case Range::String:
        v.text.assign(reinterpret_cast<const char*>(body.data()), body.size());
        return true;
      case Range::Unknown:
        break;
    }
    return Bad("an unknown or extension value tag", tagAt);
  }

  // A collection's members, each a member name followed by that member's values, up to the collection's
  // end. Every one of them has an empty attribute name.
  bool ReadMembers(Value& collection, int depth) {
    if (depth > kMaxCollectionDepth) return Bad("collections nested deeper than 16", FAt);
    for (;;) {
      const std::size_t at = FAt;
      if (Left() < 1) return Bad("the message ends within a collection", at);
      const std::uint8_t tag = FBytes[FAt++];
      if (tag < 0x10) return Bad("a group tag inside a collection", at);
      std::string name;
      if (!ReadField(name, "attribute name")) return false;
      if (!name.empty()) return Bad("a named attribute inside a collection", at);
      if (tag == static_cast<std::uint8_t>(ValueTag::EndCollection)) {
        std::size_t length = 0;
        if (!ReadLength(length, "value")) return false;
        FAt += length;
        return length == 0 || Bad("an end of collection with a value", at);
      }
      if (tag == static_cast<std::uint8_t>(ValueTag::MemberAttrName)) {
        std::string member;
        if (!ReadField(member, "member name")) return false;
        if (member.empty()) return Bad("a collection member without a name", at);
        collection.members.push_back({std::move(member), {}});
        continue;
      }
      if (collection.members.empty()) return Bad("a collection value before any member name", at);
      Value value;
      if (!ReadValue(tag, at, value, depth)) return false;
      collection.members.back().values.push_back(std::move(value));
      if (!CountValue(at)) return false;
    }
  }

  std::span<const std::uint8_t> FBytes;
  std::size_t FAt = 0;
  std::size_t FValues = 0;
  std::string FWhy;
};

}  // namespace

bool Value::operator==(const Value& o) const {
  return tag == o.tag && integer == o.integer && upper == o.upper && units == o.units && text == o.text &&
         language == o.language && members == o.members;
}

bool Attribute::operator==(const Attribute& o) const {
  return name == o.name && values == o.values;
}

const Attribute* Group::Find(std::string_view name) const {
  for (const Attribute& a : attributes) {
    if (a.name == name) return &a;
  }
  return nullptr;
}

const Attribute* Message::Find(std::string_view name, GroupTag tag) const {
  for (const Group& g : groups) {
    if (g.tag != tag) continue;
    if (const Attribute* a = g.Find(name)) return a;
  }
  return nullptr;
}

Value Text(ValueTag tag, std::string text) {
  Value v;
  v.tag = tag;
  v.text = std::move(text);
  return v;
}

Value Integer(ValueTag tag, std::int32_t value) {
  Value v;
  v.tag = tag;
  v.integer = value;
  return v;
}

std::vector<std::uint8_t> Encode(const Message& message) {
  Writer w;
  w.Byte(message.majorVersion);
  w.Byte(message.minorVersion);
  w.Short(message.code);
  w.Int(static_cast<std::int32_t>(message.requestId));
  for (const Group& g : message.groups) {
    w.Byte(static_cast<std::uint8_t>(g.tag));
    for (const Attribute& a : g.attributes) {
      if (a.name.empty() || a.values.empty())
        throw std::invalid_argument("IPP attribute without a name or a value");
      w.Values(a.name, a.values);
    }
  }
  w.Byte(static_cast<std::uint8_t>(GroupTag::End));
  return w.Take();
}

std::optional<Message> Decode(std::span<const std::uint8_t> bytes, std::string* why) {
  Reader reader(bytes);
  std::optional<Message> m = reader.Read();
  if (!m) {
    if (why != nullptr) *why = reader.Why();
    return std::nullopt;
  }
  return m;
}

}  // namespace tess::ipp
