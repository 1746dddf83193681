#!/bin/sh
# Stand-in for a script of the board's /VnQo tree: logs the call under the board root.
name=$(basename "$0")
root=${VNQ_ROOT:-}
case "$0" in
  "$root"/*) path=${0#"$root"} ;;
  *) path=/VnQo/bin/$name ;;
esac
if [ -n "$root" ] && [ -d "$root/var/log" ]; then
  printf '%s %s\n' "$path" "$*" >> "$root/var/log/sim-commands.log"
fi
exit 0
