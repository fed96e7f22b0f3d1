#include "indexer/worker_thread.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace vossik {
namespace {

class Recorder : public ProgressObserver {
 public:
  void PostProgress(int percent, std::unique_ptr<std::string>) override {
    std::lock_guard<std::mutex> guard(mutex);
    percents.push_back(percent);
  }
  std::mutex mutex;
  std::vector<int> percents;
};

// Counts to `steps_`, reporting the step number as its percentage until the
// last step reports 100; `pause_at` pauses from inside that step.
class CountingTask : public ProgressTask {
 public:
  CountingTask(int slice_ms, int steps, int pause_at = -1)
      : ProgressTask(slice_ms), steps_(steps), pause_at_(pause_at) {}
  int step() override {
    ++done;
    if (done == pause_at_) pause(true);
    setProgress(done == steps_ ? 100 : done * 99 / steps_, "Counting");
    return 1;
  }
  void finish() override { ++finished; }
  int done = 0;
  int finished = 0;

 private:
  const int steps_;
  const int pause_at_;
};

// A slice long enough for every step reports once before the first step
// and once after finish(), however many steps there are.
TEST(ProgressTask, ReportsOncePerTimeSliceNotOncePerStep) {
  auto task = MakeTask<CountingTask>(60000, 5000);
  Recorder recorder;
  task->SetObserver(&recorder);
  task->start(0, 0);
  task->WaitUntilFinished();
  EXPECT_EQ(5000, task->done);
  EXPECT_EQ(1, task->finished);
  EXPECT_EQ((std::vector<int>{0, 100}), recorder.percents);
}

TEST(ProgressTask, WithoutASliceEveryStepIsReported) {
  auto task = MakeTask<CountingTask>(0, 10);
  Recorder recorder;
  task->SetObserver(&recorder);
  task->start(0, 0);
  task->WaitUntilFinished();
  EXPECT_EQ(1, task->finished);
  EXPECT_EQ(11u, recorder.percents.size());
  EXPECT_EQ(100, recorder.percents.back());
}

// Pause ends the slice after the step under way, whatever is left of it.
TEST(ProgressTask, PauseTakesEffectWithinTheSlice) {
  auto task = MakeTask<CountingTask>(60000, 1000, 10);
  task->start(0, 0);
  task->WaitUntilHeld();
  EXPECT_EQ(10, task->done);
  task->pause(false);
  task->WaitUntilFinished();
  EXPECT_EQ(1000, task->done);
  EXPECT_EQ(1, task->finished);
}

}  // namespace
}  // namespace vossik
