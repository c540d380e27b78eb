// The client's idle time-out, shortened: a server that accepts and then says nothing, a
// connection attempt that hangs, and a server that pauses but less than the time-out.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "interpreter/http/http_client.hpp"
#include "interpreter/http/network_switch.hpp"
#include "interpreter/http/page_server.hpp"

namespace vormel::http {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A listener on 127.0.0.1 with a kernel-chosen port.
struct TestListener {
  int fd = -1;
  int port = 0;
  explicit TestListener(int backlog) {
    fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(fd, backlog), 0);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
  }
  ~TestListener() { ::close(fd); }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port) + "/"; }
};

TEST(HttpClientTimeoutTest, SilentServerFailsTheReadAfterTheTimeout) {
  TestListener silent(8);  // the kernel completes the connection; no one ever answers
  Clock::time_point start = Clock::now();
  RequestOutcome outcome = http_request(silent.url(), "GET", "", ClientLimits{300ms});
  auto elapsed = Clock::now() - start;
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.text, "Failed to read response: Connection timed out");
  EXPECT_GE(elapsed, 300ms);
  EXPECT_LT(elapsed, 5s);
}

TEST(HttpClientTimeoutTest, HangingConnectFailsAfterTheTimeout) {
  // With its accept queue full, the listener drops new connection attempts: connect hangs.
  TestListener full(0);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(full.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers.push_back(fd);
  }
  std::this_thread::sleep_for(100ms);
  Clock::time_point start = Clock::now();
  RequestOutcome outcome = http_request(full.url(), "GET", "", ClientLimits{300ms});
  auto elapsed = Clock::now() - start;
  for (int fd : fillers) ::close(fd);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.text, "Failed to connect to 127.0.0.1:" + std::to_string(full.port) +
                              ": Connection timed out");
  EXPECT_LT(elapsed, 5s);
}

TEST(HttpClientTimeoutTest, PausesShorterThanTheTimeoutAreWaitedFor) {
  TestListener server(8);
  std::thread answer([&] {
    int connection = ::accept(server.fd, nullptr, nullptr);
    char buffer[1024];
    (void)::recv(connection, buffer, sizeof buffer, 0);
    // Four pauses of 200 ms: 800 ms in all, more than the 400 ms time-out, none idle that long.
    for (const char* piece : {"HTTP/1.1 200 OK\r\n", "A: 1\r\n", "\r\n", "bo", "dy"}) {
      (void)::send(connection, piece, std::string(piece).size(), MSG_NOSIGNAL);
      std::this_thread::sleep_for(200ms);
    }
    ::close(connection);
  });
  RequestOutcome outcome = http_request(server.url(), "GET", "", ClientLimits{400ms});
  answer.join();
  EXPECT_TRUE(outcome.ok) << outcome.text;
  EXPECT_EQ(outcome.text, "HTTP/1.1 200 OK\r\nA: 1\r\n\r\nbody");
}

TEST(HttpClientTimeoutTest, DefaultIsThirtySeconds) { EXPECT_EQ(ClientLimits{}.idle_timeout, 30s); }

}  // namespace
}  // namespace vormel::http

namespace vormel::http {
namespace {

// In a child process, since the switch cannot be turned back on.
TEST(HttpNetworkSwitchDeathTest, ForbiddenNetworkFailsWithoutReachingIt) {
  EXPECT_EXIT(
      {
        forbid_network();
        RequestOutcome outcome = http_request("http://127.0.0.1:9/", "GET", "");
        std::string serve_answer = serve_pages(0);
        bool right =
            !outcome.ok &&
            outcome.text == "Failed to connect to 127.0.0.1:9: network access is turned off" &&
            serve_answer == "network access is turned off";
        std::exit(right ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vormel::http
