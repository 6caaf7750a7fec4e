#!/usr/bin/python3
"""The page in a real browser: headless Chromium from Debian, driven by
selenium through chromium-driver. Opens build-web/trovlin.html from disk,
loads every sample through the file input and by a drop, converts it under
several option sets, and compares each download byte for byte with what
trovlin-cli writes for the same log and options; cancels a long run, checks
the messages of logs that cannot be converted, records every request the
page makes (none may leave the machine), and keeps screenshots at 100 % and
200 % zoom.

usage: page_test.py PAGE TROVLIN_CLI LOG_GENERATOR OUT_DIR [TEST...]
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

from selenium import webdriver
from selenium.common.exceptions import StaleElementReferenceException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

PAGE, CLI, LOGGEN, OUT = (os.path.abspath(a) for a in sys.argv[1:5])
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLES = os.path.join(ROOT, "samples")

# Where a log goes, and which of the page's controls give the CLI's options.
OPTION_SETS = [
    ("defaults", {}, []),
    ("utf-8, double quotes, stars and width kept",
     {"csvEncoding": "utf-8", "doubleQuotes": True, "removeStars": False, "halfWidth": False},
     ["--encoding", "utf-8", "--quotes", "double", "--keep-stars", "--keep-width"]),
    ("utf-8 with BOM, formulas guarded, empty rows skipped, first answer",
     {"csvEncoding": "utf-8-bom", "protectFormulas": True, "skipEmptyRows": True, "firstAnswer": True},
     ["--encoding", "utf-8-bom", "--protect-formulas", "--skip-empty-rows", "--discover", "first-answer"]),
]


def workbook_parts(path):
    """A workbook's parts, but its creation time, which differs by run."""
    with zipfile.ZipFile(path) as book:
        return {n: book.read(n) for n in sorted(book.namelist()) if n != "docProps/core.xml"}


