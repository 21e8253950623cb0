#!/usr/bin/env python3
"""Prints the benchmark results of one run (Google Benchmark JSON) as one table:
each figure with its unit and its ratio to a reference measured in the same run.
Times are CPU time of the benchmark thread, which other programs on a shared machine
disturb less than the wall clock; the wall-clock time is shown beside it (it also
holds waits such as the disk sync of a settings save)."""
import json
import sys

TO_MICROSECONDS = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}


def load(path):
    with open(path, encoding="utf-8") as file:
        runs = json.load(file)["benchmarks"]
    # Names such as "BM_TickAllDue/iterations:400" are looked up without their suffixes,
    # except the argument that tells the graph sizes apart.
    found = {}
    for run in runs:
        if run.get("run_type", "iteration") != "iteration" or run.get("error_occurred"):
            continue
        parts = [p for p in run["name"].split("/")
                 if not p.startswith(("iterations:", "manual_time", "real_time"))]
        found["/".join(parts)] = run
    return found


def microseconds(run, clock="cpu_time"):
    return run[clock] * TO_MICROSECONDS[run["time_unit"]]


def rows(found):
    def time(name):
        return microseconds(found[name]) if name in found else None

    def wall(name):
        return microseconds(found[name], "real_time") if name in found else None

    def ratio(value, reference):
        return value / reference if value is not None and reference else None

    for label, name, goal in (("CPU share of one core, default windows", "BM_CpuDefaultWindows", 1.0),
                              ("CPU share of one core, every view open", "BM_CpuEveryViewOpen", 1.5)):
        run = found.get(name, {})
        if "coreShare" in run:
            share = 100 * run["coreShare"]
            yield (f"{label}, {run['wallSeconds']:.0f} s", share, None, "%", share / goal,
                   f"x goal ({goal:g} %)")
    for label, name, goal in (("Main thread wake-ups, default windows", "BM_CpuDefaultWindows", 25.0),
                              ("Main thread wake-ups, every view open", "BM_CpuEveryViewOpen", None)):
        run = found.get(name, {})
        if "wakeUpsPerSecond" in run:
            rate = run["wakeUpsPerSecond"]
            yield (label, rate, None, "per s", rate / goal if goal else rate / 100,
                   f"x goal ({goal:g} a second)" if goal else "x 10 ms timer (100)")

    idle = time("BM_TickIdle")
    busy = time("BM_TickAllDue")
    yield ("Tick, every section due, every view open", busy, wall("BM_TickAllDue"), "us", ratio(busy, idle),
           "x idle tick")
    # The master timer fires every 10 ms: the share of that period an all-due tick takes.
    period_share = 100 * busy / 10_000 if busy is not None else None
    yield ("Tick, every section due, share of the 10 ms period", period_share, None, "%",
           ratio(period_share, 3.0), "x goal (3 %)")
    yield "Tick, idle (nothing due, nothing open)", idle, wall("BM_TickIdle"), "us", 1.0 if idle else None, "reference"

    minute = time("BM_GraphUpdate/minutesFed:1")
    for label, name in (("1 minute", "minutesFed:1"), ("1 hour", "minutesFed:60"),
                        ("24 hours", "minutesFed:1440")):
        value = time("BM_GraphUpdate/" + name)
        yield (f"Graph update, {label} held", value, wall("BM_GraphUpdate/" + name), "us", ratio(value, minute),
               "x 1 minute held")
    whole = time("BM_GraphUpdateWhole")
    yield ("Graph update, plot area drawn whole, 1 minute held", whole, wall("BM_GraphUpdateWhole"), "us",
           ratio(whole, minute), "x scrolled, 1 minute held")
    # Wall clock of both charts updated in turn: the ratio is the figure.
    interleaved = found.get("BM_GraphUpdateRatio24hTo1min", {}).get("ratio24hTo1min")
    yield ("Graph update, 24 hours vs 1 minute held, in turn", interleaved, None, "ratio", interleaved,
           "x 1 minute held")

    all_on = time("BM_GraphUpdateAllOn/minutesFed:1")
    yield ("Graph update, all functions on, 1 minute held", all_on, wall("BM_GraphUpdateAllOn/minutesFed:1"), "us",
           ratio(all_on, minute), "x plain, 1 minute held")
    all_on_day = time("BM_GraphUpdateAllOn/minutesFed:1440")
    yield ("Graph update, all functions on, 24 hours held", all_on_day,
           wall("BM_GraphUpdateAllOn/minutesFed:1440"), "us", ratio(all_on_day, all_on), "x all on, 1 minute held")
    for label, name, counter, reference in (
            ("Graph update, scrolled vs whole plot area, in turn", "BM_GraphUpdateRatioStripToWhole",
             "ratioStripToWhole", "x whole"),
            ("Graph update, all functions on vs plain, in turn", "BM_GraphUpdateRatioAllOnToPlain",
             "ratioAllOnToPlain", "x plain"),
            ("Graph update, all on, 24 hours vs 1 minute held, in turn", "BM_GraphUpdateAllOnRatio24hTo1min",
             "ratio24hTo1min", "x all on, 1 minute held")):
        value = found.get(name, {}).get(counter)
        yield label, value, None, "ratio", value, reference

    memory = found.get("BM_GraphMemory24hTo1h", {})
    for what, unit in (("samplesHeld", "samples"), ("heldBytes", "bytes"), ("heapGrowth", "bytes")):
        hour, day = memory.get(what + "1h"), memory.get(what + "24h")
        label = {"samplesHeld": "Graph samples held per trace", "heldBytes": "Graph sample bytes held",
                 "heapGrowth": "Heap growth while feeding the graph"}[what]
        yield f"{label}, 1 hour fed", hour, None, unit, 1.0 if hour else None, "reference"
        yield f"{label}, 24 hours fed", day, None, unit, ratio(day, hour), "x 1 hour fed"

    read = time("BM_RegisterRead")
    yield ("Register read through the device link", read, wall("BM_RegisterRead"), "us", 1.0 if read else None,
           "reference")
    save = found.get("BM_SettingsSave", {})
    recall = found.get("BM_SettingsRecall", {})
    for label, name in (("Log line (open, append, close)", "BM_LogLine"),
                        (f"Settings save, {save.get('entries', 0):.0f} entries", "BM_SettingsSave"),
                        (f"Settings recall, {recall.get('entries', 0):.0f} entries", "BM_SettingsRecall")):
        value = time(name)
        yield label, value, wall(name), "us", ratio(value, read), "x register read"

    # "Read All" against one register read and against 41 of them: the reads alone
    # should stay within 1.2 x 41 reads; the whole click adds decoding, the table and its paint.
    reads41 = time("BM_OverviewFortyOneReads")
    yield ("Overview, 41 single register reads", reads41, wall("BM_OverviewFortyOneReads"), "us",
           ratio(reads41, read), "x register read")
    for label, name in (("Overview \"Read All\", the reads alone", "BM_OverviewReadAllReads"),
                        ("Overview \"Read All\" click, table shown", "BM_OverviewReadAll")):
        value = time(name)
        yield label, value, wall(name), "us", ratio(value, read), "x register read"
        yield label, value, wall(name), "us", ratio(value, reads41), "x 41 reads"
    # A benchmark run without (:0) and with (:1) something: the first is the reference.
    def without_and_with(name, label_without, label_with, reference):
        without, with_it = time(name + ":0"), time(name + ":1")
        yield label_without, without, wall(name + ":0"), "us", 1.0 if without else None, "reference"
        yield label_with, with_it, wall(name + ":1"), "us", ratio(with_it, without), reference

    yield from without_and_with("BM_OverviewOpen/compared", "Overview opened (table shown)",
                                "Overview opened and compared with a file", "x opened")
    yield from without_and_with("BM_OverviewWriteElsewhere/overviewOpen", "Register write, overview closed",
                                "Register write, overview shown", "x overview closed")
    cli = found.get("BM_CliDumpVsVersion", {})
    if cli:
        version = cli.get("versionCpuUs")
        yield ("CLI --version, whole process", version, cli.get("versionWallUs"), "us", 1.0 if version else None,
               "reference")
        yield ("CLI dump, whole process", cli.get("dumpCpuUs"), cli.get("dumpWallUs"), "us", cli.get("ratioCpu"),
               "x --version")
        # The wall clock of both, in turn: the ratio is the figure.
        yield ("CLI dump vs --version, wall clock, in turn", cli.get("ratioWall"), None, "ratio", cli.get("ratioWall"),
               "x --version")
    serve = found.get("BM_ServeScrapeVsTemps", {})
    if serve:
        temps = serve.get("tempsWallUs")
        yield "CLI temps of one board, whole process", temps, None, "us wall", 1.0 if temps else None, "reference"
        yield ("Exporter, one scrape of two simulated boards", serve.get("scrapeWallUs"), None, "us wall",
               serve.get("ratioWall"), "x CLI temps, in turn")
        yield ("Exporter, CPU of one scrape of two boards", serve.get("scrapeCpuUs"), None, "us", None, "-")
    share = found.get("BM_ServeCpuShareAt15s", {})
    if "coreShare" in share:
        percent = 100 * share["coreShare"]
        yield (f"Exporter CPU share of one core, scraped every 15 s, {share.get('windowSeconds', 0):.0f} s",
               percent, None, "%", percent / 0.1, "x goal (0.1 %)")
    schedule = found.get("BM_CliLogSchedule", {})
    if schedule:
        run = f"{schedule.get('seconds', 0):.0f} s"
        sleeper = schedule.get("sleeperLatePercent")
        late = schedule.get("latePercent")
        yield (f"Bare 10 ms sleeper, same {run}: wake-ups > 2 ms late", sleeper, None, "%", 1.0 if sleeper else None,
               "reference")
        yield (f"CLI log at 10 ms, {run}: samples > 2 ms late", late, None, "%", ratio(late, sleeper),
               "x bare sleeper")
        yield (f"CLI log at 10 ms, {run}: latest row", schedule.get("worstLateMs"), None, "ms", None, "-")
        yield (f"CLI log at 10 ms, {run}: lines written", schedule.get("linesWritten"), None, "lines",
               schedule.get("writtenPerScheduled"), f"x {schedule.get('linesScheduled', 0):,.0f} scheduled")
        yield (f"CLI log at 10 ms, {run}: slots skipped", schedule.get("linesScheduled", 0) -
               schedule.get("linesWritten", 0), None, "lines", None, "-")

    drift = found.get("BM_LogDriftRealProgram", {})
    if drift:
        per_second = drift.get("timePerWallSecond")
        yield (f"Log time column per wall second, {drift.get('elapsedSeconds', 0):.0f} s run", per_second, None,
               "ratio", per_second, "x wall clock")
        yield "Log time column minus wall clock at the end", drift.get("driftMs"), None, "ms", None, "-"
        yield "Log rows skipped (stalls longer than the interval)", drift.get("skippedRows"), None, "rows", None, "-"


def number(value):
    if value is None:
        return "-"
    if abs(value) >= 1000:
        return f"{value:,.0f}"
    return f"{value:.3g}" if abs(value) < 10 else f"{value:.1f}"


def main():
    table = [(label, number(value), unit, number(r), reference, number(wall_clock))
             for label, value, wall_clock, unit, r, reference in rows(load(sys.argv[1])) if value is not None]
    headers = ("Measurement", "Value", "Unit", "Ratio", "Reference", "Wall clock")
    widths = [max(len(str(row[i])) for row in table + [headers]) for i in range(len(headers))]
    print("| " + " | ".join(h.ljust(w) for h, w in zip(headers, widths)) + " |")
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for row in table:
        cells = ([row[0].ljust(widths[0])] + [c.rjust(w) for c, w in zip(row[1:4], widths[1:4])] +
                 [row[4].ljust(widths[4]), row[5].rjust(widths[5])])
        print("| " + " | ".join(cells) + " |")


if __name__ == "__main__":
    main()
