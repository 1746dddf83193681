#!/usr/bin/env bash
# make-board-root.sh <root> <build-dir>
# Lays out a simulated board under <root>: the /VnQo tree with stub scripts, the volatile
# directories, fake sysfs and user flash, and the programs and data of <build-dir>.
set -euo pipefail
root=${1:?board root}
build=${2:?build directory}
here=$(cd "$(dirname "$0")" && pwd)

mkdir -p "$root"/{VnQo/app/App,VnQo/app/DB/def,VnQo/app/Parts,VnQo/app/Sound,VnQo/bin,VnQo/var/fwup,VnQo/etc/ssl}
mkdir -p "$root"/VnQo/etc/network/config/{eth0,wlan0}
mkdir -p "$root"/{tmp,var/tmp,var/log,mnt/spi_user/DB,mnt/spi_user/Log,sys/class/gpio,sys/class/net,etc,dev}

# Stub scripts of /VnQo/bin (links are copied as links, so they keep pointing at the stub).
cp -a "$here"/board/VnQo/bin/. "$root/VnQo/bin/"
cp -a "$here"/board/VnQo/etc/. "$root/VnQo/etc/"
# The kernel-image download of the cloud editions' start-up (no kernel image in a fresh root).
mkdir -p "$root"/VnQo/var/opt
cp -a "$here"/board/VnQo/var/opt/. "$root/VnQo/var/opt/"
# The firmware installer, the web server's init script and the page cache switch the firmware
# update page uses.
mkdir -p "$root"/VnQo/var/fwup "$root"/etc/init.d "$root"/proc/sys/vm
cp -a "$here"/board/VnQo/var/fwup/. "$root/VnQo/var/fwup/"
cp -a "$here"/board/etc/init.d/. "$root/etc/init.d/"
# The card service's socket-count and forced power-off scripts.
mkdir -p "$root"/VnQo/app/Service "$root"/VNQ/bin
cp -a "$here"/board/VnQo/app/Service/. "$root/VnQo/app/Service/"
cp -a "$here"/board/VNQ/bin/. "$root/VNQ/bin/"
[ -f "$root/etc/resolv.conf" ] || printf 'nameserver 127.0.0.1\n' > "$root/etc/resolv.conf"
[ -f "$root/mnt/spi_user/termid" ] || printf 'SIM0000001\n' > "$root/mnt/spi_user/termid"

# A wired interface on loopback addresses and a USB Wi-Fi adapter, whose power line (GPIO 33)
# reads 1 while it is plugged in (write 0 to unplug it). The adapter finds the access points of
# sim/access-points.txt, which the user may edit; the (stub) network watch joins one of them
# when the terminal's Wi-Fi settings match it.
mkdir -p "$root/sys/class/net/eth0" "$root/sys/class/net/wlan0"
[ -f "$root/sys/class/net/eth0/address" ] || printf '02:00:00:00:00:01\n' > "$root/sys/class/net/eth0/address"
[ -f "$root/sys/class/net/wlan0/address" ] || printf '02:00:00:00:00:02\n' > "$root/sys/class/net/wlan0/address"
if [ ! -f "$root/sim/access-points.txt" ]; then
  mkdir -p "$root/sim"
  cat > "$root/sim/access-points.txt" <<'POINTS'
# The access points the simulated Wi-Fi adapter finds, one a line: the signal level in dBm,
# the security (OPEN, WPA or WPA2), the key ("-" when OPEN) and the SSID (the rest of the line).
# The connection check succeeds when the terminal's SSID, security and key match a line.
-35 WPA2 office-key-2024 Office-AP
-58 WPA2 warehouse-key   Warehouse 2F
-70 WPA  guest1234       Guest
-82 OPEN -               Canteen
POINTS
fi

# The build's pictures: a picture newer than the board's copy replaces it, and the display
# server's cache of the old one (the picture's path with ".4444" appended) goes with it.
parts="$build/board/VnQo/app/Parts"
if [ -d "$parts" ]; then
  while IFS= read -r -d '' picture; do
    target="$root/VnQo/app/Parts/${picture#"$parts"/}"
    if [ "$picture" -nt "$target" ]; then
      mkdir -p "$(dirname "$target")"
      cp -a "$picture" "$target"
      rm -f "$target.4444"
    fi
  done < <(find "$parts" -type f -name '*.png' -print0)
fi
# The sounds are no terminal data: the build's always replace the board's.
if [ -d "$build/board/VnQo/app/Sound" ]; then
  cp -a "$build/board/VnQo/app/Sound/." "$root/VnQo/app/Sound/"
fi
# Every other file the build prepared for the board (the databases): data, so keep what the
# terminal already changed.
if [ -d "$build/board" ]; then
  cp -an "$build"/board/. "$root/"
fi
install -m 755 "$build/app/VantroQo" "$root/VnQo/app/App/VantroQo"
# The display server, its first screen and its font (the IPA Gothic of fonts-ipafont-gothic).
if [ -x "$build/Vistrel/Vistrel" ]; then
  install -m 755 "$build/Vistrel/Vistrel" "$root/VnQo/app/App/Vistrel"
fi
install -m 644 "$here/../assets/start.xml" "$root/VnQo/app/App/start.xml"
if [ ! -e "$root/VnQo/app/App/Font/ipag.ttf" ]; then
  font=$(dpkg -L fonts-ipafont-gothic 2>/dev/null | grep '/ipag\.ttf$' | head -n 1 || true)
  if [ -z "$font" ]; then
    echo "make-board-root: ipag.ttf not found; install the Debian package fonts-ipafont-gothic" >&2
    exit 1
  fi
  mkdir -p "$root/VnQo/app/App/Font"
  cp "$font" "$root/VnQo/app/App/Font/ipag.ttf"
