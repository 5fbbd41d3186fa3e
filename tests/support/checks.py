"""Checks for the test scripts written in Python: a line per check ("PASS name" or
"FAIL name -- info"), then "N passed, M failed" and exit status 1 when a check failed."""
import sys

passed = failed = 0


def check(name, cond, info=""):
    global passed, failed
    passed, failed = (passed + 1, failed) if cond else (passed, failed + 1)
    print(("PASS " if cond else "FAIL ") + name + ("" if cond or info == "" else " -- %r" % (info,)),
          flush=True)


def finish():
    """Prints the count and ends the script."""
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)
