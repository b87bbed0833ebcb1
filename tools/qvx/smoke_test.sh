#!/bin/sh
# Runs the qvx tool over the fuzzer's seed files: every seed checks, describes, dumps and
# converts; a damaged file fails with exit 1 and a reason; bad usage exits with 2.
# Usage: smoke_test.sh QVX SEED_GENERATOR WORK_FOLDER
set -u
qvx=$1
seeds=$2
work=$3
rm -rf "$work" && mkdir -p "$work/in" "$work/out" || exit 1
"$seeds" "$work/in" > /dev/null || exit 1
fail() { echo "FAIL: $*"; exit 1; }

"$qvx" check "$work"/in/*.qvx > "$work/check.txt" || fail "check of the seeds: $(grep -v ': ok$' "$work/check.txt")"
"$qvx" info "$work"/in/*.qvx > /dev/null || fail "info of the seeds"
for f in "$work"/in/*.qvx; do
    name=$(basename "$f")
    "$qvx" convert "$f" "$work/out/$name" || fail "convert $name"
    "$qvx" convert --v9 --no-uvsets --no-lights "$f" "$work/out/v9_$name" || fail "convert --v9 $name"
done
"$qvx" check "$work"/out/*.qvx > /dev/null || fail "check of the converted files"
"$qvx" dump --raw "$work/in/v31_f2.qvx" --output "$work/dump.json" || fail "dump"
grep -q '"fileVersion": 31' "$work/dump.json" || fail "dump content"

# Embedded textures land beside the converted file, where it will look for them.
[ -f "$work/out/tex.png" ] || fail "embedded texture beside the converted file"
[ ! -e "$work/in/tex.png" ] || fail "embedded texture written beside the input"
# The JSON never replaces the file it describes.
cp "$work/in/v31_f2.qvx" "$work/self.qvx"
"$qvx" dump "$work/self.qvx" --output "$work/self.qvx" 2> /dev/null
[ $? -eq 1 ] || fail "dump over its own input must fail"
cmp -s "$work/in/v31_f2.qvx" "$work/self.qvx" || fail "dump changed its input"
# A FIFO that nobody writes is refused at once rather than waited on.
mkfifo "$work/pipe.qvx" || fail "mkfifo"
"$qvx" check "$work/pipe.qvx" > "$work/pipe.txt"
[ $? -eq 1 ] || fail "a FIFO must fail the check"
grep -q "not a regular file" "$work/pipe.txt" || fail "reason for a FIFO: $(cat "$work/pipe.txt")"
printf 'random bytes, not a scene at all' > "$work/noise.bin"
"$qvx" info "$work/noise.bin" 2> /dev/null | grep -q 'not a ".qvx" file' || fail "info of random bytes"

head -c 300 "$work/in/v31_f2.qvx" > "$work/cut.qvx"
"$qvx" check "$work/cut.qvx" > "$work/cut.txt"
[ $? -eq 1 ] || fail "a damaged file must exit 1"
grep -q "QVX_RESULT_BAD_SIZE: header at byte 12" "$work/cut.txt" || fail "reason of a damaged file: $(cat "$work/cut.txt")"
"$qvx" convert > /dev/null 2>&1
[ $? -eq 2 ] || fail "usage errors must exit 2"
echo "ok"
