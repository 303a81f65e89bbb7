"""The configuration applet (dist/TAVROCFG.CPL) as the cases see it: its
window, the page it shows, its controls' texts and lists, closing it, and its
call log."""

from program_ids import APPLET
from win32 import IDOK

APPLET_TITLE = APPLET.caption("IDD_APPLET")
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
        for control in (APPLET.IDC_PAGE, APPLET.IDC_ADAPTER_ID, APPLET.IDC_DESCRIPTION):
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
        self.post_command(IDOK, "hwnd:" + applet["hwnd"])
        gone = self.probe.run("wait-gone", "hwnd:" + applet["hwnd"], WAIT_APPLET)
        self.assertEqual(gone.rc, 0, "the applet did not close: %s" % gone.describe())


def read_applet_log(path):
    """The lines the applet appended to its log (TAVROCFG_LOG)."""
    try:
        with open(path) as f:
            return [line.rstrip("\n") for line in f if line.strip()]
    except OSError:
        return []
