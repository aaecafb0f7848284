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
  return std::get<bool>(value_);
}

std::int64_t StoredValue::AsInteger() const {
  if (!IsInteger()) WrongKind("an integer");
  return std::get<std::int64_t>(value_);
}

double StoredValue::AsFloat() const {
  if (IsInteger()) return static_cast<double>(std::get<std::int64_t>(value_));
  if (!IsFloat()) WrongKind("a number");
  return std::get<double>(value_);
}

const Cp932String& StoredValue::AsString() const {
  if (!IsString()) WrongKind("a string");
  return std::get<Cp932String>(value_);
}

const StoredValue::List& StoredValue::AsList() const {
  if (!IsList()) WrongKind("a list");
  return std::get<List>(value_);
}

TReader::TReader(const StoredValue& value) : root_(value) {}

const StoredValue& TReader::Next() {
  if (stack_.empty()) {
    if (rootRead_) throw EReadError("Read past the end of the property value");
    rootRead_ = true;
    return root_;
  }
  Level& level = stack_.back();
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
  stack_.push_back({&v.AsList(), 0});
}

bool TReader::EndOfList() const {
  return stack_.empty() || stack_.back().index >= stack_.back().list->size();
}

void TReader::ReadListEnd() {
  if (stack_.empty()) throw EReadError("List end without a list");
  if (!EndOfList()) throw EReadError("Stored list has more values than expected");
  stack_.pop_back();
}

void TWriter::Add(StoredValue v) {
  if (!open_.empty()) {
    open_.back().push_back(std::move(v));
    return;
  }
  if (written_) throw std::logic_error("a property value was written twice");
  root_ = std::move(v);
  written_ = true;
}

void TWriter::WriteListBegin() {
  open_.emplace_back();
}

void TWriter::WriteListEnd() {
  if (open_.empty()) throw std::logic_error("list end without a list");
  StoredValue::List done = std::move(open_.back());
  open_.pop_back();
  Add(StoredValue(std::move(done)));
}

StoredValue TWriter::Result() const {
  if (!open_.empty()) throw std::logic_error("unfinished stored list");
  return root_;
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
