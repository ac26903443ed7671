#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and only those that
# are missing, so a machine that has them all is not touched.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-14 libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  fonts-wqy-microhei fonts-wine
  xvfb xauth xdotool xclip x11-utils imagemagick openbox file procps hostname
  weston qt6-wayland
  lintian appstream desktop-file-utils dpkg-dev xdg-utils
  libx11-dev libxfixes-dev libxtst-dev
  g++-mingw-w64-x86-64-posix wine wine64 locales python3 nsis unzip gettext man-db
  emscripten chromium aria2 firefox-esr openssl
  libcurl4-openssl-dev python3-pyftpdlib
)
# Node.js runs the web build's tests; a machine may have its own (newer) one, which is kept.
command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

# The Windows tests run under Wine in a Chinese (PRC) locale, which gives them code page 936.
ensure_chinese_locale() {
  locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' && return
  echo "Creating the zh_CN.UTF-8 locale"
  "${sudo[@]}" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
}

# Node.js for the web tools: the system's own when it runs every package web/package-lock.json
# pins, else (Debian 12's is 18, and tools move on) the one web/runtime pins, from the npm
# registry; web/CMakeLists.txt takes that one wherever it is there. (npm itself stays on the
# system's Node: the packages it installs run no scripts.)
ensure_node() {
  local web runtime
  web="$(dirname "$0")/../web"
  node "$web/tools/node_engines.js" "$web/package-lock.json" 2>/dev/null && return
  if ! runtime=$(runtime_node "$web"); then
    echo "Node.js $(node --version) is older than the web tools need: installing the one web/runtime pins"
    (cd "$web/runtime" && npm ci --no-audit --no-fund --loglevel=error)
    runtime=$(runtime_node "$web") || { echo "web/runtime has no Node.js for $(uname -m)" >&2; return 1; }
  fi
  "$runtime" "$web/tools/node_engines.js" "$web/package-lock.json"  # names any still refused
}

# runtime_node WEB: the pinned Node.js, found in its package's own folder (some npm releases,
# Debian 12's among them, link no command named node); fails when it is not installed.
runtime_node() {
  local candidate
  for candidate in "$1"/runtime/node_modules/node-linux-*/bin/node; do
    [[ -x $candidate ]] && { echo "$candidate"; return 0; }
  done
  return 1
}

# The browser tests' drivers and the extension's linter, at the versions the lockfile pins;
# they never download a browser.
ensure_web_packages() {
  local web
  web="$(dirname "$0")/../web"
  [[ -d $web/node_modules/playwright-core && -d $web/node_modules/puppeteer-core &&
     -d $web/node_modules/web-ext ]] && return
  (cd "$web" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 \
     npm ci --no-audit --no-fund --loglevel=error)
}

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
ensure_chinese_locale
ensure_web_packages
ensure_node
