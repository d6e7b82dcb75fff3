#!/bin/sh
# Run inside a fresh Debian chroot by run-release-test: installs the package with apt-get, runs the
# program, removes it and looks for anything it left. One "ok:" or "FAILED:" line per check.
# Usage: in-chroot.sh PACKAGE.deb VERSION
deb="$1"
version="$2"
failed=0
check() {  # check NAME STATUS
    if [ "$2" -eq 0 ]; then echo "ok: $1"; else echo "FAILED: $1"; failed=1; fi
}
# Every file but the kernel's folders, this test's own files, the user's home and apt's and
# dpkg's records of what they did (logs, package lists and cache).
tree() {
    find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run -o -path /home \
        -o -path /var/log -o -path /var/cache/apt -o -path /var/lib/apt \) -prune -o -print | sort
}
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/tmp/apt.log 2>&1
# The program is run as a user would run it: from a login shell, whose PATH has /usr/games.
useradd --create-home player
as_player() { su - player -c "$1"; }
tree >/tmp/before
dpkg-query -W -f '${Package}\n' | sort >/tmp/packages-before
apt-get install -y -qq "$deb" >>/tmp/apt.log 2>&1
check "apt-get install $deb" $?
[ $failed -eq 0 ] || { tail -n 20 /tmp/apt.log; exit 1; }
as_player "velmora --version" | tee /tmp/version.out
grep -q "^velmora $version" /tmp/version.out
check "velmora --version names $version" $?
as_player "velmora --frames frames --at 1" >/tmp/frames.log 2>&1
status=$?
[ $status -eq 0 ] && [ -s /home/player/frames/0001.000.png ]
check "velmora --frames frames --at 1 writes its picture (status $status)" $?
[ $status -eq 0 ] || sed -n '1,10s/^/  /p' /tmp/frames.log
apt-get purge -y -qq --autoremove velmora >>/tmp/apt.log 2>&1
check "apt-get purge --autoremove velmora" $?
# Nothing of the package: none of its paths (but folders other packages keep), nothing named
# after it. Its dependencies come and go by apt's rules (a package of priority required stays, a
# purged systemd leaves its machine-id), so their traces are counted, not failed.
left=""
for path in $(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\.||; s|/$||'); do
    [ -e "$path" ] || [ -L "$path" ] || continue
    [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1 && continue
    left="$left $path"
done
named=$(find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /home \) -prune \
    -o -name '*velmora*' -print)
tree >/tmp/after
echo "  apt kept what it installed for it:" $(dpkg-query -W -f '${Package}\n' | sort | comm -13 /tmp/packages-before -)
echo "  paths its dependencies left: $(comm -13 /tmp/before /tmp/after | wc -l)"
echo "$left $named" | tr ' ' '\n' | sed -n '/./{s/^/  left: /;p}' | head -n 20
[ -z "$left" ] && [ -z "$named" ] && ! dpkg -s velmora >/dev/null 2>&1
check "nothing is left" $?
exit $failed
