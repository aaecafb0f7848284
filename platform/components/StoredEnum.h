#pragma once
// Enumerations and sets as stored designs hold them: an enumeration by its identifier ("bsDialog"), a set
// as a list of identifiers (["biSystemMenu", "biMinimize"]).

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/components/StoredValue.h"

namespace tess {

template <class E>
using TEnumNames = std::vector<std::pair<E, const char*>>;

template <class E>
void DefineEnumProperty(TFiler& filer, std::string_view name, const TEnumNames<E>& names,
                        const std::function<E()>& get, const std::function<void(E)>& set,
                        bool hasData = true) {
  filer.DefineProperty(
      name,
      [names, set](TReader& reader) {
        std::string ident = reader.ReadIdent().Bytes();
        for (const auto& [value, text] : names) {
          if (ident == text) {
            set(value);
            return;
          }
        }
        throw EReadError(Cp932String::FromBytes("Invalid property value " + ident));
      },
      [names, get](TWriter& writer) {
        E value = get();
        for (const auto& [v, text] : names) {
          if (v == value) {
            writer.WriteIdent(text);
            return;
          }
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
