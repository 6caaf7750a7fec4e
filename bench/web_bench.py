#!/usr/bin/python3
"""The page's speed beside trovlin-cli's: how long the page takes to be
ready once opened, and the throughput of converting a large STN log in
headless Chromium (from the click on 変換 to the finished download) against
the native CLI on the same log, with the growth of the core's memory and
of the whole browser's: the memory of every Chromium process (PSS, from
/proc/PID/smaps_rollup, and RSS), summed and sampled every 50 ms from just
before the click on 変換 until the download has ended. Medians of RUNS runs
for times; the largest growth over all runs for memory.

usage: web_bench.py PAGE TROVLIN_CLI LOG_GENERATOR [MB] [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

page, cli, loggen = (os.path.abspath(a) for a in sys.argv[1:4])
size = int(sys.argv[4]) if len(sys.argv) > 4 else 200
runs = int(sys.argv[5]) if len(sys.argv) > 5 else 3

work = tempfile.mkdtemp(prefix="trovlin-web-bench-")
log = os.path.join(work, "bench.log")
subprocess.run([loggen, "stn", str(size), log], check=True, capture_output=True)
log_bytes = os.path.getsize(log)
downloads = os.path.join(work, "downloads")
os.makedirs(downloads)

options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for arg in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--user-data-dir=" + tempfile.mkdtemp(prefix="trovlin-chromium-")):
    options.add_argument(arg)
options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                          "download.prompt_for_download": False,
                                          "profile.default_content_setting_values.automatic_downloads": 1})
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def browser_processes():
    """Chromium's processes: every descendant of the driver's process."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    # The name in parentheses may hold spaces; the fields after it do not.
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            parents.setdefault(int(fields[1]), []).append(int(entry))
    found, todo = [], [driver.service.process.pid]
    while todo:
        children = parents.get(todo.pop(), [])
        found += children
        todo += children
    return found


def process_kind(pid):
    """Chromium's name for a process's part (renderer, gpu-process, ...)."""
    # Chromium rewrites its command line as one string, arguments parted by spaces.
    with open(f"/proc/{pid}/cmdline", "rb") as f:
        for arg in f.read().replace(b"\0", b" ").split():
            if arg.startswith(b"--type="):
                return arg[7:].decode()
    return "browser"


def browser_memory():
    """PSS and RSS in bytes, summed over Chromium's processes, and PSS by kind of process."""
    pss = rss = 0
    kinds = {}
    for pid in browser_processes():
        try:
            kind = process_kind(pid)
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        pss += int(line.split()[1]) * 1024
                        kinds[kind] = kinds.get(kind, 0) + int(line.split()[1]) * 1024
                    elif line.startswith("Rss:"):
                        rss += int(line.split()[1]) * 1024
        except OSError:
            pass  # a process that ended between the listing and the read
    return pss, rss, kinds


class Sampler(threading.Thread):
    """The browser's peak memory, sampled every 50 ms until stopped: the
    total's PSS and RSS, and each kind of process's PSS on its own."""

    def __init__(self):
        super().__init__(daemon=True)
        pss, rss, self.kinds_before = browser_memory()
        self.before = self.peak = (pss, rss)
        self.kinds = dict(self.kinds_before)
        self.stopped = threading.Event()

    def sample(self):
        pss, rss, kinds = browser_memory()
        self.peak = (max(self.peak[0], pss), max(self.peak[1], rss))
        for kind, value in kinds.items():
            self.kinds[kind] = max(self.kinds.get(kind, 0), value)

    def run(self):
        while not self.stopped.wait(0.05):
            self.sample()

    def stop(self):
        self.stopped.set()
        self.join()
        self.sample()
        kinds = {k: v - self.kinds_before.get(k, 0) for k, v in self.kinds.items()}
        return self.peak[0] - self.before[0], self.peak[1] - self.before[1], kinds


def wait(condition, seconds=900):
    end = time.time() + seconds
    while time.time() < end:
        if condition():
            return
        time.sleep(0.02)
    raise SystemExit("web_bench: timed out")


native, browser, ready, memory, pss_growth, rss_growth, kind_growth = [], [], [], [], [], [], {}
try:
    for _ in range(runs):
        out = os.path.join(work, "native.csv")
        start = time.perf_counter()
        subprocess.run([cli, "convert", log, "-o", out], check=True, capture_output=True)
        native.append(time.perf_counter() - start)
        os.remove(out)

        driver.get("file://" + page)
        wait(lambda: driver.execute_script("return document.documentElement.dataset.ready") == "true")
        ready.append(float(driver.execute_script("return document.documentElement.dataset.readyMs")))
        driver.find_element(By.ID, "log-input").send_keys(log)
        wait(lambda: not driver.find_element(By.ID, "convert").get_property("disabled"))
        before = int(driver.execute_script("return document.documentElement.dataset.coreMemory"))
        target = os.path.join(downloads, "bench.csv")
        time.sleep(1)  # the page settles after loading the log
        sampler = Sampler()
        sampler.start()
        start = time.perf_counter()
        driver.find_element(By.ID, "convert").click()
        wait(lambda: os.path.exists(target) and not any(n.endswith(".crdownload") for n in os.listdir(downloads)))
        browser.append(time.perf_counter() - start)
        pss, rss, kinds = sampler.stop()
        pss_growth.append(pss)
        rss_growth.append(rss)
        for kind, growth in kinds.items():
            kind_growth[kind] = max(kind_growth.get(kind, 0), growth)
        after = int(driver.execute_script("return document.documentElement.dataset.coreMemory"))
        memory.append(after - before)
        os.remove(target)
finally:
    driver.quit()
    subprocess.run(["rm", "-rf", work])

mb = log_bytes / 1e6
n, b = statistics.median(native), statistics.median(browser)
print(f"STN log of {mb:.0f} MB, median of {runs} run(s)")
print(f"  trovlin-cli         {n:7.2f} s  {mb / n:7.1f} MB/s")
print(f"  page (Chromium)     {b:7.2f} s  {mb / b:7.1f} MB/s  ({n / b * 100:.0f} % of the CLI's throughput)")
print(f"  page ready after    {statistics.median(ready):7.0f} ms")
print(f"  core memory growth  {max(memory) / 2**20:7.1f} MiB during the conversion")
print(f"  page memory growth  {max(pss_growth) / 2**20:7.1f} MiB PSS, {max(rss_growth) / 2**20:.1f} MiB RSS "
      "(all Chromium processes, peak over the level before 変換)")
print("    by process (PSS)  " + ", ".join(f"{kind} {growth / 2**20:.1f} MiB" for kind, growth in
                                         sorted(kind_growth.items(), key=lambda kv: -kv[1])))
