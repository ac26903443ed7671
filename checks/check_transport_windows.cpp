#include <windows.h>
// After windows.h:
#include <winhttp.h>

#include <atomic>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include "checks/answer_head.h"
#include "checks/check_transport.h"
#include "checks/ftp_check.h"
#include "checks/hop_target.h"
#include "checks/vetted_relay.h"
#include "checks/windows_transport.h"

namespace zentrova::checks::windows {
namespace {

std::wstring Wide(std::string_view ascii) {
  std::wstring wide;
  wide.reserve(ascii.size());
  for (const char c : ascii) wide.push_back(static_cast<unsigned char>(c));
  return wide;
}

// A header value in the bytes the server sent: WinHTTP reads them in the system's code page, so
// that page gives them back (all of them where they formed its characters, as UTF-8 and GBK
// names mostly do; a direct plain answer's own bytes are taken from the relay instead).
std::string Narrow(std::wstring_view wide) {
  std::string narrow;
  bool ascii = true;
  for (const wchar_t c : wide) ascii = ascii && c < 0x80;
  if (ascii) {
    for (const wchar_t c : wide) narrow.push_back(static_cast<char>(c));
    return narrow;
  }
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), size,
                      nullptr, nullptr);
  return narrow;
}

class Handle {
 public:
  explicit Handle(HINTERNET handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr) WinHttpCloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  void Close() {
    if (handle_ != nullptr) WinHttpCloseHandle(handle_);
    handle_ = nullptr;
  }
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
};

std::optional<std::string> Header(HINTERNET request, DWORD which, const wchar_t* name) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, which, name, WINHTTP_NO_OUTPUT_BUFFER, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return std::nullopt;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, which, name, value.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  value.resize(size / sizeof(wchar_t));
  return Narrow(value);
}

// What WinHTTP's failure means for the check. Through a proxy, not reaching it or its failing to
// carry the request is the proxy's trouble, not the server's.
Trouble TroubleOf(DWORD error, bool proxied) {
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
      return Trouble::kTimeout;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return proxied ? Trouble::kProxyFailed : Trouble::kNoSuchHost;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return proxied ? Trouble::kProxyFailed : Trouble::kConnectionRefused;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED:
      return Trouble::kTls;
    default:
      return Trouble::kBrokenAnswer;
  }
}

// The person's proxy, which WinHTTP can speak to only where it is an HTTP proxy.
std::optional<HopTarget> HttpProxy(const std::string& proxy) {
  std::optional<HopTarget> target =
      ReadHopTarget(proxy.find("://") == std::string::npos ? "http://" + proxy : proxy);
  if (!target || target->scheme != "http") return std::nullopt;
  return target;
}

void SetNumber(HINTERNET handle, DWORD option, DWORD value) {
  WinHttpSetOption(handle, option, &value, sizeof value);
}

struct Asked {
  Reply reply;
  bool answered = false;  // a status came
  DWORD error = ERROR_SUCCESS;
};