def start_browser(downloads):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--window-size=1280,900", "--user-data-dir=" + tempfile.mkdtemp(prefix="trovlin-chromium-")):
        options.add_argument(arg)
    # A batch downloads several files; a browser asks once whether the page
    # may, which the test answers in advance.
    options.add_experimental_option("prefs", {
        "download.default_directory": downloads, "download.prompt_for_download": False,
        "profile.default_content_setting_values.automatic_downloads": 1})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class PageCase(unittest.TestCase):
    """A browser of its own for each group of tests, and the steps they share."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="trovlin-page-test-")
        cls.downloads = os.path.join(cls.work, "downloads")
        os.makedirs(cls.downloads)
        cls.driver = start_browser(cls.downloads)
        cls.requests = []

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.work, ignore_errors=True)

    # --- helpers -------------------------------------------------------
    def open_page(self, page=PAGE):
        self.record_requests()
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        self.driver.get("file://" + page)
        self.wait(lambda: self.driver.execute_script("return document.documentElement.dataset.ready") == "true",
                  "the page never became ready")
        for name in os.listdir(self.downloads):
            os.remove(os.path.join(self.downloads, name))

    def record_requests(self):
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            # The browser's own pages (chrome://) are not the page's doing.
            if message["method"] == "Network.requestWillBeSent":
                params = message["params"]
                if not params.get("documentURL", "").startswith("chrome://"):
                    self.requests.append(params["request"]["url"])

    def wait(self, condition, failure, seconds=60):
        end = time.time() + seconds
        while time.time() < end:
            try:
                if condition():
                    return
            except StaleElementReferenceException:
                pass  # the page replaced the element while it was read: look again
            time.sleep(0.05)
        self.fail(failure)

    def text(self, element_id):
        return self.driver.find_element(By.ID, element_id).text

    def set_options(self, values):
        for key, value in values.items():
            self.driver.execute_script(
                "const e = document.getElementById(arguments[0]);"
                "if (e.type === 'checkbox') e.checked = arguments[1]; else e.value = arguments[1];"
                "e.dispatchEvent(new Event('change'));", key, value)

    def load(self, path):
        self.driver.find_element(By.ID, "log-input").send_keys(path)
        self.wait_loaded()

    def drop(self, path):
        # A file a user drags in arrives as a drop event holding the File;
        # the File is made from disk through a file input of its own.
        self.driver.execute_script(
            "const i = document.createElement('input'); i.type = 'file'; i.id = 'drop-source';"
            "document.body.appendChild(i);")
        self.driver.find_element(By.ID, "drop-source").send_keys(path)
        self.driver.execute_script(
            "const i = document.getElementById('drop-source'); const t = new DataTransfer();"
            "t.items.add(i.files[0]); i.remove();"
            "document.getElementById('drop').dispatchEvent("
            "new DragEvent('drop', {dataTransfer: t, bubbles: true, cancelable: true}));")
        self.wait_loaded()

    def wait_loaded(self):
        self.wait(lambda: "読み込んでいます" not in self.text("logs") and self.text("logs").count("\n") >= 2,
                  "the log never finished loading")
        time.sleep(0.3)

    def remove_logs(self):
        self.driver.execute_script(
            "for (const b of [...document.querySelectorAll('#logs button')]) b.click();")

    def convert(self):
        self.driver.find_element(By.ID, "convert").click()
        self.wait(lambda: not self.driver.find_element(By.ID, "cancel").is_enabled() and
                  self.text("status").startswith(("変換完了", "変換を中止")) or self.text("error"),
                  "the conversion never ended", 300)

    def downloaded(self, name):
        path = os.path.join(self.downloads, name)
        self.wait(lambda: os.path.exists(path) and not any(n.endswith(".crdownload")
                                                          for n in os.listdir(self.downloads)),
                  f"{name} was never downloaded")
        with open(path, "rb") as f:
            data = f.read()
        os.remove(path)
        return data

    def native(self, log, args):
        out = os.path.join(self.work, "native.csv")
        subprocess.run([CLI, "convert", log, "-o", out, *args], check=True, capture_output=True)
        with open(out, "rb") as f:
            return f.read()

    def samples(self):
        return sorted(os.path.join(SAMPLES, n) for n in os.listdir(SAMPLES) if n.endswith(".log"))


class PageTest(PageCase):
    def test_every_sample_by_input_and_by_drop_equals_the_cli(self):
        for how in ("input", "drop"):
            for log in self.samples():
                for label, page_options, cli_args in OPTION_SETS:
                    with self.subTest(how=how, log=os.path.basename(log), options=label):
                        self.open_page()
                        self.set_options(page_options)
                        (self.load if how == "input" else self.drop)(log)
                        self.convert()
                        self.assertEqual(self.text("error"), "")
                        name = os.path.basename(log)[:-4] + ".csv"
                        self.assertEqual(self.downloaded(name), self.native(log, cli_args))
                if how == "drop":
                    break

    def test_report_download_equals_the_cli_report(self):
        log = os.path.join(SAMPLES, "stn_sample.log")
        self.open_page()
        self.load(log)
        self.convert()
        self.downloaded("stn_sample.csv")
        self.driver.find_element(By.CSS_SELECTOR, "#report button").click()
        page = self.downloaded("stn_sample.report.json")
        report = os.path.join(self.work, "report.json")
        subprocess.run([CLI, "convert", "stn_sample.log", "-o", os.path.join(self.work, "r.csv"),
                        "--report", report], cwd=SAMPLES, check=True, capture_output=True)
        with open(report, "rb") as f:
            self.assertEqual(page, f.read())
        self.assertIn("回答 3/3件", self.text("logs"))

    def test_a_workbook_holds_what_the_cli_workbook_holds(self):
        log = os.path.join(SAMPLES, "jois_sample.log")
        self.open_page()
        self.set_options({"format": "xlsx"})
        self.load(log)
        self.convert()
        self.assertEqual(self.text("error"), "")
        page = os.path.join(self.work, "page.xlsx")
        with open(page, "wb") as f:
            f.write(self.downloaded("jois_sample.xlsx"))
        native = os.path.join(self.work, "native.xlsx")
        subprocess.run([CLI, "convert", "jois_sample.log", "-o", native], cwd=SAMPLES, check=True, capture_output=True)
        self.assertEqual(workbook_parts(page), workbook_parts(native))

    def test_an_edited_item_list_is_saved_loaded_and_converted_as_the_cli_reads_it(self):
        log = os.path.join(SAMPLES, "jois_sample.log")
        self.open_page()
        self.load(log)
        codes = self.driver.find_elements(By.CSS_SELECTOR, "#items input[type=text]")
        first, second = codes[0].get_attribute("value"), codes[1].get_attribute("value")
        codes[0].click()
        self.driver.find_element(By.ID, "item-down").click()  # the first code goes second
        self.driver.find_element(By.ID, "items-save").click()
        saved = self.downloaded("items.txt").decode("utf-8").split("\n")
        self.assertEqual(saved[0], "trovlin-items 1")
        self.assertEqual([saved[1].split("\t")[0], saved[2].split("\t")[0]], [second, first])
        items = os.path.join(self.work, "items.txt")
        with open(items, "w", encoding="utf-8") as f:
            f.write("\n".join(saved))
        self.convert()
        expected = self.native(log, ["--items-file", items])
        self.assertEqual(self.downloaded("jois_sample.csv"), expected)
        # The saved list, loaded into a fresh page, gives the same columns.
        self.open_page()
        self.load(log)
        self.driver.find_element(By.ID, "items-input").send_keys(items)
        self.wait(lambda: self.driver.find_elements(By.CSS_SELECTOR, "#items input[type=text]")[0]
                  .get_attribute("value") == second, "the item list was not loaded")
        self.convert()
        self.assertEqual(self.downloaded("jois_sample.csv"), expected)

    def test_a_batch_converts_each_log_in_order(self):
        self.open_page()
        for log in ("jois_sample.log", "patolis_layout2.log"):
            self.load(os.path.join(SAMPLES, log))
        self.convert()
        self.assertEqual(self.text("status"), "変換完了（2件）")
        for log in ("jois_sample.log", "patolis_layout2.log"):
            self.assertEqual(self.downloaded(log[:-4] + ".csv"), self.native(os.path.join(SAMPLES, log), []))

    def test_logs_of_many_read_windows_convert_alike_by_both_ways_of_reading(self):
        # Logs of several of the worker's read windows, so that reads end at
        # window ends and windows start inside records. Chromium reads a log
        # as a stream while the core waits; the same page with that hidden
        # from its worker reads it as a browser without it does.
        logs = []
        for kind in ("stn", "patolis3"):
            logs.append(os.path.join(self.work, f"{kind}_windows.log"))
            subprocess.run([LOGGEN, kind, "21", logs[-1]], check=True, capture_output=True)
        with open(PAGE, encoding="utf-8") as f:
            page = f.read()
        self.assertIn("WebAssembly.Suspending", page)
        without = os.path.join(self.work, "without_suspending.html")
        with open(without, "w", encoding="utf-8") as f:
            f.write(page.replace("WebAssembly.Suspending", "WebAssembly.HiddenSuspending"))
        for path, reads in ((PAGE, "stream"), (without, "sync")):
            self.open_page(path)
            self.assertEqual(self.driver.execute_script("return document.documentElement.dataset.reads"), reads)
            for log in logs:
                with self.subTest(reads=reads, log=os.path.basename(log)):
                    self.remove_logs()
                    self.load(log)
                    self.convert()
                    self.assertEqual(self.text("error"), "")
                    self.assertEqual(self.downloaded(os.path.basename(log)[:-4] + ".csv"), self.native(log, []))

    def test_logs_that_cannot_be_converted_say_why_and_download_nothing(self):
        empty = os.path.join(self.work, "empty.log")
        open(empty, "wb").close()
        with open(os.path.join(SAMPLES, "patolis_layout1.log"), "rb") as f:
            patolis = f.read()
        layout = "様式 :  1".encode("cp932")
        self.assertIn(layout, patolis)
        nine = os.path.join(self.work, "layout9.log")
        with open(nine, "wb") as f:
            f.write(patolis.replace(layout, "様式 :  9".encode("cp932"), 1))
        cases = [
            (empty, "検索結果ログファイルを指定してください: ファイルが空です。"),
            (nine, "回答様式が「9」です。変換できるのは様式1～4だけです。"),
        ]
        for path, message in cases:
            with self.subTest(log=os.path.basename(path)):
                self.open_page()
                self.load(path)
                self.assertIn(message, self.text("logs"))
                if os.path.basename(path) == "layout9.log":
                    self.convert()
                    self.assertEqual(self.text("error"),
                                     "変換できませんでした\nlayout9.log\n" + message + "ﾌｧｲﾙは作成していません。")
                else:
                    self.assertFalse(self.driver.find_element(By.ID, "convert").is_enabled())
                time.sleep(1)
                self.assertEqual(os.listdir(self.downloads), [])

    def test_cancel_stops_a_long_run_and_downloads_nothing(self):
        big = os.path.join(self.work, "big.log")
        subprocess.run([LOGGEN, "stn", "150", big], check=True, capture_output=True)
        self.open_page()
        self.load(big)
        self.driver.find_element(By.ID, "convert").click()
        self.wait(lambda: 0 < int(self.driver.find_element(By.ID, "progress").get_attribute("value")) < 50,
                  "the long run showed no progress")
        self.driver.find_element(By.ID, "cancel").click()
        self.assertEqual(self.text("status"), "変換を中止しました。ﾌｧｲﾙは作成していません。")
        time.sleep(1)
        self.assertEqual(os.listdir(self.downloads), [])
        # The page goes on working after a cancel.
        self.remove_logs()
        self.load(os.path.join(SAMPLES, "dialog_sample.log"))
        self.convert()
        self.assertEqual(self.downloaded("dialog_sample.csv"),
                         self.native(os.path.join(SAMPLES, "dialog_sample.log"), []))

    def test_zz_no_request_leaves_the_machine(self):
        self.record_requests()
        self.assertIn("file://" + PAGE, self.requests, "the page's own load was not recorded")
        outside = [u for u in self.requests if not u.startswith(("file://", "blob:", "data:"))]
        self.assertEqual(outside, [])

    def test_screenshots_at_100_and_200_percent(self):
        self.open_page()
        self.load(os.path.join(SAMPLES, "stn_sample.log"))
        os.makedirs(OUT, exist_ok=True)
        for zoom, width in ((1, 1280), (2, 640)):
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                        {"width": width, "height": 900, "deviceScaleFactor": zoom, "mobile": False})
            time.sleep(0.5)
            self.driver.save_screenshot(os.path.join(OUT, f"page-{zoom * 100}.png"))
            overflow = self.driver.execute_script(
                "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
            self.assertLessEqual(overflow, 0, f"the page scrolls sideways at {zoom * 100} %")


# What a control is called in the tests below: its id, else its label.
DESCRIBE = """
const describe = (e) => !e || e === document.body ? '' :
    e.id || e.getAttribute('aria-label') || e.textContent.trim();
