#!/bin/sh
# Starts the installed game in its own folder, where data.ini and picture/
# sit beside the executable.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/prizedraw/prizedraw" "$@"
