// The report through the real binding: this test lives beside the stand-in
// PsyQrDcd.dll, which the binding loads by the library's name.
#include <windows.h>

#include <gtest/gtest.h>

#include "decode/psyqrdcd.h"
#include "decode/report.h"
#include "decode/tests/report_cases.h"

namespace decode::testing {
namespace {

using ScriptFn = void(WINAPI*)(int32_t, const ScriptedSymbol*, int32_t);
using CallsFn = const char*(WINAPI*)();

class StandInTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The same module the binding loads, found the same way.
    module_ = LoadLibraryA("PsyQrDcd");
    ASSERT_NE(module_, nullptr);
    script_ = reinterpret_cast<ScriptFn>(reinterpret_cast<void*>(GetProcAddress(module_, "StandInScript")));
    calls_ = reinterpret_cast<CallsFn>(reinterpret_cast<void*>(GetProcAddress(module_, "StandInCalls")));
    ASSERT_NE(script_, nullptr) << "PsyQrDcd.dll beside the test is not the stand-in";
  }
  void TearDown() override { FreeLibrary(module_); }

  HMODULE module_ = nullptr;
  ScriptFn script_ = nullptr;
  CallsFn calls_ = nullptr;
  PsyQrDcd library_;
};

TEST_F(StandInTest, GivesTheReportAndCallsInOrder) {
  for (const ReportCase& c : ReportCases()) {
    SCOPED_TRACE(c.name);
    script_(c.result, c.symbols.data(), static_cast<int32_t>(c.symbols.size()));
    EXPECT_EQ(DecodeReport(library_, "C:\\images\\qr.bmp"), c.report);
    EXPECT_EQ(calls_(), ExpectedCalls("C:\\images\\qr.bmp", c.result));
  }
}

TEST_F(StandInTest, PathReachesTheLibraryInTheSystemCodePage) {
  if (GetACP() != 936) GTEST_SKIP() << "the system code page is " << GetACP() << ", not GBK";
  script_(0, nullptr, 0);
  DecodeReport(library_, "C:\\图片\\生成二维码.BMP");
  EXPECT_EQ(std::string(calls_()), "DecodePictureFile(C:\\图片\\生成二维码.BMP) ");
}

}  // namespace
}  // namespace decode::testing
