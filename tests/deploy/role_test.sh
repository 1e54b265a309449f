#!/usr/bin/env bash
# The Ansible role in deploy/ansible, for real: applied through a chroot to a
# Debian 12 root made with debootstrap, twice (the second run must change
# nothing); the root is then booted with systemd-nspawn and checked from
# inside: each sweep's timer active, each sweep's folder swept with its own
# settings. Then one sweep is dropped (a check run first, which must change
# nothing) and, booted again, its timer and file must be gone.
# Needs build-pkg/vorn_*_amd64.deb (./package.sh) and root. The debootstrap
# root is kept in /var/cache/vorn-test ($VORN_TEST_CACHE) between runs.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
start=$SECONDS
apt-get -o DPkg::Lock::Timeout=600 install -y -q debootstrap systemd-container ansible ansible-lint >/dev/null
deb=$(realpath "${VORN_TEST_DEB:-$(ls build-pkg/vorn_*_amd64.deb)}")

echo "-- ansible-lint"
(cd deploy/ansible && ansible-lint -q --profile production roles/vorn)

# The root is made again when what goes into it changes (the key) or when it
# is a month old (security updates).
cache=${VORN_TEST_CACHE:-/var/cache/vorn-test}
debootstrap_args=(--variant=minbase "--include=systemd,dbus,python3,python3-apt" bookworm)
key=$(echo "${debootstrap_args[*]}" | sha256sum | cut -c1-12)
image=$cache/bookworm-$key.tar
mkdir -p "$cache"
find "$cache" -name 'bookworm-*.tar' \( ! -name "${image##*/}" -o -mtime +30 \) -delete

work=$(mktemp -d /var/tmp/vorn-role-test.XXXXXX)
nspawn=
cleanup() {
  [ -z "$nspawn" ] || stop_container
  rm -rf "$work"
}
trap cleanup EXIT

if [ ! -f "$image" ]; then
  echo "-- debootstrap into $image"
  timeout 1200 debootstrap "${debootstrap_args[@]}" "$work/new" http://deb.debian.org/debian >"$work/debootstrap.log" ||
    { tail -20 "$work/debootstrap.log"; exit 1; }
  tar -C "$work/new" -cf "$image.part" . && mv "$image.part" "$image" && rm -rf "$work/new"
fi
root=$work/root
mkdir "$root" && tar -C "$root" -xf "$image"

# Two folders to sweep, each holding what the other's pattern takes.
mkdir -p "$root"/srv/logs/sub "$root"/srv/cache/sub
touch "$root"/srv/logs/{a.log,keep.txt,tmp1,sub/b.log} "$root"/srv/cache/{tmp1,.tmp2,x.log,sub/tmp3}
logs='{"name": "logs", "filepath": "/srv/logs", "filename": "*.log", "subdir": true, "speed": 3,
       "schedule": "*-*-* 04:10:00"}'
cache_sweep='{"name": "cache", "filepath": "/srv/cache", "filename": "tmp[0-9]+$", "regex": true}'

printf 'target ansible_connection=community.general.chroot ansible_host=%s ansible_python_interpreter=/usr/bin/python3\n' \
  "$root" >"$work/hosts"
cat >"$work/play.yml" <<PLAY
- name: Apply the role
  hosts: target
  roles: [vorn]
PLAY
# Applies the role with the sweeps given (JSON); the recap's changed count
# goes to $work/changed.
apply() {
  local sweeps=$1; shift
  # A host has /proc; mounted in a namespace of its own, it goes when the run ends.
  ANSIBLE_ROLES_PATH=$repo/deploy/ansible/roles ANSIBLE_NOCOLOR=1 timeout 600 \
    unshare --mount --propagation private -- sh -c 'mount -t proc proc "$0/proc" && exec "$@"' "$root" ansible-playbook \
    -i "$work/hosts" "$work/play.yml" -e "{\"vorn_package\": \"$deb\", \"vorn_sweeps\": $sweeps}" "$@" \
    >"$work/apply.log" || { cat "$work/apply.log"; exit 1; }
  sed -n 's/^target .* changed=\([0-9]*\) .*/\1/p' "$work/apply.log" >"$work/changed"
}
fail() { echo "FAIL: $*"; exit 1; }

