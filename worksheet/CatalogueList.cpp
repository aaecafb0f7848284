#include "worksheet/CatalogueList.h"

namespace tess {

void TCStringList::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  // Stored as a list of strings, like any string list property.
  filer.DefineProperty(
      "Strings",
      [this](TReader& reader) {
        TStringList lines;
        reader.ReadListBegin();
        while (!reader.EndOfList()) lines.Add(reader.ReadString());
        reader.ReadListEnd();
        SetStrings(&lines);
      },
      [this](TWriter& writer) {
        writer.WriteListBegin();
        for (const Cp932String& line : FStrings.Lines()) writer.WriteString(line);
        writer.WriteListEnd();
      },
      FStrings.Count() > 0);
}

}  // namespace tess
