"""The README's table of what each script installs names exactly the packages the script's dry run
says it needs, and lists every script that installs anything.

packages_test.py REPO"""

import pathlib
import re
import subprocess
import sys

repo = pathlib.Path(sys.argv[1])
readme = (repo / "README.md").read_text()

listed = {}
for row in re.finditer(r"^\| `\./scripts/(\w+\.sh)[^`]*` \| ([^|]*) \|", readme, re.M):
    listed[row[1]] = set(re.findall(r"`([^`]+)`", row[2]))

installing = {p.name for p in (repo / "scripts").glob("*.sh") if re.search(r"^ensure_packages ", p.read_text(), re.M)}
failures = [f"{name} installs packages but has no row in the README's table" for name in installing - set(listed)]

for name, packages in sorted(listed.items()):
    run = subprocess.run(["bash", repo / "scripts" / name, "--dry-run"], capture_output=True, text=True,
                         env={"PATH": "/usr/bin:/bin", "DISPLAY": ""}, timeout=60)
    said = re.search(r"^Debian packages: (.*)$", run.stdout, re.M)
    if run.returncode != 0 or not said:
        failures.append(f"{name} --dry-run: status {run.returncode}, output {run.stdout!r} {run.stderr!r}")
        continue
    needed = set(said[1].split())
    if needed != packages:
        failures.append(f"{name}: the README lists {sorted(packages)}, the script needs {sorted(needed)}")

for failure in failures:
    print(failure)
sys.exit(1 if failures or not listed else 0)