boot() {
  # nspawn keeps its own records in /run; a private one leaves the host's alone.
  unshare --mount --propagation private -- sh -c \
    'mount -t tmpfs -o mode=755 tmpfs /run && exec systemd-nspawn -q -b --register=no --keep-unit -D "$0"' \
    "$root" >"$work/boot.log" 2>&1 &
  nspawn=$!
  leader=
  local state until=$((SECONDS + 120))
  while [ "$SECONDS" -lt "$until" ]; do
    # nspawn's other children are short-lived: the leader is the one running systemd.
    [ -n "$leader" ] || leader=$(pgrep -P "$nspawn" -x systemd) || true
    state=$([ -z "$leader" ] || inside systemctl is-system-running --wait 2>/dev/null) || true
    case $state in running | degraded) return ;; esac
    sleep 0.2
  done
  cat "$work/boot.log"
  fail "the container did not start"
}
inside() { timeout 60 nsenter -t "$leader" -a -- "$@"; }
stop_container() {
  kill -TERM "$nspawn" 2>/dev/null || true
  timeout 60 tail --pid="$nspawn" -f /dev/null || kill -KILL "$nspawn"
  nspawn=
}

echo "-- a check run on the bare root changes nothing"
apply "[$logs, $cache_sweep]" --check --diff
[ ! -e "$root/opt/vorn" ] && [ ! -e "$root/etc/vorn" ] || fail "the check run changed the root"

echo "-- apply twice"
apply "[$logs, $cache_sweep]"
apply "[$logs, $cache_sweep]"
[ "$(cat "$work/changed")" = 0 ] || { cat "$work/apply.log"; fail "the second run changed something"; }
[ "$(stat -c '%a %U' "$root/etc/vorn/cache.ini")" = "600 root" ] || fail "cache.ini's mode or owner"
[ "$(grep -c $'\r$' "$root/etc/vorn/cache.ini")" = "$(wc -l <"$root/etc/vorn/cache.ini")" ] ||
  fail "cache.ini has lines without CR LF"

echo "-- booted: the timers, and what each sweep left"
boot
for sweep in logs cache; do
  inside systemctl is-active --quiet "vorn@$sweep.timer" || fail "vorn@$sweep.timer is not active"
done
inside systemctl show -P TimersCalendar vorn@logs.timer | grep -q '04:10:00' || fail "vorn@logs.timer's schedule"
inside systemctl start vorn@logs.service vorn@cache.service ||
  { inside journalctl -q --no-pager -u 'vorn@*'; fail "a sweep failed"; }
left=$(cd "$root/srv" && find . -type f | sort | tr '\n' ' ')
expected="./cache/.tmp2 ./cache/sub/tmp3 ./cache/x.log ./logs/keep.txt ./logs/tmp1 "
[ "$left" = "$expected" ] || fail "the sweeps left $left, not $expected"
stop_container

echo "-- drop the sweep logs"
printf '[vorn]\r\nfilepath=/srv/logs\r\nfilename=*.txt\r\n' >"$root/etc/vorn/byhand.ini"
apply "[$cache_sweep]" --check --diff
[ "$(cat "$work/changed")" -gt 0 ] && [ -f "$root/etc/vorn/logs.ini" ] || fail "the check run did not show, or made, the change"
apply "[$cache_sweep]"
[ ! -e "$root/etc/vorn/logs.ini" ] && [ ! -e "$root/etc/systemd/system/vorn@logs.timer.d" ] || fail "logs' files stayed"
[ -f "$root/etc/vorn/cache.ini" ] && [ -f "$root/etc/vorn/byhand.ini" ] || fail "a file of another sweep went"
boot
! inside systemctl is-active --quiet vorn@logs.timer || fail "vorn@logs.timer is still active"
inside systemctl is-active --quiet vorn@cache.timer || fail "vorn@cache.timer is not active"
stop_container
echo "The role's test passed in $((SECONDS - start)) s"
