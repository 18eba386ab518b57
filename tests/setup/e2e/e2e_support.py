"""Shared parts of the end-to-end tests of the setup program: the harness that lays out
folders, runs the real program under wine64 in the build's Wine session with an automation
script, and reads what it left behind (exit code, log, dumps of its windows)."""
import json
import os
import re
import shutil
import subprocess
import time

FULL_SETUP_MIN_SIZE = 2_000_000
SETUP_STUB_SIZE = 1_641_984
PADDED_SIZE = 2_100_000
AUTOMATION_FAILED = 3
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "scripts",
                        "wine-run.sh")

PAGES = [
    "sPanel_1_language", "sPanel_2_license", "sPanel_1a_select", "sPanel_3_install",
    "sPanel_4_install", "sPanel_4_uninstall", "sPanel_4_updates", "sPanel_uninstall_completed",
]

# The client's main-window titles, one per language, as the client shows them.
CLIENT_TITLES = [
    "Kalvo.Net - peer-to-peer file sharing",
    "Kalvo.Net - пиринговый обмен файлами",
    "Kalvo.Net - Peer-to-Peer-Dateiaustausch",
    "Kalvo.Net - partage de fichiers en pair-à-pair",
    "Kalvo.Net - intercambio de archivos entre pares",
]


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def flip_bit_in_chunk(path, chunk, mask):
    """Flips bits `mask` of the byte in the middle of payload chunk `chunk` of a setup file:
    damage that zlib's checks find."""
    with open(path, "r+b") as file:
        position = SETUP_STUB_SIZE
        for _ in range(chunk):
            file.seek(position)
            position += 4 + int.from_bytes(file.read(4), "little", signed=True)
        file.seek(position)
        length = int.from_bytes(file.read(4), "little", signed=True)
        file.seek(position + 4 + length // 2)
        byte = file.read(1)[0]
        file.seek(-1, os.SEEK_CUR)
        file.write(bytes([byte ^ mask]))


class CaseFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CaseFailed(message)


class Run:
    """What one run of the program left behind."""

    def __init__(self, folder, code, log, stderr, seconds):
        self.folder = folder
        self.code = code
        self.log = log
        self.stderr = stderr
        self.seconds = seconds
        match = re.match(r"process age at the first step: (-?\d+) ms", log)
        self.age_ms = int(match.group(1)) if match else None
        # Without the system's process start: what the program did before its first step.
        match = re.search(r"time from the script's start to the first step: (-?\d+) ms", log)
        self.script_ms = int(match.group(1)) if match else None

    def passed(self):
        check(self.code == 0 and self.log.rstrip().endswith("automation: passed"),
              f"the script did not pass (exit code {self.code}):\n{self.log}{self.stderr}")

    def dump(self, name):
        with open(os.path.join(self.folder, name), encoding="utf-8") as file:
            return json.load(file)


def find(nodes, name):
    """The control of that name anywhere in a dump (a list of windows)."""
    for node in nodes:
        if node.get("name") == name:
            return node
        found = find(node.get("children", []), name)
        if found:
            return found
    return None


def walk_nodes(nodes):
    for node in nodes:
        yield node
        yield from walk_nodes(node.get("children", []))


def control(dump, name):
    node = find(dump, name)
    check(node is not None, f"the dump has no {name}")
    return node


def front_page(dump):
    """The page in front of the others: the last page among its siblings (the dump lists them
    from the back to the front), which must also be the only one shown."""
    # The dialog has an sPanel1 of its own: look in the setup window.
    window = control(dump, "kalvo_setup")
    pages = [child for child in control([window], "sPanel1")["children"]
             if child["name"] in PAGES]
    check(len(pages) == len(PAGES), f"the window has {len(pages)} pages")
    front = pages[-1]["name"]
    shown = [page["name"] for page in pages if page["visible"]]
    check(shown == [front], f"pages shown: {shown}, front: {front}")
    return front


class Harness:
    def __init__(self, args):
        self.session = args.session
        self.setup = args.setup
        self.probes = args.probes
        self.work = args.work
        self.demo_setup = args.demo_setup
        self.payload = args.payload
        self.link_reader = args.link_reader
        self.shell_dde = args.shell_dde
        self.file_holder = args.file_holder
        with open(os.path.join(self.session, "env")) as file:
            self.display = re.search(r"DISPLAY=(\S+)", file.read()).group(1)
        self.results = []

    def folder(self, name):
        path = os.path.join(self.work, name)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    def place_setup(self, folder, full):
        """The setup file: the program as built (the uninstaller copy), or padded past the
        full-setup size."""
        path = os.path.join(folder, "kalvo_setup.exe")
        shutil.copyfile(self.setup, path)
        size = os.path.getsize(path)
        check(size < FULL_SETUP_MIN_SIZE, f"the program is {size} bytes, too big for a stub")
        if full:
            with open(path, "r+b") as file:
                file.truncate(PADDED_SIZE)
        return path

    def place_client(self, folder, probe):
        """An installed client: a copy of one of the probe programs, as installed\\kalvo.exe."""
        client = os.path.join(folder, "installed", "kalvo.exe")
        os.makedirs(os.path.dirname(client), exist_ok=True)
        shutil.copyfile(os.path.join(self.probes, f"kalvo_probe_{probe}.exe"), client)
        return client

    @staticmethod
    def write_record(folder, client_path, group="Kalvo", icon=0, icon_path="..."):
        with open(os.path.join(folder, "uninstall.ini"), "w", encoding="ascii",
                  newline="\r\n") as file:
            file.write("[main_section]\n")
            if client_path is not None:
                file.write(f"u_path={client_path}\n")
            file.write(f"u_group={group}\nu_ico={icon}\nu_ico_path={icon_path}\n")

    def start(self, program, script, env=None, command=None):
        """Starts `program` with the script (written beside it), or `command` (the same
        program as Wine names it, "C:\\...") when given."""
        folder = os.path.dirname(program)
        script_path = os.path.join(folder, "steps.script")
        with open(script_path, "w", encoding="utf-8") as file:
            file.write(script)
        log = os.path.join(folder, "steps.log")
        if os.path.exists(log):
            os.remove(log)
        environment = dict(os.environ)
        environment.update({
            "KALVO_AUTOMATION": windows_path(script_path),
            "KALVO_AUTOMATION_LOG": windows_path(log),
            "KALVO_AUTOMATION_TIMEOUT": "60000",
        })
        environment.update(env or {})
        # Output goes to a file, not a pipe: a program the setup starts (the client, a
        # Program Manager) inherits it and may outlive the setup.
        with open(os.path.join(folder, "steps.stderr"), "w") as errors:
            return subprocess.Popen(
                [WINE_RUN, self.session, command or program],
                cwd=folder, env=environment, stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=errors)

    def finish(self, process, program, began):
        try:
            process.wait(timeout=120)
        except subprocess.TimeoutExpired:
            process.kill()
            raise CaseFailed("the program did not end within 120 s")
        seconds = time.monotonic() - began
        folder = os.path.dirname(program)
        with open(os.path.join(folder, "steps.stderr"), encoding="utf-8", errors="replace") as file:
            stderr = file.read()
        log_path = os.path.join(folder, "steps.log")
        log = open(log_path, encoding="utf-8").read() if os.path.exists(log_path) else ""
        return Run(folder, process.returncode, log, stderr, seconds)

    def run(self, program, script, env=None, command=None):
        began = time.monotonic()
        return self.finish(self.start(program, script, env, command), program, began)

    def start_probe(self, probe, title, log):
        """A probe program standing in for a running client: a window titled `title`; it
        writes "started" into `log` once the window is up, and "closed" on WM_CLOSE."""
        process = subprocess.Popen(
            [WINE_RUN, self.session, probe, "--title", title, "--log", windows_path(log)],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and not (
                os.path.exists(log) and open(log).read() == "started\n"):
            time.sleep(0.1)
        check(os.path.exists(log), "the client did not start")
        return process

    def visible_windows(self, name_pattern):
        found = subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", name_pattern],
            env=dict(os.environ, DISPLAY=self.display), capture_output=True, text=True)
        return found.stdout.split()

    def case(self, name, function, *args):
        try:
            function(*args)
            self.results.append((name, None))
            print(f"ok      {name}", flush=True)
        except CaseFailed as failure:
            self.results.append((name, str(failure)))
            print(f"FAILED  {name}: {failure}", flush=True)


def expects(pairs):
    return "".join(f"expect {name} = {value}\n" for name, value in pairs)


def ended_by(run, step):
    """The program ended on `step` (Finish, say), before the script did."""
    steps = [line for line in run.log.splitlines() if re.match(r"\d+: ", line)]
    check(run.code == AUTOMATION_FAILED and
          "the program ended before the script did" in run.stderr and
          steps and steps[-1].endswith(step),
          f"the program did not end on {step!r} (exit code {run.code}):\n{run.log}{run.stderr}")


def dialog_texts(dump):
    """The texts of every window and control that is not of the setup window's own classes:
    what a message box says."""
    return [node.get("text", "") for node in walk_nodes(dump)
            if not node.get("class", "").startswith(("T", "Ts"))]
