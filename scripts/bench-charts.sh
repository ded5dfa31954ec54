#!/usr/bin/env bash
# The performance record's figures: runs the benchmarks into docs/performance/bench.json, then
# draws docs/performance/*.svg from that JSON with gnuplot. Every figure is a ratio to a baseline
# measured in the same run, so that the charts compare like with like on any machine.
#   scripts/bench-charts.sh            run the benchmarks, then draw
#   scripts/bench-charts.sh --draw     draw from the committed JSON only
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${BARTERBOX_BUILD_DIR:-$repo/build}"
out="$repo/docs/performance"
mkdir -p "$out"

if [[ ${1:-} != --draw ]]; then
  cmake --preset release -B "$build" >/dev/null
  cmake --build "$build" -j "$(nproc)" --target barterbox-bench
  "$build/bin/barterbox-bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_format=console --benchmark_out_format=json --benchmark_out="$out/bench.json"
fi

scratch="$(mktemp -d /tmp/barterbox-charts-XXXXXX)"
trap 'rm -rf "$scratch"' EXIT

# The ratios, from the medians of the repetitions, in processor time: a busy machine stretches
# wall-clock times unevenly.
/usr/bin/python3 - "$out/bench.json" "$scratch" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
median = {r["run_name"]: r["cpu_time"] for r in runs if r.get("aggregate_name") == "median"}
if not median:
    median = {r["name"]: r["cpu_time"] for r in runs}
def ratio(name, base):
    return median[name] / median[base]
with open(sys.argv[2] + "/exchange.dat", "w") as out:
    for slots in (30, 300, 3000):
        out.write('"%d slots" %.3f\n' % (slots, ratio("BM_ExecuteExchange/%d" % slots,
                                                     "BM_ExecuteExchange/30")))
with open(sys.argv[2] + "/config.dat", "w") as out:
    out.write('"LoadConfig" %.3f\n' % ratio("Load_LoadConfig", "Load_LibraryParsesTheFileFromAStream"))
    out.write('"SaveConfig, one change" %.3f\n' % ratio("Save_SaveConfig", "Save_LibraryDumpsAndWrites"))
    out.write('"first save after a load" %.3f\n' % ratio("Save_FirstSaveAfterALoad", "Save_LibraryDumpsAndWrites"))
PY

draw() { # NAME TITLE YLABEL
  gnuplot <<GP
set terminal svg size 640,360 dynamic font "sans,12"
set output "$out/$1.svg"
set title "$2"
set ylabel "$3"
set style fill solid 0.6 border -1
set boxwidth 0.6
set yrange [0:*]
set grid ytics
unset key
plot "$scratch/$1.dat" using 0:2:xtic(1) with boxes lc rgb "#3a7bd5", \
     "" using 0:2:(sprintf("%.2f", \$2)) with labels offset 0,0.8
GP
}
draw exchange "One exchange (three Give entries) against inventory size" "time / time at 30 slots"
draw config "config.json of 10,000 exchanges against the JSON library alone" "time / the library's own parse or dump+write"
echo "wrote $out/exchange.svg and $out/config.svg"
