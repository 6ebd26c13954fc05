#!/usr/bin/env bash
# Kills a real `tervan-tool import-jv` at random moments and resumes it,
# and compares the result with a clean import of the same feed.
#
#   scripts/crash-import.sh [BUILD_DIR] [ROUNDS] [DAYS]
#
# BUILD_DIR holds bin/tervan-tool (default: build); ROUNDS kill-and-resume
# rounds (default 20); DAYS race days of the sample feed (default 10).
# Each round imports into a fresh base folder, kills the import (SIGKILL)
# after a random part of a clean import's time, checks that every stored
# file is whole (consecutive fixed-size records, each ending in CR LF), kills
# once more at random in the resumed import when the dice say so, then lets
# the import run to its end and compares every stored file with the clean
# import's. Prints one line a round and the totals; exits 1 when any round
# found a broken file or a difference.
set -u

build=${1:-build}
rounds=${2:-20}
days=${3:-10}
tool="$build/bin/tervan-tool"
[ -x "$tool" ] || { echo "no $tool" >&2; exit 2; }

work=$(mktemp -d /tmp/tervan-crash-XXXXXX)
trap 'rm -rf "$work"' EXIT
feed="$work/feed"
args=(--now 20060529200000 --from 20060520000000)

"$tool" make-sample-feed "$feed" --seed 11 --today 20060529 --days "$days" >/dev/null || exit 2

# Every stored file with its checksum, by path below the base folder.
fingerprint() {
    (cd "$1" && find DATA SEI SEIR -type f ! -name '*.tmp~' -print0 | sort -z | xargs -0 -r sha256sum)
}

# Every stored file consecutive whole records of its kind's size.
check_whole() {
    python3 - "$1" <<'EOF'
import os, sys
sizes = {'.jvRA': 1272, '.jvSEr': 555, '.jvHR': 719, '.jvSERA': 1272, '.jvSEI': 555}
bad = 0
for top in ('DATA', 'SEI', 'SEIR'):
    for root, _, files in os.walk(os.path.join(sys.argv[1], top)):
        for name in files:
            ext = os.path.splitext(name)[1]
            if ext not in sizes:
                continue
            data = open(os.path.join(root, name), 'rb').read()
            n = sizes[ext]
            whole = len(data) % n == 0 and len(data) > 0 and all(
                data[i + n - 2:i + n] == b'\r\n' for i in range(0, len(data), n))
            if ext == '.jvSEr':
                whole = whole and len(data) == 216 * n
            if not whole:
                print('  broken:', os.path.join(root, name), len(data))
                bad += 1
print(bad)
EOF
}

start=$(date +%s.%N)
"$tool" import-jv "$work/clean" "$feed" "${args[@]}" >/dev/null || exit 2
clean_time=$(echo "$(date +%s.%N) - $start" | bc)
fingerprint "$work/clean" > "$work/clean.sum"
echo "clean import: ${clean_time}s, $(wc -l < "$work/clean.sum") stored files"

# Starts an import and kills it after `delay` seconds; prints whether the
# kill came before the import ended.
kill_after() {
    local base=$1 delay=$2
    "$tool" import-jv "$base" "$feed" "${args[@]}" >/dev/null 2>&1 &
    local pid=$!
    sleep "$delay"
    if kill -KILL "$pid" 2>/dev/null; then
        wait "$pid" 2>/dev/null
        echo killed
    else
        wait "$pid" 2>/dev/null
        echo finished
    fi
}

failures=0
killed=0
for ((round = 1; round <= rounds; ++round)); do
    base="$work/base$round"
    delay=$(python3 -c "import random; print(round(random.uniform(0.02, 1.0) * $clean_time, 3))")
    what=$(kill_after "$base" "$delay")
    [ "$what" = killed ] && killed=$((killed + 1))
    broken=$(check_whole "$base" | tail -1)
    temps=$(find "$base" -name '*.tmp~' | wc -l)
    second=""
    if [ $((RANDOM % 2)) -eq 0 ]; then
        delay2=$(python3 -c "import random; print(round(random.uniform(0.02, 1.0) * $clean_time, 3))")
        what2=$(kill_after "$base" "$delay2")
        [ "$what2" = killed ] && killed=$((killed + 1))
        broken=$((broken + $(check_whole "$base" | tail -1)))
        second=", then $what2 after ${delay2}s"
    fi
    "$tool" import-jv "$base" "$feed" "${args[@]}" >/dev/null 2>&1
    fingerprint "$base" > "$work/round.sum"
    left=$(find "$base" -name '*.tmp~' | wc -l)
    if cmp -s "$work/clean.sum" "$work/round.sum" && [ "$broken" -eq 0 ]; then
        result=same
    else
        result=DIFFERENT
        failures=$((failures + 1))
    fi
    echo "round $round: $what after ${delay}s$second; broken files $broken, temporaries $temps (left after resume $left); resumed: $result"
    rm -rf "$base"
done
echo "rounds $rounds, kills $killed, rounds with a broken file or a difference: $failures"
[ "$failures" -eq 0 ]
