#!/bin/sh
# Shows the demo's greeting in the terminal; installed next to the program.
here=$(dirname "$0")
if [ -x "$here/demo-hello" ]; then
  exec "$here/demo-hello"
fi
echo "Demo 1.0 is installed."
