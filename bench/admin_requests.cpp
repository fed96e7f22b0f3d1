// Measures how many GETSTATUS requests a service answers per second on
// loopback, through the administration client as the settings window and
// `vossik -admin` use it (with a password, each request first fetches and
// encrypts a challenge). Prints the figure; not a test.
//
// Usage: admin_requests PORT SECONDS CLIENTS [PASSWORD]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "admin/admin_client.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: admin_requests PORT SECONDS CLIENTS [PASSWORD]\n");
    return 2;
  }
  const int port = std::atoi(argv[1]);
  const double seconds = std::atof(argv[2]);
  const int clients = std::atoi(argv[3]);
  const std::string password = argc > 4 ? argv[4] : "";

  std::atomic<long> answered{0};
  std::atomic<long> failed{0};
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::vector<std::thread> threads;
  for (int i = 0; i < clients; ++i) {
    threads.emplace_back([&] {
      vossik::AdminClient client;
      if (client.Initialise("", "127.0.0.1", port) != vossik::kClientReady) return;
      client.SetPassword(password);
      while (std::chrono::steady_clock::now() < end) {
        vossik::AdminResult error = vossik::AdminResult::kOk;
        const vossik::ServiceState state = client.GetStatus(&error);
        if (error == vossik::AdminResult::kOk && state != vossik::ServiceState::kUnknown) {
          ++answered;
        } else {
          ++failed;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::printf("%-16s %d client(s): %8.0f GETSTATUS/s (%ld answered, %ld failed in %.0f s)\n",
              password.empty() ? "no password" : "with password", clients,
              static_cast<double>(answered.load()) / seconds, answered.load(), failed.load(),
              seconds);
  return failed.load() == 0 ? 0 : 1;
}
