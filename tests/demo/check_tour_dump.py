#!/usr/bin/python3
"""Reads the JSON dump the demo tour wrote and checks what the tour did to the window."""
import json
import sys


def find(node, name):
    if node.get("name") == name:
        return node
    for child in node.get("children", []):
        found = find(child, name)
        if found:
            return found
    return None


with open(sys.argv[1], encoding="utf-8") as f:
    windows = json.load(f)
forms = [w for w in windows if w.get("name") == "DemoForm"]
assert len(forms) == 1, f"one demo form expected, found {len(forms)}"
form = forms[0]
assert form["class"] == "TDemoForm" and form["visible"] and "topmost" in form, form["class"]
expected = {
    "NameEdit": ("text", "Ann"),
    "LanguageBox": ("itemIndex", 1),
    "ShortcutBox": ("checked", False),
    "EveryoneButton": ("checked", True),
    "JustMeButton": ("checked", False),
    "Progress": ("position", 40),
    "StatusLabel": ("text", "Kept: Ann, Русский, no shortcut, everyone."),
}
for name, (key, value) in expected.items():
    control = find(form, name)
    assert control is not None, f"{name} is not in the dump"
    assert control.get(key) == value, f"{name}.{key} is {control.get(key)!r}, not {value!r}"
assert find(form, "LanguageBox")["items"] == ["English", "Русский"]
# Radio buttons sit inside their group box, in its client coordinates.
group = find(form, "ModeBox")
assert find(group, "EveryoneButton")["bounds"] == [12, 46, 120, 17], find(group, "EveryoneButton")
print("1 passed, 0 failed")
