#!/usr/bin/env python3
"""Turns the raw measurements of bench/run-bench.sh into bench/REPORT.md, and its figures into JSON.

    write-report.py RESULTS_DIR REPORT.md --mode full|quick --idle S --short S --blink S --settle S
        --collect S --blink-collect S --warm S --caret-quiet S --startups N [--figures OUT.json]
        [--before EARLIER.json]
"""

import argparse
import datetime
import json
import math
import os
import platform
import re
import statistics
import subprocess
from pathlib import Path

# The report's rows: Orvanta's states, then the two programs it is read against.
STATES = ["default", "noseconds", "caret-blink", "caret-stopped", "countdown", "glass", "w180", "w340", "notes5",
          "longnotes", "chime", "prefs"]
OTHERS = ["xclock", "reference"]
ROWS = STATES + OTHERS
LABELS = {
    "default": "Untouched (width 220)",
    "noseconds": "Seconds off",
    "caret-blink": "Text field focused, caret blinking",
    "caret-stopped": "Text field focused, after 13 s without input",
    "countdown": "Countdown started with Return",
    "glass": "Glass theme",
    "w180": "Width 180",
    "w340": "Width 340",
    "notes5": "Five notes",
    "longnotes": "Five 100,000-character notes",
    "chime": "After the first chime",
    "prefs": "Preferences open",
    "xclock": "xclock -digital",
    "reference": "Reference window",
}
# The callgrind run and counting window each row's instruction counts come from.
COUNTS = {row: f"cg-{row}.idle" for row in ROWS}
COUNTS["caret-blink"] = "cg-caret.blink"
COUNTS["caret-stopped"] = "cg-caret.stopped"
# Start-up is counted for these rows (and the two other programs).
STARTUP = {"default": "startup-default", "w340": "startup-w340", "notes5": "startup-notes5",
           "longnotes": "startup-longnotes",
           "xclock": "startup-xclock", "reference": "startup-reference"}
# The untouched card's very first start in a fresh profile, before anything is cached.
FIRST_START = "startup-first"
# Rows whose memory and start-up are held to the budgets.
SIZE_ROWS = ["default", "w340", "notes5", "longnotes", "chime"]
ORVANTA_PAINT = "ClockFace::paintEvent(QPaintEvent*)"
# What the card does once, counted on its own (label, dump, the part held to a limit, the limit):
# the outline region's share of a grip drag and of a drawer closed and opened again (≤ 10 %),
# and the first chime's instructions in the card's process (≤ 2 M).
OUTLINE = "continuousRoundedRegion(QRect const&, double)"
CHIME = "PulseSoundPlayer::play(QString const&)"
ACTIONS = [("Grip drag, 40 px in ten moves", "action.drag", OUTLINE, "share", 0.10),
           ("Drawer closed and opened again", "action.drawer", OUTLINE, "share", 0.10),
           ("Countdown to its end, flash and first chime", "action.chime", CHIME, "instructions", 2_000_000)]
# Frames every tick passes through, left out of the list of where the instructions go.
PLUMBING = re.compile(r"^(0x|QEventLoop|QEventDispatcher|g_main|QCoreApplication|QApplication|QWidget::event|"
                      r"QCoreApplicationPrivate|QApplicationPrivate|QObject::event|QtPrivate::QSlotObject|"
                      r"QMetaObject::activate|QTimer|QWidgetPrivate::(paintSiblingsRecursive|sendPaintEvent|"
                      r"syncBackingStore)|QWidgetRepaintManager::sync|main\b|__libc_start|_start|"
                      r"QGuiApplicationPrivate::processWindowSystemEvent|QWindowSystemInterface)")


def read_kv(path):
    """Key-value lines; per-thread lines "<prefix>thread TID RUN_NS VOLUNTARY" go to <prefix>threads."""
    values = {}
    for line in Path(path).read_text().splitlines():
        key, _, value = line.partition(" ")
        if key.endswith("thread"):
            tid, run, voluntary = value.split()
            values.setdefault(key + "s", {})[tid] = (float(run), float(voluntary))
        else:
            values[key] = float(value)
    if "end_threads" in values:
        # Only threads alive at the end count; one born in between counts from zero, and one
        # that ended took its counters with it.
        start, end = values.get("start_threads", {}), values["end_threads"]
        for i, key in enumerate(("prog_ns", "prog_voluntary")):
            values["start_" + key] = sum(start.get(t, (0.0, 0.0))[i] for t in end)
            values["end_" + key] = sum(end[t][i] for t in end)
    return values


def per_minute(kv, key):
    seconds = kv["end_time"] - kv["start_time"]
    return (kv["end_" + key] - kv["start_" + key]) * 60.0 / seconds


