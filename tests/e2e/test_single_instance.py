"""One instance at a time: the first start, later starts with and without the
STOP / REMOVE / START keywords, and the exit command."""

import os
import unittest

from applet_support import AppletMixin
from e2e_harness import AppTestCase, EXIT_CODE_ALREADY_RUNNING, INSTANCE_MUTEX, MAIN_WINDOW_TITLE
from program_ids import PROGRAM


class FirstStart(AppTestCase):

    def test_first_start_leaves_hidden_window(self):
        pid, window = self.start_first_instance()
        self.assertEqual(window["class"], "#32770", "the window should be a dialog: %r" % window)
        self.assertEqual(window["visible"], "0", "the window should be hidden: %r" % window)
        self.assertEqual(window["enabled"], "0", "the window should be disabled: %r" % window)
        self.assertEqual(int(window["pid"]), pid, "the window should belong to the started process: %r" % window)
        windows = self.probe.run("find-window", MAIN_WINDOW_TITLE).records
        self.assertEqual(len(windows), 1, "exactly one window %r expected: %r" % (MAIN_WINDOW_TITLE, windows))
        visible = [r for r in self.probe.run("windows", pid).records if r.get("visible") == "1"]
        self.assertEqual(visible, [], "the first start should show nothing")
        self.assertEqual(self.probe.run("mutex", INSTANCE_MUTEX).rc, 0,
                         "the instance mutex %r should exist while the program runs" % INSTANCE_MUTEX)

        # The window lives as long as the process.
        self.settle()
        self.assertInstanceRuns(pid, window, "a moment after the first start")

        # The desktop as a person would see it: taskbar, nothing else shown.
        taskbar = self.probe.run("find-window", "class:Shell_TrayWnd")
        self.assertEqual(taskbar.rc, 0, "the virtual desktop has no taskbar: %s" % taskbar.describe())
        self.assertEqual(taskbar.first.get("visible"), "1", "the taskbar is hidden: %r" % taskbar.first)
        shot = self.screenshot("first_start")
        self.assertGreater(os.path.getsize(shot), 0, "empty screenshot %s" % shot)

    def test_first_start_with_stop_ends_at_once(self):
        code = self.spawn_app("STOP")
        self.assertEqual(code, EXIT_CODE_ALREADY_RUNNING,
                         "a first start with STOP should exit with -1, got %d" % code)
        self.assertIsNone(self.main_window(), "a first start with STOP should leave no window")
        self.assertEqual(self.app_pids(), [], "a first start with STOP should leave no process")
        self.assertNotEqual(self.probe.run("mutex", INSTANCE_MUTEX).rc, 0,
                            "a first start with STOP should leave no instance mutex")


class SecondStartEnds(AppTestCase):
    """A later start whose arguments hold STOP or REMOVE ends the running instance."""

    def check_ends_instance(self, *args):
        pid, _ = self.start_first_instance()
        code = self.spawn_app(*args)
        self.assertEqual(code, EXIT_CODE_ALREADY_RUNNING,
                         "a second start with %r should exit with -1, got %d" % (" ".join(args), code))
        self.assertInstanceEnded(pid, "after a second start with %r" % " ".join(args))
        self.assertNotEqual(self.probe.run("mutex", INSTANCE_MUTEX).rc, 0,
                            "the instance mutex should be gone with the instance")

    def test_second_start_stop_ends_instance(self):
        self.check_ends_instance("STOP")

    def test_second_start_remove_ends_instance(self):
        self.check_ends_instance("REMOVE")

    def test_second_start_nonstop_ends_instance(self):
        self.check_ends_instance("NONSTOP")


class SecondStartKeeps(AppletMixin, AppTestCase):
    """A later start without STOP or REMOVE leaves the running instance alone."""

    def check_keeps_instance(self, *args, opens_applet=False):
        pid, window = self.start_first_instance()
        code = self.spawn_app(*args)
        what = " ".join(args) if args else "no arguments"
        self.assertEqual(code, EXIT_CODE_ALREADY_RUNNING,
                         "a second start with %r should exit with -1, got %d" % (what, code))
        if opens_applet:
            self.close_applet(self.wait_applet("after a second start with %r" % what))
        self.settle()
        self.assertInstanceRuns(pid, window, "after a second start with %r" % what)
        visible = [r for r in self.probe.run("windows", pid).records if r.get("visible") == "1"]
        self.assertEqual(visible, [], "after a second start with %r the instance should show nothing" % what)
        # And it still obeys the exit command.
        self.post_command(PROGRAM.ID_EXIT)
        self.assertInstanceEnded(pid, "the exit command after a second start with %r" % what)

    def test_second_start_start_keeps_instance(self):
        self.check_keeps_instance("START")

    def test_second_start_slash_start_keeps_instance(self):
        self.check_keeps_instance("/START")

    def test_second_start_dash_start_keeps_instance(self):
        self.check_keeps_instance("-START")

    def test_second_start_restart_keeps_instance(self):
        self.check_keeps_instance("RESTART")

    def test_second_start_plain_keeps_instance(self):
        # This one asks the instance to open the configuration applet, which
        # shows until it is closed.
        self.check_keeps_instance(opens_applet=True)


class ExitCommand(AppTestCase):

    def test_exit_command_ends_instance(self):
        pid, _ = self.start_first_instance()
        posted = self.post_command(PROGRAM.ID_EXIT)
        self.assertEqual(posted.rc, 0, "could not post the exit command: %s" % posted.describe())
        self.assertInstanceEnded(pid, "after WM_COMMAND %d" % PROGRAM.ID_EXIT)

    def test_start_after_exit_command_is_first_again(self):
        pid, _ = self.start_first_instance()
        self.post_command(PROGRAM.ID_EXIT)
        self.assertInstanceEnded(pid, "after WM_COMMAND %d" % PROGRAM.ID_EXIT)
        again, window = self.start_first_instance()
        self.assertNotEqual(again, pid)
        self.assertEqual(window["visible"], "0", "the new instance's window should be hidden: %r" % window)


if __name__ == "__main__":
    unittest.main()
