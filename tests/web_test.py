#!/usr/bin/python3
"""The web page in headless Chromium, one address after another: the first <pre> must equal
quillora-sheet's text of the first version, the typeset preview hold one <math> per problem of it
with an <mfrac> for each fraction bar, an <msup> for each square and the instruction line under
the title, and every download must equal the tool's bytes for the same options; a bad value must
give its message and no sheet, and no layout may shift; on a computer's screen and a phone's, the
page is no wider than the window and Make in view. The page is made once from its controls (the
seed shown, the link copied, the paper remembered), and a pupil checks a version of a class set on
its self-check page. Every wait is for the page's own state (body[data-state]);
only ctest's limit bounds them, so a loaded machine makes the test slower, never failed. Exits 77
(skipped) without Selenium.

usage: web_test.py SITE_FOLDER QUILLORA_SHEET"""
import base64
import functools
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading
import urllib.parse

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select
except ImportError:
    print("skipped: python3-selenium not found (scripts/install-deps --tools installs it)")
    sys.exit(77)

SITE, SHEET = sys.argv[1], sys.argv[2]
BASE = None  # the page's address, once served

# Address queries; the page's language is en-US, so Letter where none is given. A second field
# is the message of a bad address where the tool has no such option.
CASES = [
    ("family=fractions&seed=0",),
    ("family=fractions&form=mixed&seed=4294967290&versions=12&paper=a4",),
    ("family=equations&form=EQ3&seed=42&versions=3&fraction-answers=1&paper=letter",),
    ("family=fraction-equations&form=mixed&seed=7&versions=30&distinct=1&paper=a4",),
    ("family=binomials&form=none&seed=5&paper=letter",),
    ("family=factoring&form=mixed&seed=100&versions=30&distinct=1&answers=1&paper=a4",),
    ("family=equations&form=mixed&seed=1&versions=4&answers=1&fraction-answers=1",),
    ("family=binomials&form=Bin4&seed=3&versions=2&check-url=1&answers=1&paper=a4",),
    ("family=fractions&form=EQ1&seed=1",),
    ("family=binomials&form=Bin2&seed=x1&paper=a4",),
    ("family=binomials&form=Bin2&seed=1&versions=1001",),
    ("family=binomials&form=Bin2&seed=1&paper=b5",),
    ("family=binomials&form=Bin2&fraction-answers=1",),
    ("family=binomials&form=--distinct&seed=1",
     "unknown form '--distinct' for binomials (Bin1..Bin8, mixed, none)"),
    ("family=binomials&distinct=yes", "invalid distinct 'yes' (1 or 0)"),
    ("famly=binomials", "unknown setting 'famly' (family, form, fraction-answers, seed, versions, "
     "distinct, paper, answers, check-url)"),
    # Every value whole, NUL and other control characters included (escaped in the message as the
    # tool escapes them).
    ("family=fractions&form=addition%00junk&seed=1", "unknown form 'addition\\x00junk' for "
     "fractions (addition, subtraction, multiplication, division, mixed)"),
    ("family=fractions%00x", "unknown family 'fractions\\x00x' (fractions, equations, "
     "fraction-equations, binomials, factoring)"),
    ("family=fractions&paper=a4%00", "unknown paper 'a4\\x00' (a4, letter)"),
    ("family=fractions&seed=5%00abc",
     "invalid seed '5\\x00abc' (a whole number from 0 to 4294967295)"),
    ("family=binomials&form=Bin1%1B%5B2J%C2%9B&seed=1",
     "unknown form 'Bin1\\x1B[2J\\u009B' for binomials (Bin1..Bin8, mixed, none)"),
]

# Through the page's own history (an address longer than a server reads): a value of 1.5 MB gives
# a short message, and the same page makes a set after it.
HISTORY_CASES = [
    ("family=binomials&form=" + "B" * 1_500_000, "unknown form '" + "B" * 64
     + "\u2026' for binomials (Bin1..Bin8, mixed, none)"),
    ("family=binomials&form=Bin2&seed=1",),
]
HISTORY = """document.body.dataset.state = 'moving';
history.pushState(null, '', '?' + arguments[0]);
history.pushState(null, '', location.pathname);
history.back();"""

# Download link -> the tool's output it must equal.
LINKS = {"sheets-pdf": ("pdf", False), "sheets-rtf": ("rtf", False),
         "sheets-text": ("text", False), "key-pdf": ("pdf", True), "key-rtf": ("rtf", True),
         "key-text": ("text", True)}

