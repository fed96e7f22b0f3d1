#include "service/challenge_store.h"

#include <algorithm>
#include <random>

namespace vossik {

std::string ChallengeStore::Issue(Clock::time_point now) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  // std::random_device reads the kernel's generator: challenges must not be
  // guessable, or a recorded password could be replayed against one.
  std::random_device device;
  std::string text;
  for (int word = 0; word < 4; ++word) {
    uint32_t bits = device();
    for (int nibble = 0; nibble < 8; ++nibble, bits >>= 4) text += kDigits[bits & 0x0F];
  }
  std::lock_guard<std::mutex> hold(mutex_);
  DropExpired(now);
  if (issued_.size() >= kMostOutstanding) issued_.pop_front();
  issued_.push_back({text, now + kLifetime});
  return text;
}

bool ChallengeStore::Redeem(std::string_view challenge, Clock::time_point now) {
  std::lock_guard<std::mutex> hold(mutex_);
  DropExpired(now);
  const auto found = std::find_if(issued_.begin(), issued_.end(),
                                  [&](const Issued& issued) { return issued.text == challenge; });
  if (found == issued_.end()) return false;
  issued_.erase(found);
  return true;
}

void ChallengeStore::DropExpired(Clock::time_point now) {
  while (!issued_.empty() && issued_.front().expires <= now) issued_.pop_front();
}

}  // namespace vossik
