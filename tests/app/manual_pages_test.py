#!/usr/bin/env python3
"""The manual pages document what the programs accept: every command and
option that `tarvo --help` and `tarvowin --help` print, and every exit code
of app/cli/command_registry.h in tarvo.1's EXIT STATUS section.

  manual_pages_test.py SOURCE_DIR TARVO TARVOWIN
"""
import re
import subprocess
import sys


def page_text(path):
    # troff writes a hyphen-minus as \- ; font changes do not split a word.
    text = open(path, encoding="utf-8").read()
    return re.sub(r"\\f[BIRP]", "", text.replace("\\-", "-"))


def usage(program):
    run = subprocess.run([program, "--help"], capture_output=True, text=True, check=True)
    return run.stdout


def missing_from(page, help_text, program_name):
    words = set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", help_text))
    words |= set(re.findall(r"^\s*" + program_name + r" ([a-z]+)", help_text, re.M))
    return sorted(w for w in words if not re.search(r"(?<![\w-])" + re.escape(w) + r"(?![\w-])", page))


def main(source, tarvo, tarvowin):
    failures = []
    tarvo_page = page_text(f"{source}/dist/tarvo.1")
    for program, page, name in ((tarvo, tarvo_page, "tarvo"),
                                (tarvowin, page_text(f"{source}/dist/tarvowin.1"), "tarvowin")):
        for word in missing_from(page, usage(program), name):
            failures.append(f"{name}.1 does not mention {word}")
    registry = open(f"{source}/app/cli/command_registry.h", encoding="utf-8").read()
    section = tarvo_page.split(".SH \"EXIT STATUS\"", 1)[-1].split(".SH", 1)[0]
    for name, code in re.findall(r"constexpr int (kExit\w+) = (\d+);", registry):
        if not re.search(rf"^\.B {code}$", section, re.M):
            failures.append(f"tarvo.1 EXIT STATUS lacks {code} ({name})")
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
