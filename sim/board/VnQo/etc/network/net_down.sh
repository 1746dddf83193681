#!/bin/sh
# Stand-in for the board's script that takes the network interfaces down: logs the call under
# the board root, and the wireless interface going down takes its level file with it.
root=${VNQ_ROOT:-}
[ -n "$root" ] || exit 0
if [ -d "$root/var/log" ]; then
  printf '%s\n' /VnQo/etc/network/net_down.sh >> "$root/var/log/sim-commands.log"
fi
rm -f "$root/sys/class/net/wlan0/wireless/level"
