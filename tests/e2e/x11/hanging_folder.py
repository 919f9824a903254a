#!/usr/bin/python3
"""A folder that stops answering, as a share whose file server goes away does: BACKING mounted at
MOUNT through FUSE, every call of which waits while the file FLAG exists. Runs until unmounted.
With PREFIX and SECONDS, the first write into a file whose name starts with PREFIX makes FLAG, as
the server goes away in the middle of a save, and SECONDS later removes it again.

Usage: hanging_folder.py BACKING MOUNT FLAG [PREFIX SECONDS]
"""
import contextlib
import os
import sys
import threading
import time

from fusepy import FUSE, FuseOSError, Operations


class HangingFolder(Operations):
    def __init__(self, backing, flag, prefix=None, seconds='0'):
        self.backing = backing
        self.flag = flag
        self.prefix = prefix
        self.seconds = float(seconds)

    def __call__(self, op, path, *args):
        if op == 'write' and self.prefix and os.path.basename(path).startswith(self.prefix):
            self.prefix = None
            open(self.flag, 'w').close()
            timer = threading.Timer(self.seconds, self._answer_again)
            timer.daemon = True
            timer.start()
        while os.path.exists(self.flag):
            time.sleep(0.05)
        try:
            return super().__call__(op, self.backing + path, *args)
        except OSError as error:
            raise FuseOSError(error.errno or 5)

    def getattr(self, path, fh=None):
        st = os.lstat(path)
        return {key: getattr(st, key) for key in (
            'st_atime', 'st_ctime', 'st_gid', 'st_mode', 'st_mtime', 'st_nlink', 'st_size',
            'st_uid', 'st_ino')} | {'st_mtime_ns': st.st_mtime_ns}

    def readdir(self, path, fh):
        return ['.', '..'] + os.listdir(path)

    def statfs(self, path):
        st = os.statvfs(path)
        return {key: getattr(st, key) for key in (
            'f_bavail', 'f_bfree', 'f_blocks', 'f_bsize', 'f_favail', 'f_ffree', 'f_files',
            'f_flag', 'f_frsize', 'f_namemax')}

    access = lambda self, path, mode: None if os.access(path, mode) else self._denied()
    chmod = lambda self, path, mode: os.chmod(path, mode)
    chown = lambda self, path, uid, gid: os.chown(path, uid, gid)
    create = lambda self, path, mode, fi=None: os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)
    flush = lambda self, path, fh: os.fsync(fh)
    fsync = lambda self, path, datasync, fh: os.fsync(fh)
    mkdir = lambda self, path, mode: os.mkdir(path, mode)
    open = lambda self, path, flags: os.open(path, flags)
    read = lambda self, path, size, offset, fh: os.pread(fh, size, offset)
    release = lambda self, path, fh: os.close(fh)
    rename = lambda self, old, new: os.rename(old, self.backing + new)
    rmdir = lambda self, path: os.rmdir(path)
    truncate = lambda self, path, length, fh=None: os.truncate(path, length)
    unlink = lambda self, path: os.unlink(path)
    utimens = lambda self, path, times=None: os.utime(path, times)
    write = lambda self, path, data, offset, fh: os.pwrite(fh, data, offset)

    def _answer_again(self):
        with contextlib.suppress(FileNotFoundError):
            os.remove(self.flag)

    def _denied(self):
        raise FuseOSError(13)


if __name__ == '__main__':
    backing, mount = sys.argv[1:3]
    FUSE(HangingFolder(os.path.abspath(backing), *sys.argv[3:6]), mount, foreground=True,
         attr_timeout=0, entry_timeout=0, negative_timeout=0)
