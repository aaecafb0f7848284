#pragma once
// Stored designs: a component and the components it owns, as a JSON document.
//
//   { "class": "TForm1", "name": "Form1",
//     "properties": { "Caption": "Tessarine", ... },
//     "components": [ { "class": "TCStringList", "name": "Square3", "properties": {...} }, ... ] }
//
// Properties are read in the order the component declares them (TComponent::DefineProperties), not in
// the document's order. Owned components named in the document are found by name among the root's
// components, or created by class (RegisterComponentClass) when the root did not create them itself.
// All components are created before any property is read, so references between components resolve.

#include <string>
#include <string_view>
#include <vector>

#include "platform/components/Component.h"

namespace tess {

// Problems met while reading a design that did not stop it (a property of the wrong kind, an unknown
// property or component). Stored data the component declares as its own swallows its errors itself.
struct DesignReadReport {
  std::vector<std::string> problems;
  bool Clean() const { return problems.empty(); }
};

// Reads a design into `root` (and its owned components): sets csReading/csLoading, reads properties,
// then calls Loaded on every component read, in order. Throws EReadError for a document that is not
// valid JSON or not a component object.
DesignReadReport ReadComponentDesign(TComponent& root, std::string_view json);
// Writes `root` and the components it owns.
std::string WriteComponentDesign(const TComponent& root);

// One component alone, without its owned components (the printer-settings snapshot).
std::string ComponentToText(const TComponent& component);
DesignReadReport ComponentFromText(TComponent& component, std::string_view json);

}  // namespace tess
