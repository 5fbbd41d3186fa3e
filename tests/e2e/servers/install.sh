#!/bin/bash
# install.sh: installs every package the test servers need in one apt-get run (faster than one
# run per server script). Does nothing when all are there.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root "$@"
apt_install dovecot-pop3d inn2 python3-aiosmtpd xinetd openssl procps
