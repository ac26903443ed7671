#include "checks/address_check.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "checks/url_text.h"
#include "links/ascii_case.h"
#include "lists/download_address.h"

namespace zentrova::checks {
namespace {

bool IsFtp(std::string_view url) { return links::StartsWithNoCase(url, "ftp:"); }

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The length of "scheme:" at the start of `text`, or 0 when it does not start with one.
std::size_t SchemeLength(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (c == ':') return at > 0 ? at + 1 : 0;
    if (!letter && (at == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
      return 0;
    }
  }
  return 0;
}

// Where the path of the absolute address `url` begins (its length when it has none).
std::size_t PathStart(std::string_view url) {
  const std::size_t scheme = SchemeLength(url);
  if (url.substr(scheme, 2) != "//") return scheme;
  const std::size_t end = url.find_first_of("/?#", scheme + 2);
  return end == std::string_view::npos ? url.size() : end;
}

// `path` with its "." and ".." segments taken out, as a browser resolves them.
std::string WithoutDotSegments(std::string_view path) {
  std::vector<std::string_view> kept;
  std::size_t at = 0;
  while (at <= path.size()) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    const std::string_view segment = path.substr(at, slash - at);
    const bool last = slash == path.size();
    if (segment == "..") {
      if (kept.size() > 1) kept.pop_back();
      if (last) kept.emplace_back();
    } else if (segment == ".") {
      if (last) kept.emplace_back();
    } else {
      kept.push_back(segment);
    }
    at = slash + 1;
  }
  std::string out;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out += '/';
    out += kept[i];
  }
  return out;
}

}  // namespace

std::optional<std::string> Resolved(std::string_view base, std::string_view location) {
  location = Trimmed(location);
  if (location.empty()) return std::nullopt;
  // Bytes outside printable ASCII escaped as a downloader is given them.
  const std::string target = lists::DownloaderUri(location);
  if (SchemeLength(target) > 0) return target;
  const std::string_view from(base.substr(0, base.find('#')));
  if (target.starts_with("//")) return std::string(from.substr(0, SchemeLength(from))) + target;
  const std::size_t path = PathStart(from);
  const std::string_view origin = from.substr(0, path);
  if (target.starts_with('#')) return std::string(from) + target;
  if (target.starts_with('?')) {
    return std::string(from.substr(0, from.find('?'))) + target;
  }
  if (target.starts_with('/')) return std::string(origin) + WithoutDotSegments(target);
  std::string_view basePath = from.substr(path);
  basePath = basePath.substr(0, basePath.find('?'));
  const std::size_t lastSlash = basePath.rfind('/');
  const std::string directory =
      lastSlash == std::string_view::npos ? "/" : std::string(basePath.substr(0, lastSlash + 1));
  return std::string(origin) + WithoutDotSegments(directory + target);
}

AddressCheck::AddressCheck(std::string address, const CheckSettings& settings)
    : address_(std::move(address)), settings_(&settings), url_(address_) {
  JudgeHop();
}

void AddressCheck::JudgeHop() {
  if (std::optional<Verdict> unasked = VerdictWithoutAsking(url_)) {
    Conclude(std::move(*unasked));
    return;
  }
  // Where a proxy resolves the name, its spelling is all there is to judge; a direct connection
  // is judged again by the address the name resolved to, in the transport.
  const Trouble refusal = RefusalOfSpelling(url_, settings_->rule);
  if (refusal != Trouble::kNone) {
    Conclude(RefusedVerdict(refusal));
    return;
  }
  proxy_ = ProxyFor(url_, settings_->proxy, settings_->environment);
  if (!proxy_ && settings_->systemProxy) proxy_ = settings_->systemProxy(url_);
}

void AddressCheck::Conclude(Verdict verdict) {
  if (url_ != address_ && !verdict.final) verdict.final = url_;
  verdict_ = std::move(verdict);
}

std::optional<Hop> AddressCheck::Next(Clock::time_point now) {
  if (Done()) return std::nullopt;
  if (!deadline_) deadline_ = now + settings_->timeout;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline_ - now);
  Hop hop;
  hop.url = url_;
  hop.ranged = ranged_;
  hop.proxy = proxy_;
  hop.timeout = std::max(left, std::chrono::milliseconds(1));
  return hop;
}

void AddressCheck::Take(const Reply& reply) {
  Answer answer = reply.answer;
  answer.final = url_;
  const bool ftp = IsFtp(url_);
  answer.ftp = ftp;
  const bool refusesHead =
      answer.trouble == Trouble::kNone && (answer.status == 405 || answer.status == 501);
  if (!ftp && !ranged_ && (refusesHead || reply.closedWithoutAnswer)) {
    ranged_ = true;
    return;
  }
  if (!ftp && answer.trouble == Trouble::kNone && IsRedirect(answer.status) &&
      !reply.location.empty()) {
    if (++redirects_ > kMostRedirects) {
      answer.trouble = Trouble::kTooManyRedirects;
      Conclude(Judge(answer, address_));
      return;
    }
    if (std::optional<std::string> next = Resolved(url_, reply.location)) {
      url_ = std::move(*next);
      ranged_ = false;
      JudgeHop();
      return;
    }
  }
  Conclude(Judge(answer, address_));
}

}  // namespace zentrova::checks
