"""Every test ctest runs has its temp folder (TMPDIR) in the build tree's
scratch folder, so a test that crashes leaves nothing in the shared temp
folder. Run by ctest: check_scratch.py CTEST BUILD_DIR SCRATCH_DIR."""

import json
import subprocess
import sys

ctest, build, scratch = sys.argv[1:4]
listing = subprocess.run([ctest, "--show-only=json-v1"], cwd=build, capture_output=True,
                         check=True).stdout
outside = []
for test in json.loads(listing)["tests"]:
    settings = [value for p in test.get("properties", [])
                if p["name"] in ("ENVIRONMENT", "ENVIRONMENT_MODIFICATION")
                for value in (p["value"] if isinstance(p["value"], list) else [p["value"]])]
    if not {f"TMPDIR={scratch}", f"TMPDIR=set:{scratch}"} & set(settings):
        outside.append(test["name"])
if outside:
    sys.exit(f"tests without TMPDIR={scratch}: {', '.join(outside)}")
print(f"{len(json.loads(listing)['tests'])} tests, each with TMPDIR={scratch}")
