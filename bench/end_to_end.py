#!/usr/bin/env python3
"""Whole-command timings of Vendrel against bare anchors, side by side in one run.

    bench/end_to_end.py [build folder=build-rel] [rounds=11] [analyze,list,sweep,remove]

Makes its fixtures in a temporary folder (removed at the end) with the benchmarks' own
generators, then times each command and its anchor alternately, both as whole processes
started from here, and prints the medians and their ratio:

  analyze   one bundle of 200,000 files in 20,000 folders  vs  bench_analysis_bench --walk
  list      --json over 500 bundles                        vs  bench_catalogue_bench --bare
  sweep     --dry-run over ~50,000 library entries         vs  ls -fR of the same folders
  remove    of a small application, default waits, a server that answers at once
  remove    of the same, against a server that accepts and never answers

Fixed waits are scaled by VENDREL_TIME_SCALE=0 except in the two removals, which run with
the waits a user gets. The servers are started here, on 127.0.0.1.
"""
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build-rel"
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 11
SECTIONS = sys.argv[3].split(",") if len(sys.argv) > 3 else ["analyze", "list", "sweep", "remove"]
VENDREL = os.path.join(BUILD, "Vendrel")
BENCH = os.path.join(BUILD, "bench")


class NotFound(BaseHTTPRequestHandler):
    def _answer(self):
        self.send_response(404)
        self.send_header("Content-Length", "0")
        self.end_headers()

    do_GET = do_POST = _answer

    def log_message(self, *args):
        pass


def answering_server():
    server = ThreadingHTTPServer(("127.0.0.1", 0), NotFound)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d" % server.server_address[1]


def silent_server():
    """Accepts connections and reads what is sent, never answering."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    held = []

    def run():
        while True:
            try:
                conn, _ = listener.accept()
            except OSError:
                return
            held.append(conn)

    threading.Thread(target=run, daemon=True).start()
    return listener, "http://127.0.0.1:%d" % listener.getsockname()[1]


def timed(argv, env, prepare=None):
    if prepare:
        prepare()
    start = time.perf_counter()
    done = subprocess.run(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                          stdin=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if done.returncode not in (0, 1):
        sys.exit("%s failed (%d): %s" % (argv, done.returncode, done.stderr.decode()[-400:]))
    return elapsed


def paired(name, vendrel, anchor, rounds=ROUNDS):
    """Alternates which of the two goes first; prints medians and their ratio."""
    a, b = [], []
    timed(vendrel[0], vendrel[1], vendrel[2] if len(vendrel) > 2 else None)  # warm
    timed(anchor[0], anchor[1])
    for r in range(rounds):
        order = [(vendrel, a), (anchor, b)] if r % 2 == 0 else [(anchor, b), (vendrel, a)]
        for (argv, env, *prep), out in order:
            out.append(timed(argv, env, prep[0] if prep else None))
    va, vb = statistics.median(a), statistics.median(b)
    print("%-34s %9.3f s  %9.3f s  %6.2fx" % (name, va, vb, va / vb), flush=True)


def single(name, vendrel, rounds):
    times = [timed(*vendrel) for _ in range(rounds)]
    print("%-34s %9.3f s  (median of %d; min %.3f, max %.3f)" %
          (name, statistics.median(times), rounds, min(times), max(times)), flush=True)


def main():
    work = tempfile.mkdtemp(prefix="vendrel-e2e-")
    try:
        env0 = dict(os.environ, VENDREL_HOME="/Users/bench", VENDREL_TIME_SCALE="0",
                    VENDREL_AUTH="deny")
        server, url = answering_server()
        env0["VENDREL_SERVER_URL"] = url
        print("load average before: %.2f %.2f %.2f; %d processors" %
              (*os.getloadavg(), os.cpu_count()))
        print("%-34s %11s  %11s  %7s" % ("what", "Vendrel", "anchor", "ratio"))

        big = os.path.join(work, "big")
        if "analyze" in SECTIONS:
            analyze(big, env0)
        if "list" in SECTIONS:
            list_json(os.path.join(work, "apps"), env0)
        if "sweep" in SECTIONS:
            sweep(os.path.join(work, "lib"), env0)
        if "remove" in SECTIONS:
            remove(os.path.join(work, "vol"), env0)
        server.shutdown()
        print("load average after:  %.2f %.2f %.2f" % os.getloadavg())
    finally:
        shutil.rmtree(work, ignore_errors=True)


def analyze(big, env0):
    subprocess.run([os.path.join(BENCH, "bench_analysis_bench"), "--make",
                    big + "/Applications/Big.app", "200000", "20000"], check=True)
    env = dict(env0, VENDREL_ROOT=big)
    paired("analyze, 200k files, whole command",
           ([VENDREL, "analyze", "/Applications/Big.app"], env),
           ([os.path.join(BENCH, "bench_analysis_bench"), "--walk",
             big + "/Applications/Big.app"], env))
    shutil.rmtree(big)


def list_json(apps, env0):
    subprocess.run([os.path.join(BENCH, "bench_catalogue_bench"), "--make", apps, "500"],
                   check=True)
    env = dict(env0, VENDREL_ROOT=apps)
    paired("list --json, 500 bundles", ([VENDREL, "list", "--json"], env),
           ([os.path.join(BENCH, "bench_catalogue_bench"), "--bare", apps], env))


def sweep(lib, env0):
    folders = subprocess.run([os.path.join(BENCH, "bench_sweep_bench"), "--make", lib,
                              "50000"], check=True, capture_output=True,
                             text=True).stdout.split("\n")
    env = dict(env0, VENDREL_ROOT=lib)
    paired("sweep --dry-run, ~50k entries",
           ([VENDREL, "sweep", "/Applications/Bench Notes.app", "--dry-run"], env),
           (["ls", "-fR"] + [f for f in folders if f], env))


def remove(vol, env0):
    # Removals: a fresh small application each round, with the waits a user gets.

    def small_app():
        shutil.rmtree(vol, ignore_errors=True)
        contents = os.path.join(vol, "Applications/Tiny.app/Contents")
        os.makedirs(contents + "/MacOS")
        os.makedirs(os.path.join(vol, "Users/bench/Library/Preferences"))
        os.makedirs(os.path.join(vol, "Users/bench/.Trash"))
        with open(contents + "/Info.plist", "w") as f:
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>'
                    "<key>CFBundleName</key><string>Tiny</string>"
                    "<key>CFBundleIdentifier</key><string>com.example.tiny</string>"
                    "</dict></plist>\n")
        with open(contents + "/MacOS/Tiny", "w") as f:
            f.write("#!/bin/sh\n")
        with open(os.path.join(vol, "Users/bench/Library/Preferences/"
                                    "com.example.tiny.plist"), "w") as f:
            f.write("x")

    env = dict(env0, VENDREL_ROOT=vol)
    del env["VENDREL_TIME_SCALE"]
    argv = [VENDREL, "remove", "/Applications/Tiny.app", "--yes"]
    rounds = max(3, ROUNDS // 3)
    single("remove, small app, default waits", (argv, env, small_app), rounds)
    listener, silent = silent_server()
    single("remove, silent server", (argv, dict(env, VENDREL_SERVER_URL=silent), small_app),
           rounds)
    listener.close()


if __name__ == "__main__":
    main()
