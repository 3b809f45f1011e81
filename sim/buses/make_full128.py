#!/usr/bin/env python3
"""Writes full128.json: one adapter with 128 modules at stations 1..128,
alternating TB-DI8-N and TB-DO8-T, which fills exactly 512 input and 512
output bits. Every DI is wired to the DO at the next station.

Run from this folder: python3 make_full128.py > full128.json
"""
import json

modules = []
for station in range(1, 129):
    pair = (station - 1) // 2
    uid = "F1280000%04X" % station
    if station % 2:
        modules.append({
            "typeCode": "0x1101", "uid": uid, "station": station, "name": "TB-DI8-N",
            "inChannels": 8, "inStart": 8 * pair, "hardware": "0A01",
            "inputs": {"source": "wire", "from": "F1280000%04X" % (station + 1), "fromChannel": 0},
        })
    else:
        modules.append({
            "typeCode": "0x1201", "uid": uid, "station": station, "name": "TB-DO8-T",
            "outChannels": 8, "outStart": 8 * pair, "hardware": "0A02",
        })

bus = {"adapters": [{
    "serial": "3C2E0A000128", "name": "TBC-U100", "hardware": "0102",
    "boot": [1, 0, 3], "app": [2, 1, 7], "scanReads": 2, "restartMs": 1500,
    "modules": modules,
}]}
print(json.dumps(bus, indent=1))
