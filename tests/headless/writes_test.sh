#!/bin/sh
# What clipdraw-render's writes do to the paths they are given: a regular file is replaced only by
# a whole new file, with its mode; a failed write leaves it byte for byte; a pipe or a device is
# written in place and stays what it was; a link stays a link. Everything happens in the scratch
# folder given, made afresh.
# Usage: writes_test.sh CLIPDRAW_RENDER EXAMPLES_FOLDER SCRATCH_FOLDER
set -u
render=$1
cd "$2" || exit 1
scratch=$3
rm -rf "$scratch" && mkdir -p "$scratch" || exit 1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
is_png() {
    [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]
}
leftovers() {
    ls -A "$scratch" | grep -v -x -e old.png -e new.png -e pipe -e link.png -e got
}

printf 'what was here\n' >"$scratch/old.png"
chmod 640 "$scratch/old.png"
# A file size limit makes the write fail part way; without the signal's default the write reports
# it instead of ending the process.
message=$( (trap '' XFSZ; ulimit -f 1; "$render" --out "$scratch/old.png") 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] || fail "a failed write exits $status, not 1"
[ "$(cat "$scratch/old.png")" = "what was here" ] || fail "a failed write changed the file it was to replace"
[ "$(stat -c %a "$scratch/old.png")" = 640 ] || fail "a failed write changed the file's mode"
case $message in
*"cannot write $scratch/old.png"*"left as it was"*) ;;
*) fail "a failed write says: $message" ;;
esac
[ -z "$(leftovers)" ] || fail "a failed write left $(leftovers)"

"$render" --out "$scratch/old.png" >/dev/null || fail "a write over a file fails"
is_png "$scratch/old.png" || fail "a write over a file does not leave a PNG there"
[ "$(stat -c %a "$scratch/old.png")" = 640 ] || fail "a write over a file does not keep its mode"

(umask 027; "$render" --out "$scratch/new.png" >/dev/null) || fail "a write of a new file fails"
[ "$(stat -c %a "$scratch/new.png")" = 640 ] || fail "a new file's mode is not the umask's"

# With no standard input, as under CI, the temporary file may get descriptor 0.
rm "$scratch/new.png"
"$render" --out "$scratch/new.png" >/dev/null <&- || fail "a write with standard input closed fails"
is_png "$scratch/new.png" || fail "a write with standard input closed leaves no PNG"

ln -s old.png "$scratch/link.png"
rm "$scratch/old.png"
printf 'linked\n' >"$scratch/old.png"
"$render" --out "$scratch/link.png" >/dev/null || fail "a write through a link fails"
[ -L "$scratch/link.png" ] || fail "a write through a link replaced the link"
is_png "$scratch/old.png" || fail "a write through a link did not replace the file it names"

mkfifo "$scratch/pipe"
cat "$scratch/pipe" >"$scratch/got" &
"$render" --out "$scratch/pipe" >/dev/null || fail "a write to a pipe fails"
wait
[ -p "$scratch/pipe" ] || fail "a write to a pipe left no pipe"
is_png "$scratch/got" || fail "a write to a pipe did not send a PNG through it"

"$render" --out /dev/stdout 2>/dev/null | head -c 8 >"$scratch/got"
is_png "$scratch/got" || fail "a write to /dev/stdout through a pipe did not send a PNG"

[ -z "$(leftovers)" ] || fail "the writes left $(leftovers)"
if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "every write left its path as it should"