FETCH = """const done = arguments[arguments.length - 1];
const links = [...document.querySelectorAll('#downloads a[download]')];
Promise.all(links.map(async (a) => {
  const bytes = new Uint8Array(await (await fetch(a.href)).arrayBuffer());
  let s = ''; for (const b of bytes) s += String.fromCharCode(b);
  return [a.id, a.download, btoa(s)];
})).then(done);"""

# Resolves once the page's state is one of the arguments, watching the attribute change.
STATE = """const [states, done] = [arguments[0], arguments[arguments.length - 1]];
const now = () => document.body.dataset.state;
if (states.includes(now())) { done(now()); } else {
  new MutationObserver((changes, observer) => {
    if (states.includes(now())) { observer.disconnect(); done(now()); }
  }).observe(document.body, { attributes: true, attributeFilter: ['data-state'] });
}"""

# What does not fit: the page or its typeset sheet wider than the window, Make (where shown) out of
# view.
LAYOUT = """const [root, sheet] = [document.documentElement, document.getElementById('preview')];
const make = document.getElementById('make').getBoundingClientRect();
return [[root, sheet].some((box) => box.scrollWidth > box.clientWidth),
        make.height > 0 && (make.top < 0 || make.bottom > root.clientHeight)];"""

# A computer's screen and a phone's, as the page's own width and height.
SIZES = ((1280, 800), (390, 844))

SHIFTS = """const done = arguments[arguments.length - 1]; let sum = 0;
new PerformanceObserver((list) => { for (const e of list.getEntries()) sum += e.value; })
  .observe({ type: 'layout-shift', buffered: true });
setTimeout(() => done(sum), 100);"""


def tool_args(query):
    q = dict(urllib.parse.parse_qsl(query, keep_blank_values=True))
    args = [q.get("family", "")] + ([q["form"]] if "form" in q else [])
    for key in ("seed", "versions", "paper"):
        if key in q:
            args += [f"--{key}", q[key]]
    args += ["--paper", "letter"] if "paper" not in q else []
    args += ["--check-url", BASE] if q.get("check-url") == "1" else []
    return args + [f"--{k}" for k in ("distinct", "fraction-answers") if q.get(k) == "1"]


def tool(args, fmt="text"):
    """The tool's worksheets and answer key for the arguments, or its message."""
    with tempfile.TemporaryDirectory() as scratch:
        key = os.path.join(scratch, "key")
        run = subprocess.run([SHEET, *args, "--format", fmt, "--answers", key], capture_output=True)
        if run.returncode:
            return None, run.stderr.decode().removeprefix("quillora-sheet: ").strip()
        with open(key, "rb") as f:
            return {False: run.stdout, True: f.read()}, None


def viewport(driver, width, height):
    """Sizes the window so that the page's own area is width by height."""
    driver.set_window_size(width, height)
    inner = driver.execute_script("return [innerWidth, innerHeight]")
    driver.set_window_size(2 * width - inner[0], 2 * height - inner[1])


def layout(driver):
    """What of the page does not fit its window."""
    return [f for f, bad in zip(("the page or its sheet is too wide", "Make is out of view"),
                                driver.execute_script(LAYOUT)) if bad]


def state(driver):
    return driver.execute_script("return document.body.dataset.state")


def wait_for(driver, *states):
    """The page's state once it is one of states."""
    return driver.execute_async_script(STATE, list(states))


