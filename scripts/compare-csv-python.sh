#!/usr/bin/env bash
# compare-csv-python.sh [ROUNDS] [ROWS]: writes the export benchmark's rows (default 100,000 x 10) as CSV
# with this project's exporter (bench/export's csv_write_table), with Python's csv module (the same values
# built and formatted in Python, the same bytes written) and with `sqlite3 -csv` (a dump of a table that
# holds the same texts), each as a whole process. The three run in turn, ROUNDS times (default 11), and the
# medians and their ratios are printed with the load average. Then the peak memory of the RTF export is
# compared with the CSV export's.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
rounds="${1:-11}"
rows="${2:-100000}"
build="$root/build/bench"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORMELIAN_TESTS=OFF -DCORMELIAN_BENCH=ON
fi
cmake --build "$build" --target csv_write_table export_bench >/dev/null
command -v sqlite3 >/dev/null || { echo "sqlite3 is missing (scripts/packages.txt)" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
python=/usr/bin/python3
[[ -x "$python" ]] || python=python3
exec "$python" - "$build/bench/export" "$rounds" "$rows" <<'PY'
import csv, os, statistics, subprocess, sys, tempfile, time

bench_dir, rounds, rows = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
out = tempfile.mkdtemp(prefix='csv_compare_')
ours_file, python_file, sqlite_file = (os.path.join(out, name) for name in ('ours.csv', 'python.csv', 'sqlite.csv'))
database = os.path.join(out, 'table.db')

# The rows of bench/export/ExportBenchData.cpp as Python values, formatted as the exporter formats them
# by default (integers and floats grouped, currency "$", dates M/d/yyyy, times h:mm AM/PM), written by
# csv.writer quoting every field.
PEER = r'''
import csv, datetime, sys
rows = int(sys.argv[2])
last = ("Meyer", "O'Brien", "Nakamura", "Smith", "García", "Novak", "Dubois", "Kowalski")
first = ("Ann", "Bo", "Chris", "Dana", "Eli", "Fay", "Gus", "Hal")
cities = ("Zürich", "São Paulo", "Kraków", "Besançon", "Malmö", "Reykjavík", "Łódź", "Córdoba", "Genève",
          "Århus", "Düsseldorf", "Tromsø")
start = datetime.datetime(2024, 1, 1)
data = []
for i in range(rows):
    price = (i * 13 % 1000000) + (i * 37 % 100) / 100
    data.append((i + 1, '%s, "%s" %d' % (last[i % 8], first[i // 8 % 8], i), cities[i % 12],
                 i * 7919 % 2000001 - 1000000, -price if i % 10 == 3 else price, i % 50000 + (i % 100) / 100,
                 datetime.date(2020 + i % 5, 1 + i % 12, 1 + i % 28), datetime.time(i % 24, i * 7 % 60, i % 60),
                 start + datetime.timedelta(seconds=97 * i), i % 2 == 1))

def clock(t):
    return '%d:%02d %s' % (t.hour % 12 or 12, t.minute, 'AM' if t.hour < 12 else 'PM')

def day(d):
    return '%d/%d/%d' % (d.month, d.day, d.year)

with open(sys.argv[1], 'w', newline='', encoding='utf-8') as f:
    writer = csv.writer(f, quoting=csv.QUOTE_ALL, lineterminator='\r\n')
    writer.writerow(('Id', 'Name', 'City', 'Count', 'Price', 'Amount', 'Day', 'At', 'Stamp', 'Flag'))
    writer.writerows((format(r[0], ','), r[1], r[2], format(r[3], ','), format(r[4], ',.2f'),
                      '$' + format(r[5], ',.2f'), day(r[6]), clock(r[7]), day(r[8]) + ' ' + clock(r[8]),
                      'true' if r[9] else 'false') for r in data)
'''

commands = {
    'this exporter': [os.path.join(bench_dir, 'csv_write_table'), ours_file, str(rows)],
    'Python csv': [sys.executable, '-c', PEER, python_file, str(rows)],
    'sqlite3 -csv': ['sh', '-c', 'exec sqlite3 -csv -header "$1" "SELECT * FROM t" > "$2"', 'sh', database,
                     sqlite_file],
}

def run(command):
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        sys.exit('%s failed' % command[0])
    return time.perf_counter() - start, usage.ru_maxrss / 1024.0

# The table of the sqlite3 dump holds the texts this exporter writes (built once, not timed).
run(commands['this exporter'])
subprocess.run(['sqlite3', database, '.import --csv %s t' % ours_file], check=True)

load_before = os.getloadavg()
times = {name: [] for name in commands}
peaks = {name: 0.0 for name in commands}
names = list(commands)
for r in range(rounds):
    # Each round starts with another program, so that none always runs first.
    for name in names[r % 3:] + names[:r % 3]:
        wall, peak = run(commands[name])
        times[name].append(wall)
        peaks[name] = max(peaks[name], peak)
load_after = os.getloadavg()

with open(ours_file, 'rb') as a, open(python_file, 'rb') as b:
    identical = a.read() == b.read()
with open(ours_file, newline='', encoding='utf-8') as a, open(sqlite_file, newline='', encoding='utf-8') as b:
    same_rows = list(csv.reader(a)) == list(csv.reader(b))

print('CSV, %d rows x 10 columns, whole processes, median of %d rounds' % (rows, rounds))
print('load average %.2f %.2f %.2f before, %.2f %.2f %.2f after, %d cores'
      % (load_before + load_after + (os.cpu_count(),)))
print('%-14s %10s %10s %10s %10s' % ('', 'median s', 'min s', 'peak MiB', 'file MB'))
files = {'this exporter': ours_file, 'Python csv': python_file, 'sqlite3 -csv': sqlite_file}
for name in commands:
    print('%-14s %10.3f %10.3f %10.1f %10.2f' % (name, statistics.median(times[name]), min(times[name]),
                                                 peaks[name], os.path.getsize(files[name]) / 1e6))
ours = statistics.median(times['this exporter'])
python_ratio = statistics.median(times['Python csv']) / ours
sqlite_ratio = statistics.median(times['sqlite3 -csv']) / ours
print('ratio Python csv / this exporter %.2f (goal at least 2), sqlite3 -csv / this exporter %.2f (goal at least 1)'
      % (python_ratio, sqlite_ratio))
print('Python file byte-identical: %s; sqlite3 dump the same rows (its own quoting): %s'
      % ('yes' if identical else 'NO', 'yes' if same_rows else 'NO'))
for name in files.values():
    os.remove(name)
os.remove(database)
os.rmdir(out)

# The peak memory of the RTF export next to the CSV export's, one in-process run each.
def peak_kib(name):
    code = ('import resource, subprocess, sys\n'
            'subprocess.run(sys.argv[1:], check=True, capture_output=True)\n'
            'print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)')
    bench = os.path.join(bench_dir, 'export_bench')
    result = subprocess.run([sys.executable, '-c', code, bench, '--benchmark_filter=^Export/%s/' % name,
                             '--benchmark_min_time=0'], check=True, capture_output=True, text=True).stdout
    return int(result.strip())

csv_peak, rtf_peak = peak_kib('CSV'), peak_kib('RTF')
print('Peak memory: CSV export %.1f MiB, RTF export %.1f MiB, difference %.1f MiB'
      % (csv_peak / 1024, rtf_peak / 1024, (rtf_peak - csv_peak) / 1024))
sys.exit(0 if identical and same_rows else 1)
PY
