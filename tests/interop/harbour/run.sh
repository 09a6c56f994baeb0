#!/usr/bin/env bash
# Shared-use cross-check against Harbour's DBFCDX (not part of CI). Each run goes through five
# cases: a table with a structural CDX and a memo, and one without any index, both made by us;
# a table with tags made by Harbour (hcreate.prg); on each WRITERS Harbour writers (hwrite.prg)
# and WRITERS of ours (xcheck write) work at the same time. Then a table with tags that only
# Harbour makes and writes, and one that only we make and write. Every table is then checked
# by our checker (xcheck check) and by Harbour's (hcheck.prg). Last, tables whose tags Harbour
# made on keys of varying length (hvary.prg, SET CENTURY on and off) are opened by us under either
# date format and their tags compared with a scan (xcheck keys).
#
#   run.sh [RUNS=3] [WRITERS=2] [OPS=3000] [RECORDS=500]
# Needs Harbour's hbmk2 on PATH (or HBMK2=...) and our harbour_xcheck (xcheck.cpp), built with
# -DBUILD_HARBOUR_INTEROP=ON (XCHECK=... when not in build/ of this repository).
# STRACE_DIR=dir runs every writer under strace -f -e trace=openat,fcntl,flock, one log per writer.
# HB_LOCKSCHEME=n sets Harbour's SET DBFLOCKSCHEME (0: the driver's default).
# KEEP_DIR=dir keeps the files of every failed case there.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
runs=${1:-3} writers=${2:-2} ops=${3:-3000} records=${4:-500}
xcheck=${XCHECK:-$here/../../../build/tests/interop/harbour/harbour_xcheck}
hbmk2=${HBMK2:-hbmk2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for prg in hcreate hwrite hcheck hvary; do
  (cd "$work" && "$hbmk2" -gtcgi -q -w3 "$here/$prg.prg" -o"$work/$prg" >/dev/null)
done

failed=0 cases=0
for run in $(seq 1 "$runs"); do
  # case: maker, tags (1/0), sides that write
  for case in mixed-tags:C:1:HC mixed-plain:C:0:HC mixed-hbtable:H:1:HC harbour-only:H:1:H ours-only:C:1:C; do
    IFS=: read -r kind maker tags sides <<<"$case"
    cases=$((cases + 1))
    dir="$work/$run-$kind"
    mkdir -p "$dir"
    table="$dir/shared.dbf"
    if [ "$maker" = H ]; then
      (cd "$dir" && "$work/hcreate" "$table" "$records" "$tags")
    else
      "$xcheck" create "$table" "$records" "$tags"
    fi
    pids=() names=()
    for w in $(seq 1 "$writers"); do
      for side in $(echo "$sides" | grep -o .); do
        name="$side$w"
        cmd=("$work/hwrite" "$table" "$name" "$ops" "$((run * 100 + w))")
        [ "$side" = C ] && cmd=("$xcheck" write "$table" "$name" "$ops" "$((run * 100 + 50 + w))")
        if [ -n "${STRACE_DIR:-}" ]; then
          mkdir -p "$STRACE_DIR"
          cmd=(strace -f -e trace=openat,fcntl,flock -o "$STRACE_DIR/$run-$kind-$name.log" "${cmd[@]}")
        fi
        (cd "$dir" && exec "${cmd[@]}") >"$dir/$name.out" 2>"$dir/$name.err" &
        pids+=($!) names+=("$name")
      done
    done
    updates=0 appended=("RR=$records") writerFailures=0
    for i in "${!pids[@]}"; do
      name=${names[$i]}
      if ! wait "${pids[$i]}"; then
        writerFailures=$((writerFailures + 1))
        echo "run $run $kind: writer $name failed: $(head -c 600 "$dir/$name.err" "$dir/$name.out" | tr '\n' ' ')"
      fi
      read -r _ u _ a _ e < <(tail -n 1 "$dir/$name.out" || echo "updates 0 appends 0 errors 0") || true
      updates=$((updates + ${u:-0}))
      appended+=("$name=${a:-0}")
    done
    ours=$("$xcheck" check "$table" "$updates" "${appended[@]}" 2>&1) && oursRc=0 || oursRc=$?
    theirs=$(cd "$dir" && "$work/hcheck" "$table" 2>&1) && theirsRc=0 || theirsRc=$?
    echo "run $run $kind (made by $maker): ${#pids[@]} writers x $ops ops, $updates updates," \
      "appends ${appended[*]}, writer failures $writerFailures"
    printf '%s\n' "$ours" "$theirs" | sed 's/^/    /'
    if [ "$writerFailures" != 0 ] || [ "$oursRc" != 0 ] || [ "$theirsRc" != 0 ]; then
      failed=$((failed + 1))
      if [ -n "${KEEP_DIR:-}" ]; then mkdir -p "$KEEP_DIR" && cp -r "$dir" "$KEEP_DIR/"; fi
    fi
  done
done
for century in ON OFF; do
  cases=$((cases + 1))
  dir="$work/vary-$century"
  mkdir -p "$dir"
  (cd "$dir" && "$work/hvary" "$dir/vary.dbf" "$century")
  out=$("$xcheck" keys "$dir/vary.dbf" "$century" 2>&1) && rc=0 || rc=$?
  echo "varying-length keys made by Harbour with century $century"
  printf '%s\n' "$out" | sed 's/^/    /'
  if [ "$rc" != 0 ]; then
    failed=$((failed + 1))
    if [ -n "${KEEP_DIR:-}" ]; then mkdir -p "$KEEP_DIR" && cp -r "$dir" "$KEEP_DIR/"; fi
  fi
done
echo "$cases table runs, $failed failed"
[ "$failed" = 0 ]
