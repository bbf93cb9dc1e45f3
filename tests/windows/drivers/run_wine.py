#!/usr/bin/env python3
"""Runs one end-to-end scenario on the Windows build under Wine:
    run_wine.py <windows build folder> <skin folder> <Scenario>
The scenario is one of wine_scenarios.py or a shared one of
tests/e2e/program_scenarios.py that holds under Wine. Exits 77 (ctest's
skip code) with the reason when it cannot run here. A scenario of another
module of either folder is named with its module first
("session_scenarios.SessionEnd")."""

import importlib
import os
import sys
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
sys.path.insert(0, os.path.join(here, "..", "..", "e2e"))

import program_scenarios  # noqa: E402
import wine_scenarios  # noqa: E402
from wine_launcher import wine_launcher_factory  # noqa: E402

SKIPPED = 77


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    build, skin, name = sys.argv[1:]
    program_scenarios.SKIN_FOLDER = skin
    program_scenarios.ProgramScenario.make_launcher = staticmethod(
        wine_launcher_factory(os.path.abspath(build), skin))
    module = wine_scenarios if hasattr(wine_scenarios, name) and \
        name.startswith("Wine") else program_scenarios
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
