"""The dialogs of the menu under Wine: "Remove Wireless Status Icon" with the
autorun value in the machine's Run key, context help from it, and the key
field of "Setup Adhoc Wireless Network"."""

import os
import unittest

from e2e_harness import APP, wait_until, winpath
from program_ids import PROGRAM
from tray_support import LINKED, TrayTestCase, adapter
from win32 import BM_CLICK, BM_GETCHECK, IDCANCEL, IDOK, WM_CHAR

RUN_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
RUN_VALUE = "ZEVARIDA.EXE"
REMOVE_TITLE = PROGRAM.caption("IDD_REMOVE_ICON")
ADHOC_TITLE = PROGRAM.caption("IDD_ADHOC_NETWORK")
MESSAGE_BOX_TITLE = "ZEVARIDA"
WAIT_DIALOG = 10


class DialogTestCase(TrayTestCase):

    def setUp(self):
        super().setUp()
        self.help_log_path = os.path.join(self.workdir, "help.log")
        self.wine("reg", "delete", RUN_KEY, "/v", RUN_VALUE, "/f")
        self.addCleanup(self.wine, "reg", "delete", RUN_KEY, "/v", RUN_VALUE, "/f")

    def app_env(self, scenario=None):
        env = super().app_env(scenario)
        env["TAVROCSH_LOG"] = winpath(self.help_log_path)
        return env

    def run_value(self):
        res = self.probe.run("reg-get", RUN_KEY, RUN_VALUE)
        return res.first.get("data") if res.rc == 0 else None

    def open_from_menu(self, command, title):
        self.park_pointer_on(0)
        self.tray_click(0)
        self.choose_menu_item(command)
        res = self.probe.run("wait-window", title, WAIT_DIALOG)
        self.assertEqual(res.rc, 0, "no dialog %r: %s" % (title, res.describe()))
        return res.first

    def control(self, dialog, control_id):
        for record in self.probe.run("children", "hwnd:" + dialog["hwnd"]).records:
            if int(record.get("id", -2)) == control_id:
                return "hwnd:" + record["hwnd"]
        self.fail("the dialog %r has no control %d" % (dialog.get("title"), control_id))

    def checked(self, dialog, control_id):
        return int(self.probe.run("send", self.control(dialog, control_id), BM_GETCHECK).first["result"])

    def click(self, dialog, control_id):
        self.probe.run("post", self.control(dialog, control_id), BM_CLICK)

    def text_of(self, dialog, control_id):
        return self.probe.run("get-text", self.control(dialog, control_id)).first.get("text", "")


