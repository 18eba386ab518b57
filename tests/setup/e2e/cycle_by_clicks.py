#!/usr/bin/python3
"""The demo client installed, updated and uninstalled by a user's clicks: real X input
(xdotool) on the Wine session's display, with no automation script in the program.

    cycle_by_clicks.py --session DIR --demo-setup EXE --probes DIR --work DIR
                       --payload FILE0 ... FILE5 [--form FILE] [--alert-form FILE]

The install is the one of install_by_clicks.py (its window handling, clicks and checks are
imported from there), except that Finish is clicked with "Launch Kalvo.Net" cleared, so that
no client starts. Then, as a user who downloads the same setup file again:

- the setup file is started again from its folder, where the install left its record: the
  action page offers the update; "Next >" replaces the installed kalvo.exe at once on the
  update page (it must come out new and equal to the payload's, while a setting the user
  changed in kalvo.uri stays); Finish, launch box cleared, ends the program;
- the installed C:\\Program Files\\kalvo\\uninstall.exe is started: the action page offers the
  uninstall; "Next >" asks for confirmation in a dialog, where Enter alone answers "No" and
  leaves everything as it was; "Next >" again and "Yes" remove the installation (the
  folder keeps only uninstall.exe, the desktop shortcut goes, Program Manager is asked to
  delete the group); Finish ends the program;
- uninstall.exe started again shows only the page that says the uninstall is finished; its
  button ends the program.

Program Manager is the recording server of install_by_clicks.py, so the group is checked in
the command blocks it received (Wine's own server carries out only the first line of a
block). Every page reached is saved as a PNG into --work (cycle-NN-*.png; the install's
progress pages as install-progress-during.png and install-progress-done.png).

What the test installs (the installation folder, the Start Menu group "Kalvo", the desktop
shortcut and the launcher Wine makes for it) is removed before and after. It needs the
display to itself: another program's window over the setup window would take the clicks.

One line per check, "ok" or "FAILED"; exit code 1 when a check failed.
"""
import argparse
import glob
import os
import sys
import time

# The test imports its neighbour; no compiled copy of it is left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import install_by_clicks as clicks  # noqa: E402
from install_by_clicks import (CLIENT_TITLE, INSTALL_FOLDER, SETUP_TITLE,  # noqa: E402
                               check, form_bounds, read_bytes, read_text, region,
                               region_colours, wait_for)

DEFAULT_ALERT_FORM = os.path.join(os.path.dirname(clicks.DEFAULT_FORM), "alert_form.form")
# The confirmation dialog has no title bar; its window keeps the form's caption.
ALERT_TITLE = "alert_form"
UNINSTALLER = INSTALL_FOLDER + "\\uninstall.exe"
# The setting the user changed before the update, and what it was.
SETTING_BEFORE = b"Port=6150\r\n"
SETTING_AFTER = b"Port=6222\r\n"
# An installed client far older than anything the update could leave behind.
OLD_TIME = 978307200  # 2001-01-01
# The program's image: the setup file's bytes before its payload.
STUB_SIZE = 1641984
# How long a client would take at most to show its window after Finish.
CLIENT_GRACE = 6


def glyph(box):
    """The square of a check box's or radio button's mark: at the left, centred vertically."""
    left, top, _, height = box
    return left, top + (height - 13) // 2, 13, 13


def marked(image, box):
    """Whether the mark of a check box or radio button inside the box is set: a set mark has
    dark pixels (the dot, the tick) inside its square, a clear one has none."""
    left, top, width, height = glyph(box)
    inner = (left + 3, top + 3, width - 6, height - 6)
    data = region(image, inner)
    dark = sum(1 for i in range(0, len(data), 3) if max(data[i:i + 3]) < 96)
    return dark >= 3


