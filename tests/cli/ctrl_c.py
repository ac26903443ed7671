#!/usr/bin/env python3
"""Runs a command as a person's shell runs it in a terminal, and presses Ctrl-C in that terminal
when told to.

    ctrl_c.py PIDFILE CONTROL -- COMMAND...

The command gets a terminal of its own, in whose foreground it runs, with SIGINT (and SIGPIPE)
at their defaults whatever this script inherited: a background job of a non-interactive shell
starts with SIGINT ignored, where no Ctrl-C would ever reach it. Its standard streams are this
script's, so the caller redirects them. Its process id is written to PIDFILE once it runs. A line
"ctrl-c" read from the named pipe CONTROL types Ctrl-C into the terminal, so that its line
discipline signals the foreground, as a key press does; the end of CONTROL without one kills the
command instead. Exits with the command's status, or 128 + the signal that ended it (and says
so on standard error).
"""

import fcntl
import os
import select
import signal
import sys
import termios


def main():
    if len(sys.argv) < 5 or sys.argv[3] != "--":
        sys.exit("usage: ctrl_c.py PIDFILE CONTROL -- COMMAND...")
    pid_file, control, command = sys.argv[1], sys.argv[2], sys.argv[4:]
    master, slave = os.openpty()
    pid = os.fork()
    if pid == 0:
        try:
            os.setsid()
            # The terminal becomes the new session's, and its foreground is the command.
            fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
            os.close(master)
            os.close(slave)
            signal.signal(signal.SIGINT, signal.SIG_DFL)
            signal.signal(signal.SIGPIPE, signal.SIG_DFL)
            os.execvp(command[0], command)
        finally:
            os._exit(127)
    # This end stays open: a terminal whose every slave is closed would pass no Ctrl-C on.
    with open(pid_file + ".new", "w") as f:
        f.write(f"{pid}\n")
    os.rename(pid_file + ".new", pid_file)
    with open(control) as orders:
        order = orders.readline().strip()
    if order == "ctrl-c":
        os.write(master, termios.tcgetattr(slave)[6][termios.VINTR])
    else:
        os.kill(pid, signal.SIGKILL)
    # The terminal's echo is read as it comes, so that no write of it ever waits.
    while True:
        done, status = os.waitpid(pid, os.WNOHANG)
        if done:
            break
        if select.select([master], [], [], 0.1)[0]:
            try:
                os.read(master, 4096)
            except OSError:
                pass
    if os.WIFSIGNALED(status):
        # Said, because a shell would give the same status as a program that exits with 130.
        print(f"ctrl_c.py: the command was ended by signal {os.WTERMSIG(status)}", file=sys.stderr)
        sys.exit(128 + os.WTERMSIG(status))
    sys.exit(os.WEXITSTATUS(status))


if __name__ == "__main__":
    main()
