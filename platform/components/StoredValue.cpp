#include "platform/components/StoredValue.h"

#include <climits>

#include "platform/core/Exceptions.h"

namespace tess {
namespace {

[[noreturn]] void WrongKind(const char* expected) {
  throw EReadError(Cp932String("Invalid property value: expected ") + Cp932String(expected));
}

}  // namespace

bool StoredValue::AsBool() const {
  if (!IsBool()) WrongKind("a boolean");
  return std::get<bool>(FValue);
}

std::int64_t StoredValue::AsInteger() const {
  if (!IsInteger()) WrongKind("an integer");
  return std::get<std::int64_t>(FValue);
}

double StoredValue::AsFloat() const {
  if (IsInteger()) return static_cast<double>(std::get<std::int64_t>(FValue));
  if (!IsFloat()) WrongKind("a number");
  return std::get<double>(FValue);
}

const Cp932String& StoredValue::AsString() const {
  if (!IsString()) WrongKind("a string");
  return std::get<Cp932String>(FValue);
}

const StoredValue::List& StoredValue::AsList() const {
  if (!IsList()) WrongKind("a list");
  return std::get<List>(FValue);
}

TReader::TReader(const StoredValue& value) : FRoot(value) {}

const StoredValue& TReader::Next() {
  if (FStack.empty()) {
    if (FRootRead) throw EReadError("Read past the end of the property value");
    FRootRead = true;
    return FRoot;
  }
  Level& level = FStack.back();
  if (level.index >= level.list->size()) throw EReadError("Read past the end of a stored list");
  return (*level.list)[level.index++];
}

bool TReader::ReadBoolean() {
  return Next().AsBool();
}

int TReader::ReadInteger() {
  std::int64_t v = Next().AsInteger();
  if (v < INT_MIN || v > INT_MAX) throw EReadError("Stored integer out of range");
  return static_cast<int>(v);
}

double TReader::ReadFloat() {
  return Next().AsFloat();
}
Cp932String TReader::ReadString() {
  return Next().AsString();
}
const StoredValue& TReader::ReadValue() {
  return Next();
}

void TReader::ReadListBegin() {
  const StoredValue& v = Next();
  FStack.push_back({&v.AsList(), 0});
}

bool TReader::EndOfList() const {
  return FStack.empty() || FStack.back().index >= FStack.back().list->size();
}

void TReader::ReadListEnd() {
  if (FStack.empty()) throw EReadError("List end without a list");
  if (!EndOfList()) throw EReadError("Stored list has more values than expected");
  FStack.pop_back();
}

void TWriter::Add(StoredValue v) {
  if (!FOpen.empty()) {
    FOpen.back().push_back(std::move(v));
    return;
  }
  if (FWritten) throw std::logic_error("a property value was written twice");
  FRoot = std::move(v);
  FWritten = true;
}

void TWriter::WriteListBegin() {
  FOpen.emplace_back();
}

void TWriter::WriteListEnd() {
  if (FOpen.empty()) throw std::logic_error("list end without a list");
  StoredValue::List done = std::move(FOpen.back());
  FOpen.pop_back();
  Add(StoredValue(std::move(done)));
}

StoredValue TWriter::Result() const {
  if (!FOpen.empty()) throw std::logic_error("unfinished stored list");
  return FRoot;
}

void TFiler::Integer(std::string_view name, const std::function<int()>& get,
                     const std::function<void(int)>& set, bool hasData) {
  DefineProperty(
      name, [set](TReader& r) { set(r.ReadInteger()); }, [get](TWriter& w) { w.WriteInteger(get()); },
      hasData);
}

void TFiler::Boolean(std::string_view name, const std::function<bool()>& get,
                     const std::function<void(bool)>& set, bool hasData) {
  DefineProperty(
      name, [set](TReader& r) { set(r.ReadBoolean()); }, [get](TWriter& w) { w.WriteBoolean(get()); },
      hasData);
}

void TFiler::String(std::string_view name, const std::function<Cp932String()>& get,
                    const std::function<void(const Cp932String&)>& set, bool hasData) {
  DefineProperty(
      name, [set](TReader& r) { set(r.ReadString()); }, [get](TWriter& w) { w.WriteString(get()); }, hasData);
}

}  // namespace tess