class RemoveStatusIcon(DialogTestCase):

    def test_yes_with_the_box_ticked_deletes_the_run_value_and_ends(self):
        self.assertEqual(self.wine("reg", "add", RUN_KEY, "/v", RUN_VALUE, "/d", '"C:\\Old\\ZEVARIDA.EXE" /START',
                                   "/f"), 0)
        pid = self.start_tray([adapter(0, "Wireless LAN Card A")], icons={0: LINKED})
        dialog = self.open_from_menu(PROGRAM.ID_REMOVE_STATUS_ICON, REMOVE_TITLE)
        self.assertEqual(self.checked(dialog, PROGRAM.IDC_REMOVE_PERMANENTLY), 0, "registered: the box opens clear")
        self.click(dialog, PROGRAM.IDC_REMOVE_PERMANENTLY)
        self.click(dialog, IDOK)
        self.assertInstanceEnded(pid, "after \"&Yes\" with the box ticked")
        self.assertIsNone(self.run_value(), "the Run value should be deleted")

    def test_no_writes_the_quoted_path_and_f1_opens_the_dialogs_topic(self):
        pid = self.start_tray([adapter(0, "Wireless LAN Card A")], icons={0: LINKED})
        with open(self.help_log_path) as f:
            self.assertEqual(f.read().splitlines(), ['CSHInitialize file="ZEVARIDA.hlp" flag=1'])
        dialog = self.open_from_menu(PROGRAM.ID_REMOVE_STATUS_ICON, REMOVE_TITLE)
        self.assertEqual(self.checked(dialog, PROGRAM.IDC_REMOVE_PERMANENTLY), 1, "not registered: the box opens ticked")
        self.screenshot("dialog_remove_icon")

        viewer = self.probe.start("help-viewer", 8)
        wait_until(lambda: self.probe.run("find-window", "class:MS_WINHELP").rc == 0, 5, 0.1)
        # F1 from the keyboard (Wine makes WM_HELP of real key input only).
        front = self.probe.run("foreground")
        self.assertEqual(front.first.get("hwnd"), dialog["hwnd"], "the dialog should be in front: %r" % front.first)
        self.xdotool("key", "F1")
        help_request = viewer.finish()
        self.assertEqual(help_request.rc, 0, "the help viewer got no request: %s" % help_request.describe())
        request = help_request.records[-1]
        # The topic of a dialog is its template's number.
        self.assertEqual((request["command"], request["context"], request["file"]),
                         ("1", str(PROGRAM.IDD_REMOVE_ICON), "ZEVARIDA.hlp"))
        self.assertEqual(int(request["window"], 16), self.hwnd, "the request comes from the tray window")

        # Another process floods the program with the same command: the open
        # dialog stays the only one, and none follows it once it closes.
        for _ in range(30):
            self.post_command(PROGRAM.ID_REMOVE_STATUS_ICON)
        self.settle()
        self.assertEqual([r["hwnd"] for r in self.probe.run("find-window", REMOVE_TITLE).records], [dialog["hwnd"]])

        self.click(dialog, IDCANCEL)
        self.assertEqual(self.probe.run("wait-gone", "hwnd:" + dialog["hwnd"], WAIT_DIALOG).rc, 0)
        self.settle()
        self.assertNotEqual(self.probe.run("find-window", REMOVE_TITLE).rc, 0, "a queued command opened another")
        self.assertEqual(self.run_value(), '"%s" /START' % winpath(APP))
        self.assertInstanceRuns(pid, self.window, "after \"&No\"")


class AdhocNetwork(DialogTestCase):

    def test_key_field_refuses_g_and_ok_explains_a_short_key(self):
        self.start_tray([adapter(0, "Wireless LAN Card A")], icons={0: LINKED})
        self.park_pointer_on(0)
        self.hold_keys("ctrl", "shift")
        self.tray_click(0)
        self.read_menu()
        self.release_keys("ctrl", "shift")
        self.choose_menu_item(PROGRAM.ID_COMPUTER_TO_COMPUTER)
        res = self.probe.run("wait-window", ADHOC_TITLE, WAIT_DIALOG)
        self.assertEqual(res.rc, 0, "no dialog %r: %s" % (ADHOC_TITLE, res.describe()))
        dialog = res.first
        key = self.control(dialog, PROGRAM.IDC_ENCRYPTION_KEY)
        for character in "G" + "1" * 25:
            self.probe.run("post", key, WM_CHAR, ord(character))
        self.assertEqual(self.text_of(dialog, PROGRAM.IDC_ENCRYPTION_KEY), "1" * 25, "'G' should be refused")
        self.screenshot("dialog_adhoc_network")

        self.click(dialog, IDOK)
        box = self.probe.run("wait-window", MESSAGE_BOX_TITLE, WAIT_DIALOG)
        self.assertEqual(box.rc, 0, "no message box: %s" % box.describe())
        texts = [r.get("text") for r in self.probe.run("children", "hwnd:" + box.first["hwnd"]).records
                 if r.get("class") == "Static" and r.get("text")]
        self.assertEqual(texts, ["Invalid key length of 25 characters. Please enter exactly 26 characters."])
        self.screenshot("dialog_adhoc_short_key")
        self.post_command(IDOK, "hwnd:" + box.first["hwnd"])
        self.assertEqual(self.probe.run("wait-gone", "hwnd:" + box.first["hwnd"], WAIT_DIALOG).rc, 0)
        self.assertEqual(self.probe.run("find-window", "hwnd:" + dialog["hwnd"]).rc, 0,
                         "the dialog should stay open after the message")
        self.click(dialog, IDCANCEL)


if __name__ == "__main__":
    unittest.main()
