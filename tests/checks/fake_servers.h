// Servers for the check's tests: answers by address and request, given back by a transport that
// counts what was asked of it, so that the tests see every request a check would send.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "checks/check_transport.h"

namespace zentrova::checks {

inline Reply Status(int status, std::string type = "", std::string length = "",
                    std::string location = "") {
  Reply reply;
  reply.answer.status = status;
  reply.answer.type = std::move(type);
  reply.answer.contentLength = std::move(length);
  reply.location = std::move(location);
  return reply;
}

inline Reply Troubled(Trouble trouble, bool closed = false) {
  Reply reply;
  reply.answer.trouble = trouble;
  reply.closedWithoutAnswer = closed;
  return reply;
}

class FakeServers final : public Transport {
 public:
  // The reply to a HEAD (`ranged` false) or ranged GET of `url`.
  void Answer(const std::string& url, bool ranged, Reply reply) {
    replies_[{url, ranged}] = std::move(reply);
  }

  void Start(Hop hop) override {
    started_.push_back(hop);
    inFlight_.push_back(hop);
    mostAtOnce_ = std::max(mostAtOnce_, inFlight_.size());
    const std::string host = HostOf(hop.url);
    const auto sameHost = std::count_if(inFlight_.begin(), inFlight_.end(), [&](const Hop& other) {
      return HostOf(other.url) == host;
    });
    mostForOneHost_ = std::max(mostForOneHost_, static_cast<std::size_t>(sameHost));
  }

  // Ends the oldest request in flight, or at most `endAtOnce` of them.
  std::vector<std::pair<std::size_t, Reply>> Wait(std::chrono::milliseconds) override {
    std::vector<std::pair<std::size_t, Reply>> ended;
    while (!inFlight_.empty() && ended.size() < endAtOnce) {
      const auto next = newestFirst ? inFlight_.end() - 1 : inFlight_.begin();
      const Hop hop = *next;
      inFlight_.erase(next);
      const auto found = replies_.find({hop.url, hop.ranged});
      Reply reply = found == replies_.end() ? Troubled(Trouble::kConnectionRefused) : found->second;
      reply.answer.final = hop.url;
      ended.emplace_back(hop.id, std::move(reply));
    }
    return ended;
  }

  std::size_t endAtOnce = 1;
  bool newestFirst = false;  // servers that answer the latest request first
  const std::vector<Hop>& started() const { return started_; }
  const std::vector<Hop>& inFlight() const { return inFlight_; }
  std::size_t mostAtOnce() const { return mostAtOnce_; }
  std::size_t mostForOneHost() const { return mostForOneHost_; }

 private:
  std::map<std::pair<std::string, bool>, Reply> replies_;
  std::vector<Hop> started_;
  std::vector<Hop> inFlight_;
  std::size_t mostAtOnce_ = 0;
  std::size_t mostForOneHost_ = 0;

  static std::string HostOf(const std::string& url) {
    const std::size_t start = url.find("//") + 2;
    return url.substr(start, url.find('/', start) - start);
  }
};

}  // namespace zentrova::checks
