#!/usr/bin/python3
"""The page's speed beside trovlin-cli's: how long the page takes to be
ready once opened, and the throughput of converting a large STN log in
headless Chromium (from the click on 変換 to the finished download) against
the native CLI on the same log, with the growth of the core's memory.
Medians of RUNS runs.

usage: web_bench.py PAGE TROVLIN_CLI LOG_GENERATOR [MB] [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
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
                                          "download.prompt_for_download": False})
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def wait(condition, seconds=900):
    end = time.time() + seconds
    while time.time() < end:
        if condition():
            return
        time.sleep(0.02)
    raise SystemExit("web_bench: timed out")


native, browser, ready, memory = [], [], [], []
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
        start = time.perf_counter()
        driver.find_element(By.ID, "convert").click()
        wait(lambda: os.path.exists(target) and not any(n.endswith(".crdownload") for n in os.listdir(downloads)))
        browser.append(time.perf_counter() - start)
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