fi

# The demo users go into a master.db that holds none (the shipped one is empty).
master="$root/VnQo/app/DB/master.db"
if [ -f "$master" ] && [ "$(sqlite3 "$master" 'SELECT count(*) FROM master;')" = 0 ]; then
  sqlite3 "$master" < "$here/demo/master-demo.sql"
fi

# The screen-shot tool, which the stub /VnQo/bin/vnq_screenshot runs when the terminal's
# top-left corner is touched.
if [ -x "$build/tools/fbshot/vnq_fbshot" ]; then
  mkdir -p "$root/sim/tools"
  install -m 755 "$build/tools/fbshot/vnq_fbshot" "$root/sim/tools/vnq_fbshot"
fi
# The RTC tools, which take the simulated clock under a board root, and that clock's RTC,
# The RTC tools, which the terminal runs from /VnQo/bin.
for tool in Tikwarden rtcsync rtcprobe; do
  if [ -x "$build/tools/rtc/$tool" ]; then
    install -m 755 "$build/tools/rtc/$tool" "$root/VnQo/bin/$tool"
  fi
done
# The simulated RTC keeps the board's time (9 hours behind the local clock, as the RTC tools
# read it); its offset is taken against this host's own zone so the clocks agree anywhere.
if [ ! -e "$root/dev/rtc0" ]; then
  zone=$(date +%z)   # e.g. +0900
  zone_s=$(( 10#${zone:1:2} * 3600 + 10#${zone:3:2} * 60 ))
  [ "${zone:0:1}" = "-" ] && zone_s=$(( -zone_s ))
  printf 'offset %d\n' $((zone_s - 32400)) > "$root/dev/rtc0"
fi
# The shipped databases as the factory reset puts them back (a fresh copy on every layout),
# and a calibration of the touch panel.
if [ -d "$build/board/VnQo/app/DB" ]; then
  mkdir -p "$root/sim/factory"
  for db in dakoku.db master.db setting.db; do
    if [ -f "$build/board/VnQo/app/DB/$db" ]; then cp "$build/board/VnQo/app/DB/$db" "$root/sim/factory/$db"; fi
  done
fi
[ -f "$root/etc/pointercal" ] || printf '1 0 0 0 1 0 65536\n' > "$root/etc/pointercal"
# The simulated USB stick: inserted while dev/sda exists (a new board starts with it), its
# files in sim/usb-stick (see ./vq usb).
[ -e "$root/sim/usb-stick" ] || : > "$root/dev/sda"
if [ -e "$root/dev/sda" ]; then mkdir -p "$root/sim/usb-stick"; fi
# The simulated screen: the framebuffer memory as a file and its sidecar (sim/fb/fb_info.h).
# 480 x 272 at 16 bits (RGB565), or ARGB8888 with VNQ_FB_BPP=32; an OSD plane follows the main
# plane. An existing pair is kept.
if [ ! -e "$root/dev/fb0" ] || [ ! -e "$root/dev/fb0.info" ]; then
  bpp=${VNQ_FB_BPP:-16}
  if [ "$bpp" = 32 ]; then fields='16 8 8 8 0 8 24 8'; else bpp=16; fields='11 5 5 6 0 5 0 0'; fi
  line=$((480 * bpp / 8))
  plane=$((line * 272))
  set -- $fields
  printf 'xres 480\nyres 272\nbits_per_pixel %d\nline_length %d\nsmem_start 0xa0000000\nsmem_len %d\nosd_offset %d\n' \
    "$bpp" "$line" $((2 * plane)) "$plane" > "$root/dev/fb0.info"
  printf 'red_offset %d\nred_length %d\ngreen_offset %d\ngreen_length %d\nblue_offset %d\nblue_length %d\ntransp_offset %d\ntransp_length %d\n' \
    "$@" >> "$root/dev/fb0.info"
  rm -f "$root/dev/fb0"
  truncate -s $((2 * plane)) "$root/dev/fb0"
fi
# The touch feed of the display server on the simulated board: a FIFO of "x y pressure" lines.
if [ ! -p "$root/dev/input/event0" ]; then
  mkdir -p "$root/dev/input"
  rm -f "$root/dev/input/event0"
  mkfifo "$root/dev/input/event0"
fi
# The vertical-sync wait keeps the panel's 60 Hz (a sidecar without the line: no wait).
grep -q '^vsync_hz ' "$root/dev/fb0.info" || printf 'vsync_hz 60\n' >> "$root/dev/fb0.info"
# The GPIO lines the terminal reads: the backlight (0, lit when the board starts), the Wi-Fi
# adapter's power (33, see above), the two inputs (136, 137) and the two outputs (138, 139).
# A line keeps the level it has.
for line in 0:1 33:1 136:0 137:0 138:0 139:0; do
  value="$root/sys/class/gpio/gpio${line%%:*}/value"
  [ -e "$value" ] || { mkdir -p "$(dirname "$value")"; printf '%s\n' "${line#*:}" > "$value"; }
done
# The network watch starts with the board: the status file and the wireless level file.
VNQ_ROOT=$root "$root/VnQo/bin/_netif_watch"
# /tmp is empty after a boot: socket files of an earlier run would stop the terminal listening.
rm -f "$root"/tmp/*.uds
