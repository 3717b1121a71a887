#!/usr/bin/env bash
# xls-vs-xlwt.sh [ROWS [PAIRS]]: writes the workbook benchmark sheet (default 65,535 rows x 10 columns)
# with this project's writer and with python3-xlwt, PAIRS times each (default 5, the two taking turns),
# and prints for each the median whole-process time, the median writer's own time (data already
# built), the peak memory and the file size, how many times faster this writer is, and the load
# average of the machine meanwhile.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
rows="${1:-65535}"
pairs="${2:-5}"
build="$root/build/bench"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORMELIAN_TESTS=OFF -DCORMELIAN_BENCH=ON
fi
cmake --build "$build" --target xls_write_sheet
ours="$(find "$build/bench" -type f -name xls_write_sheet | head -1)"
export QT_QPA_PLATFORM=offscreen
# Debian's interpreter, which python3-xlwt installs into.
python=/usr/bin/python3
[[ -x "$python" ]] || python=python3
exec "$python" - "$ours" "$rows" "$pairs" <<'PY'
import os, statistics, subprocess, sys, tempfile, time

ours, rows, pairs = sys.argv[1], int(sys.argv[2]), max(1, int(sys.argv[3]))
out = tempfile.mkdtemp(prefix='xls_vs_xlwt_')

# The same sheet as the benchmark's data set: a caption row, then three texts with every other row
# repeating an earlier one, three integers, two floats, a date and a date-time.
PEER = r'''
import datetime, sys, time, xlwt
rows = int(sys.argv[2])
data = []
for i in range(rows):
    text = i if i % 2 == 0 else i // 2
    day, month, hour, minute = 1 + i % 28, 1 + i % 12, i % 24, i % 60
    data.append(('host%d.example.org' % text, 'zone%d.org' % text, 'comment number %d' % text,
                 i, i % 1000, 2024000000 + i, i + 0.25, i % 977 + 0.5,
                 datetime.date(2024, month, day), datetime.datetime(2024, month, day, hour, minute)))
start = time.perf_counter()
book = xlwt.Workbook()
sheet = book.add_sheet('Sheet 1')
date = xlwt.easyxf(num_format_str='m/d/yyyy')
stamp = xlwt.easyxf(num_format_str='m/d/yyyy h:mm:ss')
bold = xlwt.easyxf('font: bold on')
for c, name in enumerate(('Host', 'Zone', 'Comment', 'Id', 'Count', 'Serial', 'Weight', 'Ratio', 'Day', 'Stamp')):
    sheet.write(0, c, name, bold)
for r, row in enumerate(data, 1):
    write = sheet.row(r).write
    for c in range(8):
        write(c, row[c])
    write(8, row[8], date)
    write(9, row[9], stamp)
book.save(sys.argv[1])
print('writer %.3f s' % (time.perf_counter() - start))
'''

def run(command):
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    output = process.stdout.read()
    if status != 0:
        sys.exit('%s failed' % command[0])
    writer = float(output.split()[1])
    return wall, writer, usage.ru_maxrss / 1024.0

ours_file, peer_file = os.path.join(out, 'ours.xls'), os.path.join(out, 'xlwt.xls')
commands = {'this writer': ([ours, ours_file, str(rows)], ours_file),
            'python3-xlwt': ([sys.executable, '-c', PEER, peer_file, str(rows)], peer_file)}
runs = {name: [] for name in commands}
load_before = os.getloadavg()[0]
for _ in range(pairs):
    for name, (command, _) in commands.items():
        runs[name].append(run(command))
load_after = os.getloadavg()[0]
results = {}
for name, (_, path) in commands.items():
    results[name] = (statistics.median(r[0] for r in runs[name]), statistics.median(r[1] for r in runs[name]),
                     max(r[2] for r in runs[name]), os.path.getsize(path))
print('%d rows x 10 columns, medians of %d pairs, load average %.1f before and %.1f after'
      % (rows, pairs, load_before, load_after))
print('%-14s %10s %10s %12s %12s' % ('', 'process s', 'writer s', 'peak MiB', 'file MB'))
for name, (wall, writer, peak, size) in results.items():
    print('%-14s %10.3f %10.3f %12.1f %12.2f' % (name, wall, writer, peak, size / 1e6))
a, b = results['this writer'], results['python3-xlwt']
print('this writer is %.1fx as fast as xlwt (whole process), %.1fx (writer alone)' % (b[0] / a[0], b[1] / a[1]))
print('ratio (this / xlwt): peak memory %.2f, file size %.3f' % (a[2] / b[2], a[3] / b[3]))
for f in (ours_file, peer_file):
    os.remove(f)
os.rmdir(out)
PY
