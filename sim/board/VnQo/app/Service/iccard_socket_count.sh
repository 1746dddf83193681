#!/bin/sh
# Stand-in for the board's count of connections waiting at the card event socket: the card
# service holds an event back when this exits with more than 10. The simulated board has no
# backlog, so it logs the call and exits with 0.
root=${VNQ_ROOT:-}
if [ -n "$root" ] && [ -d "$root/var/log" ]; then
  printf '%s\n' "/VnQo/app/Service/iccard_socket_count.sh" >> "$root/var/log/sim-commands.log"
fi
exit 0
