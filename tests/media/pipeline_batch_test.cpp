// The batch of pipeline work held back during one event: what reaches the
// worker, in which order, and when the layer is asked to flush.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/pipeline_batch.h"

namespace dorvem {
namespace {

using mci::PipelineBatch;

// A batch whose worker carries each piece out at once, writing its label.
struct Recorded {
  std::vector<std::string> handedOver;
  int schedules = 0;
  PipelineBatch batch{[this](PipelineBatch::Work work) { work(); }, [this] { ++schedules; }};

  PipelineBatch::Work Label(std::string label) {
    return [this, label] { handedOver.push_back(label); };
  }
  void Start(std::uint64_t instance, const char* label) { batch.AddStart(instance, Label(label)); }
  void Then(std::uint64_t instance, const char* label) { batch.Add(instance, Label(label)); }
};

TEST(PipelineBatchTest, WorkOfAPipelineClosedBeforeTheFlushIsDroppedWhole) {
  struct Case {
    const char* name;
    void (*run)(Recorded&);
    std::vector<std::string> handedOver;
  };
  const Case cases[] = {
      {"two devices, the first closed unbuilt",
       [](Recorded& r) {
         r.Start(1, "start 1");
         r.Then(1, "play 1");
         r.Start(2, "start 2");
         r.Then(2, "play 2");
         EXPECT_TRUE(r.batch.DropUnstarted(1));
         r.batch.Flush();
       },
       {"start 2", "play 2"}},
      {"interleaved work keeps request order",
       [](Recorded& r) {
         r.Start(1, "start 1");
         r.Start(2, "start 2");
         r.Then(1, "play 1");
         r.Then(2, "play 2");
         r.Then(1, "pause 1");
         r.batch.Flush();
       },
       {"start 1", "start 2", "play 1", "play 2", "pause 1"}},
      {"a pipeline built in an earlier event is finished, not dropped",
       [](Recorded& r) {
         r.Start(1, "start 1");
         r.batch.Flush();
         EXPECT_FALSE(r.batch.DropUnstarted(1));
         r.Then(1, "finish 1");
         r.Start(2, "start 2");
         r.batch.Flush();
       },
       {"start 1", "finish 1", "start 2"}},
      {"an unknown pipeline changes nothing",
       [](Recorded& r) {
         r.Start(1, "start 1");
         EXPECT_FALSE(r.batch.DropUnstarted(7));
         r.batch.Flush();
       },
       {"start 1"}},
      {"nothing reaches the worker before the flush",
       [](Recorded& r) {
         r.Start(1, "start 1");
         r.Then(1, "play 1");
       },
       {}},
  };
  for (const Case& c : cases) {
    Recorded r;
    c.run(r);
    EXPECT_EQ(r.handedOver, c.handedOver) << c.name;
  }
}

TEST(PipelineBatchTest, AsksForAFlushEachTimeItStopsBeingEmpty) {
  Recorded r;
  r.Start(1, "start 1");
  r.Then(1, "play 1");
  r.Start(2, "start 2");
  EXPECT_EQ(r.schedules, 1);
  r.batch.Flush();
  EXPECT_TRUE(r.batch.Empty());
  r.Then(2, "play 2");
  EXPECT_EQ(r.schedules, 2);
  // Emptied by a drop, then filled again: one more request.
  r.batch.Flush();
  r.Start(3, "start 3");
  ASSERT_TRUE(r.batch.DropUnstarted(3));
  EXPECT_TRUE(r.batch.Empty());
  r.Start(4, "start 4");
  EXPECT_EQ(r.schedules, 4);
  // A flush with nothing held hands nothing over.
  r.batch.Flush();
  r.batch.Flush();
  EXPECT_EQ(r.handedOver,
            (std::vector<std::string>{"start 1", "play 1", "start 2", "play 2", "start 4"}));
}

}  // namespace
}  // namespace dorvem
