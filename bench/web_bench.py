#!/usr/bin/python3
"""The web page's time to a class set on screen, in headless Chromium: each address loaded RUNS
times in turn, and per address the medians and min-max of three figures, in ms from the start of
navigation: the engine ready (WebAssembly compiled and started), on screen (the first frame
painted with the first version in the preview), and the set made (every document and key made
and linked, which the page does after that frame). Also
the site's size, gzipped. Given a second site (an earlier build), each load is paired with the
same load of it, and the ratios of the pairs are printed too.

usage: bench/web_bench.py SITE_FOLDER [BASELINE_SITE_FOLDER] [RUNS]"""
import functools
import gzip
import http.server
import os
import statistics
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

SITES = [arg for arg in sys.argv[1:] if not arg.isdigit()]
RUNS = int(next((arg for arg in sys.argv[1:] if arg.isdigit()), 15))

ADDRESSES = [
    "family=factoring&form=mixed&seed=100&versions=30&distinct=1&answers=1&paper=a4",
    "family=fraction-equations&form=mixed&seed=7&versions=30&answers=1&paper=a4",
    "family=fractions&form=mixed&seed=9&versions=30&answers=1&paper=letter",
]

# Notes when the frame that shows the filled preview has been rendered: as the next frame starts,
# before the page goes on to make the other documents (which it does after that frame too).
ON_SCREEN = """new MutationObserver((changes, observer) => {
  const preview = document.getElementById('preview');
  if (preview && preview.firstElementChild) {
    observer.disconnect();
    requestAnimationFrame(() => requestAnimationFrame(() => { window.onScreen = performance.now(); }));
  }
}).observe(document, { childList: true, subtree: true });"""

DONE = "return window.onScreen !== undefined && document.body.dataset.state === 'made'"

FIGURES = """const make = performance.getEntriesByName('quillora-make')[0];
return [make.startTime, window.onScreen, make.startTime + make.duration];"""


def main():
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    servers, bases = [], []
    for site in SITES:
        servers.append(http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(Quiet, directory=site)))
        threading.Thread(target=servers[-1].serve_forever, daemon=True).start()
        bases.append(f"http://127.0.0.1:{servers[-1].server_port}/?")

    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = tempfile.TemporaryDirectory()
    for flag in ("headless", "no-sandbox", "disable-gpu", "no-first-run",
                 "disable-background-networking", "disable-component-update", "disable-sync",
                 "lang=en-US", f"user-data-dir={profile.name}"):
        options.add_argument("--" + flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_window_size(1280, 1000)
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": ON_SCREEN})
    figures = {(site, address): [] for site in SITES for address in ADDRESSES}
    try:
        for base in bases:  # a warm-up, so every counted load finds its site cached
            driver.get(base + ADDRESSES[0])
        for _ in range(RUNS):
            for address in ADDRESSES:
                for site, base in zip(SITES, bases):
                    driver.get(base + address)
                    WebDriverWait(driver, 10).until(lambda d: d.execute_script(DONE))
                    figures[site, address].append(driver.execute_script(FIGURES))
    finally:
        driver.quit()
        for server in servers:
            server.shutdown()

    def summary(values, unit=""):
        return (f"{statistics.median(values):7.3g}{unit} "
                f"{min(values):7.3g}-{max(values):.3g}{unit}")

    names = ("engine ready", "on screen", "set made")
    for address in ADDRESSES:
        print(f"{address}, {RUNS} loads (median, min-max):")
        runs = [figures[site, address] for site in SITES]
        for i, name in enumerate(names):
            line = f"  {name:13s}" + "".join(
                f"  {summary([run[i] for run in each], ' ms')}" for each in runs)
            if len(runs) > 1:
                line += "  ratio " + summary([a[i] / b[i] for a, b in zip(*runs)])
            print(line)
    for site in SITES:
        total = 0
        for name in sorted(os.listdir(site)):
            with open(os.path.join(site, name), "rb") as f:
                total += len(gzip.compress(f.read(), 9))
        print(f"{site}: {total / 1000:.1f} KB gzipped")


if __name__ == "__main__":
    main()