"""
# What the eye sees of a control: the control, or for one hidden behind its
# label, the label.
LOOK = """
const shown = (e) => {
  const r = e.getBoundingClientRect(), s = getComputedStyle(e);
  return r.width > 2 && r.height > 2 && s.opacity !== '0' && s.visibility === 'visible' ? [e] : [...(e.labels || [])];
};
const look = (e) => JSON.stringify(shown(e).map((v) => {
  const s = getComputedStyle(v);
  return [s.outlineStyle, s.outlineWidth, s.outlineColor, s.boxShadow, s.borderColor, s.backgroundColor];
}));
"""
JAPANESE = re.compile("[\u3040-\u30ff\u4e00-\u9fff\uff66-\uff9f]")


class KeyboardTest(PageCase):
    """The page used with the keyboard alone, once a log is given to the file input."""

    def press(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def back(self):
        ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()

    def focused(self):
        return self.driver.execute_script(DESCRIBE + "return describe(document.activeElement);")

    def from_the_top(self):
        self.driver.execute_script("document.activeElement.blur(); window.scrollTo(0, 0);")
        ActionChains(self.driver).move_to_element(self.driver.find_element(By.TAG_NAME, "h1")).click().perform()

    def tab_to(self, name, back=False):
        for _ in range(80):
            if self.focused() == name:
                return
            self.back() if back else self.press(Keys.TAB)
        self.fail(f"Tab never reached {name}")

    def walk(self, back=False):
        """The tab stops until the focus leaves the page or comes round to
        the first stop again, each with how it looks focused and how it looks
        once the focus has moved on."""
        self.driver.execute_script("window.previous = null;")
        stops = []
        for _ in range(120):
            self.back() if back else self.press(Keys.TAB)
            name, focused, previous = self.driver.execute_script(DESCRIBE + LOOK + """
                const e = document.activeElement, p = window.previous;
                window.previous = e === document.body ? null : e;
                return [describe(e), e === document.body ? '' : look(e), p ? look(p) : null];""")
            if stops:
                stops[-1][2] = previous
            if name == "" or stops and name == stops[0][0]:
                return stops
            stops.append([name, focused, None])
        self.fail("the focus never left the page: a keyboard trap")

    def item_codes(self):
        return [e.get_attribute("value") for e in self.driver.find_elements(By.CSS_SELECTOR, "#items input[type=text]")]

    def test_tab_reaches_every_control_in_order_with_a_visible_focus_and_no_trap(self):
        self.open_page()
        self.load(os.path.join(SAMPLES, "jois_sample.log"))
        self.from_the_top()
        expected = ["log-input", "jois_sample.log を選ぶ", "jois_sample.log を外す",
                    "db", "encoding", "csvEncoding", "format", "removeStars", "halfWidth", "doubleQuotes",
                    "protectFormulas", "skipEmptyRows", "firstAnswer",
                    # One row of the item list is in the tab order; the arrow keys reach the others.
                    "1番目の項目名", "1番目の項目を行連結する",
                    "item-add", "item-delete", "item-up", "item-down", "item-reset", "items-input", "items-save",
                    "preview-box", "convert"]
        forward = self.walk()
        self.assertEqual([name for name, _, _ in forward], expected)
        for name, focused, unfocused in forward:
            with self.subTest(control=name):
                self.assertNotEqual(focused, "[]", "nothing visible shows the focus")
                self.assertNotEqual(focused, unfocused, "the focus is not visible")
        # Shift+Tab goes back through the same stops from outside the page.
        self.assertEqual([name for name, _, _ in self.walk(back=True)], expected[::-1])
        # After a conversion the report's download follows 変換.
        self.tab_to("convert")
        self.press(Keys.ENTER)
        self.wait(lambda: self.text("status") == "変換完了（1件）", "the conversion never ended")
        self.assertEqual(self.focused(), "convert")
        self.press(Keys.TAB)
        self.assertEqual(self.focused(), "レポート（JSON）をダウンロード")

    def test_buttons_work_by_enter_and_by_space(self):
        log = os.path.join(SAMPLES, "stn_sample.log")
        for label, key in (("Enter", Keys.ENTER), ("Space", Keys.SPACE)):
            with self.subTest(key=label):
                self.open_page()
                self.load(log)
                # A file input opens the file dialog on a click the browser
                # makes itself, which a headless browser does not show.
                self.driver.execute_script(
                    "window.clicks = []; for (const id of ['log-input', 'items-input'])"
                    "  document.getElementById(id).addEventListener('click', (e) => { if (e.isTrusted) clicks.push(id); });")
                self.from_the_top()
                self.tab_to("log-input")
                self.press(key)
                self.tab_to("items-input")
                self.press(key)
                self.assertEqual(self.driver.execute_script("return clicks"), ["log-input", "items-input"])
                self.tab_to("convert")
                self.press(key)
                self.assertEqual(self.downloaded("stn_sample.csv"), self.native(log, []))
                self.press(Keys.TAB)
                self.press(key)
                report = json.loads(self.downloaded("stn_sample.report.json"))
                self.assertEqual(report["service"], "STN")
                self.tab_to("stn_sample.log を外す", back=True)
                self.press(key)
                self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "#logs tbody tr"), [])
                self.assertFalse(self.driver.find_element(By.ID, "convert").is_enabled())

    def test_options_change_by_arrow_keys_and_space(self):
        log = os.path.join(SAMPLES, "stn_sample.log")
        self.open_page()
        self.load(log)
        self.from_the_top()
        self.tab_to("csvEncoding")
        self.press(Keys.ARROW_DOWN, Keys.ARROW_DOWN)  # Shift_JIS, UTF-8, UTF-8 with BOM
        self.assertEqual(self.driver.find_element(By.ID, "csvEncoding").get_attribute("value"), "utf-8-bom")
        self.tab_to("halfWidth")
        self.press(Keys.SPACE)
        self.tab_to("doubleQuotes")
        self.press(Keys.SPACE)
        self.tab_to("convert")
        self.press(Keys.ENTER)
        self.assertEqual(self.downloaded("stn_sample.csv"),
                         self.native(log, ["--encoding", "utf-8-bom", "--keep-width", "--quotes", "double"]))

    def test_the_item_list_is_edited_by_keyboard(self):
        self.open_page()
        self.load(os.path.join(SAMPLES, "jois_sample.log"))
        self.assertEqual(self.item_codes(), ["JICS", "AN", "TI", "AU", "SO", "PY", "LA", "KW", "AB"])
        self.from_the_top()
        self.tab_to("1番目の項目名")
        self.press(Keys.ARROW_DOWN)  # AN is the current item
        self.assertEqual(self.focused(), "2番目の項目名")
        steps = [
            # Tab from the current row goes to the buttons without passing other rows.
            ([Keys.TAB, Keys.TAB, Keys.TAB, Keys.TAB, Keys.TAB], "item-down", Keys.ENTER,
             ["JICS", "TI", "AN", "AU", "SO", "PY", "LA", "KW", "AB"]),
            ([], "item-down", Keys.SPACE, ["JICS", "TI", "AU", "AN", "SO", "PY", "LA", "KW", "AB"]),
            (["back"], "item-up", Keys.ENTER,
             ["JICS", "TI", "AN", "AU", "SO", "PY", "LA", "KW", "AB"]),
            (["back"], "item-delete", Keys.SPACE,
             ["JICS", "TI", "AU", "SO", "PY", "LA", "KW", "AB"]),
            (["back"], "item-add", Keys.ENTER,
             ["JICS", "TI", "AU", "", "SO", "PY", "LA", "KW", "AB"]),
        ]
        for keys, button, key, codes in steps:
            with self.subTest(button=button, key=key == Keys.ENTER and "Enter" or "Space"):
                for key_ in keys:
                    self.back() if key_ == "back" else self.press(key_)
                self.assertEqual(self.focused(), button)
                self.press(key)
                self.assertEqual(self.item_codes(), codes)
        # The new item has the caret; its name is typed and kept.
        self.assertEqual(self.focused(), "4番目の項目名")
        self.press("PN", Keys.TAB)
        self.assertEqual(self.focused(), "4番目の項目を行連結する")
        self.press(Keys.SPACE)
        self.tab_to("items-save")
        self.press(Keys.ENTER)
        saved = [line.split("\t") for line in self.downloaded("items.txt").decode("utf-8").split("\n")[1:] if line]
        self.assertEqual([fields[0] for fields in saved], ["JICS", "TI", "AU", "PN", "SO", "PY", "LA", "KW", "AB"])
        self.assertEqual(saved[3][1:], ["*"])

    def test_cancel_takes_the_focus_while_a_run_lasts(self):
        big = os.path.join(self.work, "big.log")
        subprocess.run([LOGGEN, "stn", "60", big], check=True, capture_output=True)
        self.open_page()
        self.load(big)
        self.from_the_top()
        self.tab_to("convert")
        self.press(Keys.ENTER)
        self.assertEqual(self.focused(), "cancel")
        self.press(Keys.SPACE)
        self.assertEqual(self.text("status"), "変換を中止しました。ﾌｧｲﾙは作成していません。")
        self.assertEqual(self.focused(), "convert")
        time.sleep(1)
        self.assertEqual(os.listdir(self.downloads), [])


class ScreenReaderTest(PageCase):
    """What a screen reader is told: Chromium's accessibility tree."""

    def tree(self):
        nodes = self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
        return {n["nodeId"]: n for n in nodes}

    @staticmethod
    def role(node):
        return node.get("role", {}).get("value")

    @staticmethod
    def name(node):
        return node.get("name", {}).get("value", "")

    @staticmethod
    def prop(node, key):
        for p in node.get("properties", []):
            if p["name"] == key:
                return p["value"].get("value")
        return None

    def descendants(self, tree, node):
        for child in node.get("childIds", []):
            if child in tree:
                yield tree[child]
                yield from self.descendants(tree, tree[child])

    def announced(self, tree, text):
        """Whether a text on the page sits in a live region."""
        for node in tree.values():
            if self.role(node) == "StaticText" and text in self.name(node).split("\n"):
                while node:
                    if self.role(node) in ("status", "alert") or self.prop(node, "live") in ("polite", "assertive"):
                        return True
                    node = tree.get(node.get("parentId"))
        return False

    def test_every_control_has_a_japanese_name(self):
        self.open_page()
        self.load(os.path.join(SAMPLES, "jois_sample.log"))
        self.convert()
        self.downloaded("jois_sample.csv")
        controls = {}
        for node in self.tree().values():
            role = self.role(node)
            # A select's choices are named by their own texts.
            if node.get("ignored") or role in ("RootWebArea", "option"):
                continue
            if self.prop(node, "focusable") or role in ("button", "checkbox", "radio", "textbox", "combobox"):
                controls.setdefault(role, []).append(self.name(node))
        for role, names in controls.items():
            for name in names:
                with self.subTest(role=role, name=name):
                    self.assertRegex(name, JAPANESE)
        # The tree holds the controls looked for.
        self.assertEqual(len(controls["checkbox"]), 6 + 9)
        self.assertEqual(len(controls["textbox"]), 9)
        self.assertEqual(controls["combobox"],
                         ["Data Base （検索サービス）", "ログの文字コード", "CSVの文字コード", "出力形式"])
        for name in ("ログファイルを読み込む", "項目リストを開く", "変換", "中止", "jois_sample.log を外す",
                     "レポート（JSON）をダウンロード"):
            self.assertIn(name, controls["button"])
        self.assertIn("CSVプレビュー（先頭5件）", controls["region"])
        self.assertEqual(controls["radio"], ["jois_sample.log を選ぶ"])

    def test_the_progress_bar_says_what_it_is_and_how_far(self):
        self.open_page()
        self.load(os.path.join(SAMPLES, "stn_sample.log"))
        for stage, percent in (("before", 0), ("after", 100)):
            with self.subTest(stage=stage):
                if stage == "after":
                    self.convert()
                bars = [n for n in self.tree().values() if self.role(n) == "progressbar"]
                self.assertEqual(len(bars), 1)
                self.assertEqual(self.name(bars[0]), "変換の進み具合")
                self.assertEqual(self.prop(bars[0], "valuemax"), 100)
                self.assertEqual(bars[0].get("value", {}).get("value"), percent)

    def test_results_and_errors_are_announced(self):
        with open(os.path.join(SAMPLES, "patolis_layout1.log"), "rb") as f:
            patolis = f.read()
        nine = os.path.join(self.work, "layout9.log")
        with open(nine, "wb") as f:
            f.write(patolis.replace("様式 :  1".encode("cp932"), "様式 :  9".encode("cp932"), 1))
        empty = os.path.join(self.work, "empty.log")
        open(empty, "wb").close()
        refusal = "回答様式が「9」です。変換できるのは様式1～4だけです。"
        cases = [
            (os.path.join(SAMPLES, "dialog_sample.log"), True, ["変換完了（1件）"]),
            (empty, False, ["empty.log: 検索結果ログファイルを指定してください: ファイルが空です。"]),
            (nine, False, ["layout9.log: " + refusal]),
            (nine, True, ["変換できませんでした", "layout9.log", refusal + "ﾌｧｲﾙは作成していません。"]),
        ]
        for log, convert, texts in cases:
            with self.subTest(log=os.path.basename(log), convert=convert):
                self.open_page()
                self.load(log)
                if convert:
                    self.convert()
                tree = self.tree()
                for text in texts:
                    self.assertTrue(self.announced(tree, text), f"{text!r} is not in a live region")
        self.assertFalse(self.announced(tree, "CSVプレビュー（先頭5件）"))

    def test_tables_have_headers(self):
        self.open_page()
        self.load(os.path.join(SAMPLES, "jois_sample.log"))
        tree = self.tree()
        headers = {"読み込んだログ": ["選択", "ファイル", "Data Base", "文字コード・改行", "回答数", "状態", "外す"],
                   "変換する項目（上から順に列になります）": ["#", "項目名", "行連結", "値のある件数"]}
        tables = {self.name(n): n for n in tree.values() if self.role(n) == "table"}
        for caption, names in headers.items():
            with self.subTest(table=caption):
                self.assertIn(caption, tables)
                found = [self.name(n) for n in self.descendants(tree, tables[caption]) if self.role(n) == "columnheader"]
                self.assertEqual(found, names)

    def test_the_page_is_japanese_with_one_top_heading(self):
        self.open_page()
        self.assertEqual(self.driver.execute_script("return document.documentElement.lang"), "ja")
        top = [self.name(n) for n in self.tree().values()
               if self.role(n) == "heading" and self.prop(n, "level") == 1]
        self.assertEqual(top, ["検索結果Trovlin"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[5:], verbosity=2)
