#include "admin/local_service.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace vossik {
namespace {

// Reports the states of a script, one per query, and records the calls.
class ScriptedService : public LocalService {
 public:
  explicit ScriptedService(std::deque<ServiceState> states) : states_(std::move(states)) {}
  const std::string& Name() const override { return name_; }
  ServiceState QueryState() override {
    calls.emplace_back("query");
    if (states_.size() > 1) states_.pop_front();
    return states_.front();
  }
  bool Start() override { return Record("start"); }
  bool Stop() override { return Record("stop"); }
  bool Pause() override { return Record("pause"); }
  bool Continue() override { return Record("continue"); }
  ServiceState LastState() const override { return states_.front(); }

  std::vector<std::string> calls;

 protected:
  void WaitBeforeNextQuery() override {}

 private:
  bool Record(const char* call) {
    calls.emplace_back(call);
    return true;
  }
  std::string name_ = "vossik";
  std::deque<ServiceState> states_;
};

TEST(LocalService, StartsAStoppedServiceOnceItHasStoppedAndContinuesAnyOther) {
  using S = ServiceState;
  struct Row {
    std::deque<ServiceState> states;  // the first is dropped by the first query
    std::vector<std::string> calls;
  };
  const Row rows[] = {
      {{S::kUnknown, S::kStopPending, S::kStopPending, S::kStopped},
       {"query", "query", "query", "start"}},
      {{S::kUnknown, S::kStopped}, {"query", "start"}},
      {{S::kUnknown, S::kPaused}, {"query", "continue"}},
      {{S::kUnknown, S::kRunning}, {"query", "continue"}},
      {{S::kUnknown, S::kUnknown}, {"query", "continue"}},
  };
  for (const Row& row : rows) {
    ScriptedService service(row.states);
    EXPECT_TRUE(service.StartOrContinue());
    EXPECT_EQ(row.calls, service.calls);
  }
}

}  // namespace
}  // namespace vossik
