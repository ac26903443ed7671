// The check's transport on Linux: libcurl, whose open-socket hook sees every address before a
// connection is made to it, so the address judged is the address reached.
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "checks/check_transport.h"
#include "checks/url_text.h"
#include "links/ascii_case.h"

namespace zentrova::checks {
namespace {

struct Transfer {
  std::size_t id = 0;
  CURL* easy = nullptr;
  const AddressRule* rule = nullptr;
  bool direct = true;
  bool ftp = false;
  bool ranged = false;
  Reply reply;
  std::size_t headerBytes = 0;
  bool headersTooLong = false;
  Trouble refusal = Trouble::kNone;
};

// Keeps the headers a verdict reads, of the last answer (a proxy's or a 100 Continue comes first).
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const std::size_t length = size * count;
  transfer->headerBytes += length;
  if (transfer->headerBytes > kMostHeaderBytes) {
    transfer->headersTooLong = true;
    return 0;
  }
  const std::string_view line(data, length);
  Answer& answer = transfer->reply.answer;
  if (links::StartsWithNoCase(line, "http/")) {
    answer.type.clear();
    answer.contentLength.clear();
    answer.contentRange.clear();
    transfer->reply.location.clear();
    return length;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return length;
  const std::string_view name = line.substr(0, colon);
  const std::string value(Trimmed(line.substr(colon + 1)));
  const auto is = [&](std::string_view wanted) {
    return name.size() == wanted.size() && links::StartsWithNoCase(name, wanted);
  };
  if (is("content-type")) answer.type = value;
  if (is("content-length")) answer.contentLength = value;
  if (is("content-range")) answer.contentRange = value;
  if (is("location")) transfer->reply.location = value;
  return length;
}

// The body is never read: the ranged GET stops at its first byte.
std::size_t OnBody(char*, std::size_t, std::size_t, void*) { return 0; }

// What libcurl makes of an FTP file's size and time ("Content-Length: …") comes as body too.
std::size_t OnFtpFacts(char*, std::size_t size, std::size_t count, void*) { return size * count; }

curl_socket_t OnOpenSocket(void* user, curlsocktype, curl_sockaddr* address) {
  auto* transfer = static_cast<Transfer*>(user);
  // A proxy is the person's own, reached wherever it runs; every other connection goes only to
  // an address the rule allows.
  if (transfer->direct) {
    lists::IpAddress ip{};
    if (address->family == AF_INET) {
      sockaddr_in v4;
      std::memcpy(&v4, &address->addr, sizeof v4);
      ip = lists::MappedIpv4(ntohl(v4.sin_addr.s_addr));
    } else if (address->family == AF_INET6) {
      sockaddr_in6 v6;
      std::memcpy(&v6, &address->addr, sizeof v6);
      std::memcpy(ip.data(), &v6.sin6_addr, 16);
    } else {
      transfer->refusal = Trouble::kReserved;
      return CURL_SOCKET_BAD;
    }
    const Trouble refusal = RefusalOfPeer(ip, *transfer->rule);
    if (refusal != Trouble::kNone) {
      transfer->refusal = refusal;
      return CURL_SOCKET_BAD;
    }
  }
  return socket(address->family, address->socktype, address->protocol);
}

Trouble TroubleOf(CURLcode code, const Transfer& transfer) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return transfer.direct ? Trouble::kNoSuchHost : Trouble::kProxyFailed;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_PROXY:
      return Trouble::kProxyFailed;
    case CURLE_COULDNT_CONNECT:
      if (transfer.refusal != Trouble::kNone) return transfer.refusal;
      return transfer.direct ? Trouble::kConnectionRefused : Trouble::kProxyFailed;
    case CURLE_OPERATION_TIMEDOUT:
      return Trouble::kTimeout;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_USE_SSL_FAILED:
      return Trouble::kTls;
    default:
      return Trouble::kBrokenAnswer;
  }
}

