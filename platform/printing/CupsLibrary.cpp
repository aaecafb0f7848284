#include "platform/printing/internal/CupsLibrary.h"

#include "platform/printing/Printers.h"

#include <dlfcn.h>

#include <memory>

namespace tess {
namespace {

// The library under the name its package installs (the soname the program was built against).
constexpr const char* kCupsLibraryName = "libcups.so.2";

// A loaded library stays loaded for the rest of the process: its functions may be called until the end.
// Its symbols are bound as they are first called, as they were when it was linked: binding all of them
// (and those of the libraries it brings) at once cost the dialog's start more than it saved.
std::unique_ptr<TCupsLibrary> Load(const char* fileName, std::string& why) {
  void* handle = ::dlopen(fileName, RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = ::dlerror();
    why = error != nullptr ? error : fileName;
    return nullptr;
  }
  auto library = std::make_unique<TCupsLibrary>();
#define TESS_CUPS_LOOKUP(name)                                                 \
  library->name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name)); \
  if (library->name == nullptr) {                                              \
    why = std::string(fileName) + ": " + #name;                                \
    return nullptr;                                                            \
  }
  TESS_CUPS_FUNCTIONS(TESS_CUPS_LOOKUP)
#undef TESS_CUPS_LOOKUP
  return library;
}

struct TLoaded {
  std::unique_ptr<TCupsLibrary> library;
  std::string why;
};

}  // namespace

const TCupsLibrary* CupsLibrary(std::string* why) {
  // Loaded once, by whichever thread asks first; the others wait for it (a static's initialisation). Never
  // freed: printer systems that outlive main (held by statics) still call the library as they end.
  static const TLoaded* const loaded = [] {
    auto* result = new TLoaded;
    result->library = Load(kCupsLibraryName, result->why);
    return result;
  }();
  if (!loaded->library && why != nullptr) *why = loaded->why;
  return loaded->library.get();
}

std::string CupsLibraryProblem(const char* fileName) {
  std::string why;
  return Load(fileName, why) ? std::string() : why;
}

}  // namespace tess
