#!/usr/bin/env bash
# Fuzzes the parsers that read what other programs wrote: the bookmark
# readers (Netscape's file, Chromium's JSON, Firefox's compressed backups and
# their LZ4 decoder, the latter also against the host's liblz4) and the walks
# over NT's performance data. Each is built natively
# with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer against a
# small stand-in for the Win32 names it uses (tests/fuzz/shim), seeded from
# the unit tests' fixtures, and run for FUZZ_RUNS executions (1,000,000).
#
#   scripts/fuzz.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build}/fuzz
runs=${FUZZ_RUNS:-1000000}

need=()
for p in clang libclang-rt-14-dev python3 rapidjson-dev liblz4-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
fi

mkdir -p "$out"
flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I tests/fuzz/shim -I src -I src/resources)
clang++ "${flags[@]}" -o "$out/bookmark_file_fuzz" tests/fuzz/bookmark_file_fuzz.cpp \
  src/setup/bookmark_file.cpp src/launch/action_kind.cpp tests/fuzz/shim/shim.cpp
clang++ "${flags[@]}" -o "$out/performance_data_fuzz" tests/fuzz/performance_data_fuzz.cpp \
  src/launch/performance_data.cpp
# RapidJSON's internal checks trap here, where the product leaves them out.
json=(src/setup/bookmark_json.cpp src/setup/mozlz4.cpp src/setup/bookmark_file.cpp src/launch/action_kind.cpp
      tests/fuzz/shim/shim.cpp -fsanitize-ignorelist=tests/fuzz/ubsan-ignore.txt
      "-DRAPIDJSON_ASSERT(x)=((x) ? (void)0 : __builtin_trap())")
clang++ "${flags[@]}" -o "$out/bookmark_json_fuzz" tests/fuzz/bookmark_json_fuzz.cpp "${json[@]}"
clang++ "${flags[@]}" -o "$out/firefox_backup_fuzz" tests/fuzz/firefox_backup_fuzz.cpp "${json[@]}"
clang++ "${flags[@]}" -o "$out/mozlz4_fuzz" tests/fuzz/mozlz4_fuzz.cpp src/setup/mozlz4.cpp -llz4

# Seeds: every bookmark file the unit tests parse (their C string literals;
# the JSON ones also as backups, one LZ4 block of literals), and a
# well-formed performance data block with two processes.
rm -rf "$out/seeds" && mkdir -p "$out/seeds/"{bookmark_file,bookmark_json,firefox_backup,mozlz4,performance_data}
python3 - "$out/seeds" <<'PY'
import re, struct, sys, pathlib
seeds = pathlib.Path(sys.argv[1])
source = "".join(pathlib.Path(f"tests/unit/{name}_test.cpp").read_text(encoding="latin-1")
                 for name in ("bookmark_file", "bookmark_json"))
literal = r'"(?:[^"\\\n]|\\.)*"'
def lz4_literals(data):
    token, rest = (0xF0, len(data) - 15) if len(data) >= 15 else (len(data) << 4, -1)
    length = b""
    while rest >= 0:
        length += bytes([min(rest, 255)])
        rest = rest - 255 if rest >= 255 else -1
    return b"mozLz40\0" + struct.pack("<I", len(data)) + bytes([token]) + length + data
for n, run in enumerate(re.findall(r'(?:%s\s*)+' % literal, source)):
    text = "".join(m[1:-1] for m in re.findall(literal, run))
    data = re.sub(rb'\\(x[0-9a-fA-F]{1,2}|[0-7]{1,3}|.)',
                  lambda m: bytes([int(m[1][1:], 16)]) if m[1][:1] == b'x' else
                            bytes([int(m[1], 8)]) if m[1][:1].isdigit() else
                            {b'n': b'\n', b'r': b'\r', b't': b'\t'}.get(m[1], m[1]),
                  text.encode("latin-1"))
    if b"<DL" in data.upper() or b"<A HREF" in data.upper():
        (seeds / "bookmark_file" / f"unit-{n}.htm").write_bytes(data)
    if data.lstrip()[:1] == b"{":
        (seeds / "bookmark_json" / f"unit-{n}.json").write_bytes(data)
        (seeds / "firefox_backup" / f"unit-{n}.jsonlz4").write_bytes(lz4_literals(data))
        (seeds / "mozlz4" / f"unit-{n}.jsonlz4").write_bytes(lz4_literals(data))

def instance(name, pid):
    wide = (name + "\0").encode("utf-16-le")
    head = struct.pack("<6I", 24 + len(wide), 0, 0, 0xFFFFFFFF, 24, len(wide))
    return head + wide + struct.pack("<2I", 8, pid)
counter = struct.pack("<5IiIIII", 40, 784, 0, 0, 0, 0, 0, 0x10000, 4, 4)
instances = instance("springdeck", 1234) + instance("_Total", 0)
object_length = 64 + len(counter)
obj = struct.pack("<9Iii I qq", object_length + len(instances), object_length, 64, 230, 0, 0, 0, 100, 1, 0, 2, 0, 0, 0)
# PERF_DATA_BLOCK: signature, six counts, default object, SYSTEMTIME, padding
# to 8 bytes, three LARGE_INTEGERs, system name length and offset (88 bytes).
block = b"P\0E\0R\0F\0" + struct.pack("<6Ii", 1, 1, 1, 0, 88, 1, -1) + b"\0" * (16 + 4 + 24) + struct.pack("<2I", 0, 0)
data = struct.pack("<2I", 784, 1234) + block + obj + counter + instances
(seeds / "performance_data" / "two-processes.bin").write_bytes(data)
PY

for name in ${FUZZ_ONLY:-bookmark_file performance_data bookmark_json firefox_backup mozlz4}; do
  mkdir -p "$out/corpus/$name"
  echo "== $name: $runs executions"
  "$out/${name}_fuzz" -runs="$runs" -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$out/$name-" "$out/corpus/$name" "$out/seeds/$name" 2>&1 |
    grep -E '^(INFO: Seed|#[0-9]+[[:space:]]+INITED|#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|Done)' || true
  ls "$out/$name-"* >/dev/null 2>&1 && { echo "fuzz: $name found a fault: $(ls "$out/$name-"*)" >&2; exit 1; }
done
echo "fuzz: no findings"