def inclusive_of(path, function):
    """The inclusive instructions of one function in a callgrind profile (0 when never called)."""
    for line in top(annotate(path, True), 100_000, plumbing=False):
        count, _, where = line.strip().partition("  ")
        if where == function:
            return int(count.replace(",", ""))
    return 0


def callgrind_calls(path):
    """Total Ir and the number of calls of every function, from a callgrind profile."""
    names, calls, total, callee = {}, {}, None, None
    for line in Path(path).read_text(errors="replace").splitlines():
        m = re.match(r"(c?fn)=\((\d+)\)(?: (.*))?$", line)
        if m:
            if m.group(3):
                names[m.group(2)] = m.group(3).strip()
            if m.group(1) == "cfn":
                callee = names.get(m.group(2))
            continue
        if line.startswith("calls=") and callee:
            calls[callee] = calls.get(callee, 0) + int(line[6:].split()[0])
        elif line.startswith("totals:") or (line.startswith("summary:") and total is None):
            total = int(line.split()[1])
    return total or 0, calls


def damage_events(path):
    events = []
    for line in Path(path).read_text().splitlines():
        t, kind, x, y, w, h = line.split()
        events.append((float(t), kind, int(x), int(y), int(w), int(h)))
    return events


def seconds_lag(events, kind, start, end):
    """Median and list of delays (ms) from each whole second to the first change after it."""
    times = sorted(e[0] for e in events if e[1] == kind)
    lags = []
    for second in range(math.ceil(start), math.floor(end)):
        after = [t for t in times if second <= t < second + 0.9]
        if after:
            lags.append((after[0] - second) * 1000.0)
    seconds = max(1, math.floor(end) - math.ceil(start))
    # A program that shows no seconds changes only at the minute: no figure.
    if len(lags) < seconds / 2:
        return None, lags
    return statistics.median(lags), lags


def machine():
    cpu = "unknown"
    for line in Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
    mem_kb = 0
    for line in Path("/proc/meminfo").read_text().splitlines():
        if line.startswith("MemTotal:"):
            mem_kb = int(line.split()[1])
    debian = Path("/etc/debian_version").read_text().strip() if Path("/etc/debian_version").exists() else "?"

    def run(*cmd):
        try:
            return subprocess.run(cmd, capture_output=True, text=True, check=False).stdout.strip()
        except OSError:
            return ""

    qt = run("dpkg-query", "-W", "-f=${Version}", "libqt6core6") or "?"
    # The program measured is the last commit that changed anything but the benchmark itself.
    commit = run("git", "log", "-1", "--format=%h", "--", ".", ":!bench", ":!README.md") or "?"
    if run("git", "status", "--porcelain", "--", ".", ":!bench", ":!README.md"):
        commit += " with uncommitted changes"
    return {
        "cpu": cpu,
        "nproc": os.cpu_count(),
        "ram": f"{mem_kb / 1024 / 1024:.1f} GiB",
        "kernel": platform.release(),
        "debian": debian,
        "qt": qt,
        "commit": commit,
    }


def fmt(value, unit="", digits=0):
    if value is None:
        return "—"
    if digits == 0:
        text = f"{value:,.0f}"
    else:
        text = f"{value:,.{digits}f}"
    return f"{text} {unit}".strip()


def ratio(value, reference):
    if value is None or reference in (None, 0):
        return "—"
    return f"{value / reference:.2f}×"


def tick_dumps(directory):
    """(instructions, clock face paints) of each whole tick counted, in order. The first dump
    of a counting window starts mid-tick, when counting was switched on, and is left out."""
    files = sorted(Path(directory).glob("*.[0-9]*"), key=lambda f: int(f.name.rsplit(".", 1)[1]))
    ticks = []
    for f in files[1:]:
        total, calls = callgrind_calls(f)
        ticks.append((total, calls.get(ORVANTA_PAINT, 0), f))
    return ticks


