"""End-to-end tests of the installation, the update and the uninstall: the demo setup file
and its uninstaller copy under wine64, in the build's Wine session (run through
setup_e2e.py, groups install, uninstall and update). The cases look at what the program left
in the session's prefix: the installation folder, the records, the Start Menu group and the
desktop shortcut."""
import glob
import os
import re
import shutil
import subprocess
import time

from e2e_support import (CLIENT_TITLES, SETUP_STUB_SIZE, WINE_RUN, check,
                         control, dialog_texts, ended_by, expects, flip_bit_in_chunk, front_page,
                         quoted, walk_nodes, windows_path)

DEFAULT_FOLDER = "C:\\Program Files\\kalvo"
WORKING_FOLDERS = [
    "", "output", "output\\additional", "outputlocal", "outputlocal\\additional",
    "outputlocal\\pools", "posters", "media", "search",
] + [f"search\\sec{n}" for n in range(1, 9)]
PAYLOAD_NAMES = ["kalvo.exe", "help.chm", "kalvo.lcf", "kalvo.uri", "media\\media1.avi",
                 "kalvo.dll"]
SHORTCUT_DESCRIPTION = "Click here to start Kalvo.Net"
CLIENT_TITLE = CLIENT_TITLES[0]
MESSAGE_26 = ("It is impossible to create a working directory of the program on the specified "
              "path. Select other path for program installation.")

# From the language page to the folder page, licence accepted.
TO_FOLDER_PAGE = ("wait-idle\nclick sButton_next\nclick sButton_next1a\nclick sRadioButton1\n"
                  "click sButton_next2\n" + expects([("sPanel_3_install.Visible", "true")]))
# Replaces the group name field's "Kalvo" (the field starts with it) by TEXT.
def group_field(text):
    return ("click sEdit1\nkey End\n" + "key Backspace\n" * 5 +
            (f"type sEdit1 {quoted(text)}\n" if text else "") +
            expects([("sEdit1.Text", quoted(text))]))


def read_record(path):
    """The lines of an installation record, without line ends."""
    with open(path, encoding="ascii") as file:
        return file.read().splitlines()


def record_lines(group, shortcut):
    return ["[main_section]", f"u_path={DEFAULT_FOLDER}\\kalvo.exe", f"u_group={group}",
            f"u_ico={1 if shortcut else 0}", f"u_ico_path={shortcut or '...'}"]


def read_bytes(path):
    with open(path, "rb") as file:
        return file.read()


