#!/bin/sh
# Cold start of the program to the initialised state, hidden in the tray, with a virtual keyboard
# attached: median over several runs, and the resident memory after start.
#
#   bench/startup_bench.sh [PROGRAM_FOLDER] [RUNS]      (default build/bin, 9 runs)
#
# "Initialised" is measured from outside: the moment the new instance answers a message on its
# mailbox. The instance marks its window and starts listening during initialisation, and answers
# on the GUI thread after the INIT message it posted to itself (tray icon, hide) has been handled.
set -eu
BIN=$(cd "${1:-build/bin}" && pwd)
RUNS=${2:-9}
exec python3 - "$BIN" "$RUNS" <<'PY'
import os, socket, statistics, struct, subprocess, sys, tempfile, time

bin_dir, runs = sys.argv[1], int(sys.argv[2])
root = tempfile.mkdtemp(prefix="brindle-startup-")
for name in ("config", "data", "run", "home/Documents"):
    os.makedirs(os.path.join(root, name), exist_ok=True)
os.chmod(os.path.join(root, "run"), 0o700)
env = dict(os.environ, XDG_CONFIG_HOME=root + "/config", XDG_DATA_HOME=root + "/data",
           XDG_RUNTIME_DIR=root + "/run", HOME=root + "/home", QT_QPA_PLATFORM="offscreen")
sock = root + "/run/kbd.sock"
keyboard = subprocess.Popen([bin_dir + "/brindle-kbdsim", "serve", "--socket", sock,
                             "--state", root + "/kbd.state"], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
while not os.path.exists(sock):
    time.sleep(0.005)
env["BRINDLE_DEVICE"] = "sim:" + sock

def ping(pid):
    path = "%s/run/brindle-instances/%d" % (root, pid)
    try:
        s = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET)
        s.settimeout(2)
        s.connect(path)
        s.send(struct.pack("<IIq", 0, 0, 0))  # no message: answered 0 once the window runs
        ok = len(s.recv(16)) == 8
        s.close()
        return ok
    except OSError:
        return False

def rss_mb(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0

times, rss = [], []
try:
    for _ in range(runs):
        start = time.perf_counter()
        program = subprocess.Popen([bin_dir + "/brindle", "/Start"], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while not ping(program.pid):
            if program.poll() is not None:
                sys.exit("brindle ended early with code %d" % program.returncode)
            time.sleep(0.001)
        times.append((time.perf_counter() - start) * 1000.0)
        time.sleep(0.3)  # the attach branch reads the keyboard meanwhile
        rss.append(rss_mb(program.pid))
        subprocess.run([bin_dir + "/brindle", "/Kill"], env=env, check=True)
        program.wait(timeout=10)
finally:
    keyboard.terminate()
    keyboard.wait()

print("runs:               %d" % runs)
print("start to hidden:    median %.1f ms  (min %.1f, max %.1f)" %
      (statistics.median(times), min(times), max(times)))
print("resident memory:    median %.1f MB  (max %.1f)" % (statistics.median(rss), max(rss)))
PY
