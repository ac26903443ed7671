#!/usr/bin/env bash
# The package speaks Chinese where the user does: unpacked into a scratch root, man finds the
# client's Chinese page under a Chinese locale (and the English one otherwise), and the client
# finds its Chinese messages where the package put them, by itself: the package installs under
# /usr whatever prefix the build was made for.
#   chinese_pages.sh PACKAGE
set -u
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
source "$(dirname "$0")/../support/checks.sh"
dpkg -x "$1" "$root" || exit 1
manpath="$root/usr/share/man"
check "man shows the Chinese page under a Chinese locale" \
  bash -c "LC_ALL=zh_CN.UTF-8 MANPATH='$manpath' man zentrova-cli 2>/dev/null | grep -q '^名称'"
check "man shows the English page otherwise" \
  bash -c "LC_ALL=C.UTF-8 MANPATH='$manpath' man zentrova-cli 2>/dev/null | grep -q '^NAME'"
check "the client's messages are in Chinese from the package's catalogue" \
  bash -c "env -u ZENTROVA_LOCALEDIR -u LANGUAGE LC_ALL=zh_CN.UTF-8 '$root/usr/bin/zentrova-cli' frob 2>&1 | grep -q '未知命令'"
report
