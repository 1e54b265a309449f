#!/usr/bin/env bash
# Mounts an ext4 file system held in memory at DIR (needs root), so the benchmark
# can measure the programs' own work without a disk's latency in the figures:
#   bench/ram-ext4.sh /mnt/vorn-bench && bench/run.sh --work /mnt/vorn-bench
# Afterwards: umount /mnt/vorn-bench && rm /dev/shm/vorn-bench.img
set -euo pipefail
dir="${1:?usage: $0 DIR}"
image=/dev/shm/vorn-bench.img
# Making the file system again under a mounted copy of it would wreck that copy.
if [ -n "$(losetup -j "$image")" ]; then
    echo "$image is in use; unmount it first" >&2
    exit 1
fi
if mountpoint -q "$dir"; then
    echo "$dir is already a mount point" >&2
    exit 1
fi
# Two trees of 200,000 files (the kept template and the run's copy) need more
# inodes than the default ratio gives a file system of this size.
truncate -s 6G "$image"
mkfs.ext4 -q -F -N 1000000 "$image"
mkdir -p "$dir"
mount -o loop "$image" "$dir"
