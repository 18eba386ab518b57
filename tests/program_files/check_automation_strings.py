#!/usr/bin/python3
"""Whether the test automation runner is built into programs, told by its strings.

    check_automation_strings.py absent FILE...
    check_automation_strings.py present FILE...

The markers are texts only the runner holds: the names of its environment variables, its
window class, command names of its scripts and its messages, each looked for both as 8-bit
text and as UTF-16. "absent" (the release) passes when no file holds any marker; "present"
(the test builds, the control of the same check) passes only when every file holds every
marker, so that a marker the runner no longer holds shows up there instead of making the
release check pass for nothing.
"""
import sys

# Texts the compiler keeps as data (it may build short std::string texts from immediate
# values in the code, where no search finds them; the "present" check shows that these stay).
MARKERS = [
    "KALVO_AUTOMATION",  # the environment variables KALVO_AUTOMATION, _LOG, _TIMEOUT
    "KalvoAutomation",  # the runner's message window class
    "wait-idle",  # command names of the scripts
    "screenshot",
    "KALVO_AUTOMATION_TIMEOUT must be a number of milliseconds",
    "automation: the program ended before the script did",
    "EAutomationScriptError",  # the script reader's exception type, by its type name
]


def found_in(data, marker):
    return [name for name, encoded in (("8-bit", marker.encode("ascii")),
                                       ("UTF-16", marker.encode("utf-16-le")))
            if encoded in data]


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("absent", "present"):
        sys.exit("usage: check_automation_strings.py absent|present FILE...")
    mode, paths = sys.argv[1], sys.argv[2:]
    failed = False
    for path in paths:
        with open(path, "rb") as file:
            data = file.read()
        file_failed = False
        for marker in MARKERS:
            forms = found_in(data, marker)
            if mode == "absent" and forms:
                print(f"FAIL: {path} holds \"{marker}\" ({', '.join(forms)})")
                file_failed = True
            elif mode == "present" and not forms:
                print(f"FAIL: {path} does not hold \"{marker}\"")
                file_failed = True
        failed |= file_failed
        if not file_failed:
            print(f"ok: {path}: {'none' if mode == 'absent' else 'all'} of "
                  f"{len(MARKERS)} markers")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
