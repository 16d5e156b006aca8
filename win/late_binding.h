// Functions of outside libraries are declared by name and library and bound
// at their first call. A function that cannot be bound is fatal: an error box
// names it and the process ends with exit code -1.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace win {

// Loads `library` (the platform adds ".dll" when it has no extension) and
// resolves `function`; never returns when either is missing.
FARPROC BindExportOrDie(const char* library, const char* function);

// The text of the fatal box, GBK, for the library and function named.
std::string MissingExportText(const char* library, const char* function);

// A function pointer of type Fn (which carries the calling convention),
// resolved on its first call and kept for the rest of the run.
template <typename Fn>
class LateBound {
 public:
  constexpr LateBound(const char* library, const char* function)
      : library_(library), function_(function) {}

  template <typename... Args>
  decltype(auto) operator()(Args&&... args) {
    return Resolve()(std::forward<Args>(args)...);
  }

  Fn Resolve() {
    // Through void*: FARPROC's own type is a placeholder for every signature.
    if (fn_ == nullptr) fn_ = reinterpret_cast<Fn>(reinterpret_cast<void*>(BindExportOrDie(library_, function_)));
    return fn_;
  }

 private:
  const char* library_;
  const char* function_;
  Fn fn_ = nullptr;
};

}  // namespace win
