#!/bin/sh
# The demo disc's program: it greets, waits a moment so the menu's wait can be seen, and ends.
echo "Hello from the Qubrix demo disc (started from $(dirname "$0"))."
sleep 2
echo "Goodbye."
