#!/usr/bin/env bash
# Runs inet_download_bench under Wine against the loopback test server and times curl on the
# same download into a temporary file, as what the platform costs.
# Usage: tests/bench/inet_download_bench.sh [megabytes] [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export FH_BUILD=${FH_BUILD:-$root/build}
megabytes=${1:-100}
rounds=${2:-5}
"$root/scripts/build.sh" >/dev/null
. "$root/scripts/wine-env.sh"
fh_wine_start "$FH_BUILD" private
. "$root/scripts/http-test-server.sh"
trap 'fh_http_server_stop; fh_wine_stop' EXIT
fh_http_server_start "$FH_BUILD"
"$root/scripts/wine-exec" "$FH_BUILD/bench/inet_download_bench.exe" "$megabytes" "$rounds"
url="http://127.0.0.1:$FH_HTTP_TEST_PORT/bytes/$((megabytes * 1024 * 1024))"
out=$(mktemp)
times=()
for _ in $(seq 1 "$rounds"); do
    times+=("$(curl -s --noproxy '*' -o "$out" -w '%{time_total}' "$url")")
done
rm -f "$out"
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
echo "  curl (Linux, same download into a file): ${median} s median of ${rounds}"