void Conclude(Transfer& transfer, CURLcode code) {
  Answer& answer = transfer.reply.answer;
  long status = 0;
  curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
  answer.ftp = transfer.ftp;
  if (transfer.refusal != Trouble::kNone) {
    answer.trouble = transfer.refusal;
    return;
  }
  if (transfer.headersTooLong) {
    answer.trouble = Trouble::kBrokenAnswer;
    return;
  }
  if (transfer.ftp) {
    if (code == CURLE_OK) {
      answer.status = 213;  // the size was asked and answered; nothing was downloaded
      curl_off_t length = -1;
      curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
      if (length >= 0) answer.contentLength = std::to_string(length);
    } else if (code == CURLE_REMOTE_FILE_NOT_FOUND) {
      answer.status = 550;
    } else if (code == CURLE_LOGIN_DENIED) {
      answer.status = 530;
    } else {
      answer.trouble = TroubleOf(code, transfer);
    }
    return;
  }
  // The ranged GET ends itself at its first byte, after the headers it was sent for.
  const bool answered = code == CURLE_OK || (code == CURLE_WRITE_ERROR && status > 0);
  if (answered && status > 0) {
    answer.status = static_cast<int>(status);
    return;
  }
  answer.trouble = TroubleOf(code, transfer);
  transfer.reply.closedWithoutAnswer =
      status == 0 &&
      (code == CURLE_GOT_NOTHING || code == CURLE_RECV_ERROR || code == CURLE_SEND_ERROR);
}

class CurlTransport final : public Transport {
 public:
  CurlTransport(const AddressRule& rule, std::string userAgent)
      : rule_(rule), userAgent_(std::move(userAgent)) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    multi_ = curl_multi_init();
  }

  ~CurlTransport() override {
    for (auto& [easy, transfer] : transfers_) {
      curl_multi_remove_handle(multi_, easy);
      curl_easy_cleanup(easy);
    }
    curl_multi_cleanup(multi_);
  }

  void Start(Hop hop) override {
    auto transfer = std::make_unique<Transfer>();
    CURL* easy = curl_easy_init();
    transfer->id = hop.id;
    transfer->easy = easy;
    transfer->rule = &rule_;
    transfer->direct = !hop.proxy;
    transfer->ftp = links::StartsWithNoCase(std::string_view(hop.url), "ftp:");
    transfer->ranged = hop.ranged;
    transfer->reply.answer.final = hop.url;
    curl_easy_setopt(easy, CURLOPT_URL, hop.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent_.c_str());
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(hop.timeout.count()));
    // An empty proxy keeps libcurl from reading the environment again: the choice is made.
    curl_easy_setopt(easy, CURLOPT_PROXY, hop.proxy ? hop.proxy->c_str() : "");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    // Through an HTTP proxy, ftp is spoken in a tunnel: asked as HTTP, the proxy would fetch
    // the file to answer.
    if (transfer->ftp && hop.proxy) curl_easy_setopt(easy, CURLOPT_HTTPPROXYTUNNEL, 1L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, transfer->ftp ? &OnFtpFacts : &OnBody);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &OnOpenSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, transfer.get());
    if (transfer->ftp || !hop.ranged) {
      // For ftp, libcurl asks SIZE and MDTM and opens no data connection.
      curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
      if (transfer->ftp) curl_easy_setopt(easy, CURLOPT_FILETIME, 1L);
    } else {
      curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
      curl_easy_setopt(easy, CURLOPT_RANGE, "0-0");
    }
    curl_multi_add_handle(multi_, easy);
    transfers_.emplace(easy, std::move(transfer));
  }

  std::vector<std::pair<std::size_t, Reply>> Wait(std::chrono::milliseconds most) override {
    int running = 0;
    curl_multi_perform(multi_, &running);
    std::vector<std::pair<std::size_t, Reply>> ended = Ended();
    if (!ended.empty() || transfers_.empty()) return ended;
    curl_multi_poll(multi_, nullptr, 0, static_cast<int>(most.count()), nullptr);
    curl_multi_perform(multi_, &running);
    return Ended();
  }

 private:
  std::vector<std::pair<std::size_t, Reply>> Ended() {
    std::vector<std::pair<std::size_t, Reply>> ended;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      CURL* easy = message->easy_handle;
      const CURLcode code = message->data.result;
      const auto found = transfers_.find(easy);
      if (found == transfers_.end()) continue;
      Transfer& transfer = *found->second;
      Conclude(transfer, code);
      ended.emplace_back(transfer.id, std::move(transfer.reply));
      curl_multi_remove_handle(multi_, easy);
      curl_easy_cleanup(easy);
      transfers_.erase(found);
    }
    return ended;
  }

  AddressRule rule_;
  std::string userAgent_;
  CURLM* multi_ = nullptr;
  std::map<CURL*, std::unique_ptr<Transfer>> transfers_;
};

}  // namespace

std::unique_ptr<Transport> SystemTransport(const AddressRule& rule, std::string userAgent) {
  return std::make_unique<CurlTransport>(rule, std::move(userAgent));
}

std::optional<std::string> SystemProxy(std::string_view) { return std::nullopt; }

}  // namespace zentrova::checks
