#!/usr/bin/python3
"""The demo setup file installed by a user's clicks: real X input (xdotool) on the Wine
session's display, with no automation script in the program.

    install_by_clicks.py --session DIR --demo-setup EXE --probes DIR --work DIR
                         --payload FILE0 ... FILE5 [--form FILE]

The program runs from a folder of its own under --work. The test finds its window on the
display, works out where each control lies on the screen from the window's position and the
bounds in the form definition (--form, by default wizard/kalvo_setup.form of this source
tree), and walks the wizard as a user would: "Next >" on the language page, "Next >" on the
action page ("Install program" is chosen from the start), "Yes. I agree." and "Next >" on
the licence page, "Install" on the folder page.

A recording Program Manager server (kalvo_progman_recorder.exe from --probes) answers the
install's request for the groups only after four seconds, so that the progress page can be
caught while the install runs. Screenshots of the window are written into --work:
install-progress-during.png (in that wait) and install-progress-done.png (after the
install). The installation in the session's prefix is compared with the payload files, and
the recorded command block read. Then "Finish" is clicked: the installed client must appear
and the setup program end.

What the test installs (the installation folder, the Start Menu group "Kalvo", the desktop
shortcut and the launcher Wine makes for it) is removed before and after. It needs the
display to itself: another program's window over the setup window would take the clicks.

One line per check, "ok" or "FAILED"; exit code 1 when a check failed.
"""
import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import time

WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "scripts",
                        "wine-run.sh")
DEFAULT_FORM = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                            "wizard", "kalvo_setup.form")
SETUP_TITLE = "Kalvo.Net - Setup/Updates"
CLIENT_TITLE = "Kalvo.Net - peer-to-peer file sharing"
PAYLOAD_NAMES = ["kalvo.exe", "help.chm", "kalvo.lcf", "kalvo.uri", "media\\media1.avi",
                 "kalvo.dll"]
INSTALL_FOLDER = "C:\\Program Files\\kalvo"
GROUP = "Kalvo"
GROUPS_DELAY_MS = 4000
# A copy of the recorder under a name of its own, so that it can be ended by that name.
RECORDER_NAME = "clicks_progman_recorder.exe"


class CheckFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