class Cycle(clicks.Test):
    work_folder = "cycle-by-clicks"

    def __init__(self, args):
        super().__init__(args)
        self.alert_bounds, self.alert_size = form_bounds(args.alert_form)
        self.shots = 0
        self.images = {}

    # ---- helpers

    def shot(self, name, image=None):
        """Saves the window's image (or the one given) as the next numbered screenshot."""
        image = image or self.settled()
        self.shots += 1
        path = os.path.join(self.args.work, f"cycle-{self.shots:02d}-{name}.png")
        self.display.save_png(image, path)
        self.images[name] = image
        self.previous_image = image
        print(f"        screenshot {path}", flush=True)
        return image

    def installed(self, name):
        return os.path.join(self.installation, *name.split("\\"))

    def action_choice(self, image, chosen):
        """Of the three radio buttons of the action page, exactly the chosen one is set."""
        names = {"sRadioButton3": "Install", "sRadioButton4": "Update",
                 "sRadioButton5": "Uninstall"}
        shown = {control: marked(image, self.client_box(control)) for control in names}
        check(shown[chosen] and sum(shown.values()) == 1,
              "the action page shows " +
              (", ".join(names[c] for c, on in shown.items() if on) or "no choice") +
              f" chosen, not {names[chosen]} alone")

    def clear_launch_box(self, control):
        """Clears the launch box by a click; the box must have been set."""
        image = self.settled()
        check(marked(image, self.client_box(control)), f"{control} is not checked")
        image = self.click(control, "the launch box")
        image = self.settled()
        check(not marked(image, self.client_box(control)),
              f"{control} is still checked after a click on it")
        return image

    def finish(self, control, what):
        """Clicks the page's closing button: the program must end at once, alone."""
        self.display.click(*self.screen_point(control))
        ended = wait_for(lambda: self.setup.poll() is not None, 30)
        check(ended, f"the setup program is still running after a click on {what}")
        check(self.setup.returncode == 0,
              f"the setup program ended with exit code {self.setup.returncode}")
        check(wait_for(lambda: not self.display.visible_windows(SETUP_TITLE), 10),
              "the setup window is still on the display")

    def no_client(self):
        shown = wait_for(lambda: self.display.visible_windows(CLIENT_TITLE), CLIENT_GRACE, 0.2)
        self.end_clients()
        check(not shown, "the client started though its launch box was cleared")

    def full_bar(self, image, control, whose):
        """The progress bar is full: its right end is filled like its left end, unlike the
        empty bar of the install's progress page caught while the install waited (the bars of
        the three progress pages lie on the same spot and have the same size)."""
        check(self.bounds[control] == self.bounds["sProgressBar1"],
              f"{control} does not lie where the install's progress bar lies")
        bar = self.client_box(control)
        right_end = (bar[0] + bar[2] - 11, bar[1] + 3, 6, bar[3] - 6)
        left_end = (bar[0] + 3, bar[1] + 3, 6, bar[3] - 6)
        check(region(image, right_end) == region(image, left_end) and
              region(image, right_end) != region(self.during, right_end),
              f"{whose} progress bar is not full")

    def installation_entries(self):
        found = []
        for folder, folders, files in os.walk(self.installation):
            relative = os.path.relpath(folder, self.installation)
            found += [os.path.normpath(os.path.join(relative, name)) for name in folders + files]
        return sorted(found)

    def desktop_shortcuts(self):
        return glob.glob(os.path.join(self.drive_c, "users", "*", "Desktop", "Kalvo.Net.lnk"))

    # ---- the install

    def install_pages(self):
        self.shot("install-language")
        self.click("sButton_next", '"Next >" on the language page')
        self.action_choice(self.shot("install-action"), "sRadioButton3")
        self.click("sButton_next1a", '"Next >" on the action page')
        self.click("sRadioButton1", '"Yes. I agree."')
        self.shot("install-licence")
        self.folder_page = self.click("sButton_next2", '"Next >" on the licence page')
        self.shot("install-folder")

    def install_finish(self):
        self.shot("install-done")
        self.shot("install-done-launch-cleared", self.clear_launch_box("sCheckBox3"))
        self.finish("sButton_cansel3a", "Finish")
        self.no_client()
        check(os.path.isfile(os.path.join(self.folder, "uninstall.ini")),
              "no uninstall.ini beside the setup file")
        self.after_install = self.installation_entries()

    # ---- the update

    def update_start(self):
        # What a user may have done meanwhile: changed a setting. The client is made to look
        # old, so that its replacement shows in its time.
        uri = self.installed("kalvo.uri")
        settings = read_bytes(uri)
        check(SETTING_BEFORE in settings, f"kalvo.uri holds no {SETTING_BEFORE!r}")
        with open(uri, "wb") as file:
            file.write(settings.replace(SETTING_BEFORE, SETTING_AFTER))
        self.changed_settings = read_bytes(uri)
        os.utime(self.installed("kalvo.exe"), (OLD_TIME, OLD_TIME))

        self.start_program(self.program, self.folder, "update.out")
        self.shot("update-language")
        self.click("sButton_next", '"Next >" on the language page')
        self.action_choice(self.shot("update-action"), "sRadioButton4")

    def update_page(self):
        self.display.click(*self.screen_point("sButton_next1a"))
        # The update runs inside the click; the page is complete when Finish is enabled, which
        # is seen on the screen below and proved by the click on it afterwards.
        client = self.installed("kalvo.exe")
        replaced = wait_for(lambda: os.path.getmtime(client) != OLD_TIME and
                            not os.path.exists(client + ".new"), 60)
        check(replaced, "kalvo.exe was not replaced within 60 s")
        check(not self.display.visible_windows(ALERT_TITLE), "the update asked a question")
        check(self.setup.poll() is None,
              f"the setup program ended with exit code {self.setup.poll()}")
        image = self.shot("update-done")
        check(image[2] != self.images["update-action"][2], "the window still shows the action page")
        # Only "Current Version:" stays: the "Available Version:" line is blank.
        for control in ("sLabel18", "sLabel_aviable_version"):
            check(len(region_colours(image, self.client_box(control))) == 1,
                  f"{control} is still shown after the update")
        check(len(region_colours(image, self.client_box("sLabel_curr_version"))) > 1,
              "the update page shows no current version")
        self.full_bar(image, "sProgressBar3", "the update's")

    def updated_files(self):
        client = self.installed("kalvo.exe")
        check(read_bytes(client) == read_bytes(self.args.payload[0]),
              "the updated kalvo.exe differs from the payload's")
        check(time.time() - os.path.getmtime(client) < 600,
              f"kalvo.exe was written {time.time() - os.path.getmtime(client):.0f} s ago")
        check(read_bytes(self.installed("kalvo.uri")) == self.changed_settings,
              "the update did not keep the changed kalvo.uri")
        for name, source in zip(clicks.PAYLOAD_NAMES[1:], self.args.payload[1:]):
            if name != "kalvo.uri":
                check(read_bytes(self.installed(name)) == read_bytes(source),
                      f"{name} changed in the update")
        entries = self.installation_entries()
        check(entries == self.after_install,
              f"the update changed the installation's entries: before {self.after_install}, "
              f"after {entries}")
        check(self.desktop_shortcuts(), "the update removed the desktop shortcut")

    def update_finish(self):
        self.shot("update-done-launch-cleared", self.clear_launch_box("sCheckBox4"))
        self.finish("sButton_4_update", "Finish")
        self.no_client()

    # ---- the uninstall

    def uninstall_start(self):
        self.start_program(UNINSTALLER, self.installation, "uninstall.out")
        self.shot("uninstall-language")
        self.click("sButton_next", '"Next >" on the language page')
        self.action_choice(self.shot("uninstall-action"), "sRadioButton5")

    def open_question(self):
        """Clicks "Next >" on the action page and waits for the confirmation dialog."""
        self.display.click(*self.screen_point("sButton_next1a"))
        dialogs = wait_for(lambda: self.display.visible_windows(ALERT_TITLE), 20, 0.2)
        check(dialogs, "no confirmation dialog within 20 s")
        check(len(dialogs) == 1, f"{len(dialogs)} confirmation dialogs")
        self.dialog = dialogs[0]
        x, y, width, height = self.display.geometry(self.dialog)
        check((width, height) == self.alert_size,
              f"the dialog is {width}x{height}, not {self.alert_size[0]}x{self.alert_size[1]}")
        self.dialog_origin = (x, y)
        # Nothing is removed while the question is open.
        check(os.path.isfile(self.installed("kalvo.exe")), "kalvo.exe went before the answer")

        def settled_dialog():
            first = self.display.pixels(self.dialog)
            time.sleep(0.5)
            second = self.display.pixels(self.dialog)
            return second if second[2] == first[2] else None
        image = wait_for(settled_dialog, 10, 0)
        check(image, "the dialog kept changing")
        return image

    def enter_answers_no(self):
        """The question opens with the keyboard on "No": Enter alone keeps the installation."""
        self.shot("uninstall-question", self.open_question())
        entries = self.installation_entries()
        result = self.display.run("xdotool", "key", "Return")
        check(result.returncode == 0, f"xdotool could not press Enter: {result.stderr}")
        check(wait_for(lambda: not self.display.visible_windows(ALERT_TITLE), 20),
              "the dialog stayed after Enter")
        # The action page again, uninstall still chosen; only the keyboard's place may differ
        # ("Next >" keeps it).
        image = self.shot("uninstall-action-after-no")
        before = self.images["uninstall-action"]
        for control in ("sLabel3", "sRadioButton3", "sRadioButton4", "sButton_prev1a"):
            box = self.client_box(control)
            check(region(image, box) == region(before, box),
                  f"{control} looks different after the answer No")
        self.action_choice(image, "sRadioButton5")
        time.sleep(1)
        check(self.installation_entries() == entries,
              "the installation changed after the answer No")
        check(self.setup.poll() is None,
              f"the setup program ended with exit code {self.setup.poll()}")

    def uninstall_page(self):
        self.open_question()
        # The click lands on "Yes" only if the dialog lies above every other window.
        left, top, width, height = self.alert_bounds["sButton1"]
        self.display.click(self.dialog_origin[0] + left + width // 2,
                           self.dialog_origin[1] + top + height // 2)
        check(wait_for(lambda: not self.display.visible_windows(ALERT_TITLE), 20),
              "the dialog stayed after a click on Yes")
        emptied = wait_for(lambda: self.installation_entries() == ["uninstall.exe"], 60)
        check(emptied, f"the installation folder holds {self.installation_entries()}")
        check(self.setup.poll() is None,
              f"the setup program ended with exit code {self.setup.poll()}")
        image = self.shot("uninstall-done")
        check(image[2] != self.images["uninstall-action"][2],
              "the window still shows the action page")
        self.full_bar(image, "sProgressBar2", "the uninstall's")
        check(len(region_colours(image, self.client_box("sLabel15"))) > 1,
              "the uninstall page shows no closing line")

    def uninstalled(self):
        # The uninstaller stays as the install wrote it: the program without its payload.
        check(read_bytes(self.installed("uninstall.exe")) ==
              read_bytes(self.args.demo_setup)[:STUB_SIZE],
              "uninstall.exe is not the setup file's program")
        check(not self.desktop_shortcuts(), "the desktop shortcut is still there")
        # The group: the second block Program Manager received empties and deletes it.
        log = read_text(self.recorder_log)
        check(log.count("execute ") == 2, f"Program Manager saw {log!r}")
        block = read_text(self.recorder_record)
        group = clicks.GROUP
        removal = (f'[ShowGroup("{group}",1,0)]\n[DeleteItem("Kalvo Start")]\n'
                   f'[DeleteItem("Kalvo Help")]\n[DeleteItem("Kalvo Uninstall")]\n'
                   f'[DeleteGroup("{group}")]')
        check(block.rstrip("\n").endswith(removal), f"the command blocks read {block!r}")

    def uninstall_finish(self):
        self.finish("sButton_4_uninstall", "Finish")

    def finished_page(self):
        self.start_program(UNINSTALLER, self.installation, "finished.out")
        image = self.shot("uninstall-finished")
        for page in ("uninstall-language", "uninstall-done"):
            check(image[2] != self.images[page][2], f"the window looks as on {page}")
        self.finish("sButton_uninstall_completed", "its button")

    def run(self):
        try:
            self.step("the setup window appears on a clean machine", self.start)
            self.step("clicks walk the install from the language page to the folder page",
                      self.install_pages)
            self.step("Install shows the progress page while the install runs",
                      self.progress_while_installing)
            self.step("the progress page when the install is done", self.progress_when_done)
            self.step("the installed files, record, shortcut and group", self.installed_files)
            self.step("Finish with the launch box cleared ends the install; no client starts",
                      self.install_finish)
            self.step("the setup file started again offers the update", self.update_start)
            self.step('"Next >" updates at once on the update page', self.update_page)
            self.step("the update replaced kalvo.exe and kept the changed settings",
                      self.updated_files)
            self.step("Finish with the launch box cleared ends the update; no client starts",
                      self.update_finish)
            self.step("the installed uninstall.exe offers the uninstall", self.uninstall_start)
            self.step('"Next >" asks before the uninstall; Enter answers "No"',
                      self.enter_answers_no)
            self.step('"Next >" again and "Yes" uninstall on the uninstall page',
                      self.uninstall_page)
            self.step("the shortcut and the group are removed", self.uninstalled)
            self.step("Finish ends the uninstall", self.uninstall_finish)
            self.step("uninstall.exe started again shows the finished page and its button ends "
                      "it", self.finished_page)
        finally:
            problems = self.end()
        failed = [name for name, failure in self.results if failure]
        if problems:
            print("FAILED  clean-up: " + "; ".join(problems), flush=True)
        print(f"{len(self.results) - len(failed)} checks passed, {len(failed)} failed")
        return 1 if failed or problems else 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--session", required=True)
    parser.add_argument("--demo-setup", required=True,
                        help="the demo setup file: the program and its payload")
    parser.add_argument("--probes", required=True,
                        help="the folder of kalvo_progman_recorder.exe")
    parser.add_argument("--work", required=True)
    parser.add_argument("--payload", nargs=6, required=True,
                        help="the demo payload's six files in chunk order")
    parser.add_argument("--form", default=clicks.DEFAULT_FORM,
                        help="the setup window's definition")
    parser.add_argument("--alert-form", default=DEFAULT_ALERT_FORM,
                        help="the confirmation dialog's definition")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    return Cycle(args).run()


if __name__ == "__main__":
    sys.exit(main())
