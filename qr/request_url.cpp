#include "qr/request_url.h"

namespace qr {

std::string_view ServiceHost() { return ZENQAR_QR_SERVICE_HOST; }

void SetLevelPieces(GenerationState& state) {
  state.levelPieces = {"&el=L&text=", "&el=M&text=", "&el=Q&text=", "&el=H&text="};
}

std::string RequestUrl(const GenerationState& state, KeyOrder order, int level, std::string_view content) {
  std::string url = "http://";
  url += ServiceHost();
  url += "/api.php";
  if (order == KeyOrder::kText) {
    url += "?bg=" + state.bg + "&fg=" + state.fg + "&gc=" + state.gc + "&pt=" + state.pt + "&inpt=" + state.inpt;
  } else {
    url += "?fg=" + state.fg + "&gc=" + state.gc + "&pt=" + state.pt + "&inpt=" + state.inpt + "&bg=" + state.bg;
  }
  url += state.levelPieces.at(static_cast<size_t>(level));
  url += content;
  return url;
}

}  // namespace qr
