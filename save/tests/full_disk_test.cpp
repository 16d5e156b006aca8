// Run with the file size limited (ulimit -f), so a large write fails part way
// as on a full disk. The earlier file must survive it.
#include <gtest/gtest.h>

#include "save/tests/file_helpers.h"
#include "save/windows_save.h"

namespace save {
namespace {

TEST(WriteFileBytes, WriteThatFailsPartWayLeavesTheEarlierFile) {
  ScratchFolder folder;
  const std::string path = folder / "解码_内容.txt";
  const Bytes earlier = AsBytes("earlier report\r\n");
  ASSERT_TRUE(WriteFileBytes(path, earlier));
  EXPECT_FALSE(WriteFileBytes(path, Bytes(size_t{32} << 20, 'x')));  // twice the limit
  EXPECT_EQ(ReadAll(path), earlier);
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::string>{"解码_内容.txt"});
}

}  // namespace
}  // namespace save
