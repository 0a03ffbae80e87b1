"""What the end-to-end checks share: running tierwise-batch as a user does, and counting failures.

TIERWISE_RUNNER in the environment names a program that runs tierwise-batch (Wine, for the Windows
build).
"""
import os
import subprocess
import sys

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(batch, *args):
    """Runs `batch` with `args`; returns its exit status, standard output and standard error."""
    runner = [os.environ["TIERWISE_RUNNER"]] if os.environ.get("TIERWISE_RUNNER") else []
    done = subprocess.run([*runner, batch, *map(str, args)], capture_output=True, text=True, encoding="utf-8")
    return done.returncode, done.stdout, done.stderr


def finish(passed):
    """Ends the check: exit status 1 and the count when a check failed, else `passed` printed."""
    if failures:
        print(f"{len(failures)} check(s) failed")
        sys.exit(1)
    print(passed)
