#!/usr/bin/python3
"""Puts the page together as one file: the page's HTML with its style, its
script, the worker's script (the core's loader, then the worker) and the
core's WebAssembly (base64) written into it.

usage: assemble_page.py PAGE_DIR CORE_JS CORE_WASM OUT_HTML
"""
import base64
import sys


def main():
    page_dir, core_js, core_wasm, out = sys.argv[1:5]

    def read(path):
        with open(path, encoding="utf-8") as f:
            return f.read()

    worker = read(core_js) + "\n" + read(page_dir + "/worker.js")
    parts = {
        "/*@PAGE_CSS@*/": read(page_dir + "/page.css"),
        "/*@WORKER_JS@*/": worker,
        "/*@PAGE_JS@*/": read(page_dir + "/page.js"),
    }
    with open(core_wasm, "rb") as f:
        parts["@CORE_WASM@"] = base64.b64encode(f.read()).decode("ascii")
    for name, text in parts.items():
        # A script element ends at the first "</script" in it.
        if "</script" in text.lower():
            sys.exit(f"assemble_page: {name} holds </script")
    html = read(page_dir + "/page.html")
    for name, text in parts.items():
        if html.count(name) != 1:
            sys.exit(f"assemble_page: {name} must occur once in page.html")
        html = html.replace(name, text)
    with open(out, "w", encoding="utf-8") as f:
        f.write(html)


if __name__ == "__main__":
    main()