def check(driver, query, message=None):
    """Compares the page now showing with the tool for the query; returns the failures."""
    wait_for(driver, "made", "error")
    args = tool_args(query)
    failures = layout(driver)
    if message is None:
        message = tool(args)[1]
    if message:
        shown = driver.find_element(By.ID, "error").text
        if state(driver) != "error" or shown != message or driver.execute_script(
                "return document.querySelectorAll('#downloads a[href]').length"):
            failures.append(f"shows {shown!r} ({state(driver)}), expected {message!r}")
        return failures
    preview = driver.execute_script("return document.querySelector('pre').textContent")
    first = tool(args + ["--versions", "1"])[0][False].decode()
    if preview != first:
        failures.append("preview differs from the tool's text")
    typeset = driver.execute_script("""return ['math', 'mfrac', 'msup', 'h3 + p'].map(
        (tag) => document.querySelectorAll(`#preview ${tag}`).length)""")
    problems = len(re.findall(r"\d+\.\)", first))
    if typeset != [problems, first.count("\u2014\u2014"), first.count("\u00b2"), problems > 0]:
        failures.append(f"typeset preview holds <math>, <mfrac>, <msup>, instruction {typeset}")
    q = dict(urllib.parse.parse_qsl(query))
    stem = f"{q['family']}-{q.get('form', 'addition')}-seed-{q['seed']}"
    stem += f"-x{q['versions']}" if q.get("versions", "1") != "1" else ""
    links = driver.execute_async_script(FETCH)
    if sorted(i for i, _, _ in links) != sorted(k for k, v in LINKS.items()
                                                  if not v[1] or q.get("answers") == "1"):
        failures.append(f"links {[i for i, _, _ in links]}")
    outputs = {fmt: tool(args, fmt)[0] for fmt in ("text", "rtf", "pdf")}
    for link, name, data in links:
        fmt, answers = LINKS[link]
        expected = f"{stem}{'-answers' if answers else ''}.{'txt' if fmt == 'text' else fmt}"
        if name != expected:
            failures.append(f"{link} is named {name}, expected {expected}")
        if base64.b64decode(data) != outputs[fmt][answers]:
            failures.append(f"{link} differs from the tool's {fmt}{' key' if answers else ''}")
    if driver.execute_async_script(SHIFTS) > 0:
        failures.append("the layout shifted")
    return failures


def self_check(driver, base):
    """A pupil's self-check of version 3 of a class set on a phone's width, reached by the
    teacher's link, answered with the keyboard alone from the tool's key: every answer marked
    right but two changed ones, and no answer of the key on the page; the teacher's key link
    shows the answers. Returns the failures and the marking times."""
    failures = []
    driver.set_window_size(1280, 1000)
    query = "family=factoring&form=mixed&seed=100&versions=30&distinct=1&answers=1&paper=a4"
    driver.get(base + "?" + query)
    wait_for(driver, "made", "error")
    Select(driver.find_element(By.ID, "check-version")).select_by_value("3")
    link = driver.find_element(By.ID, "check-link").get_attribute("href")
    key_link = driver.find_element(By.ID, "check-key-link").get_attribute("href")
    if link != base + "?family=factoring&form=mixed&seed=102&distinct=1&check=1" or \
            not key_link.startswith(link + "&key="):
        failures.append(f"self-check links {link}, {key_link}")
    key = tool(tool_args(query))[0][True].decode().split("\f")[2]
    answers = re.findall(r"\d+\.\) (.+?)(?=\s{2,}\d+\.\)|\n|$)", key)
    typed = answers[:]
    typed[4] = "-" + typed[4]            # a changed sign
    typed[9] = typed[9].replace(" ", "")  # blanks left out: still right
    typed[20] = re.sub(r"\d+", lambda m: str(int(m[0]) + 1), typed[20], count=1)
    viewport(driver, 360, 800)
    driver.get(link)
    wait_for(driver, "ready", "error")
    for i, answer in enumerate(typed):
        driver.find_element(By.ID, f"answer-{i + 1}").send_keys(answer)
    # a pasted NUL (no key types one) is unreadable and leaves the answers after it marked, and
    # so is 10 MB put in a box by a script
    driver.execute_script("document.getElementById('answer-13').value += '\\0';"
                          "document.getElementById('answer-16').value = 'x'.repeat(1e7)")
    driver.find_element(By.ID, f"answer-{len(typed)}").send_keys(Keys.ENTER)
    wait_for(driver, "marked")
    marks = [driver.find_element(By.ID, f"mark-{i + 1}").text for i in range(len(typed))]
    expected = ["Wrong" if i in (4, 20) else "Right" for i in range(len(typed))]
    expected[12] = "Cannot read this: not readable"
    expected[15] = "Cannot read this: too long"
    if len(answers) != 30 or marks != expected:
        failures.append(f"marks {marks}")
    if driver.find_element(By.ID, "check-count").text != "26 of 30 right":
        failures.append("count " + driver.find_element(By.ID, "check-count").text)
    shown = re.sub(r"\s", "", driver.find_element(By.TAG_NAME, "body").text)
    if driver.find_element(By.ID, "show-key").is_displayed() or any(
            re.sub(r"\s", "", a).replace("-", "\u2212") in shown for a in answers):
        failures.append("the page shows the key")
    failures += layout(driver)
    times = driver.execute_script(
        "return performance.getEntriesByName('quillora-mark').map((e) => e.duration)")
    driver.get(key_link)
    wait_for(driver, "ready", "error")
    driver.find_element(By.ID, "show-key").click()
    if len(driver.find_elements(By.CSS_SELECTOR, "#check-key math")) != 30:
        failures.append("the key link does not show the answers")
    return failures, times


