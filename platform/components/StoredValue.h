#pragma once
// The values a stored design holds: the published properties and the components' own stored data.
// A design is read and written as JSON (see StoredDesign.h); components only ever see these values,
// through TReader and TWriter.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/core/Cp932String.h"

namespace tess {

class StoredValue {
 public:
  using List = std::vector<StoredValue>;

  StoredValue() = default;
  StoredValue(bool b) : FValue(b) {}                              // NOLINT(google-explicit-constructor)
  StoredValue(int i) : FValue(std::int64_t{i}) {}                 // NOLINT(google-explicit-constructor)
  StoredValue(std::int64_t i) : FValue(i) {}                      // NOLINT(google-explicit-constructor)
  StoredValue(double d) : FValue(d) {}                            // NOLINT(google-explicit-constructor)
  StoredValue(Cp932String s) : FValue(std::move(s)) {}            // NOLINT(google-explicit-constructor)
  StoredValue(const char* ascii) : FValue(Cp932String(ascii)) {}  // NOLINT(google-explicit-constructor)
  StoredValue(List l) : FValue(std::move(l)) {}                   // NOLINT(google-explicit-constructor)

  bool IsNull() const { return std::holds_alternative<std::monostate>(FValue); }
  bool IsBool() const { return std::holds_alternative<bool>(FValue); }
  bool IsInteger() const { return std::holds_alternative<std::int64_t>(FValue); }
  bool IsFloat() const { return std::holds_alternative<double>(FValue); }
  bool IsString() const { return std::holds_alternative<Cp932String>(FValue); }
  bool IsList() const { return std::holds_alternative<List>(FValue); }

  // Typed access; each throws EReadError naming the expected kind when the value is of another kind.
  bool AsBool() const;
  std::int64_t AsInteger() const;
  double AsFloat() const;  // integers are accepted too
  const Cp932String& AsString() const;
  const List& AsList() const;

  friend bool operator==(const StoredValue&, const StoredValue&) = default;

 private:
  std::variant<std::monostate, bool, std::int64_t, double, Cp932String, List> FValue;
};

// Sequential reading of one stored property's value, in the manner of a form reader: a plain value is
// read once; a list is read as ReadListBegin, its values, ReadListEnd. Every read of the wrong kind, or
// past the end of a list, throws EReadError. Components catch it where errors in their own stored data are to
// be ignored.
class TReader {
 public:
  explicit TReader(const StoredValue& value);

  bool ReadBoolean();
  int ReadInteger();  // a 32-bit value; a larger one is an error
  double ReadFloat();
  Cp932String ReadString();
  Cp932String ReadIdent() { return ReadString(); }  // enumeration names are stored as strings
  const StoredValue& ReadValue();                   // the next value whatever its kind
  void ReadListBegin();
  bool EndOfList() const;
  void ReadListEnd();

 private:
  const StoredValue& Next();
  struct Level {
    const StoredValue::List* list;
    std::size_t index;
  };
  const StoredValue& FRoot;
  bool FRootRead = false;
  std::vector<Level> FStack;
};

// Builds one stored property's value; the counterpart of TReader.
class TWriter {
 public:
  void WriteBoolean(bool b) { Add(b); }
  void WriteInteger(std::int64_t i) { Add(i); }
  void WriteFloat(double d) { Add(d); }
  void WriteString(const Cp932String& s) { Add(s); }
  void WriteIdent(const Cp932String& s) { Add(s); }
  void WriteValue(const StoredValue& v) { Add(v); }
  void WriteListBegin();
  void WriteListEnd();

  // The value written; an unfinished list is an error.
  StoredValue Result() const;
  bool HasValue() const { return FWritten; }

 private:
  void Add(StoredValue v);
  StoredValue FRoot;
  bool FWritten = false;
  std::vector<StoredValue::List> FOpen;
};

// What a component tells the framework about its stored properties, in the order they are stored and read:
// the published properties first, then the component's own stored data (lists, hex strings). The same
// declaration serves reading and writing. `HasData` false means the property is not written (a published
// property at its declared default, say). A filer calls the read or write procedure, if at all, before
// DefineProperty returns and keeps neither, so they may refer to objects that live only as long as the call.
class TFiler {
 public:
  using ReadProc = std::function<void(TReader&)>;
  using WriteProc = std::function<void(TWriter&)>;

  virtual ~TFiler() = default;
  virtual void DefineProperty(std::string_view name, const ReadProc& read, const WriteProc& write,
                              bool hasData = true) = 0;

  // Conveniences for the common published kinds.
  void Integer(std::string_view name, const std::function<int()>& get, const std::function<void(int)>& set,
               bool hasData = true);
  void Boolean(std::string_view name, const std::function<bool()>& get, const std::function<void(bool)>& set,
               bool hasData = true);
  void String(std::string_view name, const std::function<Cp932String()>& get,
              const std::function<void(const Cp932String&)>& set, bool hasData = true);
};

}  // namespace tess
