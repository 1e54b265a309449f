#!/usr/bin/env python3
"""How far the calls of parallel threads overlap in one folder of a share.

Each thread deletes its share of FILES files of one folder as the sweep does,
relative to the open folder: with --attribute it first reads the file's
user.DOSATTRIB (through /proc/self/fd, the lookup the program's getxattrat
makes), then unlinks it. Prints the wall time of one thread and of each
--threads count, and their ratio: where it stays near 1, the kernel runs the
calls one at a time, whatever the share could take.

    bench/build.sh slow_share
    build-bench/bench/slow_share --delay-us 1000 BACKING MOUNT -o max_threads=64
    bench/one_folder.py BACKING MOUNT --attribute
    fusermount3 -u MOUNT
"""

import argparse
import os
import threading
import time


def delete(folder, names, attribute):
    fd = os.open(folder, os.O_RDONLY | os.O_DIRECTORY)
    for name in names:
        if attribute:
            try:
                os.getxattr("/proc/self/fd/%d/%s" % (fd, name), "user.DOSATTRIB", follow_symlinks=False)
            except OSError:
                pass
        os.unlink(name, dir_fd=fd)
    os.close(fd)


def timed_run(args, threads):
    """Makes the folder in the backing folder, then deletes it through the share with THREADS threads."""
    made = os.path.join(args.backing, "one-folder")
    os.makedirs(made, exist_ok=True)
    names = ["f%d.log" % i for i in range(args.files)]
    for name in names:
        open(os.path.join(made, name), "w").close()
    workers = [threading.Thread(target=delete, args=(os.path.join(args.mount, "one-folder"), names[i::threads],
                                                     args.attribute)) for i in range(threads)]
    start = time.monotonic()
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    return time.monotonic() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("backing", help="the folder the share shows")
    parser.add_argument("mount", help="where the share shows it")
    parser.add_argument("--files", type=int, default=400)
    parser.add_argument("--threads", type=int, nargs="+", default=[2, 8, 16])
    parser.add_argument("--attribute", action="store_true", help="read each file's attribute before its unlink")
    args = parser.parse_args()
    alone = timed_run(args, 1)
    print("1 thread: %.2f s" % alone)
    for threads in args.threads:
        wall = timed_run(args, threads)
        print("%d threads: %.2f s, %.2f x one thread" % (threads, wall, wall / alone))


if __name__ == "__main__":
    main()
