#include "base/size_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vossik {
namespace {

TEST(AppendKilobytes, WritesOneThousandsSeparatorAtMost) {
  struct Row {
    int32_t bytes;
    const char* expected;
  };
  for (const Row& row :
       {Row{0, "1KB"}, Row{1023, "1KB"}, Row{1024, "1KB"}, Row{524288, "512KB"},
        Row{1536000, "1,500KB"}, Row{1034240, "1,010KB"}, Row{1026048, "1,002KB"},
        Row{1126400, "1,100KB"}, Row{5000000, "4,882KB"}, Row{1024000000, "1000,000KB"}}) {
    std::string out;
    AppendKilobytes(out, row.bytes);
    EXPECT_EQ(row.expected, out) << row.bytes;
  }
}

}  // namespace
}  // namespace vossik
