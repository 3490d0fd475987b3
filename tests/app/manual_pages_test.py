#!/usr/bin/env python3
"""The manual pages document what the programs accept: every command and
option that `tarvo --help` and `tarvowin --help` print; for each command of
tarvo, the options of its entry under COMMANDS are exactly those of its
option table (`tarvo help COMMAND`); every exit code of
app/cli/command_registry.h in tarvo.1's EXIT STATUS section. The bash
completion script written from the same tables offers each command's
options and an option's values.

  manual_pages_test.py SOURCE_DIR TARVO TARVOWIN
"""
import re
import subprocess
import sys

OPTION = r"(?<![\w-])--[a-z][a-z-]*"


def page_text(path):
    # troff writes a hyphen-minus as \- ; font changes do not split a word.
    text = open(path, encoding="utf-8").read()
    return re.sub(r"\\f[BIRP]", "", text.replace("\\-", "-"))


def output(*command):
    return subprocess.run(list(command), capture_output=True, text=True, check=True).stdout


def missing_from(page, help_text, program_name):
    words = set(re.findall(OPTION, help_text))
    words |= set(re.findall(r"^\s*" + program_name + r" ([a-z]+)", help_text, re.M))
    return sorted(w for w in words if not re.search(r"(?<![\w-])" + re.escape(w) + r"(?![\w-])", page))


def table_options(tarvo, command):
    """The options of the command's table, from the rows of its help."""
    rows = output(tarvo, "help", command).split("\n\n", 2)[2]
    return {m for m in re.findall(r"^  (--[a-z-]+)", rows, re.M)}


def page_entry_options(page, command):
    """The options of the command's synopsis line under COMMANDS; its
    "criteria" stands for the options of the Criteria subsection."""
    section = page.split(".SH COMMANDS", 1)[1].split(".SH", 1)[0]
    lines = re.findall(r"^\.TP\n(" + command + r"\b.*)$", section, re.M)
    if not lines:
        return None
    options = set(re.findall(OPTION, lines[0]))
    if "[criteria]" in lines[0]:
        criteria = section.split('.SS "Criteria', 1)[1].split(".SS", 1)[0]
        options |= set(re.findall(r"^\.BI? (--[a-z-]+)", criteria, re.M))
    return options


def completion(script, words):
    """What the completion script offers for the command line `words`, the
    last word being completed."""
    array = " ".join("'" + w + "'" for w in words)
    run = subprocess.run(["bash", "-c", script + f"\nCOMP_WORDS=({array}); COMP_CWORD={len(words) - 1}; _tarvo; "
                          'printf "%s\\n" "${COMPREPLY[@]}"'], capture_output=True, text=True, check=True)
    return set(run.stdout.split())


def main(source, tarvo, tarvowin):
    failures = []
    tarvo_page = page_text(f"{source}/dist/tarvo.1")
    tarvo_help = output(tarvo, "--help")
    for program, help_text, page, name in (
            (tarvo, tarvo_help, tarvo_page, "tarvo"),
            (tarvowin, output(tarvowin, "--help"), page_text(f"{source}/dist/tarvowin.1"), "tarvowin")):
        for word in missing_from(page, help_text, name):
            failures.append(f"{name}.1 does not mention {word}")
    script = output(tarvo, "--bash-completion")
    commands = re.findall(r"^  tarvo ([a-z]+)", tarvo_help, re.M)
    if set(commands) != completion(script, ["tarvo", ""]) - {"help", "--data", "--help", "--version",
                                                               "--bash-completion"}:
        failures.append("the completion script does not offer the commands " + " ".join(commands))
    for command in commands:
        table = table_options(tarvo, command)
        if output(tarvo, command, "--help") != output(tarvo, "help", command):
            failures.append(f"tarvo {command} --help differs from tarvo help {command}")
        entry = page_entry_options(tarvo_page, command)
        if entry is None:
            failures.append(f"tarvo.1 has no entry for {command} under COMMANDS")
        elif entry != table:
            failures.append(f"tarvo.1's {command} entry: missing {sorted(table - entry)}, extra {sorted(entry - table)}")
        offered = completion(script, ["tarvo", command, "--"])
        if offered != table | {"--help"}:
            failures.append(f"completion of tarvo {command} --: {sorted(offered ^ (table | {'--help'}))} differ")
    if completion(script, ["tarvo", "show", "--delta-t-model", ""]) != {"builtin", "smh2020"}:
        failures.append("completion of --delta-t-model does not offer the models")
    if completion(script, ["tarvo", "--data", "/tmp", "list", "--format", "c"]) != {"csv"}:
        failures.append("completion of list --format c does not offer csv")
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
