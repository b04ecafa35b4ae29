#!/bin/bash
# Proportional set size of a running quillora and every process it started
# (the browser's helpers), in KiB each and in MiB over all.
root=$(pgrep -x quillora | head -1)
[ -z "$root" ] && { echo no quillora; exit 1; }
pids="$root $(pgrep -P $root) "
for p in $(pgrep -P $root); do pids="$pids $(pgrep -P $p)"; done
for p in $(echo $pids | tr ' ' '\n' | sort -u); do for c in $(pgrep -P $p); do pids="$pids $c"; done; done
tot=0
for p in $(echo $pids | tr ' ' '\n' | sort -un); do
  k=$(awk '/^Pss:/{print $2}' /proc/$p/smaps_rollup 2>/dev/null); [ -z "$k" ] && continue
  tot=$((tot+k)); printf "%7d KiB %6d %s\n" $k $p "$(tr '\0' ' ' < /proc/$p/cmdline | cut -c1-110)"
done
echo "total $((tot/1024)) MiB"
