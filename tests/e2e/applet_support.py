"""The configuration applet (dist/TAVROCFG.CPL) as the cases see it: its
window, the page it shows, its controls' texts and lists, closing it, and its
call log."""

import os

APPLET_TITLE = "Wireless LAN Configuration"
# Controls of the applet's window (tavrocfg/res/resource.h).
IDC_PAGE = 1002
IDC_ADAPTER_ID = 1003
IDC_DESCRIPTION = 1004
IDC_SYSTEM_SETTINGS = 1005
IDC_OPEN_SYSTEM_SETTINGS = 1006
IDOK = 1
WM_COMMAND = 0x0111
WAIT_APPLET = 10


class AppletMixin:
    """For AppTestCase cases: the applet opened inside the program."""

    def wait_applet(self, what):
        res = self.probe.run("wait-window", APPLET_TITLE, WAIT_APPLET)
        self.assertEqual(res.rc, 0, "%s: no window %r within %d s: %s"
                         % (what, APPLET_TITLE, WAIT_APPLET, res.describe()))
        return res.first

    def applet_page(self, applet):
        """(page keyword, adapter identifier, description) as the applet shows them."""
        texts = []
        for control in (IDC_PAGE, IDC_ADAPTER_ID, IDC_DESCRIPTION):
            res = self.probe.run("get-text", "hwnd:" + applet["hwnd"], control)
            self.assertEqual(res.rc, 0, "could not read control %d of the applet: %s" % (control, res.describe()))
            texts.append(res.first.get("text", ""))
        return tuple(texts)

    def applet_texts(self, applet):
        """{control id: (text, enabled, hwnd)} of every control of the window and its pages."""
        res = self.probe.run("children", "hwnd:" + applet["hwnd"])
        self.assertEqual(res.rc, 0, res.describe())
        return {int(r["id"]): (r.get("text", ""), r["enabled"] == "1", r["hwnd"]) for r in res.records}

    def applet_list(self, applet, control, select=-1):
        """The rows of a list view of the applet, each a list of its cells, after selecting row SELECT."""
        res = self.probe.run("read-list", "hwnd:" + applet["hwnd"], control, select)
        self.assertEqual(res.rc, 0, res.describe())
        return [r["text"].split("\t") for r in res.records if "row" in r]

    def close_applet(self, applet):
        self.probe.run("post", "hwnd:" + applet["hwnd"], WM_COMMAND, IDOK)
        gone = self.probe.run("wait-gone", "hwnd:" + applet["hwnd"], WAIT_APPLET)
        self.assertEqual(gone.rc, 0, "the applet did not close: %s" % gone.describe())


def read_applet_log(path):
    """The lines the applet appended to its log (TAVROCFG_LOG)."""
    try:
        with open(path) as f:
            return [line.rstrip("\n") for line in f if line.strip()]
    except OSError:
        return []
