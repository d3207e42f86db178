#!/usr/bin/env python3
"""Always fails. Registered like every script test and expected to fail, so
a run in which a script's exit status does not reach ctest shows up."""
import sys

sys.exit(3)
