"""Runs a driver's unittest cases for ctest: exit code 0 when everything
that ran passed, 77 (ctest's SKIP_RETURN_CODE) when nothing could run, 1
on any failure."""

import sys
import unittest

SKIPPED = 77


def run(test_class):
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(test_class)
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    if not result.wasSuccessful():
        return 1
    if result.testsRun == len(result.skipped):
        return SKIPPED
    return 0