def main():
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Quiet, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = f"http://127.0.0.1:{server.server_port}/"
    global BASE
    BASE = base

    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = tempfile.TemporaryDirectory()
    for flag in ("headless", "no-sandbox", "disable-gpu", "disable-quic", "no-first-run",
                 "disable-background-networking", "disable-component-update", "disable-sync",
                 "lang=en-US", f"user-data-dir={profile.name}"):
        options.add_argument("--" + flag)
    options.add_experimental_option("prefs", {"intl.accept_languages": "en-US"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"),
                              options=options)
    # A hung load or wait fails within ctest's limit, so the browser is always closed.
    driver.set_page_load_timeout(600)
    driver.set_script_timeout(600)
    failed = 0
    try:
        for i, (query, *message) in enumerate(CASES):
            # Every other address on a phone's width, where the layout must not shift either.
            viewport(driver, *SIZES[i % 2])
            driver.get(base + "?" + query)
            failures = check(driver, query, *message)
            failed += bool(failures)
            print(("FAIL " if failures else "ok   ") + query[:100] + "".join(
                "\n     " + f for f in failures))
        driver.get(base)
        wait_for(driver, "ready")
        for query, *message in HISTORY_CASES:
            driver.execute_script(HISTORY, query)
            failures = check(driver, query, *message)
            failed += bool(failures)
            print(("FAIL " if failures else "ok   ") + "history: " + query[:100] + "".join(
                "\n     " + f for f in failures))
        # From the controls, without a seed: the address then names the set that was made.
        viewport(driver, *SIZES[0])
        driver.get(base)
        wait_for(driver, "ready")
        Select(driver.find_element(By.ID, "family")).select_by_value("equations")
        Select(driver.find_element(By.ID, "form")).select_by_value("EQ2")
        for box in ("fraction-answers", "distinct", "paper-a4"):
            driver.find_element(By.ID, box).click()
        versions = driver.find_element(By.ID, "versions")
        versions.clear()
        versions.send_keys("3")
        driver.find_element(By.ID, "make").click()
        wait_for(driver, "made", "error")
        query = urllib.parse.urlsplit(driver.current_url).query
        failures = check(driver, query)
        if not all(f in query for f in ("form=EQ2", "fraction-answers=1", "distinct=1",
                                        "paper=a4", "versions=3")):
            failures.append("the address lacks a choice")
        if driver.find_element(By.ID, "seed").get_attribute("value") != \
                dict(urllib.parse.parse_qsl(query))["seed"]:
            failures.append("the Seed box does not show the set's seed")
        driver.execute_cdp_cmd("Browser.grantPermissions", {
            "origin": base, "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
        driver.find_element(By.ID, "copy-link").click()
        if driver.execute_async_script(
                "navigator.clipboard.readText().then(arguments[0])") != driver.current_url or \
                driver.find_element(By.ID, "copy-note").text != "Link copied.":
            failures.append("Copy link does not copy the set's address")
        # the plain text one click away, in place of the typeset sheet
        driver.find_element(By.ID, "show-text").click()
        if not driver.find_element(By.ID, "preview-text").is_displayed() or \
                driver.find_element(By.ID, "preview").is_displayed():
            failures.append("Plain text does not show the text in place of the typeset sheet")
        # the paper chosen kept over the language's (Letter); a bad address shows its valid values
        driver.get(base)
        wait_for(driver, "ready")
        if not driver.find_element(By.ID, "paper-a4").is_selected():
            failures.append("the paper chosen is forgotten")
        driver.get(base + "?family=binomials&form=Bin2&seed=x1&versions=2&fraction-answers=1")
        wait_for(driver, "error")
        shown = driver.execute_script("""return ['family', 'form', 'seed', 'versions'].map(
            (id) => document.getElementById(id).value).concat(
            document.querySelector('[name=paper]:checked').value)""")
        if shown != ["binomials", "Bin2", "", "2", "a4"]:
            failures.append(f"a bad address shows the controls {shown}")
        failed += bool(failures)
        print(("FAIL " if failures else "ok   ") + "controls: " + query + "".join(
            "\n     " + f for f in failures))
        failures, times = self_check(driver, base)
        failed += bool(failures)
        print(("FAIL " if failures else "ok   ") + "self-check of version 3, marked in "
              + ", ".join(f"{t:.1f}" for t in times) + " ms" + "".join(
                  "\n     " + f for f in failures))
    finally:
        driver.quit()
        server.shutdown()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
