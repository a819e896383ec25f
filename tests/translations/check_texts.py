#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The checks that every text the operator reads goes through the translations.

  check_texts.py literals ROOT
      Finds non-ASCII string and character literals in src/, cli/ and app/
      outside tr(), translate() and the QT_TR*_NOOP markers. A literal that is
      data, not a text shown (a full-width blank searched for, a key of a
      Japanese file), carries the comment "untranslated: <why>" at the end of its
      line or on a line of its own just above.
  check_texts.py translations ROOT
      Finds unfinished entries in parlatone_en.ts, and texts the file lacks or
      holds in vain: scripts/update-translations is run into a copy and the
      two compared.

While resources/translations/pending.txt exists, the files it lists are left
out of the literal scan and a check that finds nothing else ends as skipped
(exit 77): the texts are still being moved into the machinery. Once the file
is gone every finding fails.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SKIPPED = 77
FOLDERS = ("src", "cli", "app")
SUFFIXES = (".cpp", ".h", ".cpp.in")
MARKERS = {"tr", "translate", "QT_TR_NOOP", "QT_TRANSLATE_NOOP", "QT_TRANSLATE_NOOP3",
           "QT_TR_N_NOOP", "QT_TRANSLATE_N_NOOP", "QT_TRANSLATE_N_NOOP3", "qtTrId"}
EXEMPT = "untranslated:"
TS_FILE = "resources/translations/parlatone_en.ts"
PENDING = "resources/translations/pending.txt"


def pending_files(root):
    path = os.path.join(root, PENDING)
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        return {line.strip() for line in f if line.strip() and not line.startswith("#")}


def literals_outside_markers(text):
    """(line, literal) of every non-ASCII literal outside the markers' calls."""
    found = []
    calls = []  # the name before each open parenthesis
    exempt_lines = set()
    i, line, n = 0, 1, len(text)
    word = ""
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
            continue
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            if EXEMPT in text[i:end]:
                # A comment of its own line speaks of the next line.
                alone = text[text.rfind("\n", 0, i) + 1:i].strip() == ""
                exempt_lines.add(line + 1 if alone else line)
            i = end
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
            continue
        if c == '"' or (c == "'" and word in ("", "u", "U", "L", "u8")
                        and not (i > 0 and text[i - 1].isalnum() and word == "")):
            start, start_line = i, line
            if c == '"' and word.endswith("R"):
                m = re.match(r'"([^(\s]*)\(', text[i:])
                close = ")" + m.group(1) + '"'
                end = text.find(close, i) + len(close)
            else:
                j = i + 1
                while j < n and text[j] != c:
                    j += 2 if text[j] == "\\" else 1
                end = j + 1
            literal = text[start:end]
            line += literal.count("\n")
            if any(ord(ch) > 127 for ch in literal) and not any(
                    name in MARKERS for name in calls):
                found.append((start_line, literal))
            i = end
            word = ""
            continue
        if c.isalnum() or c == "_":
            if i > 0 and text[i - 1].isspace():
                word = ""  # "return tr(": the call is tr, not returntr
            word = word + c if word or not c.isdigit() else ""
            i += 1
            continue
        if c == "(":
            calls.append(word)
        elif c == ")" and calls:
            calls.pop()
        if not c.isspace():
            word = ""
        i += 1
    return [(ln, lit) for ln, lit in found if ln not in exempt_lines]


def check_literals(root, pending):
    findings = []
    for folder in FOLDERS:
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if not name.endswith(SUFFIXES):
                    continue
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, root)
                if pending is not None and relative in pending:
                    continue
                with open(path, encoding="utf-8") as f:
                    for line, literal in literals_outside_markers(f.read()):
                        findings.append(f"{relative}:{line}: {literal}")
    return findings


def ts_messages(path):
    """{(context, source, comment): finished} of the file's current entries."""
    messages = {}
    for context in ET.parse(path).getroot().iter("context"):
        context_name = context.findtext("name", "")
        for message in context.iter("message"):
            translation = message.find("translation")
            kind = translation.get("type", "") if translation is not None else "unfinished"
            if kind in ("obsolete", "vanished"):
                continue
            key = (context_name, message.findtext("source", ""), message.findtext("comment", ""))
            text = "".join(translation.itertext()) if translation is not None else ""
            messages[key] = kind != "unfinished" and bool(text)
    return messages


def check_translations(root):
    ts_file = os.path.join(root, TS_FILE)
    current = ts_messages(ts_file)
    findings = [f"unfinished: {ctx}: {src}" for (ctx, src, _), done in current.items() if not done]
    with tempfile.TemporaryDirectory() as scratch:
        copy = os.path.join(scratch, os.path.basename(ts_file))
        shutil.copy(ts_file, copy)
        subprocess.run([os.path.join(root, "scripts", "update-translations"), copy], check=True,
                       env=dict(os.environ, LUPDATE_QUIET="1"), stdout=subprocess.DEVNULL)
        gathered = ts_messages(copy)
    findings += [f"not in {TS_FILE}: {ctx}: {src}" for ctx, src, _ in gathered.keys() - current.keys()]
    findings += [f"no longer in the code: {ctx}: {src}"
                 for ctx, src, _ in current.keys() - gathered.keys()]
    if findings:
        findings.append("(run scripts/update-translations, then translate the unfinished entries)")
    return findings


def main():
    check, root = sys.argv[1], os.path.abspath(sys.argv[2])
    pending = pending_files(root)
    findings = check_literals(root, pending) if check == "literals" else check_translations(root)
    for finding in findings:
        print(finding)
    if pending is not None and (pending or check == "translations"):
        print(f"skipped: {PENDING} still lists {len(pending)} files")
        return SKIPPED if not findings or check == "translations" else 1
    print(f"{len(findings)} findings")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