// One request through WinHTTP to `server`:`port` (the server, or the relay standing in for it),
// through `proxy` when given.
Asked AskWinHttp(const Hop& hop, const HopTarget& target, const std::string& userAgent,
                 const std::wstring& server, std::uint16_t port,
                 const std::optional<std::wstring>& proxy, const HopTarget* proxyLogin,
                 bool hostHeader) {
  Asked asked;
  Reply& reply = asked.reply;
  const auto failed = [&asked] {
    asked.error = GetLastError();
    return asked;
  };
  // "<-loopback>": Windows otherwise goes around a proxy, the relay included, for a name of this
  // machine, straight to it.
  Handle session(WinHttpOpen(Wide(userAgent).c_str(),
                             proxy ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY,
                             proxy ? proxy->c_str() : WINHTTP_NO_PROXY_NAME,
                             proxy ? L"<-loopback>" : WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return failed();
  SetNumber(session.get(), WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_NEVER);
  const int most = static_cast<int>(std::max<std::int64_t>(hop.timeout.count(), 1));
  WinHttpSetTimeouts(session.get(), most, most, most, most);
  Handle connection(WinHttpConnect(session.get(), server.c_str(), port, 0));
  if (!connection) return failed();
  const bool secure = target.scheme == "https";
  // The address is escaped already, as a downloader is given it: sent as it is.
  Handle request(
      WinHttpOpenRequest(connection.get(), hop.ranged ? L"GET" : L"HEAD", Wide(target.path).c_str(),
                         nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                         (secure ? WINHTTP_FLAG_SECURE : 0) | WINHTTP_FLAG_ESCAPE_DISABLE |
                             WINHTTP_FLAG_ESCAPE_DISABLE_QUERY));
  if (!request) return failed();
  SetNumber(request.get(), WINHTTP_OPTION_DISABLE_FEATURE,
            WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_KEEP_ALIVE);
  SetNumber(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_NEVER);
  // A list's server must never be handed the person's Windows login.
  SetNumber(request.get(), WINHTTP_OPTION_AUTOLOGON_POLICY, WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH);
  SetNumber(request.get(), WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE,
            static_cast<DWORD>(kMostHeaderBytes));
  if (proxyLogin != nullptr && !proxyLogin->user.empty()) {
    const std::wstring user = Wide(Unescaped(proxyLogin->user).value_or(proxyLogin->user));
    const std::wstring password =
        Wide(Unescaped(proxyLogin->password).value_or(proxyLogin->password));
    WinHttpSetOption(request.get(), WINHTTP_OPTION_PROXY_USERNAME,
                     const_cast<wchar_t*>(user.c_str()), static_cast<DWORD>(user.size()));
    WinHttpSetOption(request.get(), WINHTTP_OPTION_PROXY_PASSWORD,
                     const_cast<wchar_t*>(password.c_str()), static_cast<DWORD>(password.size()));
  }
  if (hostHeader) {
    const std::wstring host = L"Host: " + Wide(target.authority);
    if (!WinHttpAddRequestHeaders(request.get(), host.c_str(), static_cast<DWORD>(-1),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
      return failed();
    }
  }
  if (hop.ranged &&
      !WinHttpAddRequestHeaders(request.get(), L"Range: bytes=0-0", static_cast<DWORD>(-1),
                                WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
    return failed();
  }
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return failed();
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return failed();
  }
  // Where WinHTTP reads a head past the cap it was given (Wine does), the answer is refused all
  // the same: no answer to a check needs such a head.
  DWORD headBytes = 0;
  WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                      WINHTTP_NO_OUTPUT_BUFFER, &headBytes, WINHTTP_NO_HEADER_INDEX);
  if (headBytes / sizeof(wchar_t) > kMostHeaderBytes) {
    asked.error = ERROR_WINHTTP_HEADER_SIZE_OVERFLOW;
    return asked;
  }
  asked.answered = true;
  reply.answer.status = static_cast<int>(status);
  reply.answer.type =
      Header(request.get(), WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX).value_or("");
  reply.answer.contentLength =
      Header(request.get(), WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX)
          .value_or("");
  reply.answer.contentRange =
      Header(request.get(), WINHTTP_QUERY_CUSTOM, L"Content-Range").value_or("");
  if (status >= 300 && status < 400) {
    reply.location =
        Header(request.get(), WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX).value_or("");
  }
  // The body is never read: the handles close here, and the connection with them.
  return asked;
}

Reply AskHttp(const Hop& hop, const HopTarget& target, const AddressRule& rule,
              const Resolver& resolve, const std::string& userAgent) {
  Reply reply;
  reply.answer.final = hop.url;
  const auto fail = [&reply](Trouble trouble) {
    reply.answer.trouble = trouble;
    return reply;
  };
  const bool secure = target.scheme == "https";
  const bool proxied = hop.proxy.has_value();
  const Clock::time_point deadline = Clock::now() + hop.timeout;
  // Every request goes through a relay of ours, which holds it to the hop's time and the head's
  // cap wherever WinHTTP would not: to a vetted address, or to the person's proxy.
  std::vector<lists::IpAddress> addresses;
  std::uint16_t port = target.port;
  RelayMode mode = secure ? RelayMode::kTunnel : RelayMode::kServer;
  std::optional<HopTarget> proxy;
  if (proxied) {
    proxy = HttpProxy(*hop.proxy);
    if (!proxy) return fail(Trouble::kProxyFailed);
    const std::optional<std::vector<lists::IpAddress>> found =
        ResolveWithin(resolve, proxy->host, deadline);
    if (!found) return fail(Trouble::kTimeout);
    if (found->empty()) return fail(Trouble::kProxyFailed);
    addresses = *found;
    port = proxy->port;
    mode = secure ? RelayMode::kProxyTunnel : RelayMode::kProxyPlain;
  } else {
    Vetting vetting = Vet(target.host, rule, resolve, deadline);
    if (vetting.trouble != Trouble::kNone) return fail(vetting.trouble);
    addresses = std::move(vetting.addresses);
  }
  VettedRelay relay(std::move(addresses), port, mode, deadline);
  if (relay.Port() == 0) return fail(Trouble::kBrokenAnswer);
  const std::wstring relayHost = L"127.0.0.1";
  Asked asked =
      mode == RelayMode::kServer
          ? AskWinHttp(hop, target, userAgent, relayHost, relay.Port(), std::nullopt, nullptr, true)
          : AskWinHttp(hop, target, userAgent, Wide(target.host), target.port,
                       relayHost + L":" + std::to_wstring(relay.Port()), proxy ? &*proxy : nullptr,
                       false);
  const VettedRelay::Outcome outcome = relay.Finish();
  if (outcome.cutInsideHead) {
    asked.reply = Reply{};
    asked.reply.answer.trouble = outcome.trouble;
  } else if (!asked.answered) {
    // The relay knows what happened at the far side better than WinHTTP can tell it; there, a
    // proxy that takes no connection is the proxy's failure.
    Trouble trouble =
        outcome.trouble != Trouble::kNone ? outcome.trouble : TroubleOf(asked.error, proxied);
    if (proxied && trouble == Trouble::kConnectionRefused) trouble = Trouble::kProxyFailed;
    asked.reply.answer.trouble = trouble;
    asked.reply.closedWithoutAnswer = outcome.closedWithoutAnswer;
  } else if (proxied && asked.reply.answer.status == 407) {
    asked.reply = Reply{};
    asked.reply.answer.trouble = Trouble::kProxyFailed;
  } else if (!asked.reply.location.empty() && !secure) {
    asked.reply.location = HeadField(outcome.head, "Location").value_or(asked.reply.location);
  }
  asked.reply.answer.final = hop.url;
  return asked.reply;
}

class WinHttp final : public Transport {
 public:
  WinHttp(const AddressRule& rule, std::string userAgent, Resolver resolve)
      : rule_(rule), userAgent_(std::move(userAgent)), resolve_(std::move(resolve)) {}

  ~WinHttp() override {
    // Each request ends within its own time; none may outlive what it reports to.
    for (Worker& worker : workers_) worker.thread.join();
  }

  void Start(Hop hop) override {
    std::lock_guard lock(mutex_);
    Reap();
    workers_.emplace_back();
    Worker& worker = workers_.back();
    worker.thread = std::thread([this, hop = std::move(hop), &worker] {
      Reply reply = Carry(hop);
      std::lock_guard inner(mutex_);
      ended_.emplace_back(hop.id, std::move(reply));
      worker.done = true;
      changed_.notify_all();
    });
  }

  std::vector<std::pair<std::size_t, Reply>> Wait(std::chrono::milliseconds most) override {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, most, [this] { return !ended_.empty(); });
    Reap();
    std::vector<std::pair<std::size_t, Reply>> ended;
    ended.swap(ended_);
    return ended;
  }

 private:
  struct Worker {
    std::thread thread;
    bool done = false;
  };

  Reply Carry(const Hop& hop) const {
    const std::optional<HopTarget> target = ReadHopTarget(hop.url);
    if (target && target->scheme == "ftp") {
      if (hop.proxy && hop.proxy->find("://") != std::string::npos &&
          hop.proxy->compare(0, 7, "http://") != 0) {
        Reply reply;
        reply.answer.ftp = true;
        reply.answer.final = hop.url;
        reply.answer.trouble = Trouble::kProxyFailed;
        return reply;
      }
      return AskFtp(hop, rule_, resolve_);
    }
    if (!target) {
      Reply reply;
      reply.answer.final = hop.url;
      reply.answer.trouble = Trouble::kBrokenAnswer;
      return reply;
    }
    return AskHttp(hop, *target, rule_, resolve_, userAgent_);
  }

  // Joins the workers that have ended; the mutex is held.
  void Reap() {
    for (auto worker = workers_.begin(); worker != workers_.end();) {
      if (worker->done) {
        worker->thread.join();
        worker = workers_.erase(worker);
      } else {
        ++worker;
      }
    }
  }

  AddressRule rule_;
  std::string userAgent_;
  Resolver resolve_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::list<Worker> workers_;
  std::vector<std::pair<std::size_t, Reply>> ended_;
};

}  // namespace

std::unique_ptr<Transport> WinHttpTransport(const AddressRule& rule, std::string userAgent,
                                            Resolver resolve) {
  return std::make_unique<WinHttp>(rule, std::move(userAgent), std::move(resolve));
}

}  // namespace zentrova::checks::windows

namespace zentrova::checks {

std::unique_ptr<Transport> SystemTransport(const AddressRule& rule, std::string userAgent) {
  return windows::WinHttpTransport(rule, std::move(userAgent), windows::SystemResolver());
}

}  // namespace zentrova::checks
