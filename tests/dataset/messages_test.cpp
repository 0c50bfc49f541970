#include "dataset/core/messages.h"

#include <gtest/gtest.h>

namespace dorvem {
namespace {

TEST(MessagesTest, KnownCodesHaveTheirTextsAndOthersNone) {
  EXPECT_EQ(MessageOf(dbr::kPacketMismatch), "Mismatch in datapacket.");
  EXPECT_EQ(MessageOf(dbr::kAtBeginning), "At beginning of table.");
  EXPECT_EQ(MessageOf(dbr::kFieldNameNull),
            "Field name can't be null, datapacket may be corrupted");
  EXPECT_EQ(MessageOf(0), "");
  EXPECT_EQ(MessageOf(12345), "");
}

}  // namespace
}  // namespace dorvem
