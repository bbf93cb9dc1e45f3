#!/usr/bin/env python3
"""Runs one end-to-end scenario on the Linux build:
    run_linux.py <program> <skin folder> <[module.]Scenario[.test_name]>
A name without a module is one of program_scenarios.py; other scenario
modules of this folder are named first ("session_scenarios.SessionEnd").
Exits 77 (ctest's skip code) with the reason when the scenario cannot run
here (no display, no sound server, a missing tool)."""

import importlib
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
import program_scenarios  # noqa: E402

SKIPPED = 77


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    program, skin, name = sys.argv[1:]
    program_scenarios.SKIN_FOLDER = skin
    program_scenarios.ProgramScenario.make_launcher = staticmethod(
        lambda: harness.linux_launcher(program, skin))
    module = program_scenarios
    head = name.split(".")[0]
    if head.endswith("_scenarios"):
        module = importlib.import_module(head)
        name = name[len(head) + 1:]
    suite = unittest.defaultTestLoader.loadTestsFromName(name, module)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    if result.skipped and result.testsRun == len(result.skipped):
        for _, reason in result.skipped:
            print("skipped: " + reason)
        return SKIPPED
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
