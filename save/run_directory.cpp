#include "save/run_directory.h"

namespace save {

std::u16string DirectoryOf(std::u16string_view module_path) {
  const size_t last = module_path.rfind(u'\\');
  return std::u16string(last == std::u16string_view::npos ? std::u16string_view() : module_path.substr(0, last));
}

}  // namespace save