class Machine:
    """The session's Windows machine as an installation leaves it: the installation folder,
    the Start Menu groups and the desktop, reached through the prefix's drive C."""

    def __init__(self, harness):
        self.harness = harness
        self.drive_c = os.path.join(harness.session, "prefix", "drive_c")
        self.installation = os.path.join(self.drive_c, "Program Files", "kalvo")

    def unix_path(self, windows):
        check(windows[:3].upper() == "C:\\", f"not on drive C: {windows}")
        return os.path.join(self.drive_c, *windows[3:].split("\\"))

    def user_folders(self, *below):
        """The folder `below` of every user of the prefix but the shared one."""
        return [path for path in glob.glob(os.path.join(self.drive_c, "users", "*", *below))
                if os.path.relpath(path, os.path.join(self.drive_c, "users")).split(os.sep)[0]
                != "Public"]

    def programs_folder(self):
        found = self.user_folders("AppData", "Roaming", "Microsoft", "Windows", "Start Menu",
                                  "Programs")
        check(len(found) == 1, f"Start Menu program folders: {found}")
        return found[0]

    def desktop_windows_path(self):
        desktop = self.user_folders("Desktop")
        check(len(desktop) == 1, f"desktop folders: {desktop}")
        return f"C:\\users\\{os.path.basename(os.path.dirname(desktop[0]))}\\Desktop"

    def desktop_links(self):
        return glob.glob(os.path.join(self.drive_c, "users", "*", "Desktop", "Kalvo.Net.lnk"))

    def clean(self):
        """No installation, group or shortcut of an earlier case."""
        if os.path.isdir(self.installation):
            # Read-only folders of a case would stop the removal.
            for root, folders, _ in os.walk(self.installation):
                for name in folders:
                    os.chmod(os.path.join(root, name), 0o755)
        shutil.rmtree(self.installation, ignore_errors=True)
        if os.path.lexists(self.installation):
            os.remove(self.installation)
        for group in glob.glob(os.path.join(self.programs_folder(), "Kalvo*")):
            shutil.rmtree(group)
        for link in self.desktop_links():
            os.remove(link)
        # The launcher Wine's menu builder writes beside a new shortcut.
        for launcher in glob.glob(os.path.join(self.drive_c, "users", "*", "Desktop",
                                               "Kalvo.Net.desktop")):
            os.remove(launcher)

    def place_demo(self, folder):
        check(self.harness.demo_setup is not None, "no demo setup file given")
        program = os.path.join(folder, "kalvo_net_setup.exe")
        shutil.copyfile(self.harness.demo_setup, program)
        return program

    def install(self, folder, script_before_install=""):
        """Installs the demo from `folder` with the defaults (and whatever the script changes
        on the folder page first); returns the setup file's path."""
        program = self.place_demo(folder)
        run = self.harness.run(program, TO_FOLDER_PAGE + script_before_install +
                               "click sButton_next3\nwait-idle\n" +
                               expects([("sProgressBar1.Position", "100")]) + "quit\n")
        run.passed()
        return program

    def check_installed_files(self, extra=()):
        """The installation folder holds what an install writes, and the `extra` files that
        were there before."""
        installation = self.installation
        folders = sorted(os.path.relpath(root, installation).replace("/", "\\").replace(".", "")
                         for root, _, _ in os.walk(installation))
        check(folders == sorted(WORKING_FOLDERS), f"folders: {folders}")
        files = sorted(os.path.relpath(os.path.join(root, name), installation).replace("/", "\\")
                       for root, _, names in os.walk(installation) for name in names)
        expected = sorted(PAYLOAD_NAMES + ["uninstall.exe", "uninstall.ini"] + list(extra))
        check(files == expected, f"files: {files}")
        for name, source in zip(PAYLOAD_NAMES, self.harness.payload):
            check(read_bytes(os.path.join(installation, *name.split("\\"))) == read_bytes(source),
                  f"{name} differs from {source}")
        stub = read_bytes(self.harness.setup)
        check(read_bytes(os.path.join(installation, "uninstall.exe")) == stub,
              "uninstall.exe is not the program image")
        check(read_bytes(self.harness.demo_setup)[:SETUP_STUB_SIZE] == stub,
              "the demo setup does not start with the program image")

    def run_damaged_after_start(self, program, script, chunk):
        """Runs the setup file with `script`, flipping a bit in the middle of payload chunk
        `chunk` once the program is past its start-up check (it writes started.json first and
        waits for the test)."""
        started = os.path.join(os.path.dirname(program), "started.json")
        began = time.monotonic()
        process = self.harness.start(program, "wait-idle\ndump started.json\nsleep 3000\n" + script)
        while process.poll() is None and not os.path.exists(started):
            time.sleep(0.05)
        ended_early = process.poll() is not None
        if not ended_early:
            flip_bit_in_chunk(program, chunk, 0x10)
        run = self.harness.finish(process, program, began)
        check(not ended_early, f"the program ended before its file was damaged:\n{run.log}")
        return run

    def start_recorder(self, folder, groups):
        """The test's own Program Manager: answers "Groups" with `groups` (bytes) and records
        the command blocks. Started first, it is the server the setup program reaches."""
        groups_file = os.path.join(folder, "groups.txt")
        with open(groups_file, "wb") as file:
            file.write(groups)
        log = os.path.join(folder, "recorder.log")
        record = os.path.join(folder, "recorded.bin")
        process = subprocess.Popen(
            [WINE_RUN, self.harness.session,
             os.path.join(self.harness.probes, "kalvo_progman_recorder.exe"),
             "--groups", windows_path(groups_file), "--record", windows_path(record),
             "--log", windows_path(log)],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        text = ""
        while time.monotonic() < deadline and process.poll() is None and not text:
            time.sleep(0.1)
            text = open(log).read() if os.path.exists(log) else ""
        check(text == "started\n", f"the recorder did not start: {text!r}")
        return process, log, record

    def end_program(self, image, process=None):
        """Ends every process of that image name (asked to close, as a user would)."""
        subprocess.run([WINE_RUN, self.harness.session, "taskkill", "/IM", image],
                       stdin=subprocess.DEVNULL, capture_output=True)
        if process is not None:
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()

    def hold_file(self, windows_file, folder):
        """Starts a program that holds the file open as a running program holds its files;
        end it with end_program("kalvo_file_holder.exe", process)."""
        log = os.path.join(folder, "holder.log")
        process = subprocess.Popen([WINE_RUN, self.harness.session, self.harness.file_holder,
                                    windows_file, windows_path(log)],
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and not (
                os.path.exists(log) and open(log).read() == "held\n"):
            time.sleep(0.1)
        if not os.path.exists(log):
            self.end_program("kalvo_file_holder.exe", process)
            check(False, f"{windows_file} is not held")
        return process

    def stop_recorder(self, process):
        self.end_program("kalvo_progman_recorder.exe", process)

    def case(self, name, function, *args, stand_in=True):
        """A case run with the test's recording Program Manager standing in for Wine's, which
        opens a folder window for every group it makes or shows; such a window takes the
        keyboard from the program at a moment of its own choosing. stand_in=False for the
        cases that bring their own server or are about Wine's."""
        if not stand_in:
            self.harness.case(name, function, *args)
            return

        def with_stand_in():
            recorder, _, _ = self.start_recorder(
                self.harness.folder("program-manager-stand-in"), b"")
            try:
                function(*args)
            finally:
                self.stop_recorder(recorder)

        self.harness.case(name, with_stand_in)

    def run_to_finish_with_client(self, program, script, finish):
        """Runs a script that ends with a click on `finish` with the launch box checked: the
        program ends on that click, and the client it starts shows its window (the test ends
        the client then). Returns the run."""
        began = time.monotonic()
        process = self.harness.start(program, script)
        client_shown = self.wait_for_client_window()
        run = self.harness.finish(process, program, began)
        ended_by(run, f"click {finish}")
        check(client_shown, f"{finish} did not start the client")
        return run

    def wait_for_client_window(self):
        """Whether the demo client's window shows within a minute; the client is ended."""
        # What the poll saw counts: asking the display again afterwards can miss a window
        # that has just been seen (the search is not atomic with the window's mapping).
        deadline = time.monotonic() + 60
        shown = False
        while time.monotonic() < deadline and not shown:
            shown = bool(self.harness.visible_windows(CLIENT_TITLE))
            if not shown:
                time.sleep(0.2)
        self.end_program("kalvo.exe")
        return shown


def check_install_finished(dump):
    check(front_page(dump) == "sPanel_4_install", "the install progress page is not in front")
    check(control(dump, "sProgressBar1")["position"] == 100, "progress not at 100")
    check(control(dump, "sLabel_status")["text"] == "the application is installed.",
          f"status {control(dump, 'sLabel_status')['text']!r}")
    box = control(dump, "sCheckBox3")
    check(box["visible"] and box["checked"], "the launch box is not shown checked")
    check(control(dump, "sLabel11")["visible"], "the finish hint is hidden")
    check(control(dump, "sButton_cansel3a")["enabled"], "Finish is disabled")
    focused = [node["name"] for node in walk_nodes([control(dump, "sPanel_4_install")])
               if node["focused"]]
    check(len(focused) == 1, f"focused controls on the progress page: {focused}")


# ---- the install ------------------------------------------------------------------------------

def install(harness):
    machine = Machine(harness)
    installation, drive_c = machine.installation, machine.drive_c
    unix_path, programs_folder, desktop_links = (machine.unix_path, machine.programs_folder,
                                                 machine.desktop_links)
    clean, place_demo = machine.clean, machine.place_demo
    check_installed_files, check_finished_page = (machine.check_installed_files,
                                                  check_install_finished)
    start_recorder, stop_recorder = machine.start_recorder, machine.stop_recorder

    def with_defaults():
        clean()
        folder = harness.folder("install-defaults")
        program = place_demo(folder)
        script = (TO_FOLDER_PAGE + expects([("sDirectoryEdit1.Text", quoted(DEFAULT_FOLDER))]) +
                  "click sButton_next3\nwait-idle\ndump installed.json\n"
                  "click sButton_cansel3a\nsleep 5000\nquit\n")
        run = machine.run_to_finish_with_client(program, script, "sButton_cansel3a")
        check_finished_page(run.dump("installed.json"))
        check_installed_files()

        # Both records, the second beside the setup file.
        link = machine.desktop_windows_path() + "\\Kalvo.Net.lnk"
        for record in (os.path.join(installation, "uninstall.ini"),
                       os.path.join(folder, "uninstall.ini")):
            lines = read_record(record)
            check(lines == record_lines("Kalvo", link), f"{record}: {lines}")

        # The group: Wine's Program Manager server makes the folder, but carries out only the
        # first command of a block whose lines are separated by line breaks, so its items are
        # not made here (the recorded conversation cases check the whole block).
        check(os.path.isdir(os.path.join(programs_folder(), "Kalvo")), "no group Kalvo")

        # The shortcut, as the shell's link object and an independent reader see it.
        link_file = unix_path(link)
        check(os.path.isfile(link_file), f"no {link_file}")
        read_back = os.path.join(folder, "link.txt")
        result = subprocess.run([WINE_RUN, harness.session, harness.link_reader,
                                 windows_path(link_file), windows_path(read_back)],
                                stdin=subprocess.DEVNULL, capture_output=True)
        check(result.returncode == 0, f"the link reader ended with {result.returncode}")
        fields = dict(line.split("=", 1) for line in open(read_back, encoding="utf-8")
                      .read().splitlines())
        check(fields["path"] == f"{DEFAULT_FOLDER}\\kalvo.exe", f"target {fields['path']!r}")
        check(fields["description"] == SHORTCUT_DESCRIPTION, f"description {fields}")
        check(fields["arguments"] == fields["working_directory"] == fields["icon_location"] == ""
              and fields["hotkey"] == "0", f"more than target and description: {fields}")
        info = subprocess.run(["lnkinfo", link_file], capture_output=True, text=True)
        check(info.returncode == 0, f"lnkinfo failed: {info.stderr}")
        parsed = dict(re.findall(r"^\s*(Local path|Description)\s*: (.*)$", info.stdout,
                                 re.MULTILINE))
        check(parsed == {"Local path": f"{DEFAULT_FOLDER}\\kalvo.exe",
                         "Description": SHORTCUT_DESCRIPTION}, f"lnkinfo reads {parsed}")


    def without_desktop_shortcut():
        clean()
        folder = harness.folder("install-no-shortcut")
        program = place_demo(folder)
        script = (TO_FOLDER_PAGE + group_field("Kalvo Net Tools") + "click sCheckBox1\n" +
                  expects([("sCheckBox1.Checked", "false")]) +
                  "click sButton_next3\nwait-idle\ndump installed.json\nquit\n")
        run = harness.run(program, script)
        run.passed()
        check_finished_page(run.dump("installed.json"))
        check(desktop_links() == [], f"a shortcut was made: {desktop_links()}")
        for record in (os.path.join(installation, "uninstall.ini"),
                       os.path.join(folder, "uninstall.ini")):
            lines = read_record(record)
            check(lines == record_lines("Kalvo Net Tools", None), f"{record}: {lines}")
        check(os.path.isdir(os.path.join(programs_folder(), "Kalvo Net Tools")),
              "no group Kalvo Net Tools")

    def folder_that_cannot_be_made():
        clean()
        # A file where a working folder belongs: the folders before it are made, none after.
        os.makedirs(os.path.join(installation, "outputlocal"))
        blocker = os.path.join(installation, "outputlocal", "pools")
        open(blocker, "w").close()
        folder = harness.folder("install-folder-fails")
        program = place_demo(folder)
        script = (TO_FOLDER_PAGE + "click sButton_next3\nwait-idle\ndump refused.json\n"
                  "key Enter\nwait-idle\n" +
                  expects([("sPanel_3_install.Visible", "true"),
                           ("sDirectoryEdit1.Focused", "true"),
                           ("sPanel_4_install.Visible", "false")]) +
                  "dump back.json\n"
                  # Meanwhile the test takes the file away: the same folder is good now.
                  "sleep 3000\n"
                  "click sButton_next3\nwait-idle\ndump installed.json\nquit\n")
        began = time.monotonic()
        process = harness.start(program, script)
        back = os.path.join(folder, "back.json")
        made = written = None
        while process.poll() is None and not os.path.exists(back):
            time.sleep(0.05)
        if os.path.exists(back):
            made = [name for name in WORKING_FOLDERS
                    if os.path.isdir(os.path.join(installation, *name.split("\\")))]
            written = os.listdir(installation)
            os.remove(blocker)
        run = harness.finish(process, program, began)
        run.passed()
        check(MESSAGE_26 in dialog_texts(run.dump("refused.json")),
              f"no message 26: {dialog_texts(run.dump('refused.json'))}")
        check(made == WORKING_FOLDERS[:5],
              f"folders made before the one that failed: {made}")
        check(sorted(written) == ["output", "outputlocal"],
              f"after the failure the installation folder held {written}")
        check_finished_page(run.dump("installed.json"))
        check_installed_files()

    def record_that_cannot_be_written():
        clean()
        # A folder where the record belongs.
        record = os.path.join(installation, "uninstall.ini")
        os.makedirs(record)
        folder = harness.folder("install-record-fails")
        program = place_demo(folder)
        script = (TO_FOLDER_PAGE + "click sButton_next3\nwait-idle\ndump refused.json\n"
                  "key Enter\nwait-idle\n" +
                  expects([("sPanel_4_install.Visible", "true"),
                           ("sButton_cansel3a.Enabled", "false"),
                           ("sCheckBox3.Visible", "false"), ("sLabel11.Visible", "false")]) +
                  "quit\n")
        run = harness.run(program, script)
        run.passed()
        expected = f"Unable to write to {DEFAULT_FOLDER}\\uninstall.ini"
        check(expected in dialog_texts(run.dump("refused.json")),
              f"no {expected!r}: {dialog_texts(run.dump('refused.json'))}")
        check(not os.path.exists(os.path.join(folder, "uninstall.ini")),
              "the second record was written after the first failed")

    def damaged_chunk():
        clean()
        folder = harness.folder("install-damaged")
        program = place_demo(folder)
        # A flipped bit in the middle of chunk 1 (help.chm), made once the program has
        # checked its file at start-up: zlib's checks catch it while it unpacks.
        script = (TO_FOLDER_PAGE + "click sButton_next3\nwait-idle\ndump damaged.json\n"
                  "key Enter\nwait-idle\n" +
                  expects([("sPanel_4_install.Visible", "true"),
                           ("sButton_cansel3a.Enabled", "false"),
                           ("sProgressBar1.Position", "40")]) +
                  "quit\n")
        run = machine.run_damaged_after_start(program, script, chunk=1)
        run.passed()
        texts = dialog_texts(run.dump("damaged.json"))
        check(any("setup file is damaged" in text for text in texts), f"no damage message: {texts}")
        check(not os.path.exists(os.path.join(installation, "uninstall.exe")) and
              not os.path.exists(os.path.join(installation, "uninstall.ini")),
              "the install went on after the damaged chunk")

    def unsafe_group_name():
        clean()
        folder = harness.folder("install-unsafe-group")
        program = place_demo(folder)
        script = (TO_FOLDER_PAGE + group_field('Kalvo [Net]') +
                  "click sButton_next3\nwait-idle\ndump refused.json\nkey Enter\nwait-idle\n" +
                  expects([("sPanel_3_install.Visible", "true"),
                           ("sPanel_4_install.Visible", "false"),
                           ("sEdit1.Focused", "true")]) + "quit\n")
        run = harness.run(program, script)
        run.passed()
        texts = dialog_texts(run.dump("refused.json"))
        check(any("cannot contain the characters" in text for text in texts),
              f"no refusal: {texts}")
        check(not os.path.exists(installation), "the install began")

    def folder_with_files_of_others():
        clean()
        os.makedirs(installation)
        letter = os.path.join(installation, "letter.txt")
        with open(letter, "w") as file:
            file.write("someone else's")
        folder = harness.folder("install-files-of-others")
        program = place_demo(folder)
        # Asked twice: "No" (the default, Enter) keeps the folder page; "Yes" installs.
        script = (TO_FOLDER_PAGE + "click sButton_next3\nwait-idle\ndump asked.json\n"
                  "key Enter\nwait-idle\n" +
                  expects([("sPanel_3_install.Visible", "true"),
                           ("sDirectoryEdit1.Focused", "true")]) +
                  "dump declined.json\nclick sButton_next3\nwait-idle\nkey Y\nwait-idle\n"
                  "dump installed.json\nquit\n")
        run = harness.run(program, script)
        run.passed()
        texts = dialog_texts(run.dump("asked.json"))
        check(any("already holds other files" in text and DEFAULT_FOLDER in text
                  for text in texts), f"no question: {texts}")
        check_finished_page(run.dump("installed.json"))
        check_installed_files(extra=["letter.txt"])
        check(open(letter).read() == "someone else's", "the other file changed")

    def recorded_conversation(name, field, groups, expected_group):
        clean()
        folder = harness.folder(f"install-recorded-{name}")
        program = place_demo(folder)
        recorder, log, record = start_recorder(folder, groups)
        try:
            script = (TO_FOLDER_PAGE + group_field(field) +
                      "click sButton_next3\nwait-idle\ndump installed.json\nquit\n")
            run = harness.run(program, script)
        finally:
            stop_recorder(recorder)
        run.passed()
        check_finished_page(run.dump("installed.json"))
        events = open(log).read().splitlines()
        block = open(record, "rb").read()
        check(events == ["started", "request Groups", f"execute {len(block)}", "closed"],
              f"the conversation: {events}")
        folder_path = DEFAULT_FOLDER + "\\"
        expected = (
            f'[CreateGroup("{expected_group}",0)]\r\n'
            f'[ShowGroup("{expected_group}",1,0)]\r\n'
            f'[AddItem("{folder_path}kalvo.exe","Kalvo Start")]\r\n'
            f'[AddItem("{folder_path}Help.chm","Kalvo Help")]\r\n'
            f'[AddItem("{folder_path}uninstall.exe","Kalvo Uninstall")]\r\n').encode("ascii")
        check(block == expected, f"the block sent:\n{block!r}\nexpected:\n{expected!r}")
        lines = read_record(os.path.join(installation, "uninstall.ini"))
        check(lines[2] == f"u_group={expected_group}", f"the record holds {lines}")

    def without_program_manager():
        clean()
        folder = harness.folder("install-no-program-manager")
        keeper_log = os.path.join(folder, "keeper.log")
        # A window of another program keeps Wine's desktop process, and with it the absence
        # of its server, for the whole case.
        keeper = harness.start_probe(os.path.join(harness.probes, "kalvo_probe_1200.exe"),
                                     "Kalvo test keeper", keeper_log)
        try:
            silenced = subprocess.run([WINE_RUN, harness.session, harness.shell_dde, "silence"],
                                      stdin=subprocess.DEVNULL, capture_output=True)
            check(silenced.returncode == 0, "Wine's Program Manager server still answers")
            program = place_demo(folder)
            script = (TO_FOLDER_PAGE + group_field("Kalvo Alone") +
                      "click sButton_next3\nwait-idle\ndump installed.json\nquit\n")
            # Nor can "PROGMAN PROGMAN" start a program that might serve it.
            run = harness.run(program, script, {"KALVO_WINEDLLOVERRIDES": "progman.exe=d"})
        finally:
            subprocess.run([WINE_RUN, harness.session, "taskkill", "/IM", "kalvo_probe_1200.exe"],
                           stdin=subprocess.DEVNULL, capture_output=True)
            keeper.wait(timeout=30)
            # The desktop process starts anew, with its server, after it was ended.
            subprocess.run([WINE_RUN, harness.session, "taskkill", "/F", "/IM", "explorer.exe"],
                           stdin=subprocess.DEVNULL, capture_output=True)
            restored = subprocess.run([WINE_RUN, harness.session, harness.shell_dde, "wait"],
                                      stdin=subprocess.DEVNULL, capture_output=True)
        run.passed()
        dump = run.dump("installed.json")
        check_finished_page(dump)
        check(dialog_texts(dump) == [], f"a message was shown: {dialog_texts(dump)}")
        check_installed_files()
        lines = read_record(os.path.join(installation, "uninstall.ini"))
        check(lines[2] == "u_group=Kalvo Alone", f"the record holds {lines}")
        check(not os.path.exists(os.path.join(programs_folder(), "Kalvo Alone")),
              "a group was made without a server")
        check(restored.returncode == 0, "Wine's Program Manager server did not come back")

    machine.case("a folder that cannot be made, then a second press", folder_that_cannot_be_made)
    machine.case("a record that cannot be written", record_that_cannot_be_written)
    machine.case("a damaged chunk ends the install with one message", damaged_chunk)
    machine.case("a group name Program Manager cannot carry keeps the folder page",
                 unsafe_group_name)
    machine.case("a folder with files of others: asked, no keeps the page, yes installs",
                 folder_with_files_of_others)
    machine.case("the exact block, a group name with spaces", recorded_conversation, "spaces",
                 "Kalvo Net Tools", b"Accessories\r\nStartup\r\n", "Kalvo Net Tools",
                 stand_in=False)
    for name, field, groups, expected in [
        ("empty-field", "", b"", "Kalvo"),
        ("tools", "Tools", b"Accessories\r\nTools\r\nTools Client\r\n", "Tools Client 2"),
        ("lower-case", "Kalvo", b"kalvo\r\n", "Kalvo"),
    ]:
        machine.case(f"the groups answer decides the name: {name}", recorded_conversation, name,
                     field, groups, expected, stand_in=False)
    # With Wine's own server, whose group folder windows stay open until the last case ends
    # its desktop process.
    machine.case("install with the defaults, Finish starts the client", with_defaults,
                 stand_in=False)
    machine.case("install without a desktop shortcut, group name with spaces",
                 without_desktop_shortcut, stand_in=False)
    # Last: it takes Wine's server away until the desktop process starts anew.
    machine.case("no Program Manager at all: the install completes silently",
                 without_program_manager, stand_in=False)
    clean()


# ---- the uninstall ----------------------------------------------------------------------------

MESSAGE_14 = "You really wish to uninstall program Kalvo.Net and delete all files?"
UNINSTALLED = "the application is uninstalled"
UNINSTALL_HINT = "Click Finish to complete the uninstallation."
INSTALLED_UNINSTALLER = DEFAULT_FOLDER + "\\uninstall.exe"

# From the language page through the question, answered yes.
CONFIRMED_UNINSTALL = ("wait-idle\nclick sButton_next\nclick sButton_next1a\n" +
                       expects([("alert_form.Showing", "true"),
                                ("alert_form.sLabel2.Caption", quoted(MESSAGE_14))]) +
                       "click alert_form.sButton1\nwait-idle\n")


def check_uninstall_finished(dump):
    check(front_page(dump) == "sPanel_4_uninstall", "the uninstall page is not in front")
    check(control(dump, "sProgressBar2")["position"] == 100, "progress not at 100")
    check(control(dump, "sLabel14")["text"] == UNINSTALLED,
          f"status {control(dump, 'sLabel14')['text']!r}")
    hint = control(dump, "sLabel15")
    check(hint["visible"] and hint["text"] == UNINSTALL_HINT, f"the hint: {hint}")
    check(control(dump, "sButton_4_uninstall")["enabled"], "Finish is disabled")


def uninstall(harness):
    machine = Machine(harness)
    installation = machine.installation

    def run_installed_uninstaller(folder, script, env=None):
        """The uninstaller as the user starts it, from the installation folder; its script,
        log and dumps stay in the case's folder."""
        return harness.run(os.path.join(folder, "uninstall.exe"), script, env,
                           command=INSTALLED_UNINSTALLER)

    def remaining():
        return sorted(os.path.relpath(os.path.join(root, name), installation).replace("/", "\\")
                      for root, folders, files in os.walk(installation)
                      for name in folders + files)

    def full_cycle():
        machine.clean()
        folder = harness.folder("uninstall-installed")
        machine.install(folder)
        # What a user's installation gathers besides the installed files.
        extras = {
            "notes.txt": 0o444,                          # read-only
            "output\\additional\\part.dat": 0o644,
            "my downloads\\sub\\film.avi": 0o644,         # a subfolder of the user's own
            "Uninstall.exe": 0o644,                      # not exactly the uninstaller's name
        }
        for name, mode in extras.items():
            path = os.path.join(installation, *name.split("\\"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as file:
                file.write(name)
            os.chmod(path, mode)
        hidden = os.path.join(installation, "hidden.cfg")
        open(hidden, "w").close()
        subprocess.run([WINE_RUN, harness.session, "attrib", "+h", "+s", "+r",
                        "C:\\Program Files\\kalvo\\hidden.cfg"],
                       stdin=subprocess.DEVNULL, capture_output=True)
        check(os.path.isfile(machine.unix_path(
            machine.desktop_windows_path() + "\\Kalvo.Net.lnk")), "the install made no shortcut")

        script = ("wait-idle\ndump start.json\nclick sButton_next\nclick sButton_next1a\n" +
                  expects([("alert_form.Showing", "true"),
                           ("alert_form.sLabel2.Caption", quoted(MESSAGE_14))]) +
                  # No: nothing happens, the action page stays.
                  "click alert_form.sButton2\nwait-idle\n" +
                  expects([("alert_form.Showing", "false"), ("sPanel_1a_select.Visible", "true")]) +
                  "dump kept.json\n"
                  "click sButton_next1a\nclick alert_form.sButton1\nwait-idle\n"
                  "dump uninstalled.json\nclick sButton_4_uninstall\nsleep 5000\nquit\n")
        run = run_installed_uninstaller(folder, script)
        ended_by(run, "click sButton_4_uninstall")
        start = run.dump("start.json")
        states = [(control(start, n)["enabled"], control(start, n)["checked"])
                  for n in ("sRadioButton3", "sRadioButton4", "sRadioButton5")]
        check(states == [(False, False), (False, False), (True, True)], f"choices {states}")
        check(os.listdir(folder) and remaining() == ["uninstall.exe"],
              f"left in the installation folder: {remaining()}")
        check(machine.desktop_links() == [], "the shortcut is still there")
        check_uninstall_finished(run.dump("uninstalled.json"))
        # The record beside the setup file that installed stays.
        check(os.path.isfile(os.path.join(folder, "uninstall.ini")),
              "the record beside the setup file went")

        # Started again: the uninstall-finished page alone, at once.
        again = run_installed_uninstaller(folder, "wait-idle\ndump again.json\nquit\n")
        again.passed()
        check(front_page(again.dump("again.json")) == "sPanel_uninstall_completed",
              "not the uninstall-finished page")
        check(again.script_ms is not None and again.script_ms < 2000,
              f"ready {again.script_ms} ms after the script started: the start-up waited")

    def held_file():
        machine.clean()
        folder = harness.folder("uninstall-held-file")
        machine.install(folder)
        held = DEFAULT_FOLDER + "\\media\\media1.avi"
        holder = machine.hold_file(held, folder)
        try:
            script = (CONFIRMED_UNINSTALL + "dump refused.json\nkey Enter\nwait-idle\n"
                      "dump uninstalled.json\nquit\n")
            run = run_installed_uninstaller(folder, script)
        finally:
            machine.end_program("kalvo_file_holder.exe", holder)
        run.passed()
        texts = [text for text in dialog_texts(run.dump("refused.json"))
                 if text.startswith("Could NOT delete")]
        check(texts == [f"Could NOT delete {held}"], f"the messages: {texts}")
        # One box only: after it the uninstall went on to the end.
        check_uninstall_finished(run.dump("uninstalled.json"))
        check(remaining() == ["media", "media\\media1.avi", "uninstall.exe"],
              f"left in the installation folder: {remaining()}")

    def from_the_full_setup():
        machine.clean()
        folder = harness.folder("uninstall-from-setup")
        program = machine.install(folder)
        script = ("wait-idle\nclick sButton_next\nclick sRadioButton5\nclick sButton_next1a\n" +
                  expects([("alert_form.Showing", "true")]) +
                  "click alert_form.sButton1\nwait-idle\ndump uninstalled.json\nquit\n")
        run = harness.run(program, script)
        run.passed()
        check_uninstall_finished(run.dump("uninstalled.json"))
        check(remaining() == ["uninstall.exe"], f"left: {remaining()}")
        check(os.path.isfile(os.path.join(folder, "uninstall.ini")), "the setup's record went")
        # The client is gone: the next start offers the install.
        again = harness.run(program, "wait-idle\ndump again.json\nquit\n")
        again.passed()
        states = [(control(again.dump("again.json"), n)["enabled"],
                   control(again.dump("again.json"), n)["checked"])
                  for n in ("sRadioButton3", "sRadioButton4", "sRadioButton5")]
        check(states == [(True, True), (False, False), (False, False)], f"choices {states}")

    def links_are_not_followed():
        machine.clean()
        folder = harness.folder("uninstall-links")
        machine.install(folder)
        outside = os.path.join(folder, "outside")
        os.makedirs(os.path.join(outside, "inner"))
        for name in ("keep.txt", os.path.join("inner", "keep too.txt")):
            with open(os.path.join(outside, name), "w") as file:
                file.write("mine")
        # Links to a folder outside: in the installation folder, in a working folder, and in
        # the place of a working folder.
        os.symlink(outside, os.path.join(installation, "linked"))
        os.symlink(outside, os.path.join(installation, "search", "sec1", "linked"))
        shutil.rmtree(os.path.join(installation, "posters"))
        os.symlink(outside, os.path.join(installation, "posters"))
        run = run_installed_uninstaller(folder, CONFIRMED_UNINSTALL +
                                        "dump uninstalled.json\nquit\n")
        run.passed()
        check_uninstall_finished(run.dump("uninstalled.json"))
        # On Windows the links go too. Wine 8 follows a link in every Win32 call that could
        # remove it (and removes an EMPTY folder it points at), so here they may stay; they
        # must still point where they did, and nothing but them and the folders holding them
        # may remain.
        links = [name for name in remaining()
                 if os.path.islink(os.path.join(installation, *name.split("\\")))]
        check(all(os.readlink(os.path.join(installation, *name.split("\\"))) == outside
                  for name in links), f"links changed: {links}")
        holding = {name.rsplit("\\", n)[0] for name in links for n in range(1, name.count("\\") + 1)}
        check(set(remaining()) <= {"uninstall.exe"} | set(links) | holding,
              f"left: {remaining()}")
        kept = sorted(os.path.relpath(os.path.join(root, name), outside)
                      for root, _, files in os.walk(outside) for name in files)
        check(kept == ["inner/keep too.txt", "keep.txt"], f"the outside folder holds {kept}")

    def refused_folder(name, client_windows_path):
        """A record naming a client in a folder no uninstall empties."""
        folder = harness.folder(f"uninstall-refused-{name}")
        client = machine.unix_path(client_windows_path)
        canary = os.path.join(os.path.dirname(client), "kalvo-canary.txt")
        created = not os.path.exists(client)
        shutil.copyfile(os.path.join(harness.probes, "kalvo_probe_1200.exe"), client)
        with open(canary, "w") as file:
            file.write("stays")
        try:
            program = os.path.join(folder, "uninstall.exe")
            shutil.copyfile(harness.setup, program)
            harness.write_record(folder, client_windows_path)
            script = (CONFIRMED_UNINSTALL + "dump refused.json\nkey Enter\nwait-idle\n" +
                      expects([("sPanel_1a_select.Visible", "true"),
                               ("sPanel_4_uninstall.Visible", "false")]) + "quit\n")
            run = harness.run(program, script)
            run.passed()
            texts = dialog_texts(run.dump("refused.json"))
            parent = client_windows_path.rsplit("\\", 1)[0] + "\\"
            check(any("will not empty" in text and parent in text for text in texts),
                  f"no refusal naming {parent}: {texts}")
            check(os.path.isfile(client) and open(canary).read() == "stays",
                  "something was deleted")
        finally:
            if created and os.path.exists(client):
                os.remove(client)
            if os.path.exists(canary):
                os.remove(canary)

    def recorded_commands():
        folder = harness.folder("uninstall-recorded")
        installed = os.path.join(folder, "installed")
        os.makedirs(installed)
        shutil.copyfile(os.path.join(harness.probes, "kalvo_probe_1104.exe"),
                        os.path.join(installed, "kalvo.exe"))
        program = os.path.join(folder, "uninstall.exe")
        shutil.copyfile(harness.setup, program)
        # The record's shortcut names a file that is no shortcut: it stays.
        not_a_shortcut = os.path.join(folder, "thesis.doc")
        with open(not_a_shortcut, "w") as file:
            file.write("mine")
        harness.write_record(folder, windows_path(os.path.join(installed, "kalvo.exe")),
                             group="Kalvo Net Tools", icon=1, icon_path=windows_path(not_a_shortcut))
        recorder, log, record = machine.start_recorder(folder, b"")
        try:
            run = harness.run(program, CONFIRMED_UNINSTALL + "dump uninstalled.json\nquit\n")
        finally:
            machine.stop_recorder(recorder)
        run.passed()
        check_uninstall_finished(run.dump("uninstalled.json"))
        block = open(record, "rb").read()
        expected = (b'[ShowGroup("Kalvo Net Tools",1,0)]\r\n'
                    b'[DeleteItem("Kalvo Start")]\r\n[DeleteItem("Kalvo Help")]\r\n'
                    b'[DeleteItem("Kalvo Uninstall")]\r\n[DeleteGroup("Kalvo Net Tools")]\r\n')
        check(block == expected, f"the block sent:\n{block!r}")
        events = open(log).read().splitlines()
        check(events == ["started", f"execute {len(block)}", "closed"], f"events: {events}")
        check(os.listdir(installed) == [], f"left: {os.listdir(installed)}")
        check(os.path.isfile(not_a_shortcut), "a file named as the shortcut was deleted")

    machine.case("install, then the installed uninstaller removes it", full_cycle)
    machine.case("a file held open: one message, the uninstall goes on", held_file)
    machine.case("the uninstall from the full setup keeps its record", from_the_full_setup)
    machine.case("links to folders outside are removed, not followed", links_are_not_followed)
    machine.case("a record naming the profile folder: nothing deleted", refused_folder,
                 "profile", machine.desktop_windows_path().rsplit("\\", 1)[0] + "\\kalvo.exe")
    machine.case("a record naming a drive root: nothing deleted", refused_folder, "root",
                 "C:\\kalvo.exe")
    machine.case("a record naming the roaming application data: nothing deleted", refused_folder,
                 "appdata", machine.desktop_windows_path().rsplit("\\", 1)[0] +
                 "\\AppData\\Roaming\\kalvo.exe")
    machine.case("a record naming a folder inside the Windows folder: nothing deleted",
                 refused_folder, "windows", "C:\\windows\\temp\\kalvo.exe")
    machine.case("the uninstall's block to Program Manager", recorded_commands, stand_in=False)
    machine.clean()


# ---- the update -------------------------------------------------------------------------------

AVAILABLE_VERSION = "1.1.0.4"
UPDATE_HINT = "Click Finish to complete the update."
# From the language page on with the update checked: no question.
TO_UPDATE = ("wait-idle\n" + expects([("sRadioButton4.Checked", "true")]) +
             "click sButton_next\nclick sButton_next1a\nwait-idle\n")


def update(harness):
    machine = Machine(harness)
    installation = machine.installation
    client = os.path.join(installation, "kalvo.exe")

    def snapshot():
        """Every file of the installation with its bytes and modification time."""
        files = {}
        for root, _, names in os.walk(installation):
            for name in names:
                path = os.path.join(root, name)
                files[os.path.relpath(path, installation)] = (read_bytes(path),
                                                              os.stat(path).st_mtime_ns)
        return files

    def installed_client(probe):
        """The installation with the client of that probe's version, kalvo.uri changed."""
        machine.clean()
        folder = harness.folder(f"update-from-{probe or 'same'}")
        program = machine.install(folder)
        if probe:
            shutil.copyfile(os.path.join(harness.probes, f"kalvo_probe_{probe}.exe"), client)
        with open(os.path.join(installation, "kalvo.uri"), "a") as file:
            file.write("[user]\nport=4712\n")
        return folder, program

    def updates(probe, current_text):
        folder, program = installed_client(probe)
        before = snapshot()
        time.sleep(0.05)  # a rewritten file gets a later modification time
        script = ("wait-idle\ndump before.json\n" + TO_UPDATE +
                  "dump updated.json\nclick sButton_4_update\nsleep 5000\nquit\n")
        run = machine.run_to_finish_with_client(program, script, "sButton_4_update")
        start = run.dump("before.json")
        versions = (control(start, "sLabel_curr_version")["text"],
                    control(start, "sLabel_aviable_version")["text"])
        check(versions == (current_text, AVAILABLE_VERSION), f"versions at start: {versions}")
        dump = run.dump("updated.json")
        check(front_page(dump) == "sPanel_4_updates", "the update page is not in front")
        check(control(dump, "sProgressBar3")["position"] == 100, "progress not at 100")
        check(control(dump, "sLabel_curr_version")["text"] == AVAILABLE_VERSION,
              f"current version {control(dump, 'sLabel_curr_version')['text']!r}")
        check(not control(dump, "sLabel18")["visible"] and
              not control(dump, "sLabel_aviable_version")["visible"],
              "the available version is still shown")
        box = control(dump, "sCheckBox4")
        check(box["visible"] and box["checked"], "the launch box is not shown checked")
        check(control(dump, "sLabel19")["visible"] and
              control(dump, "sLabel19")["text"] == UPDATE_HINT, "no finish hint")
        check(control(dump, "sButton_4_update")["enabled"], "Finish is disabled")
        after = snapshot()
        check(read_bytes(client) == read_bytes(harness.payload[0]), "kalvo.exe is not the new one")
        changed = sorted(name for name in after if after[name] != before.get(name))
        check(changed == ["kalvo.exe"] and sorted(after) == sorted(before),
              f"changed: {changed}; files before {sorted(before)}, after {sorted(after)}")

    def damaged_chunk_keeps_the_client():
        folder, program = installed_client("1000")
        old_client = read_bytes(client)
        script = (TO_UPDATE + "dump damaged.json\nkey Enter\nwait-idle\n" +
                  expects([("sPanel_4_updates.Visible", "true"),
                           ("sButton_4_update.Enabled", "false"),
                           ("sProgressBar3.Position", "60")]) + "quit\n")
        run = machine.run_damaged_after_start(program, script, chunk=0)
        run.passed()
        texts = dialog_texts(run.dump("damaged.json"))
        check(any("setup file is damaged" in text for text in texts), f"no message: {texts}")
        check(read_bytes(client) == old_client, "the installed client changed")
        check(not os.path.exists(client + ".new"), "the unfinished new client was left")

    def running_client_is_not_replaced():
        folder, program = installed_client("1000")
        old_client = read_bytes(client)
        # Held open as a running program holds its image.
        holder = machine.hold_file(DEFAULT_FOLDER + "\\kalvo.exe", folder)
        try:
            script = (TO_UPDATE + "dump refused.json\nkey Enter\nwait-idle\n" +
                      expects([("sButton_4_update.Enabled", "false")]) + "quit\n")
            run = harness.run(program, script)
        finally:
            machine.end_program("kalvo_file_holder.exe", holder)
        run.passed()
        texts = dialog_texts(run.dump("refused.json"))
        expected = f'Cannot create file "{DEFAULT_FOLDER}\\kalvo.exe".'
        check(any(text.startswith(expected) for text in texts), f"no {expected!r}: {texts}")
        check(read_bytes(client) == old_client, "the installed client changed")

    machine.case("update of a client at 1.1.0.4 replaces only kalvo.exe", updates, None,
                 AVAILABLE_VERSION)
    machine.case("update of a client at 1.0.9.9", updates, "1099", "1.0.9.9")
    machine.case("a damaged chunk 0 leaves the old client as it was",
                 damaged_chunk_keeps_the_client)
    machine.case("a client held open is not replaced", running_client_is_not_replaced)
    machine.clean()