def median_dump(ticks):
    """The dump whose count is the median of the given ticks, and that count."""
    if not ticks:
        return None, None
    ordered = sorted(ticks, key=lambda t: t[0])
    middle = ordered[(len(ordered) - 1) // 2]
    return middle[2], statistics.median(t[0] for t in ticks)


def annotate(path, inclusive):
    args = ["callgrind_annotate", "--threshold=100"] + (["--inclusive=yes"] if inclusive else []) + [str(path)]
    try:
        return subprocess.run(args, capture_output=True, text=True, check=False).stdout
    except OSError:
        return ""


def top(text, count, calls=None, only_object=None, plumbing=True):
    """The costliest functions of a callgrind_annotate listing: "Ir [calls]  function" lines."""
    out, seen, started = [], set(), False
    for line in text.splitlines():
        if re.match(r"^\s*Ir\s+file:function", line):
            started = True
            continue
        m = re.match(r"^\s*([\d,]+)\s+\(\s*[\d.]+%\)\s+(.*?)(?:\s+\[([^\]]*)\])?$", line) if started else None
        if not m:
            continue
        if only_object and os.path.basename(m.group(3) or "") != only_object:
            continue
        where = re.sub(r"^[^\s:(]+:(?!:)", "", m.group(2))
        if plumbing and calls is not None and PLUMBING.search(where):
            continue
        if where.startswith("0x"):
            where += f" ({os.path.basename(m.group(3) or '?')})"
        if where in seen:
            continue
        seen.add(where)
        text_line = f"{int(m.group(1).replace(',', '')):>12,}"
        if calls is not None:
            text_line += f" {calls.get(where, 0):>8}"
        out.append(f"{text_line}  {where}")
        if len(out) >= count:
            break
    return out


def cell(value, unit="", digits=0, reference=None):
    text = fmt(value, unit, digits)
    if value is not None and reference:
        text += f" ({value / reference:.2f}×)"
    return text


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("results")
    ap.add_argument("report")
    ap.add_argument("--mode", default="full")
    ap.add_argument("--idle", type=float)
    ap.add_argument("--short", type=float)
    ap.add_argument("--blink", type=float)
    ap.add_argument("--settle", type=float)
    ap.add_argument("--collect", type=float)
    ap.add_argument("--blink-collect", type=float)
    ap.add_argument("--warm", type=float)
    ap.add_argument("--caret-quiet", type=float)
    ap.add_argument("--startups", type=int)
    ap.add_argument("--figures", help="where to write this run's figures as JSON")
    ap.add_argument("--before", help="figures of an earlier run to set beside this one's")
    args = ap.parse_args()
    res = Path(args.results)
    m = machine()

    def load(name):
        path = res / name
        return ", ".join(path.read_text().split()[:3]) if path.exists() else "?"

    # Start-up time, untouched card only.
    startup = {}
    for line in (res / "startup").read_text().splitlines():
        name, ms = line.split()
        startup.setdefault(name, []).append(float(ms))
    startup_median = {name: statistics.median(v) for name, v in startup.items()}

    # Memory, CPU, wake-ups and drawings of each row.
    baseline = read_kv(res / "baseline.kv")
    base_server = per_minute(baseline, "xvfb_ns") / 1e6
    base_picom = per_minute(baseline, "picom_ns") / 1e6
    runs = {}
    for row in ROWS:
        kv = read_kv(res / f"run-{row}.kv")
        events = damage_events(res / f"damage-{row}.txt")
        drawn = [e for e in events if e[1] == "window"]
        minutes = (kv["end_time"] - kv["start_time"]) / 60.0
        lag_screen, lags_screen = seconds_lag(events, "screen", kv["start_time"], kv["end_time"])
        server = per_minute(kv, "xvfb_ns") / 1e6 - base_server
        picom = per_minute(kv, "picom_ns") / 1e6 - base_picom
        runs[row] = {
            "rss": kv["rss_kb"] / 1024.0,
            "pss": kv["pss_kb"] / 1024.0,
            "dirty": kv["private_dirty_kb"] / 1024.0,
            "desktop_pss": kv["desktop_pss_kb"] / 1024.0,
            "private_clean": kv["private_clean_kb"] / 1024.0,
            "qt_sharers": int(kv.get("qt_sharers", -1)),
            "cpu": per_minute(kv, "prog_ns") / 1e6,
            "cpu_ticks": per_minute(kv, "prog_ticks") * 10.0,
            "server": server,
            "picom": picom,
            "caused": server + picom,
            "wakeups": per_minute(kv, "prog_voluntary"),
            "threads": len(kv["end_threads"]),
            "drawings": len(drawn) / minutes,
            "pixels": sum(e[4] * e[5] for e in drawn) / minutes,
            "lag": lag_screen,
            "lag_n": len(lags_screen),
            "seconds": kv["end_time"] - kv["start_time"],
        }

    # Instructions per tick: one callgrind dump per tick. A tick that repaints the clock face
    # is a seconds repaint; one that does not is a quiet tick. The reference window repaints
    # everything on every tick, and every wake-up of xclock changes the seconds.
    counts = {}
    for row in ROWS:
        ticks = tick_dumps(res / COUNTS[row])
        if row in OTHERS:
            repaint, quiet = ticks, (ticks if row == "reference" else [])
        else:
            repaint = [t for t in ticks if t[1] > 0]
            quiet = [t for t in ticks if t[1] == 0]
        repaint_dump, repaint_median = median_dump(repaint)
        if row == "noseconds":
            # Without seconds the face repaints only when the minute changes: no seconds repaint.
            repaint_dump, repaint_median = None, None
        quiet_dump, quiet_median = median_dump(quiet)
        counts[row] = {
            "ticks": len(ticks),
            "repaints": len(repaint),
            "quiet": len(quiet),
            "seconds_repaint": repaint_median,
            "quiet_tick": quiet_median,
            "repaint_dump": repaint_dump,
            "quiet_dump": quiet_dump,
            "mean": statistics.mean(t[0] for t in ticks) if ticks else None,
            "repaint_range": (min(t[0] for t in repaint), max(t[0] for t in repaint)) if repaint else None,
            "quiet_range": (min(t[0] for t in quiet), max(t[0] for t in quiet)) if quiet else None,
        }

    startup_instr, startup_paints = {}, {}
    for row, stem in STARTUP.items():
        path = res / f"{stem}.out.1"
        if path.exists():
            total, calls = callgrind_calls(path)
            startup_instr[row] = total
            startup_paints[row] = calls.get(ORVANTA_PAINT, 0)

    first_path = res / f"{FIRST_START}.out.1"
    first_start = callgrind_calls(first_path)[0] if first_path.exists() else None

    ref = {
        "cpu": runs["reference"]["cpu"],
        "desktop_pss": runs["reference"]["desktop_pss"],
        "startup_instr": startup_instr.get("reference"),
    }
    figures = {}
    for row in ROWS:
        figures[row] = {
            "cpu": runs[row]["cpu"],
            "wakeups": runs[row]["wakeups"],
            "seconds_repaint": counts[row]["seconds_repaint"],
            "quiet_tick": counts[row]["quiet_tick"],
            "drawings": runs[row]["drawings"],
            "desktop_pss": runs[row]["desktop_pss"],
            "startup_instr": startup_instr.get(row),
        }
    actions = {}
    for label, dump, part, _, _ in ACTIONS:
        if (res / dump).exists():
            actions[label] = {"instructions": callgrind_calls(res / dump)[0], "part": part,
                              "part_instructions": inclusive_of(res / dump, part)}
    started = datetime.datetime.fromtimestamp(baseline["start_time"]).astimezone()
    this_run = {
        "commit": m["commit"],
        "date": f"{started:%Y-%m-%d %H:%M %Z}",
        "load_start": load("loadavg-start"),
        "load_end": load("loadavg-end"),
        "mode": args.mode,
        "first_start_instr": first_start,
        "rows": figures,
        "actions": actions,
    }
    if args.figures:
        Path(args.figures).write_text(json.dumps(this_run, indent=1) + "\n")
    before = json.loads(Path(args.before).read_text()) if args.before else None

    # The states table: each figure, with "before → now" when an earlier run is given.
    columns = [
        ("Own CPU per minute", "cpu", "ms", 1, "cpu"),
        ("Wake-ups per minute", "wakeups", "", 0, None),
        ("Instructions per seconds repaint", "seconds_repaint", "", 0, None),
        ("Instructions per quiet tick", "quiet_tick", "", 0, None),
        ("Drawings per minute", "drawings", "", 0, None),
        ("PSS alone on the desktop", "desktop_pss", "MiB", 1, "desktop_pss"),
        ("Start-up instructions", "startup_instr", "", 0, "startup_instr"),
    ]

    def figure_cell(row, key, unit, digits, ratio_key):
        now_value = figures[row][key]
        reference = ref[ratio_key] if ratio_key and row != "reference" else None
        text = cell(now_value, unit, digits, reference)
        if before is not None:
            old = before["rows"].get(row, {}).get(key)
            old_ref = before["rows"].get("reference", {}).get(ratio_key) if ratio_key and row != "reference" else None
            old_text = cell(old, unit, digits, old_ref)
            if old is None and now_value is None:
                return "—"
            text = f"{old_text} → {text}"
        return text

    lines = ["| State | " + " | ".join(c[0] for c in columns) + " |", "|---|" + "---:|" * len(columns)]
    for row in ROWS:
        cells = [figure_cell(row, key, unit, digits, rk) for _, key, unit, digits, rk in columns]
        lines.append(f"| {LABELS[row]} | " + " | ".join(cells) + " |")
    states_table = "\n".join(lines)

    # Budgets, per state.
    misses = []

    def verdict(row, what, value, limit, shown):
        if value is None:
            return "—"
        if value <= limit:
            return f"{shown} met"
        misses.append((row, what, shown, limit))
        return f"**{shown} missed**"

    budget_lines = ["| State | Own CPU ≤ 0.5× reference | Wake-ups ≤ 300 a minute | ≤ 150k per seconds repaint | "
                    "≤ 30k per quiet tick | PSS alone ≤ 1.15× reference | Start-up instructions ≤ 1.3× reference |",
                    "|---|---|---|---|---|---|---|"]
    for row in STATES:
        f = figures[row]
        cpu_r = f["cpu"] / ref["cpu"]
        cells = [
            verdict(row, "own CPU", cpu_r, 0.5, f"{cpu_r:.2f}×"),
            verdict(row, "wake-ups", f["wakeups"], 300, f"{f['wakeups']:.0f}"),
            verdict(row, "seconds repaint", f["seconds_repaint"], 150000, fmt(f["seconds_repaint"])),
            verdict(row, "quiet tick", f["quiet_tick"], 30000, fmt(f["quiet_tick"])),
        ]
        if row in SIZE_ROWS:
            pss_r = f["desktop_pss"] / ref["desktop_pss"]
            cells.append(verdict(row, "PSS alone", pss_r, 1.15, f"{pss_r:.2f}×"))
            su = f["startup_instr"]
            su_r = su / ref["startup_instr"] if su and ref["startup_instr"] else None
            cells.append(verdict(row, "start-up instructions", su_r, 1.3, f"{su_r:.2f}×" if su_r else "—"))
        else:
            cells += ["", ""]
        budget_lines.append(f"| {LABELS[row]} | " + " | ".join(cells) + " |")

    # A focused field whose caret has had time to stop costs no more than the untouched card.
    # Instruction counts repeat to within a few per cent, so that is the margin allowed.
    quiet_lines = ["| A focused field after 13 s without input, against the untouched card | Focused | Untouched | "
                   "Verdict |", "|---|---:|---:|---|"]
    for label, key, margin in (("Instructions per quiet tick", "quiet_tick", 1.05),
                               ("Instructions per seconds repaint", "seconds_repaint", 1.05),
                               ("Drawings per minute", "drawings", 1.05),
                               ("Wake-ups per minute", "wakeups", 1.10),
                               ("Own CPU per minute (ms)", "cpu", 1.25)):
        a, b = figures["caret-stopped"][key], figures["default"][key]
        if a is None or b is None:
            v = "—"
        elif a <= b * margin:
            v = "met"
        else:
            v = f"**missed** ({a / b:.2f}×)"
            misses.append(("caret-stopped", label.lower() + " against the untouched card", f"{a / b:.2f}×", margin))
        quiet_lines.append(f"| {label} (margin {margin:.2f}×) | {fmt(a, '', 1 if key == 'cpu' else 0)} | "
                           f"{fmt(b, '', 1 if key == 'cpu' else 0)} | {v} |")

    # The untouched card's other budgets, kept from earlier reports.
    d = runs["default"]
    general = ["| Budget (untouched card) | Limit | Orvanta | Verdict |", "|---|---|---:|---|"]

    def general_budget(name, limit_text, value, limit, shown):
        if value is None:
            v = "not measured"
        elif value <= limit:
            v = "met"
        else:
            v = f"**missed** by {(value / limit - 1) * 100:.0f}%"
            misses.append(("default", name, shown, limit))
        general.append(f"| {name} | {limit_text} | {shown} | {v} |")

    r = startup_median["default"] / startup_median["reference"]
    general_budget("Start-up time to the first painted frame", "≤ 1.5× reference", r, 1.5, f"{r:.2f}×")
    caused_ref = runs["reference"]["caused"]
    r = d["caused"] / caused_ref if caused_ref > 0 else None
    general_budget("X server + compositor CPU caused", "≤ 0.5× reference", r, 0.5, f"{r:.2f}×" if r else "—")
    r = runs["noseconds"]["cpu"] / d["cpu"]
    general_budget("Own CPU with the seconds off", "≤ 0.25× with them on", r, 0.25, f"{r:.2f}×")
    general_budget("Seconds change after the wall clock's second", "≤ 20 ms (median)", d["lag"], 20,
                   fmt(d["lag"], "ms", 1))

    action_lines = ["| Action (untouched card) | Instructions | Held to the limit | Figure | Limit | Verdict |",
                    "|---|---:|---|---:|---|---|"]
    for label, _, part, kind, limit in ACTIONS:
        a = actions.get(label)
        if a is None:
            action_lines.append(f"| {label} | — | `{part}` | — | — | not measured |")
            continue
        if kind == "share":
            value = a["part_instructions"] / a["instructions"] if a["instructions"] else None
            shown, limit_text = (f"{value * 100:.1f} %" if value is not None else "—"), f"< {limit * 100:.0f} %"
        else:
            value = a["part_instructions"]
            shown, limit_text = f"{value:,}", f"≤ {limit:,}"
        verdict = "not measured" if value is None else "met" if value <= limit else "**missed**"
        if value is not None and value > limit:
            misses.append(("default", label.lower(), shown, limit))
        action_lines.append(f"| {label} | {a['instructions']:,} | `{part}` | {shown} | {limit_text} | {verdict} |")

    # What misses, with where the instructions of the row's median tick go.
    miss_lines = []
    explained = set()
    for row, what, shown, limit in misses:
        miss_lines.append(f"- {LABELS[row]}: {what} {shown} (limit {limit:,g})")
        dump = None
        if what == "seconds repaint":
            dump = counts[row]["repaint_dump"]
        elif what in ("quiet tick", "wake-ups", "own CPU"):
            dump = counts[row]["quiet_dump"]
        if dump is not None and (row, dump) not in explained:
            explained.add((row, dump))
            own = top(annotate(dump, True), 8, only_object="orvanta")
            if own:
                miss_lines.append(f"  The program's own functions in that row's median "
                                  f"{'seconds repaint' if what == 'seconds repaint' else 'quiet tick'} "
                                  "(inclusive instructions):")
                miss_lines.append("  ```")
                miss_lines += ["  " + o for o in own]
                miss_lines.append("  ```")
    if not miss_lines:
        miss_lines = ["Every budget is met."]

    # The programs side by side, as in earlier reports.
    side = ["| Figure | " + " | ".join(LABELS[r] for r in ("default", "noseconds", "xclock", "reference")) + " |",
            "|---|" + "---:|" * 4]
    side_rows = [
        ("Start-up to first painted frame (median of %d)" % args.startups,
         {"default": startup_median.get("default"), "noseconds": None, "xclock": startup_median.get("xclock"),
          "reference": startup_median.get("reference")}, "ms", 0),
        ("Instructions to the end of the first painted frame", {r: startup_instr.get(r) for r in ROWS}, "", 0),
        ("The same, first start of a fresh profile", {"default": first_start, "noseconds": None, "xclock": None,
                                                      "reference": startup_instr.get("reference")}, "", 0),
        ("RSS after %g s" % args.settle, {r: runs[r]["rss"] for r in ROWS}, "MiB", 1),
        ("PSS after %g s, alone on the desktop" % args.settle, {r: runs[r]["desktop_pss"] for r in ROWS}, "MiB", 1),
        ("PSS after %g s, as the kernel counts it" % args.settle, {r: runs[r]["pss"] for r in ROWS}, "MiB", 1),
        ("Private dirty memory after %g s" % args.settle, {r: runs[r]["dirty"] for r in ROWS}, "MiB", 1),
        ("Own CPU per idle minute", {r: runs[r]["cpu"] for r in ROWS}, "ms", 1),
        ("X server + compositor CPU caused per minute", {r: runs[r]["caused"] for r in ROWS}, "ms", 1),
        ("Wake-ups (voluntary context switches) per minute", {r: runs[r]["wakeups"] for r in ROWS}, "", 0),
        ("Instructions per quiet tick (median)", {r: counts[r]["quiet_tick"] for r in ROWS}, "", 0),
        ("Instructions per seconds repaint (median)", {r: counts[r]["seconds_repaint"] for r in ROWS}, "", 0),
        ("Seconds shown after the wall clock's second (median)", {r: runs[r]["lag"] for r in ROWS}, "ms", 1),
        ("Drawings into the window per minute", {r: runs[r]["drawings"] for r in ROWS}, "", 0),
        ("Pixels drawn per minute", {r: runs[r]["pixels"] for r in ROWS}, "", 0),
    ]
    for label, values, unit, digits in side_rows:
        cells = []
        for r in ("default", "noseconds", "xclock", "reference"):
            reference = values["reference"] if r != "reference" else None
            cells.append(cell(values.get(r), unit, digits, reference))
        side.append(f"| {label} | " + " | ".join(cells) + " |")

    # Details.
    details = ["| Row | Seconds measured | Own CPU/min (utime+stime) | Threads | Xvfb caused/min | picom caused/min | "
               "Pixels drawn/min | Private clean memory | Other processes mapping Qt | Ticks counted | "
               "Seconds repaints (range) | Quiet ticks (range) | Mean per tick |",
               "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|---|---:|"]
    for row in ROWS:
        x, c = runs[row], counts[row]
        rr = f"{c['repaints']} ({c['repaint_range'][0]:,}–{c['repaint_range'][1]:,})" if c["repaint_range"] else "0"
        qr = f"{c['quiet']} ({c['quiet_range'][0]:,}–{c['quiet_range'][1]:,})" if c["quiet_range"] else "0"
        sharers = x["qt_sharers"] if x["qt_sharers"] >= 0 else "?"
        details.append(f"| {LABELS[row]} | {x['seconds']:.1f} | {x['cpu_ticks']:.0f} ms | {x['threads']} | "
                       f"{x['server']:.1f} ms | {x['picom']:.1f} ms | {x['pixels']:,.0f} | "
                       f"{x['private_clean']:.1f} MiB | {sharers} | {c['ticks']} | {rr} | {qr} | {fmt(c['mean'])} |")
    startup_lines = [f"- {LABELS[n]}: " + ", ".join(f"{v:.0f}" for v in startup.get(n, [])) + " ms"
                     for n in ("default", "xclock", "reference")]
    startup_check = ", ".join(f"{LABELS[r]} {startup_paints[r]}" for r in ("default", "w340", "notes5")
                              if r in startup_paints)

    def listing(dump, title, count=25):
        if dump is None:
            return ""
        _, calls = callgrind_calls(dump)
        incl = top(annotate(dump, True), count, calls)
        own = top(annotate(dump, False), 12, None, plumbing=False)
        total = callgrind_calls(dump)[0]
        return (f"### {title}\n\nOne tick of {total:,} instructions (the median one). Inclusive instructions and "
                f"calls, the event loop's plumbing left out:\n\n```\n          Ir    calls  function\n" +
                "\n".join(incl) + "\n```\n\nSelf instructions (functions of libraries without symbols show as "
                "addresses):\n\n```\n" + "\n".join(own) + "\n```\n")

    where = "\n".join(filter(None, [
        listing(counts["default"]["repaint_dump"], "Untouched card, seconds repaint"),
        listing(counts["default"]["quiet_dump"], "Untouched card, quiet tick", 15),
        listing(counts["caret-blink"]["quiet_dump"], "Caret blinking, quiet tick"),
        listing(counts["glass"]["repaint_dump"], "Glass theme, seconds repaint"),
    ]))
    start_incl = res / "startup-default.inclusive.txt"
    top_start = top(start_incl.read_text(errors="replace"), 20, only_object="orvanta") if start_incl.exists() else []

    mode_note = ""
    if args.mode == "quick":
        mode_note = ("\n> **Quick smoke run** (`--quick`): the idle windows and instruction counts are too short "
                     "for these figures to be trusted. Run `bench/run-bench.sh` without options for the real "
                     "report.\n")
    before_note = ""
    if before is not None:
        before_note = (f"\nEach cell reads *before → now*: before is commit {before['commit']}, measured on "
                       f"{before['date']} on this machine (load average {before['load_start']} at its start, "
                       f"{before['load_end']} at its end); ratios are to the reference window of the same run.\n")

    report = f"""# Orvanta side-by-side benchmark

Run on {this_run['date']} with `bench/run-bench.sh{' --quick' if args.mode == 'quick' else ''}`.
{mode_note}
Machine: {m['nproc']} CPUs ({m['cpu']}), {m['ram']} RAM, Linux {m['kernel']}, Debian {m['debian']},
Qt {m['qt']}; Orvanta's code at commit {m['commit']} (the last one outside the benchmark), built
RelWithDebInfo.
Load average (1, 5, 15 min) at the start: {load('loadavg-start')}, after the instruction counts:
{load('loadavg-callgrind')}, at the end: {load('loadavg-end')}. CPU times move with the load;
instruction counts do not.

Each program runs alone on the same private X desktop (Xvfb 1280×800×24, openbox, picom with
its xrender backend; all rendering in software; no session bus, no tray), from a fresh profile.
The reference window is a busy toolkit program — a bare Qt window that repaints all of itself
twice a second — not a floor: a figure under its is not yet a good one, which is why xclock's
column stands beside it. Ratios are to the reference window measured in the same run.

## Every state
{before_note}
{states_table}

## Budgets

{chr(10).join(budget_lines)}

{chr(10).join(quiet_lines)}

{chr(10).join(general)}

{chr(10).join(action_lines)}

### What misses

{chr(10).join(miss_lines)}

## The untouched card beside xclock and the reference window

{chr(10).join(side)}

## How each figure is taken

- **States**: each a fresh profile. Seconds off, glass, the widths 180 and 340 and the five notes
  come from a prepared `settings.json`; the others are driven with `xdotool` once the card
  stands: a click on the timer field (where the card renderer's layout of a card as wide puts
  it; the card must then hold the keyboard focus); the same, `ctrl+a`, `25:00` and Return (the
  drawer must close); the card activated and Ctrl+, (a second window of the process must show).
  A screenshot of every state is kept with the raw results (`ORVANTA_BENCH_KEEP`). The caret
  rows come from one run: blinking from 0.5 s to {0.5 + (args.blink or 0):g} s after the click, and
  quiet from {args.caret_quiet:g} s after it (a blink that stops does so after 10 s).
- **The measured window** is found by id: the first window whose `_NET_WM_PID` names the
  started process to show content; the program's other windows (preferences, a tray icon)
  share its class and title and are not counted.
- **Start-up time**: wall-clock time from `fork` to the first damage of one of the program's
  windows after which the window is not one flat colour (`bench/damage-watch first-frame`,
  event driven through the X Damage extension), untouched card. Each run:
{chr(10).join('  ' + s for s in startup_lines)}
- **Starts**: every start measured is an ordinary one: Orvanta has been started once in the
  profile before (and stopped once its window showed), so what it keeps between starts is
  there. The first start of a fresh profile is counted apart.
- **Start-up instructions**: each program under `valgrind --tool=callgrind` on a second,
  identical desktop, dumped by callgrind itself as the first painted frame ends
  (`--dump-after=QWidgetRepaintManager::paintAndFlush()` for the two Qt programs,
  `--dump-after=XftDrawStringUtf8` for xclock): the same cut on every run, whatever the load.
  Clock face paints in the first frame: {startup_check or '—'}.
- **Memory**: {args.settle:g} s after the program started, once its state is set. RSS, PSS and
  private dirty memory from `/proc/PID/smaps_rollup`. "Alone on the desktop" counts the PSS
  again from `/proc/PID/pagemap` (`bench/desktop-pss.py`), splitting each page only with the
  benchmark's X server, window manager and compositor: the same figure on a busy machine as on
  an idle one, and the one the budget is checked against.
- **Own CPU**: run time of the program's threads from `/proc/PID/task/*/schedstat`, per
  minute, over {args.idle:g} s (untouched card, xclock, reference window) or {args.short:g} s (every
  other state; {args.blink:g} s while the caret blinks). Only threads alive at the end count,
  because a thread that ends takes its counters with it.
- **Wake-ups**: `voluntary_ctxt_switches` summed over the same threads, per minute.
- **X server + compositor caused**: Xvfb's and picom's CPU over the program's run, per minute,
  less their CPU per minute over an idle baseline with no client.
- **Drawings**: every damage report of the measured window while it idles
  (`damage-watch record`). The reports the server makes when the watcher starts (the whole
  window and the whole screen, not drawings) are dropped: they come before the reply to a round
  trip made right after, and everything queued by then is discarded.
- **Seconds timing**: for each whole second of the wall clock, the delay to the first change
  the compositor makes on screen over the window; the median.
- **Instructions per tick**: each state under `valgrind --tool=callgrind --instr-atstart=no
  --dump-after=AppModel::tick()` on the second desktop (while the first records the idle
  baseline), so callgrind writes one profile as each tick ends: each holds one tick and what it
  set off (the repaint, a caret blink). Counting runs for {args.collect:g} s ({args.blink_collect:g} s
  while the caret blinks), from {args.warm:g} s after the window showed, once every digit of the
  seconds' units has been drawn once (steady state: no glyph is rasterised for the first time);
  the first profile, begun mid-tick, is left out. A tick whose profile calls
  `ClockFace::paintEvent` is a seconds repaint, one that does not is a quiet tick; each figure is
  the median. The reference window (`--dump-after=ReferenceWindow::paintEvent`) repaints all of
  itself on every tick, so both of its figures are its one tick; xclock
  (`--dump-after=XtAppAddTimeOut`) wakes once a second to change the seconds.
- **Actions**: one untouched card under callgrind, counting only while each is done, driven
  with `xdotool`: the left edge dragged 40 px outwards in ten moves and released, until the
  card keeps its size; two clicks on the grip (the drawer closes, then opens again), each
  until the card keeps its size; Return on a timer field holding 0:01, and the 8 s after it
  (the countdown's end, the flash and the chime). The figure held to a limit is the inclusive
  count of the function named beside it: the outline region built for the window's shape, and
  the start of the chime (the sound plays in a helper process, whose instructions are not the
  card's).

## Details

{chr(10).join(details)}

Idle baseline (no client, {(baseline['end_time'] - baseline['start_time']):.0f} s): Xvfb {base_server:.1f} ms/min,
picom {base_picom:.1f} ms/min.

## Where Orvanta's instructions go

{where}

## Where Orvanta's start-up goes

Inclusive instructions of the program's own functions from the start to the end of the first
painted frame ({fmt(startup_instr.get('default'))} in all; the reference window needs
{fmt(startup_instr.get('reference'))}):

```
{chr(10).join(top_start)}
```
"""
    Path(args.report).write_text(report)
    print(states_table)
    print()
    print("\n".join(budget_lines))


if __name__ == "__main__":
    main()
