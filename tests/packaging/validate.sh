#!/usr/bin/env bash
# Runs a validator on a file and passes only when it reports neither an error nor a warning.
#   validate.sh lintian|appstream|desktop FILE
set -u
kind=$1 file=$2
[[ -f $file ]] || { echo "FAIL: no file $file"; exit 1; }
case $kind in
  lintian) report=$(lintian --fail-on error,warning "$file" 2>&1) ;;
  appstream) report=$(appstreamcli validate --no-net "$file" 2>&1) ;;
  desktop) report=$(desktop-file-validate "$file" 2>&1) ;;
  *) echo "unknown validator $kind"; exit 2 ;;
esac
status=$?
echo "$report"
# Each tool marks its findings by kind: lintian and appstreamcli with "E:"/"W:", and
# desktop-file-validate with "error:"/"warning:" (its hints are neither).
if ((status != 0)) || grep -qE '^[EW]: |: (error|warning): ' <<<"$report"; then
  echo "FAIL: $kind reports problems in $file"
  exit 1
fi
echo "$kind: $file is clean"
