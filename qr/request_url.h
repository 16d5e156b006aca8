// The request URL of the QR image service: http://<host>/api.php and a query
// of the five colour texts, the level and the content, in one of two orders.
#pragma once

#include <string>
#include <string_view>

#include "qr/generation_state.h"

namespace qr {

// The text page puts bg first; the four other kinds put it last.
enum class KeyOrder { kText, kCommon };

// host:port of the service, fixed when the program is built.
std::string_view ServiceHost();

// Stores the four level pieces into `state`.
void SetLevelPieces(GenerationState& state);

// The URL for the colour texts and level pieces held in `state`, the level
// index `level` (0 to 3) and the content, which runs to the end.
std::string RequestUrl(const GenerationState& state, KeyOrder order, int level, std::string_view content);

}  // namespace qr
