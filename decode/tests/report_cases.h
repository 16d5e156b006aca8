// Decodes and the reports they must give, played both through an in-process
// scripted decoder and through a stand-in DLL bound like the real library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "decode/tests/scripted_decoder.h"

namespace decode::testing {

struct ReportCase {
  std::string name;
  int32_t result;
  std::vector<ScriptedSymbol> symbols;
  std::string report;  // GBK
};

std::vector<ReportCase> ReportCases();

// The calls a decode with `result` must make, in order.
std::string ExpectedCalls(const std::string& path, int32_t result);

}  // namespace decode::testing
