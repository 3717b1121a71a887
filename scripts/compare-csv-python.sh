#!/usr/bin/env bash
# Times the CSV export of bench/export against Python's csv.writer on the same 100,000 x 10 rows in one
# run and prints the ratio; then compares the peak memory of the RTF export with the CSV export's.
# Usage: scripts/compare-csv-python.sh [build-dir]   (default: an optimised build in build/bench)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/bench}"
if [[ ! -x "$build/bench/export/export_bench" ]]; then
    "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DCORMELIAN_TESTS=OFF -DCORMELIAN_BENCH=ON
fi
bench="$build/bench/export/export_bench"
export QT_QPA_PLATFORM=offscreen

python3 - "$bench" <<'PY'
import csv, json, os, resource, subprocess, sys, tempfile, time

bench = sys.argv[1]

# The rows of bench/export/ExportBench.cpp, built first and not timed.
rows = [["Name", "City", "Note", "Count", "Serial", "Price", "Amount", "Ratio", "Day", "Flag"]]
for i in range(100000):
    rows.append(["name%d" % i, "city%d" % (i % 100), 'note, "quoted" %d' % i, str(i), str(9000000000000 + i),
                 "%d.25" % i, "%d.5" % (i % 1000), "0.%d" % (i % 97), "%d/%d/2024" % (i % 12 + 1, i % 28 + 1),
                 "true" if i % 2 else "false"])

def python_csv_seconds(repeats=5):
    best = None
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "out.csv")
        for _ in range(repeats):
            start = time.perf_counter()
            with open(path, "w", newline="", encoding="utf-8") as out:
                csv.writer(out, quoting=csv.QUOTE_ALL).writerows(rows)
            elapsed = time.perf_counter() - start
            best = elapsed if best is None else min(best, elapsed)
    return best

def bench_seconds(name):
    out = subprocess.run([bench, "--benchmark_filter=^Export/%s/" % name, "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    runs = json.loads(out)["benchmarks"]
    return min(run["real_time"] for run in runs) / 1000.0  # milliseconds

def peak_kib(name):
    code = ("import resource, subprocess, sys\n"
            "subprocess.run(sys.argv[1:], check=True, capture_output=True)\n"
            "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    out = subprocess.run([sys.executable, "-c", code, bench, "--benchmark_filter=^Export/%s/" % name,
                          "--benchmark_min_time=0"], check=True, capture_output=True, text=True).stdout
    return int(out.strip())

ours = bench_seconds("CSV")
peer = python_csv_seconds()
print("CSV, 100,000 x 10: ours %.3f s, Python csv.writer %.3f s, ratio (Python / ours) %.2f" % (ours, peer, peer / ours))
csv_peak, rtf_peak = peak_kib("CSV"), peak_kib("RTF")
print("Peak memory: CSV export %.1f MiB, RTF export %.1f MiB, difference %.1f MiB"
      % (csv_peak / 1024, rtf_peak / 1024, (rtf_peak - csv_peak) / 1024))
PY
