#pragma once
// Enumerations and sets as stored designs hold them: an enumeration by its identifier ("bsDialog"), a set
// as a list of identifiers (["biSystemMenu", "biMinimize"]), an integer with named values by the name
// where it has one ("clWhite", else 16777215).

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/components/StoredValue.h"
#include "platform/core/Exceptions.h"

namespace tess {

template <class E>
using TEnumNames = std::vector<std::pair<E, const char*>>;

namespace stored_names {

// The value a table gives an identifier; an identifier the table does not hold is a read error.
template <class E>
E ValueNamed(const TEnumNames<E>& names, const std::string& ident) {
  for (const auto& [value, text] : names) {
    if (ident == text) return value;
  }
  throw EReadError(Cp932String::FromBytes("Invalid property value " + ident));
}

// The identifier a table gives a value, or nullptr.
template <class E>
const char* NameOf(const TEnumNames<E>& names, E value) {
  for (const auto& [v, text] : names) {
    if (v == value) return text;
  }
  return nullptr;
}

}  // namespace stored_names

// An enumeration stored as its identifier; a value without one is not written.
template <class E>
void DefineEnumProperty(TFiler& filer, std::string_view name, const TEnumNames<E>& names,
                        const std::function<E()>& get, const std::function<void(E)>& set,
                        bool hasData = true) {
  filer.DefineProperty(
      name,
      [names, set](TReader& reader) { set(stored_names::ValueNamed(names, reader.ReadIdent().Bytes())); },
      [names, get](TWriter& writer) {
        if (const char* text = stored_names::NameOf(names, get())) writer.WriteIdent(text);
      },
      hasData);
}

// An integer some of whose values have names (colours, cursors): a named value is stored as its
// identifier, any other as the integer. Either form is read.
inline void DefineNamedIntegerProperty(TFiler& filer, std::string_view name, const TEnumNames<int>& names,
                                       const std::function<int()>& get, const std::function<void(int)>& set,
                                       bool hasData = true) {
  filer.DefineProperty(
      name,
      [names, set](TReader& reader) {
        const StoredValue& v = reader.ReadValue();
        if (v.IsInteger()) {
          set(static_cast<int>(v.AsInteger()));
          return;
        }
        set(stored_names::ValueNamed(names, v.AsString().Bytes()));
      },
      [names, get](TWriter& writer) {
        const int value = get();
        if (const char* text = stored_names::NameOf(names, value)) {
          writer.WriteIdent(text);
        } else {
          writer.WriteInteger(value);
        }
      },
      hasData);
}

// A set of flags stored as the list of its members' identifiers.
inline void DefineSetProperty(TFiler& filer, std::string_view name,
                              const std::vector<std::pair<unsigned, const char*>>& names,
                              const std::function<unsigned()>& get, const std::function<void(unsigned)>& set,
                              bool hasData = true) {
  filer.DefineProperty(
      name,
      [names, set](TReader& reader) {
        unsigned flags = 0;
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
          std::string ident = reader.ReadIdent().Bytes();
          bool known = false;
          for (const auto& [bit, text] : names) {
            if (ident == text) {
              flags |= bit;
              known = true;
            }
          }
          if (!known) throw EReadError(Cp932String::FromBytes("Invalid set member " + ident));
        }
        reader.ReadListEnd();
        set(flags);
      },
      [names, get](TWriter& writer) {
        unsigned flags = get();
        writer.WriteListBegin();
        for (const auto& [bit, text] : names) {
          if ((flags & bit) != 0) writer.WriteIdent(text);
        }
        writer.WriteListEnd();
      },
      hasData);
}

// A list of texts (radio group items, status panels).
inline void DefineStringListProperty(TFiler& filer, std::string_view name,
                                     const std::function<std::vector<Cp932String>()>& get,
                                     const std::function<void(const std::vector<Cp932String>&)>& set,
                                     bool hasData = true) {
  filer.DefineProperty(
      name,
      [set](TReader& reader) {
        std::vector<Cp932String> items;
        reader.ReadListBegin();
        while (!reader.EndOfList()) items.push_back(reader.ReadString());
        reader.ReadListEnd();
        set(items);
      },
      [get](TWriter& writer) {
        writer.WriteListBegin();
        for (const Cp932String& s : get()) writer.WriteString(s);
        writer.WriteListEnd();
      },
      hasData);
}

}  // namespace tess
