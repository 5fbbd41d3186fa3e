#!/bin/sh
# What telnetd runs instead of a login for the end-to-end tests: a plain interactive shell in the
# pseudo-terminal telnetd made, which shows the terminal type and window size it was given.
exec /bin/sh -i