def wait_for(predicate, seconds, interval=0.1):
    """The predicate's first true value within the time, or its last value."""
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_text(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as file:
            return file.read()
    except OSError:
        return ""


def read_bytes(path):
    with open(path, "rb") as file:
        return file.read()


# ---- the form definition ---------------------------------------------------------------------

def form_bounds(path):
    """Every control of the form definition with its bounds in the window's client area
    (left, top, width, height), and the client area's size. A control's Left and Top are
    relative to its parent, so the offsets of the enclosing controls are added up."""
    object_line = re.compile(r"^\s*object\s+(\w+)\s*:\s*\w+\s*\{\s*$")
    number_line = re.compile(r"^\s*(Left|Top|Width|Height|ClientWidth|ClientHeight)\s*=\s*"
                             r"(-?\d+)\s*$")
    # The open blocks: ("object", name) or ("value", None) for a property's block.
    stack = []
    values = {}
    parents = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            match = object_line.match(line)
            if match:
                name = match.group(1)
                objects = [entry[1] for entry in stack if entry[0] == "object"]
                parents[name] = objects[-1] if objects else None
                values[name] = {}
                stack.append(("object", name))
                continue
            if line.strip() == "}":
                check(stack, f"{path}: unbalanced braces")
                stack.pop()
                continue
            if line.rstrip().endswith("{"):
                stack.append(("value", None))
                continue
            match = number_line.match(line)
            if match and stack and stack[-1][0] == "object":
                values[stack[-1][1]][match.group(1)] = int(match.group(2))
    check(not stack, f"{path}: unbalanced braces")
    form = next(name for name, parent in parents.items() if parent is None)
    client = (values[form].get("ClientWidth"), values[form].get("ClientHeight"))
    check(None not in client, f"{path}: the form has no client size")

    bounds = {}
    for name in values:
        if name == form or "Width" not in values[name]:
            continue
        left = top = 0
        node = name
        while node != form:
            left += values[node].get("Left", 0)
            top += values[node].get("Top", 0)
            node = parents[node]
        bounds[name] = (left, top, values[name]["Width"], values[name]["Height"])
    return bounds, client


# ---- the display -----------------------------------------------------------------------------

class Display:
    def __init__(self, session):
        with open(os.path.join(session, "env")) as file:
            self.name = re.search(r"DISPLAY=(\S+)", file.read()).group(1)
        self.env = dict(os.environ, DISPLAY=self.name)

    def run(self, *command, text=True):
        return subprocess.run(list(command), env=self.env, capture_output=True, text=text,
                              stdin=subprocess.DEVNULL, timeout=30)

    def visible_windows(self, title):
        """Visible windows whose title matches the regular expression exactly."""
        found = self.run("xdotool", "search", "--onlyvisible", "--name",
                         "^" + re.escape(title) + "$")
        return found.stdout.split()

    def geometry(self, window):
        """(x, y, width, height) of an X window on the screen."""
        result = self.run("xdotool", "getwindowgeometry", "--shell", window)
        check(result.returncode == 0, f"no geometry of window {window}: {result.stderr}")
        fields = dict(line.split("=", 1) for line in result.stdout.split())
        return tuple(int(fields[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def pointer(self):
        result = self.run("xdotool", "getmouselocation", "--shell")
        fields = dict(line.split("=", 1) for line in result.stdout.split())
        return int(fields.get("X", -1)), int(fields.get("Y", -1))

    def click(self, x, y):
        # Not "mousemove --sync": it waits about 15 s when the pointer is already there, as
        # it is when the next page's button lies where the last one was.
        result = self.run("xdotool", "mousemove", str(x), str(y))
        check(result.returncode == 0, f"xdotool could not move the pointer: {result.stderr}")
        check(wait_for(lambda: self.pointer() == (x, y), 10),
              f"the pointer did not reach {x},{y}")
        result = self.run("xdotool", "click", "1")
        check(result.returncode == 0, f"xdotool could not click: {result.stderr}")

    def pixels(self, window):
        """The window's pixels as (width, height, RGB bytes)."""
        _, _, width, height = self.geometry(window)
        result = self.run("import", "-window", window, "-depth", "8", "rgb:-", text=False)
        check(result.returncode == 0 and len(result.stdout) == width * height * 3,
              f"import could not read window {window}: {result.stderr.decode(errors='replace')}")
        return width, height, result.stdout

    def save_png(self, image, path):
        width, height, data = image
        result = subprocess.run(["convert", "-size", f"{width}x{height}", "-depth", "8",
                                 "rgb:-", "png:" + path], input=data, capture_output=True,
                                timeout=30)
        check(result.returncode == 0, f"convert could not write {path}: {result.stderr}")


def region_colours(image, box):
    """The distinct colours inside a box (left, top, width, height) of an image."""
    width, _, data = image
    left, top, box_width, box_height = box
    colours = set()
    for y in range(top, top + box_height):
        row = data[(y * width + left) * 3:(y * width + left + box_width) * 3]
        colours.update(row[i:i + 3] for i in range(0, len(row), 3))
    return colours


def region(image, box):
    width, _, data = image
    left, top, box_width, box_height = box
    return b"".join(data[(y * width + left) * 3:(y * width + left + box_width) * 3]
                    for y in range(top, top + box_height))


# ---- the test --------------------------------------------------------------------------------

class Test:
    # The folder under --work that the program runs from.
    work_folder = "install-by-clicks"

    def __init__(self, args):
        self.args = args
        self.display = Display(args.session)
        self.bounds, self.client_size = form_bounds(args.form)
        self.folder = os.path.join(args.work, self.work_folder)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        drive_c = os.path.join(args.session, "prefix", "drive_c")
        self.drive_c = drive_c
        self.installation = os.path.join(drive_c, *INSTALL_FOLDER[3:].split("\\"))
        self.results = []
        self.setup = None
        self.recorder = None
        self.window = None
        self.origin = None
        self.previous_image = None

    # What the test installs, and nothing else.
    def installed_leftovers(self):
        found = []
        if os.path.lexists(self.installation):
            found.append(self.installation)
        found += glob.glob(os.path.join(self.drive_c, "users", "*", "AppData", "Roaming",
                                        "Microsoft", "Windows", "Start Menu", "Programs", GROUP))
        # The shortcut, and the launcher Wine's menu builder makes beside it.
        for name in ("Kalvo.Net.lnk", "Kalvo.Net.desktop"):
            found += glob.glob(os.path.join(self.drive_c, "users", "*", "Desktop", name))
        return found

    def clean(self):
        for path in self.installed_leftovers():
            if os.path.isdir(path) and not os.path.islink(path):
                shutil.rmtree(path)
            else:
                os.remove(path)

    def wine(self, *command, **options):
        return subprocess.Popen([WINE_RUN, self.args.session, *command],
                                stdin=subprocess.DEVNULL, **options)

    def step(self, name, function):
        """Runs one check; after a failed one the rest are reported as not reached."""
        began = time.monotonic()
        if any(failure for _, failure in self.results):
            failure = "not reached: an earlier check failed"
        else:
            try:
                function()
                failure = None
            except CheckFailed as error:
                failure = str(error)
            except subprocess.TimeoutExpired as error:
                failure = f"timed out: {error}"
        self.results.append((name, failure))
        seconds = time.monotonic() - began
        print(f"ok      {name} ({seconds:.1f} s)" if failure is None else
              f"FAILED  {name}: {failure}", flush=True)

    # ---- the window and its controls

    def screen_point(self, control):
        """The centre of a control on the screen."""
        left, top, width, height = self.bounds[control]
        return self.origin[0] + left + width // 2, self.origin[1] + top + height // 2

    def client_box(self, control):
        """A control's bounds in the window's image."""
        left, top, width, height = self.bounds[control]
        return left + self.frame[0], top + self.frame[1], width, height

    def capture(self):
        return self.display.pixels(self.window)

    def click(self, control, what):
        """Clicks the control and waits until the window shows something else."""
        before = self.previous_image or self.capture()
        self.display.click(*self.screen_point(control))
        after = wait_for(lambda: (lambda image: image if image[2] != before[2] else None)(
            self.capture()), 10, 0.2)
        check(after, f"the window did not change after a click on {what}")
        self.previous_image = after
        return after

    def settled(self, seconds=10):
        """The window's image once two captures half a second apart agree."""
        state = {"last": self.capture()}

        def same():
            time.sleep(0.5)
            image = self.capture()
            agreed = image[2] == state["last"][2]
            state["last"] = image
            return image if agreed else None
        image = wait_for(same, seconds, 0)
        check(image, "the window kept changing")
        return image

    # ---- the steps

    def start(self):
        self.clean()
        check(not self.installed_leftovers(), f"could not clean {self.installed_leftovers()}")
        check(not self.display.visible_windows(SETUP_TITLE),
              "a setup window is already on the display")
        self.start_recorder()
        self.program = os.path.join(self.folder, "kalvo_net_setup.exe")
        shutil.copyfile(self.args.demo_setup, self.program)
        self.start_program(self.program, self.folder)

    def start_recorder(self):
        recorder = os.path.join(self.folder, RECORDER_NAME)
        shutil.copyfile(os.path.join(self.args.probes, "kalvo_progman_recorder.exe"), recorder)
        self.recorder_log = os.path.join(self.folder, "recorder.log")
        self.recorder_record = os.path.join(self.folder, "recorder.record")
        self.recorder = self.wine(recorder, "--groups-delay", str(GROUPS_DELAY_MS),
                                  "--log", windows_path(self.recorder_log),
                                  "--record", windows_path(self.recorder_record),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        started = wait_for(lambda: read_text(self.recorder_log) == "started\n" or
                           self.recorder.poll() is not None, 60)
        check(read_text(self.recorder_log) == "started\n",
              f"the recording Program Manager did not start (exit code "
              f"{self.recorder.poll()}, log {read_text(self.recorder_log)!r})"
              if started else "the recording Program Manager did not start within 60 s")

    def start_program(self, program, folder, output="setup.out"):
        """Starts the setup program (a path Wine understands) in a folder, without a script,
        and waits for its window; self.window, self.frame and self.origin then describe it,
        and self.previous_image holds its settled image."""
        environment = {key: value for key, value in os.environ.items()
                       if not key.startswith("KALVO_AUTOMATION")}
        # The client that Finish starts inherits the program's output: files, not pipes, so
        # that nothing waits for it.
        self.setup_output = open(os.path.join(self.folder, output), "w")
        self.setup = self.wine(program, cwd=folder, env=environment,
                               stdout=self.setup_output, stderr=subprocess.STDOUT)

        # The program waits two seconds before its window shows.
        windows = wait_for(lambda: self.display.visible_windows(SETUP_TITLE) or
                           self.setup.poll() is not None, 60, 0.2)
        check(self.setup.poll() is None,
              f"the setup program ended with exit code {self.setup.poll()} before its window "
              f"showed")
        check(windows, "no window titled " + repr(SETUP_TITLE) + " within 60 s")
        check(len(windows) == 1, f"{len(windows)} windows titled {SETUP_TITLE!r}")
        self.window = windows[0]
        # Under Wine without a window manager the X window holds the frame Wine draws (equal
        # borders left, right and below, the caption above); under a window manager it is the
        # client area alone.
        x, y, width, height = self.display.geometry(self.window)
        client_width, client_height = self.client_size
        border, odd = divmod(width - client_width, 2)
        caption = height - client_height - border
        check(border >= 0 and not odd and caption >= border,
              f"a window of {width}x{height} cannot hold a client area of "
              f"{client_width}x{client_height}")
        self.frame = (border, caption)
        self.origin = (x + border, y + caption)
        self.previous_image = self.settled()

    def walk_to_the_folder_page(self):
        self.click("sButton_next", '"Next >" on the language page')
        self.click("sButton_next1a", '"Next >" on the action page')
        self.click("sRadioButton1", '"Yes. I agree."')
        self.folder_page = self.click("sButton_next2", '"Next >" on the licence page')

    def progress_while_installing(self):
        check(read_text(self.recorder_log) == "started\n",
              f"Program Manager was asked before Install: {read_text(self.recorder_log)!r}")
        self.display.click(*self.screen_point("sButton_next3"))
        asked = wait_for(lambda: "request Groups\n" in read_text(self.recorder_log), 20)
        check(asked, f"the install did not ask Program Manager for its groups: "
              f"{read_text(self.recorder_log)!r}")
        began = time.monotonic()
        # The page has had a moment to paint; the request is answered only after the delay.
        time.sleep(0.8)
        image = self.capture()
        elapsed = time.monotonic() - began
        # Within the wait: the answer had not come (the working folders follow it).
        check(elapsed < GROUPS_DELAY_MS / 1000 - 1 and not os.path.exists(self.installation),
              f"the screenshot came too late ({elapsed:.1f} s after the request)")
        path = os.path.join(self.args.work, "install-progress-during.png")
        self.display.save_png(image, path)
        self.during = image
        check(image[2] != self.folder_page[2], "the window still shows the folder page")
        # Progress 0: the bar holds no more than its background and its edge.
        bar = self.client_box("sProgressBar1")
        inner = (bar[0] + 3, bar[1] + 3, bar[2] - 6, bar[3] - 6)
        check(len(region_colours(image, inner)) == 1,
              "the progress bar is not empty while the install waits")
        print(f"        screenshot {path}", flush=True)

    def progress_when_done(self):
        done = wait_for(lambda: os.path.isfile(os.path.join(self.installation, "uninstall.ini"))
                        and os.path.isfile(os.path.join(self.folder, "uninstall.ini")), 60)
        check(done, "the install wrote no installation records within 60 s")
        check(self.setup.poll() is None,
              f"the setup program ended with exit code {self.setup.poll()}")
        image = self.settled()
        path = os.path.join(self.args.work, "install-progress-done.png")
        self.display.save_png(image, path)
        self.done = image
        self.previous_image = image
        bar = self.client_box("sProgressBar1")
        inner = (bar[0] + 3, bar[1] + 3, bar[2] - 6, bar[3] - 6)
        empty = region_colours(self.during, inner)
        # Full: the right end of the bar is filled as well.
        right_end = (inner[0] + inner[2] - 8, inner[1], 6, inner[3])
        check(region_colours(image, right_end) - empty,
              "the progress bar is not full after the install")
        for control in ("sLabel_status", "sCheckBox3", "sLabel11", "sButton_cansel3a"):
            box = self.client_box(control)
            check(region(image, box) != region(self.during, box),
                  f"{control} looks as it did while the install waited")
        print(f"        screenshot {path}", flush=True)

    def installed_files(self):
        for name, source in zip(PAYLOAD_NAMES, self.args.payload):
            installed = os.path.join(self.installation, *name.split("\\"))
            check(os.path.isfile(installed), f"no {name} in {INSTALL_FOLDER}")
            check(read_bytes(installed) == read_bytes(source), f"{name} differs from {source}")
        check(os.path.isfile(os.path.join(self.installation, "uninstall.exe")),
              "no uninstall.exe")
        record = read_text(os.path.join(self.installation, "uninstall.ini")).splitlines()
        check(f"u_path={INSTALL_FOLDER}\\kalvo.exe" in record and f"u_group={GROUP}" in record,
              f"uninstall.ini holds {record}")
        links = glob.glob(os.path.join(self.drive_c, "users", "*", "Desktop", "Kalvo.Net.lnk"))
        check(links, "no desktop shortcut Kalvo.Net.lnk")
        # The group's commands went to Program Manager as one block.
        log = read_text(self.recorder_log)
        check(log.count("execute ") == 1, f"Program Manager saw {log!r}")
        block = read_text(self.recorder_record)
        check(block.startswith(f'[CreateGroup("{GROUP}",0)]') and
              f'[AddItem("{INSTALL_FOLDER}\\kalvo.exe","Kalvo Start")]' in block,
              f"the command block reads {block!r}")

    def finish_starts_the_client(self):
        check(not self.display.visible_windows(CLIENT_TITLE),
              "a client window is on the display before Finish")
        self.display.click(*self.screen_point("sButton_cansel3a"))
        shown = wait_for(lambda: self.display.visible_windows(CLIENT_TITLE), 60, 0.2)
        ended = wait_for(lambda: self.setup.poll() is not None, 30)
        self.end_clients()
        check(shown, "Finish did not start the client")
        check(ended, "the setup program is still running after Finish")
        check(self.setup.returncode == 0,
              f"the setup program ended with exit code {self.setup.returncode}")

    def end_clients(self):
        if self.display.visible_windows(CLIENT_TITLE):
            subprocess.run([WINE_RUN, self.args.session, "taskkill", "/IM", "kalvo.exe"],
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
            gone = wait_for(lambda: not self.display.visible_windows(CLIENT_TITLE), 30)
            check(gone, "the client did not close")

    def end(self):
        """Ends what the test started and removes what it installed."""
        problems = []
        if self.setup is not None and self.setup.poll() is None:
            self.setup.kill()
            self.setup.wait(timeout=30)
            problems.append("the setup program had to be killed")
        try:
            self.end_clients()
        except CheckFailed as error:
            problems.append(str(error))
        if self.recorder is not None:
            subprocess.run([WINE_RUN, self.args.session, "taskkill", "/IM", RECORDER_NAME],
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
            try:
                self.recorder.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.recorder.kill()
                self.recorder.wait(timeout=30)
                problems.append("the recording Program Manager had to be killed")
        self.clean()
        return problems

    def run(self):
        try:
            self.step("the setup window appears", self.start)
            self.step("clicks walk from the language page to the folder page",
                      self.walk_to_the_folder_page)
            self.step("Install shows the progress page while the install runs",
                      self.progress_while_installing)
            self.step("the progress page when the install is done", self.progress_when_done)
            self.step("the installed files, record, shortcut and group", self.installed_files)
            self.step("Finish starts the client and the setup program ends",
                      self.finish_starts_the_client)
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
    parser.add_argument("--form", default=DEFAULT_FORM, help="the setup window's definition")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    return Test(args).run()


if __name__ == "__main__":
    sys.exit(main())
