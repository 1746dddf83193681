#!/bin/sh
# Stand-in for the kernel-image download: logs the call under the board root, each argument
# on its own line, and downloads nothing.
root=${VNQ_ROOT:-}
if [ -n "$root" ] && [ -d "$root/var/log" ]; then
  {
    printf '/VnQo/var/opt/zImageDownload.sh (%d arguments)\n' "$#"
    for argument in "$@"; do printf '  [%s]\n' "$argument"; done
  } >> "$root/var/log/sim-commands.log"
fi
exit 0
