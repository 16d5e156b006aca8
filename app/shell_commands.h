// The shell's own commands: the input counter and deleting the shown image.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/controls.h"

namespace app {

// The fourteen edit boxes the counter counts, in the order it joins them.
std::span<const ControlId> CountedEditBoxes();

// "已输入字数：" and half the byte length of the joined text, over 300.
std::string InputCounterCaption(size_t joined_bytes);

void UpdateInputCounter(Controls& controls);
void DeleteQrImage(Controls& controls);

// The page a page label's tag stands for: the tag read as a number, its
// integer part, minus one. Nothing for a tag that names no page.
std::optional<int> PageOfTag(std::string_view tag);

}  // namespace app
